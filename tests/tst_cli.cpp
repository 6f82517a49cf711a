// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

// markwerk-cli as a process: exit codes, standard error, the files it leaves.

#include "definitionsdatei.h"
#include "hilfen.h"
#include "markwerk_version.h"

#include <QDir>
#include <QDirIterator>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace hilfen;

class TestCli : public QObject
{
    Q_OBJECT

private:
    static Lauf starte(const QStringList &argumente) { return laufe(QStringLiteral(MARKWERK_CLI), argumente); }
    QString pfad(const QString &name) const { return m_dir.filePath(name); }
    QTemporaryDir m_dir;

    // A fresh folder for one row of a data-driven test; markwerk-cli runs in
    // it, so that files are named as a user names them.
    QString m_ordner;
    void frischerOrdner()
    {
        m_ordner = pfad(QString::fromUtf8(QTest::currentTestFunction()) + QLatin1Char('-')
                        + QString::number(qHash(QByteArray(QTest::currentDataTag()))));
        QVERIFY(QDir().mkpath(m_ordner));
    }
    QString hier(const QString &name) const { return m_ordner + QLatin1Char('/') + name; }
    Lauf imOrdner(const QStringList &argumente, const QByteArray &eingabe = {}, const QString &ausgabe = {}) const
    {
        return laufe(QStringLiteral(MARKWERK_CLI), argumente, {.ordner = m_ordner, .eingabe = eingabe, .ausgabe = ausgabe});
    }
    // A definition file of objects given as "Art|Beschreibung|Daten".
    void dokument(const QString &name, const QByteArrayList &objekte, const QByteArray &hintergrund = {}) const
    {
        Objektliste liste;
        for (const QByteArray &o : objekte) {
            const QByteArrayList teile = o.split('|');
            liste.anhaengen({teile.value(0).toStdString(), teile.value(1).toStdString(), teile.value(2).toStdString()});
        }
        QVERIFY(QDir().mkpath(QFileInfo(hier(name)).path()));
        SchreibeDefinition(n(hier(name)), "T", !hintergrund.isEmpty(), hintergrund.toStdString(), liste);
    }
    static QByteArray seiteMit(const QByteArray &koerper)
    {
        return "<HTML>\r\n<HEAD>\r\n<TITLE>T</TITLE>\r\n</HEAD>\r\n<BODY>\r\n" + koerper + "</BODY>\r\n</HTML>\r\n";
    }

private Q_SLOTS:
    void beispielWirdZurSeite();
    void jsonHinUndZurueck();
    void jsonMitAllenBytes();
    void fehlerLassenDateienInRuhe();
    void hintergrundSchalter_data();
    void hintergrundSchalter();
    void falscheJsonDaten_data();
    void falscheJsonDaten();
    void jsonAusRohr();
    void falscherAufruf();

    void stroeme_data();
    void stroeme();
    void endloseEingabe_data();
    void endloseEingabe();
    void rohrWartetAufSchreiber();
    void aenderungWaehrendDesGangs();
    void stapel_data();
    void stapel();
    void fortschrittAufTerminal();
    void pruefung_data();
    void pruefung();
    void exportOrdner_data();
    void exportOrdner();
    void jsonZellen_data();
    void jsonZellen();
    void aufruf_data();
    void aufruf();
};

void TestCli::beispielWirdZurSeite()
{
    const QString json = pfad(QStringLiteral("preise.json"));
    QVERIFY(schreib(json, R"({"title": "Preisliste",
        "background": {"enabled": true, "path": "C:\\BILDER\\HINTER.GIF"},
        "objects": [
          {"kind": "Bild", "description": "Logo", "data": "C:\\BILDER\\LOGO.GIF"},
          {"kind": "Text", "description": "Einleitung", "data": "Unsere Preise: "},
          {"kind": "Tabelle", "description": "Preise", "data": "2ð2ðNameðPreisðBrotð ð"},
          {"kind": "Linie", "description": "Linie", "data": "Linie"},
          {"kind": "Link", "description": "Startseite", "data": "index.htm"}]})"));
    const QString htd = pfad(QStringLiteral("preise.htd"));
    const QString htm = pfad(QStringLiteral("preise.htm"));
    Lauf l = starte({QStringLiteral("htd"), json, htd});
    QCOMPARE(l.code, 0);
    QVERIFY(l.aus.isEmpty());
    l = starte({QStringLiteral("html"), htd, htm});
    QCOMPARE(l.code, 0);
    QVERIFY(l.aus.isEmpty());
    QCOMPARE(lies(htm), preislistenSeite);

    // The shipped example is the same page with pictures beside it.
    l = starte({QStringLiteral("html"), QStringLiteral(MARKWERK_BEISPIELE "/preisliste.htd"), htm});
    QCOMPARE(l.code, 0);
    QByteArray erwartet = preislistenSeite;
    erwartet.replace("C:\\BILDER\\HINTER.GIF", "hinter.gif").replace("C:\\BILDER\\LOGO.GIF", "logo.gif");
    QCOMPARE(lies(htm), erwartet);
}

void TestCli::jsonHinUndZurueck()
{
    const QString beispiel = QStringLiteral(MARKWERK_BEISPIELE "/preisliste.json");
    const QString htd = pfad(QStringLiteral("rund.htd"));
    QCOMPARE(starte({QStringLiteral("htd"), beispiel, htd}).code, 0);
    QCOMPARE(lies(htd), lies(QStringLiteral(MARKWERK_BEISPIELE "/preisliste.htd")));

    const Lauf l = starte({QStringLiteral("json"), htd});
    QCOMPARE(l.code, 0);
    QCOMPARE(l.aus, lies(beispiel));
    const QString json = pfad(QStringLiteral("rund.json"));
    QCOMPARE(starte({QStringLiteral("json"), htd, json}).code, 0);
    QCOMPARE(lies(json), lies(beispiel));
}

void TestCli::jsonMitAllenBytes()
{
    // All 256 bytes in a title survive htd -> json -> htd.
    QByteArray alle;
    for (int b = 0; b < 256; ++b)
        alle += char(b);
    const QString htd = pfad(QStringLiteral("alle.htd"));
    QVERIFY(schreib(htd, zeichenkette(alle) + saetze({1}) + zeichenkette("\xE4\x80") + saetze({1, 1})
                             + zeichenkette("Text") + saetze({1}) + zeichenkette("") + saetze({1})
                             + zeichenkette("\xF0\x81")));
    const QString json = pfad(QStringLiteral("alle.json"));
    QCOMPARE(starte({QStringLiteral("json"), htd, json}).code, 0);
    QVERIFY(lies(json).contains("\"path\": \"ä€\""));
    const QString zurueck = pfad(QStringLiteral("zurueck.htd"));
    QCOMPARE(starte({QStringLiteral("htd"), json, zurueck}).code, 0);
    QCOMPARE(lies(zurueck), lies(htd));
}

void TestCli::fehlerLassenDateienInRuhe()
{
    const QString seite = pfad(QStringLiteral("bleibt.htm"));
    QVERIFY(schreib(seite, "alt"));

    Lauf l = starte({QStringLiteral("html"), pfad(QStringLiteral("fehlt.htd")), seite});
    QCOMPARE(l.code, 1);
    QCOMPARE(l.fehler, "markwerk-cli: " + QFile::encodeName(pfad(QStringLiteral("fehlt.htd"))) + ": Datei nicht gefunden.\n");
    QCOMPARE(lies(seite), QByteArray("alt"));

    const QString kurz = pfad(QStringLiteral("kurz.htd"));
    QVERIFY(schreib(kurz, saetze({5, 65})));
    l = starte({QStringLiteral("html"), kurz, seite});
    QCOMPARE(l.code, 1);
    QCOMPARE(l.fehler, "markwerk-cli: " + QFile::encodeName(kurz) + ": Lesen nach Dateiende (EOF)\n");
    QCOMPARE(lies(seite), QByteArray("alt"));

    const QString kaputt = pfad(QStringLiteral("kaputt.htd"));
    QVERIFY(schreib(kaputt, saetze({0, 0, 1, 1}) + zeichenkette("Tabelle") + saetze({1}) + zeichenkette("")
                                + saetze({1}) + zeichenkette("x\xF0" "2\xF0")));
    l = starte({QStringLiteral("html"), kaputt, seite});
    QCOMPARE(l.code, 1);
    QCOMPARE(l.fehler, "markwerk-cli: " + QFile::encodeName(kaputt) + ": Objekt 1 (Tabelle \"\"): 'x' ist kein gültiger Integerwert.\n");
    QCOMPARE(lies(seite), QByteArray("alt"));

    l = starte({QStringLiteral("html"), QStringLiteral(MARKWERK_BEISPIELE "/preisliste.htd"),
                pfad(QStringLiteral("fehlt/seite.htm"))});
    QCOMPARE(l.code, 1);
    const QByteArray seiteFehlt = QFile::encodeName(pfad(QStringLiteral("fehlt/seite.htm")));
    QCOMPARE(l.fehler, "markwerk-cli: " + seiteFehlt + ": Datei " + seiteFehlt + " kann nicht erstellt werden.\n");

    l = starte({QStringLiteral("htd"), pfad(QStringLiteral("fehlt.json")), kurz});
    QCOMPARE(l.code, 1);
    QCOMPARE(lies(kurz), saetze({5, 65}));
}

void TestCli::hintergrundSchalter_data()
{
    QTest::addColumn<int>("schalter");
    for (const int schalter : {1, 0, 2, -1})
        QTest::newRow(qPrintable(QString::number(schalter))) << schalter;
}

void TestCli::hintergrundSchalter()
{
    // Only a 1 turns the background on, in the page walked in place as in a load.
    QFETCH(int, schalter);
    const QString htd = pfad(QStringLiteral("h.htd"));
    QVERIFY(schreib(htd, zeichenkette("T") + saetze({schalter}) + (schalter == 1 ? zeichenkette("h.gif") : QByteArray())
                             + saetze({0, 0, 0, 0})));
    QCOMPARE(starte({QStringLiteral("html"), htd, QStringLiteral("-")}).aus,
             seiteMit({}).replace("<BODY>", schalter == 1 ? "<BODY BACKGROUND=\"h.gif\">" : "<BODY>"));
}

void TestCli::falscheJsonDaten_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QByteArray>("meldung");
    const QByteArray form = "markwerk-cli: Die JSON-Daten sind kein Markwerk-Dokument: ";
    QTest::newRow("kein JSON") << QByteArray("{\"title\": ") << QByteArray("markwerk-cli: Die JSON-Daten sind fehlerhaft (bei Zeichen 11)\n");
    QTest::newRow("Liste") << QByteArray("[]") << form + "es fehlt das äußere Objekt.\n";
    QTest::newRow("Titel fehlt")
        << QByteArray(R"({"background": {"enabled": false, "path": ""}, "objects": []})")
        << form + "\"title\" fehlt in dem Dokument.\n";
    QTest::newRow("unbekannter Schlüssel")
        << QByteArray(R"({"title": "", "titel": "", "background": {"enabled": false, "path": ""}, "objects": []})")
        << form + "unbekannter Schlüssel \"titel\" in dem Dokument.\n";
    QTest::newRow("unbekannter Schlüssel in background")
        << QByteArray(R"({"title": "", "background": {"enabled": false, "path": "", "pfad": ""}, "objects": []})")
        << form + "unbekannter Schlüssel \"pfad\" in \"background\"\n";
    QTest::newRow("unbekannter Schlüssel in einem Objekt")
        << QByteArray(R"({"title": "", "background": {"enabled": false, "path": ""}, "objects": [{"kind": "Linie", "description": "Linie", "data": "Linie", "farbe": ""}]})")
        << form + "unbekannter Schlüssel \"farbe\" in Objekt 1.\n";
    QTest::newRow("doppelter Schlüssel")
        << QByteArray(R"({"title": "a", "title": "b", "background": {"enabled": false, "path": ""}, "objects": []})")
        << form + "doppelter Schlüssel \"title\" in dem Dokument.\n";
    QTest::newRow("doppelter Schlüssel, einmal mit Escape")
        << QByteArray(R"({"title": "", "background": {"enabled": false, "path": "", "p\u0061th": ""}, "objects": []})")
        << form + "doppelter Schlüssel \"path\" in \"background\"\n";
    QTest::newRow("doppelter Schlüssel in einem Objekt")
        << QByteArray(R"({"title": "", "background": {"enabled": false, "path": ""}, "objects": [{"kind": "Linie", "description": "Linie", "data": "Linie"}, {"kind": "Bild", "kind": "Linie", "description": "", "data": ""}]})")
        << form + "doppelter Schlüssel \"kind\" in Objekt 2.\n";
    QTest::newRow("doppelter Schlüssel nach einer Byte-Order-Mark")
        << QByteArray("\xEF\xBB\xBF" R"({"title": "a", "title": "b", "background": {"enabled": false, "path": ""}, "objects": []})")
        << form + "doppelter Schlüssel \"title\" in dem Dokument.\n";
    QTest::newRow("Steuerzeichen in einer Zeichenkette")
        << QByteArray("{\"title\": \"a\tb\", \"background\": {\"enabled\": false, \"path\": \"\"}, \"objects\": []}")
        << QByteArray("markwerk-cli: Die JSON-Daten sind fehlerhaft (bei Zeichen 13)\n");
    QTest::newRow("enabled als Text")
        << QByteArray(R"({"title": "", "background": {"enabled": "ja", "path": ""}, "objects": []})")
        << form + "\"enabled\" ist kein Wahrheitswert.\n";
    QTest::newRow("data fehlt")
        << QByteArray(R"({"title": "", "background": {"enabled": false, "path": ""}, "objects": [{"kind": "Linie", "description": "Linie"}]})")
        << form + "\"data\" fehlt in Objekt 1.\n";
    QTest::newRow("Zeichen fehlt in Windows-1252")
        << QByteArray(R"({"title": "Ω", "background": {"enabled": false, "path": ""}, "objects": []})")
        << QByteArray("markwerk-cli: Das Zeichen \"Ω\" (U+03A9) ist im Zeichensatz Windows-1252 nicht enthalten.\n");
}

void TestCli::falscheJsonDaten()
{
    QFETCH(QByteArray, json);
    QFETCH(QByteArray, meldung);
    const QString datei = pfad(QStringLiteral("falsch.json"));
    const QString htd = pfad(QStringLiteral("falsch.htd"));
    QVERIFY(schreib(datei, json));
    QFile::remove(htd);
    const Lauf l = starte({QStringLiteral("htd"), datei, htd});
    QCOMPARE(l.code, 1);
    QCOMPARE(l.fehler, meldung.replace("markwerk-cli: ", "markwerk-cli: " + QFile::encodeName(datei) + ": "));
    QVERIFY(!QFile::exists(htd));
}

void TestCli::jsonAusRohr()
{
    // JSON may come from a pipe, standard input included.
    const QString htd = pfad(QStringLiteral("rohr.htd"));
    QProcess p;
    p.start(QStringLiteral(MARKWERK_CLI), {QStringLiteral("htd"), QStringLiteral("/dev/stdin"), htd});
    QVERIFY(p.waitForStarted());
    p.write(lies(QStringLiteral(MARKWERK_BEISPIELE "/preisliste.json")));
    p.closeWriteChannel();
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(p.exitCode(), 0);
    QCOMPARE(lies(htd), lies(QStringLiteral(MARKWERK_BEISPIELE "/preisliste.htd")));

    // A definition file cannot come from one.
    const Lauf l = starte({QStringLiteral("json"), QStringLiteral("/dev/zero")});
    QCOMPARE(l.code, 1);
    QCOMPARE(l.fehler, QByteArray("markwerk-cli: /dev/zero: Dateizugriff verweigert.\n"));
}

void TestCli::falscherAufruf()
{
    for (const QStringList &args : {QStringList{}, QStringList{QStringLiteral("html")},
                                    QStringList{QStringLiteral("pdf"), QStringLiteral("a"), QStringLiteral("b")},
                                    QStringList{QStringLiteral("json"), QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}}) {
        const Lauf l = starte(args);
        QCOMPARE(l.code, 2);
        QVERIFY(l.fehler.contains("Aufruf:"));
    }
    Lauf l = starte({QStringLiteral("--help")});
    QCOMPARE(l.code, 0);
    QVERIFY(l.aus.contains("markwerk-cli html"));
    l = starte({QStringLiteral("--version")});
    QCOMPARE(l.code, 0);
    QCOMPARE(l.aus, QByteArray("markwerk-cli " MARKWERK_VERSION "\n"));
}

// ------------------------------------------------------------ "-", pipes

void TestCli::stroeme_data()
{
    QTest::addColumn<QStringList>("argumente");
    QTest::addColumn<QString>("eingabe"); // a file whose bytes go to standard input
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("gleichWie"); // standard output holds this file's bytes
    QTest::addColumn<QByteArray>("fehler");
    const auto a = [](const char *s) { return QString::fromUtf8(s); };
    QTest::newRow("html - -") << QStringList{a("html"), a("-"), a("-")} << a("p.htd") << 0 << a("p.htm") << QByteArray();
    QTest::newRow("html Datei -") << QStringList{a("html"), a("p.htd"), a("-")} << QString() << 0 << a("p.htm") << QByteArray();
    QTest::newRow("json - -") << QStringList{a("json"), a("-"), a("-")} << a("p.htd") << 0 << a("p.json") << QByteArray();
    QTest::newRow("json -") << QStringList{a("json"), a("-")} << a("p.htd") << 0 << a("p.json") << QByteArray();
    QTest::newRow("htd - -") << QStringList{a("htd"), a("-"), a("-")} << a("p.json") << 0 << a("p.htd") << QByteArray();
    QTest::newRow("htd - Datei") << QStringList{a("htd"), a("-"), a("neu.htd")} << a("p.json") << 0 << QString() << QByteArray();
    // Nothing of the page goes out before the table at its end is read.
    QTest::newRow("kaputte Tabelle nach -") << QStringList{a("html"), a("-"), a("-")} << a("kaputt.htd") << 1 << a("leer")
        << QByteArray("markwerk-cli: Standardeingabe: Objekt 2 (Tabelle \"Preise\"): Die Tabellendaten sind beschädigt (0 Zeilen, 2 Spalten)\n");
    QTest::newRow("Standardeingabe kurz") << QStringList{a("html"), a("-"), a("x.htm")} << a("leer") << 1 << a("leer")
        << QByteArray("markwerk-cli: Standardeingabe: Lesen nach Dateiende (EOF)\n");
    QTest::newRow("Ausgabe unmöglich") << QStringList{a("json"), a("p.htd"), a("fehlt/p.json")} << QString() << 1 << a("leer")
        << QByteArray("markwerk-cli: fehlt/p.json: Ungültiger Dateiname.\n");
}

void TestCli::stroeme()
{
    QFETCH(QStringList, argumente);
    QFETCH(QString, eingabe);
    QFETCH(int, code);
    QFETCH(QString, gleichWie);
    QFETCH(QByteArray, fehler);
    frischerOrdner();
    dokument(QStringLiteral("p.htd"), {"Bild|Logo|C:\\BILDER\\LOGO.GIF", "Tabelle|Preise|2\xF0" "2\xF0" "a\xF0" "b\xF0" "c\xF0" " \xF0"});
    // The page's first megabytes would be out before the broken table.
    dokument(QStringLiteral("kaputt.htd"), {"Text|lang|" + QByteArray(3 << 20, 'x'), "Tabelle|Preise|0\xF0" "2\xF0"});
    QVERIFY(schreib(hier(QStringLiteral("leer")), {}));
    QCOMPARE(imOrdner({QStringLiteral("html"), QStringLiteral("p.htd"), QStringLiteral("p.htm")}).code, 0);
    QCOMPARE(imOrdner({QStringLiteral("json"), QStringLiteral("p.htd"), QStringLiteral("p.json")}).code, 0);

    const Lauf l = imOrdner(argumente, eingabe.isEmpty() ? QByteArray() : lies(hier(eingabe)));
    QCOMPARE(l.fehler, fehler);
    QCOMPARE(l.code, code);
    if (!gleichWie.isEmpty())
        QCOMPARE(l.aus, lies(hier(gleichWie)));
    if (argumente.last() == QStringLiteral("neu.htd"))
        QCOMPARE(lies(hier(QStringLiteral("neu.htd"))), lies(hier(QStringLiteral("p.htd"))));
}

void TestCli::endloseEingabe_data()
{
    QTest::addColumn<QString>("eingabe"); // how standard input is fed
    QTest::addColumn<QByteArray>("fehler");
    QTest::newRow("Gerät") << QStringLiteral("exec \"$0\" \"$@\" < /dev/zero") << QByteArray("Dateizugriff verweigert.\n");
    QTest::newRow("endlose Pipe") << QStringLiteral("cat /dev/zero | exec \"$0\" \"$@\"")
                                  << QByteArray("1.073.741.824 Bytes sind aus der Pipe gelesen, und sie ist noch nicht zu "
                                                "Ende; eine längere Eingabe bitte als Datei angeben.\n");
}

void TestCli::endloseEingabe()
{
    QFETCH(QString, eingabe);
    QFETCH(QByteArray, fehler);
    const Lauf l = laufe(QStringLiteral(MARKWERK_CLI), {QStringLiteral("json"), QStringLiteral("-")},
                         {.vorne = {QStringLiteral("sh"), QStringLiteral("-c"), eingabe}});
    QCOMPARE(l.fehler, "markwerk-cli: Standardeingabe: " + fehler);
    QCOMPARE(l.code, 1);
}

void TestCli::rohrWartetAufSchreiber()
{
    // The writer of a named pipe comes after markwerk-cli has opened it.
    frischerOrdner();
    dokument(QStringLiteral("p.htd"), {"Linie|Linie|Linie"});
    QCOMPARE(::mkfifo(QFile::encodeName(hier(QStringLiteral("rohr"))).constData(), 0600), 0);
    QProcess p;
    p.setWorkingDirectory(m_ordner);
    p.start(QStringLiteral(MARKWERK_CLI), {QStringLiteral("html"), QStringLiteral("rohr"), QStringLiteral("p.htm")});
    QVERIFY(!p.waitForFinished(300));
    QVERIFY(schreib(hier(QStringLiteral("rohr")), lies(hier(QStringLiteral("p.htd")))));
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(p.readAllStandardError(), QByteArray());
    QCOMPARE(lies(hier(QStringLiteral("p.htm"))), seiteMit("<HR>\r\n"));
}

void TestCli::aenderungWaehrendDesGangs()
{
    // The page goes into a pipe that this test reads: markwerk-cli is held in
    // the middle of its walk while the definition file is changed in place.
    // What it read is part old, part new: the command fails.
    frischerOrdner();
    Objektliste l;
    for (int i = 0; i < 2000; ++i)
        l.anhaengen({"Text", "T", std::string(2000, char('a' + i % 26))});
    const QString htd = hier(QStringLiteral("gross.htd")), rohr = hier(QStringLiteral("rohr"));
    SchreibeDefinition(n(htd), "T", false, "", l);
    QCOMPARE(::mkfifo(n(rohr).c_str(), 0600), 0);
    const int leser = ::open(n(rohr).c_str(), O_RDONLY | O_NONBLOCK);
    QProcess p;
    p.start(QStringLiteral(MARKWERK_CLI), {QStringLiteral("html"), htd, rohr});
    // The first piece of the page, then the rest, each within a minute.
    char stueck[1 << 16];
    pollfd bereit{leser, POLLIN, 0};
    QVERIFY(::poll(&bereit, 1, 60000) == 1 && ::read(leser, stueck, sizeof stueck) > 0);
    QFile f(htd);
    QVERIFY(f.open(QIODevice::ReadWrite) && f.seek(f.size() - 4) && f.write("z", 1) == 1);
    f.close();
    while (::poll(&bereit, 1, 60000) == 1 && ((errno = 0), ::read(leser, stueck, sizeof stueck) > 0 || errno == EAGAIN)) {
    }
    ::close(leser);
    QVERIFY(p.waitForFinished(60000) || (p.kill(), false));
    QCOMPARE(p.readAllStandardError(), "markwerk-cli: " + QFile::encodeName(htd) + ": Lesen nach Dateiende (EOF)\n");
    QCOMPARE(p.exitCode(), 1);
}

// ------------------------------------------------------------ -d

void TestCli::stapel_data()
{
    QTest::addColumn<QStringList>("argumente");
    QTest::addColumn<int>("code");
    QTest::addColumn<QStringList>("da");     // files in aus/ afterwards
    QTest::addColumn<QByteArray>("fehler");
    const auto a = [](const char *s) { return QString::fromUtf8(s); };
    QTest::newRow("html") << QStringList{a("html"), a("-d"), a("aus"), a("a.htd"), a("unter/b.htd")} << 0
                          << QStringList{a("a.htm"), a("b.htm")} << QByteArray();
    QTest::newRow("json") << QStringList{a("json"), a("--ordner"), a("aus/"), a("a.htd"), a("unter/b.htd")} << 0
                          << QStringList{a("a.json"), a("b.json")} << QByteArray();
    QTest::newRow("htd") << QStringList{a("htd"), a("-d"), a("aus"), a("a.json")} << 0 << QStringList{a("a.htd")}
                         << QByteArray();
    QTest::newRow("einer von dreien scheitert")
        << QStringList{a("html"), a("-d"), a("aus"), a("a.htd"), a("kurz.htd"), a("unter/b.htd")} << 1
        << QStringList{a("a.htm"), a("b.htm")} << QByteArray("markwerk-cli: kurz.htd: Lesen nach Dateiende (EOF)\n");
    QTest::newRow("zwei scheitern")
        << QStringList{a("html"), a("-d"), a("aus"), a("fehlt.htd"), a("kurz.htd")} << 1 << QStringList()
        << QByteArray("markwerk-cli: fehlt.htd: Datei nicht gefunden.\nmarkwerk-cli: kurz.htd: Lesen nach Dateiende (EOF)\n");
    QTest::newRow("ein Name zweimal") << QStringList{a("html"), a("-d"), a("aus"), a("a.htd"), a("unter/a.htd")} << 1
                                      << QStringList{a("a.htm")}
                                      << QByteArray("markwerk-cli: unter/a.htd: Die Ausgabedatei aus/a.htm kommt schon aus a.htd.\n");
    QTest::newRow("eine Ausgabe ist eine spätere Eingabe")
        << QStringList{a("json"), a("-d"), a("aus"), a("a.htd"), a("aus/a.json")} << 1 << QStringList{a("a.json")}
        << QByteArray("markwerk-cli: a.htd: Die Ausgabedatei aus/a.json ist die Eingabedatei aus/a.json.\n"
                      "markwerk-cli: aus/a.json: Die Ausgabedatei aus/a.json kommt schon aus a.htd.\n");
    QTest::newRow("Ordner fehlt") << QStringList{a("html"), a("-d"), a("fehlt"), a("a.htd"), a("unter/b.htd")} << 1
                                  << QStringList() << QByteArray("markwerk-cli: fehlt: Der Ordner existiert nicht.\n");
    QTest::newRow("- hat keinen Namen") << QStringList{a("html"), a("-d"), a("aus"), a("-")} << 2 << QStringList()
                                        << QByteArray("markwerk-cli: „-“ hat keinen Namen für eine Ausgabe in einem Ordner\n");
}

void TestCli::stapel()
{
    QFETCH(QStringList, argumente);
    QFETCH(int, code);
    QFETCH(QStringList, da);
    QFETCH(QByteArray, fehler);
    frischerOrdner();
    dokument(QStringLiteral("a.htd"), {"Linie|Linie|Linie"});
    dokument(QStringLiteral("unter/b.htd"), {"Link|Start|index.htm"});
    dokument(QStringLiteral("unter/a.htd"), {});
    QVERIFY(schreib(hier(QStringLiteral("kurz.htd")), saetze({3})));
    QVERIFY(QDir().mkpath(hier(QStringLiteral("aus"))));
    QCOMPARE(imOrdner({QStringLiteral("json"), QStringLiteral("a.htd"), QStringLiteral("a.json")}).code, 0);
    // A definition file that only its name takes for JSON.
    const bool eingabeImOrdner = argumente.contains(QStringLiteral("aus/a.json"));
    if (eingabeImOrdner)
        QVERIFY(QFile::copy(hier(QStringLiteral("a.htd")), hier(QStringLiteral("aus/a.json"))));

    const Lauf l = imOrdner(argumente);
    QCOMPARE(l.code, code);
    // Not a terminal: no line of progress.
    if (code == 2)
        QVERIFY(l.fehler.startsWith(fehler));
    else
        QCOMPARE(l.fehler, fehler);
    QCOMPARE(QDir(hier(QStringLiteral("aus"))).entryList(QDir::Files), da);
    if (da.contains(QStringLiteral("a.htm")))
        QCOMPARE(lies(hier(QStringLiteral("aus/a.htm"))), seiteMit("<HR>\r\n"));
    if (eingabeImOrdner)
        QCOMPARE(lies(hier(QStringLiteral("aus/a.json"))), lies(hier(QStringLiteral("a.htd"))));
    if (da.contains(QStringLiteral("b.htm")))
        QCOMPARE(lies(hier(QStringLiteral("aus/b.htm"))), seiteMit("<A HREF=\"index.htm\">Start</A>\r\n"));
    if (da.contains(QStringLiteral("a.htd")))
        QCOMPARE(lies(hier(QStringLiteral("aus/a.htd"))), lies(hier(QStringLiteral("a.htd"))));
    if (da.contains(QStringLiteral("a.json")) && !eingabeImOrdner)
        QCOMPARE(lies(hier(QStringLiteral("aus/a.json"))), lies(hier(QStringLiteral("a.json"))));
}

void TestCli::fortschrittAufTerminal()
{
    // script(1) gives markwerk-cli a terminal as standard error.
    const QString script = QStandardPaths::findExecutable(QStringLiteral("script"));
    if (script.isEmpty())
        QSKIP("script(1) is not installed");
    frischerOrdner();
    dokument(QStringLiteral("a.htd"), {});
    dokument(QStringLiteral("b.htd"), {});
    QVERIFY(QDir().mkpath(hier(QStringLiteral("aus"))));
    QProcess p;
    p.setWorkingDirectory(m_ordner);
    p.start(script, {QStringLiteral("-qec"), QStringLiteral(MARKWERK_CLI " html -d aus a.htd b.htd fehlt.htd"),
                     QStringLiteral("/dev/null")});
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(p.exitCode(), 1);
    QCOMPARE(p.readAllStandardOutput(), QByteArray("\r\033[K1/3 a.htd\r\033[K2/3 b.htd\r\033[K3/3 fehlt.htd\r\033[K"
                                                   "markwerk-cli: fehlt.htd: Datei nicht gefunden.\r\n"));
}
// ------------------------------------------------------------ check

void TestCli::pruefung_data()
{
    QTest::addColumn<QByteArrayList>("objekte");
    QTest::addColumn<QByteArray>("hintergrund");
    QTest::addColumn<QByteArray>("befunde"); // "@" stands for the test's folder
    QTest::newRow("nichts zu finden")
        << QByteArrayList{"Bild|Logo|logo.gif", "Bild|Netz|https://beispiel.de/a b.gif", "Link|Start|index.htm",
                          "Link|Wurzel|/impressum.htm", "Tabelle|Preise|2\xF0" "1\xF0" "a\xF0" " \xF0", "Text|x|<b>\"</b>",
                          "Linie|Linie|Linie", "Link|Da \"x\"|a.htm"}
        << QByteArray("bilder/../logo.gif") << QByteArray();
    QTest::newRow("Bild fehlt")
        << QByteArrayList{"Bild|Logo|fehlt.gif"} << QByteArray()
        << QByteArray("d.htd: Objekt 1 (Bild \"Logo\"): Die Bilddatei „fehlt.gif“ ist nicht vorhanden.\n");
    QTest::newRow("Laufwerk")
        << QByteArrayList{"Linie|Linie|Linie", "Bild|Logo|C:\\BILDER\\LOGO.GIF"} << QByteArray()
        << QByteArray("d.htd: Objekt 2 (Bild \"Logo\"): „C:\\BILDER\\LOGO.GIF“ ist ein absoluter Pfad und gilt nur auf dem "
                      "eigenen Rechner, nicht im Netz.\n"
                      "d.htd: Objekt 2 (Bild \"Logo\"): Die Bilddatei „C:\\BILDER\\LOGO.GIF“ ist nicht vorhanden.\n");
    QTest::newRow("absolut, aber vorhanden")
        << QByteArrayList{"Bild|\xC4rger|@/logo.gif"} << QByteArray()
        << QByteArray("d.htd: Objekt 1 (Bild \"Ärger\"): „@/logo.gif“ ist ein absoluter Pfad und gilt nur auf dem "
                      "eigenen Rechner, nicht im Netz.\n");
    QTest::newRow("Anführungszeichen")
        << QByteArrayList{"Bild|Lo\"go|lo\"go.gif"} << QByteArray()
        << QByteArray("d.htd: Objekt 1 (Bild \"Lo\"go\"): Die Beschreibung enthält ein Anführungszeichen (\"), das das "
                      "ALT-Attribut der Seite abschneidet.\n"
                      "d.htd: Objekt 1 (Bild \"Lo\"go\"): Der Pfad enthält ein Anführungszeichen (\"), das das SRC-Attribut "
                      "der Seite abschneidet.\n"
                      "d.htd: Objekt 1 (Bild \"Lo\"go\"): Die Bilddatei „lo\"go.gif“ ist nicht vorhanden.\n");
    QTest::newRow("Links")
        << QByteArrayList{"Link|a|seite zwei.htm", "Link|b|x\"y.htm", "Link|c|file:///home/a.htm"} << QByteArray()
        << QByteArray("d.htd: Objekt 1 (Link \"a\"): Die Adresse „seite zwei.htm“ enthält Leerzeichen.\n"
                      "d.htd: Objekt 2 (Link \"b\"): Die Adresse enthält ein Anführungszeichen (\"), das das HREF-Attribut "
                      "der Seite abschneidet.\n"
                      "d.htd: Objekt 3 (Link \"c\"): „file:///home/a.htm“ ist ein absoluter Pfad und gilt nur auf dem "
                      "eigenen Rechner, nicht im Netz.\n");
    QTest::newRow("Tabelle und Art")
        << QByteArrayList{"Tabelle|Preise|0\xF0" "2\xF0", "Tabelle|Kurz|2\xF0" "2\xF0" "a\xF0", "bild|klein|logo.gif"}
        << QByteArray()
        << QByteArray("d.htd: Objekt 1 (Tabelle \"Preise\"): Die Tabellendaten sind beschädigt (0 Zeilen, 2 Spalten)\n"
                      "d.htd: Objekt 2 (Tabelle \"Kurz\"): Die Tabellendaten sind unvollständig.\n"
                      "d.htd: Objekt 3 (bild \"klein\"): Unbekannte Art: das Objekt erscheint nicht auf der Seite.\n");
    // A count that is no number is that table's finding; the objects after
    // it are still looked at.
    QTest::newRow("Anzahl keine Zahl")
        << QByteArrayList{"Tabelle|Preise|x\xF0" "2\xF0" "a\xF0" "b\xF0", "bild|klein|logo.gif"} << QByteArray()
        << QByteArray("d.htd: Objekt 1 (Tabelle \"Preise\"): 'x' ist kein gültiger Integerwert.\n"
                      "d.htd: Objekt 2 (bild \"klein\"): Unbekannte Art: das Objekt erscheint nicht auf der Seite.\n");
    // One finding, one line, whatever the strings hold.
    QTest::newRow("Steuerzeichen") << QByteArrayList{"Bild|a\nb|x\ty.gif"} << QByteArray()
        << QByteArray("d.htd: Objekt 1 (Bild \"a\xEF\xBF\xBD" "b\"): Die Bilddatei „x\xEF\xBF\xBDy.gif“ ist nicht vorhanden.\n");
    QTest::newRow("Hintergrund") << QByteArrayList{} << QByteArray("hinter.gif")
                                 << QByteArray("d.htd: Hintergrund: Die Bilddatei „hinter.gif“ ist nicht vorhanden.\n");
}

void TestCli::pruefung()
{
    QFETCH(QByteArrayList, objekte);
    QFETCH(QByteArray, hintergrund);
    QFETCH(QByteArray, befunde);
    frischerOrdner();
    const QByteArray ordner = QFile::encodeName(m_ordner);
    for (QByteArray &o : objekte)
        o.replace('@', ordner);
    dokument(QStringLiteral("d.htd"), objekte, hintergrund);
    QVERIFY(schreib(hier(QStringLiteral("logo.gif")), "GIF89a"));
    QVERIFY(QDir().mkpath(hier(QStringLiteral("bilder"))));

    Lauf l = imOrdner({QStringLiteral("check"), QStringLiteral("d.htd")});
    QCOMPARE(l.aus, befunde.replace('@', ordner));
    QCOMPARE(l.fehler, QByteArray());
    QCOMPARE(l.code, befunde.isEmpty() ? 0 : 3);

    // A file that cannot be read wins over findings, which still come.
    l = imOrdner({QStringLiteral("check"), QStringLiteral("fehlt.htd"), QStringLiteral("d.htd")});
    QCOMPARE(l.code, 1);
    QCOMPARE(l.aus, befunde);
    QCOMPARE(l.fehler, QByteArray("markwerk-cli: fehlt.htd: Datei nicht gefunden.\n"));
}

// ------------------------------------------------------------ export

void TestCli::exportOrdner_data()
{
    QTest::addColumn<QByteArrayList>("objekte");
    QTest::addColumn<QStringList>("optionen");
    QTest::addColumn<QString>("vorher"); // aus/ before: "" none, "leer", "voll"
    QTest::addColumn<QStringList>("dateien");
    QTest::addColumn<QByteArrayList>("seite"); // what the page holds
    QTest::addColumn<QByteArray>("fehler");
    const auto a = [](const char *s) { return QString::fromUtf8(s); };
    QTest::newRow("die Seite des Programms")
        << QByteArrayList{"Bild|Logo|quelle/logo.gif", "Bild|Wieder|quelle/../quelle/logo.gif", "Linie|Linie|Linie",
                          "Bild|Netz|https://beispiel.de/b.gif"}
        << QStringList() << QString() << QStringList{a("bilder/logo.gif"), a("index.htm")}
        << QByteArrayList{"<HTML>\r\n<HEAD>\r\n<TITLE>T</TITLE>\r\n</HEAD>\r\n<BODY BACKGROUND=\"bilder/logo.gif\">\r\n"
                          "<IMG SRC=\"bilder/logo.gif\" ALT=\"Logo\">\r\n<IMG SRC=\"bilder/logo.gif\" ALT=\"Wieder\">\r\n"
                          "<HR>\r\n<IMG SRC=\"https://beispiel.de/b.gif\" ALT=\"Netz\">\r\n</BODY>\r\n</HTML>\r\n"}
        << QByteArray();
    QTest::newRow("Namen") << QByteArrayList{"Bild|A|quelle/logo.gif", "Bild|B|quelle/andere/LOGO.gif",
                                             "Bild|C|quelle/B\xE4r #1 100%.gif"}
                           << QStringList() << a("leer")
                           << QStringList{a("bilder/B\u00e4r #1 100%.gif"), a("bilder/LOGO-2.gif"), a("bilder/logo.gif"),
                                          a("index.htm")}
                           << QByteArrayList{"SRC=\"bilder/LOGO-2.gif\"", "SRC=\"bilder/B%C3%A4r%20%231%20100%25.gif\""}
                           << QByteArray();
    QTest::newRow("HTML5") << QByteArrayList{"Bild|Lo\"go <1>|quelle/logo.gif", "Text|x|<b>fett</b> & \xE4\x81",
                                             "Tabelle|T|2\xF0" "2\xF0" "a\"\xF0" " \xF0" "b\xF0" "c\xF0", "Link|<i>Start</i>|a\"b.htm"}
                           << QStringList{a("--html5"), a("-n"), a("seite.html")} << QString()
                           << QStringList{a("bilder/logo.gif"), a("seite.html")}
                           << QByteArrayList{"<!DOCTYPE html>\n<html lang=\"de\">\n<head>\n<meta charset=\"utf-8\">\n"
                                             "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
                                             "<title>T</title>\n",
                                             "body { background-image: url(\"bilder/logo.gif\"); }",
                                             "<img src=\"bilder/logo.gif\" alt=\"Lo&quot;go &lt;1&gt;\">\n",
                                             "<div class=\"text\"><b>fett</b> & \xC3\xA4</div>\n",
                                             "<tr>\n<td>a\"</td>\n<td>&nbsp;</td>\n</tr>",
                                             "<a href=\"a&quot;b.htm\"><i>Start</i></a>\n</body>\n</html>\n"}
                           << QByteArray();
    QTest::newRow("Bild fehlt") << QByteArrayList{"Bild|Logo|quelle/logo.gif", "Bild|Weg|quelle/weg.gif"} << QStringList()
                                << QString() << QStringList() << QByteArrayList()
                                << QByteArray("markwerk-cli: d.htd: Objekt 2 (Bild \"Weg\"): Die Bilddatei „quelle/weg.gif“ ist "
                                              "nicht vorhanden.\n");
    QTest::newRow("Ordner nicht leer") << QByteArrayList{} << QStringList() << a("voll") << QStringList{a("x")}
                                       << QByteArrayList() << QByteArray("markwerk-cli: aus: Der Zielordner ist nicht leer.\n");
}

void TestCli::exportOrdner()
{
    QFETCH(QByteArrayList, objekte);
    QFETCH(QStringList, optionen);
    QFETCH(QString, vorher);
    QFETCH(QStringList, dateien);
    QFETCH(QByteArrayList, seite);
    QFETCH(QByteArray, fehler);
    frischerOrdner();
    QVERIFY(QDir().mkpath(hier(QStringLiteral("quelle/andere"))));
    // Only pictures are copied; these are ones by their first bytes.
    QVERIFY(schreib(hier(QStringLiteral("quelle/logo.gif")), "GIF89a logo"));
    QVERIFY(schreib(hier(QStringLiteral("quelle/andere/LOGO.gif")), "GIF89a anderes Logo"));
    QVERIFY(schreib(hier(QStringLiteral("quelle/B\u00e4r #1 100%.gif")), "GIF89a B\xE4r"));
    dokument(QStringLiteral("d.htd"), objekte, "quelle/logo.gif");
    if (!vorher.isEmpty())
        QVERIFY(QDir().mkpath(hier(QStringLiteral("aus"))));
    if (vorher == QStringLiteral("voll"))
        QVERIFY(schreib(hier(QStringLiteral("aus/x")), "x"));
    // An empty folder that is there is filled, not replaced: it keeps its
    // owner, permissions and whoever works in it.
    const auto knoten = [this] {
        struct stat st;
        return ::stat(QFile::encodeName(hier(QStringLiteral("aus"))).constData(), &st) == 0 ? st.st_ino : 0;
    };
    const ino_t ordnerVorher = knoten();

    const Lauf l = imOrdner(QStringList{QStringLiteral("export"), QStringLiteral("d.htd"), QStringLiteral("aus")} + optionen);
    if (!vorher.isEmpty())
        QCOMPARE(knoten(), ordnerVorher);
    QCOMPARE(l.fehler, fehler);
    QCOMPARE(l.code, fehler.isEmpty() ? 0 : 1);
    QStringList da;
    for (QDirIterator it(hier(QStringLiteral("aus")), QDir::Files, QDirIterator::Subdirectories); it.hasNext();)
        da << it.next().mid(hier(QStringLiteral("aus/")).size());
    da.sort();
    QCOMPARE(da, dateien);
    // Nothing is left beside it, whether it worked or not.
    QCOMPARE(QDir(m_ordner).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).size(), vorher.isEmpty() && !fehler.isEmpty() ? 2 : 3);
    if (dateien.contains(QStringLiteral("bilder/LOGO-2.gif")))
        QCOMPARE(lies(hier(QStringLiteral("aus/bilder/LOGO-2.gif"))), QByteArray("GIF89a anderes Logo"));
    const QString name = dateien.contains(QStringLiteral("seite.html")) ? QStringLiteral("seite.html") : QStringLiteral("index.htm");
    const QByteArray inhalt = lies(hier(QStringLiteral("aus/") + name));
    for (const QByteArray &teil : seite)
        QVERIFY2(inhalt.contains(teil), teil.constData());
}

// ------------------------------------------------------------ "cells"

void TestCli::jsonZellen_data()
{
    QTest::addColumn<QByteArray>("objekt");
    QTest::addColumn<QByteArray>("ergebnis"); // the JSON written back, or standard error
    const QByteArray form = "markwerk-cli: f.json: Die JSON-Daten sind kein Markwerk-Dokument: ";
    QTest::newRow("wie das Tabellenfenster")
        << QByteArray(R"({"kind": "Tabelle", "description": "P", "cells": [["Name", "Preis"], ["Brot", ""]]})")
        << QByteArray(R"({"kind": "Tabelle", "description": "P", "data": "2ð2ðNameðPreisðBrotð ð"})");
    QTest::newRow("ð vorn") << QByteArray(R"({"kind": "Tabelle", "description": "P", "cells": [["ðx", "b"], ["c", "d"]]})")
                            << QByteArray(R"({"kind": "Tabelle", "description": "P", "data": "2ð2ððxðbðcðdð"})");
    QTest::newRow("ð danach") << QByteArray(R"({"kind": "Tabelle", "description": "P", "cells": [["a", "b"], ["c", "dð"]]})")
                              << QByteArray("markwerk-cli: f.json: Objekt 1 (Tabelle \"P\"): Die Zelle in Zeile 2, Spalte 2 "
                                            "enthält das Zeichen „ð“ nach ihrem ersten Zeichen. Dort kann die Tabelle es nicht "
                                            "speichern, denn es trennt die Zellen voneinander.\n");
    QTest::newRow("beides") << QByteArray(R"({"kind": "Tabelle", "description": "P", "data": "", "cells": []})")
                            << form + "\"data\" und \"cells\" zugleich in Objekt 1.\n";
    QTest::newRow("keins") << QByteArray(R"({"kind": "Tabelle", "description": "P"})")
                           << form + "\"data\" oder \"cells\" fehlt in Objekt 1.\n";
    QTest::newRow("bei einem Bild") << QByteArray(R"({"kind": "Bild", "description": "P", "cells": []})")
                                    << form + "\"cells\" in Objekt 1 gibt es nur bei einer Tabelle.\n";
    QTest::newRow("eine Zeile") << QByteArray(R"({"kind": "Tabelle", "description": "P", "cells": [["a", "b"]]})")
                                << form + "\"cells\" in Objekt 1 hat 1 Zeilen; eine Tabelle hat 2 bis 20.\n";
    QTest::newRow("21 Spalten")
        << QByteArray(R"({"kind": "Tabelle", "description": "P", "cells": [["","","","","","","","","","","","","","","","","","","","",""], []]})")
        << form + "Zeile 1 von \"cells\" in Objekt 1 hat 21 Zellen; eine Tabelle hat 2 bis 20.\n";
    QTest::newRow("ungleich lang") << QByteArray(R"({"kind": "Tabelle", "description": "P", "cells": [["a", "b"], ["c"]]})")
                                   << form + "Zeile 2 von \"cells\" in Objekt 1 hat 1 Zellen statt 2.\n";
    QTest::newRow("eine Zahl") << QByteArray(R"({"kind": "Tabelle", "description": "P", "cells": [["a", 1], ["c", "d"]]})")
                               << form + "Zeile 1 von \"cells\" in Objekt 1, Zelle 2 ist keine Zeichenkette.\n";
    QTest::newRow("keine Liste") << QByteArray(R"({"kind": "Tabelle", "description": "P", "cells": "a"})")
                                 << form + "\"cells\" in Objekt 1 ist keine Liste von Zeilen.\n";
}

void TestCli::jsonZellen()
{
    QFETCH(QByteArray, objekt);
    QFETCH(QByteArray, ergebnis);
    frischerOrdner();
    QVERIFY(schreib(hier(QStringLiteral("f.json")),
                    R"({"title": "", "background": {"enabled": false, "path": ""}, "objects": [)" + objekt + "]}"));
    const Lauf l = imOrdner({QStringLiteral("htd"), QStringLiteral("f.json"), QStringLiteral("f.htd")});
    if (ergebnis.startsWith("markwerk-cli: ")) {
        QCOMPARE(l.fehler, ergebnis);
        QCOMPARE(l.code, 1);
        QVERIFY(!QFile::exists(hier(QStringLiteral("f.htd"))));
        return;
    }
    QCOMPARE(l.fehler, QByteArray());
    QVERIFY(imOrdner({QStringLiteral("json"), QStringLiteral("f.htd")}).aus.contains("\n    " + ergebnis + "\n"));
}

// ------------------------------------------------------------ arguments

void TestCli::aufruf_data()
{
    QTest::addColumn<QStringList>("argumente");
    QTest::addColumn<int>("code");
    QTest::addColumn<QByteArrayList>("aus");
    QTest::addColumn<QByteArray>("fehler"); // how standard error begins
    const auto a = [](const char *s) { return QString::fromUtf8(s); };
    QTest::newRow("--help") << QStringList{a("--help")} << 0
        << QByteArrayList{"html|json|htd -d ORDNER", "check DEFINITION.htd...", "export DEFINITION.htd ORDNER [--html5] [-n NAME]",
                          "Exit-Status:", "  3  check hat etwas gefunden", "\"cells\": [[\"Name\", \"Preis\"]"}
        << QByteArray();
    QTest::newRow("-- beendet die Optionen") << QStringList{a("html"), a("--"), a("-d.htd"), a("-")} << 0
                                             << QByteArrayList{"<HTML>\r\n"} << QByteArray();
    QTest::newRow("unbekannte Option") << QStringList{a("html"), a("--farbe"), a("a"), a("b")} << 2 << QByteArrayList()
                                       << QByteArray("markwerk-cli: unbekannte Option „--farbe“\nAufruf:");
    QTest::newRow("-d ohne Wert") << QStringList{a("html"), a("-d")} << 2 << QByteArrayList()
                                  << QByteArray("markwerk-cli: nach „-d“ fehlt der Wert\n");
    QTest::newRow("--html5 bei html") << QStringList{a("html"), a("--html5"), a("a"), a("b")} << 2 << QByteArrayList()
                                      << QByteArray("markwerk-cli: „--html5“ gilt nur für export\n");
    QTest::newRow("-d bei check") << QStringList{a("check"), a("-d"), a("x"), a("a")} << 2 << QByteArrayList()
                                  << QByteArray("markwerk-cli: „--ordner“ gilt nur für html, json und htd\n");
    for (const char *seite : {"Bilder", "index.php", ".htaccess", ".htm"})
        QTest::addRow("Seite namens %s", seite)
            << QStringList{a("export"), a("a"), a("b"), a("-n"), a(seite)} << 2 << QByteArrayList()
            << "markwerk-cli: „" + QByteArray(seite) + "“ taugt nicht als Name der Seite; er endet auf .htm oder .html\n";
    QTest::newRow("check ohne Datei") << QStringList{a("check")} << 2 << QByteArrayList()
                                      << QByteArray("markwerk-cli: keine Definitionsdatei für „check“\n");
    QTest::newRow("Hilfe ins Volle") << QStringList{a("--help"), a(">/dev/full")} << 1 << QByteArrayList()
                                     << QByteArray("markwerk-cli: Standardausgabe: Stream-Write-Fehler.\n");
    QTest::newRow("Name, der kein UTF-8 ist") << QStringList{a("html"), a("@latin1"), a("-")} << 0
                                               << QByteArrayList{"<HR>\r\n"} << QByteArray();
}

void TestCli::aufruf()
{
    QFETCH(QStringList, argumente);
    QFETCH(int, code);
    QFETCH(QByteArrayList, aus);
    QFETCH(QByteArray, fehler);
    frischerOrdner();
    dokument(QStringLiteral("-d.htd"), {"Linie|Linie|Linie"});
    // A name in Latin-1, as an older system wrote it, that no QString
    // holds: its bytes pass through the shell.
    std::FILE *latin1 = std::fopen(QFile::encodeName(m_ordner).append("/b\xE4r").constData(), "wb");
    QVERIFY(latin1);
    const QByteArray htd = lies(hier(QStringLiteral("-d.htd")));
    QCOMPARE(std::fwrite(htd.constData(), 1, std::size_t(htd.size()), latin1), std::size_t(htd.size()));
    std::fclose(latin1);
    QStringList shell;
    for (const QString &arg : argumente) {
        shell << (arg == QStringLiteral("@latin1") ? QStringLiteral("\"$(printf 'b\\344r')\"")
                  : arg.startsWith(QLatin1Char('>')) ? arg : QLatin1Char('\'') + arg + QLatin1Char('\''));
    }
    QProcess p;
    p.setWorkingDirectory(m_ordner);
    p.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), QStringLiteral("exec '" MARKWERK_CLI "' ") + shell.join(QLatin1Char(' '))});
    QVERIFY(p.waitForFinished(60000));
    const QByteArray ausgabe = p.readAllStandardOutput();
    QVERIFY(p.readAllStandardError().startsWith(fehler));
    QCOMPARE(p.exitCode(), code);
    for (const QByteArray &teil : aus)
        QVERIFY2(ausgabe.contains(teil), teil.constData());
}

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
