// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

// markwerk-cli as a process: exit codes, standard error, the files it leaves.

#include "hilfen.h"
#include "markwerk_version.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace hilfen;

class TestCli : public QObject
{
    Q_OBJECT

private:
    struct Lauf
    {
        int code = -1;
        QByteArray aus;
        QByteArray fehler;
    };
    static Lauf starte(const QStringList &argumente)
    {
        QProcess p;
        p.start(QStringLiteral(MARKWERK_CLI), argumente);
        p.waitForFinished(60000);
        return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
                p.readAllStandardError()};
    }
    QString pfad(const QString &name) const { return m_dir.filePath(name); }
    QTemporaryDir m_dir;

private Q_SLOTS:
    void beispielWirdZurSeite();
    void jsonHinUndZurueck();
    void jsonMitAllenBytes();
    void fehlerLassenDateienInRuhe();
    void falscheJsonDaten_data();
    void falscheJsonDaten();
    void jsonAusRohr();
    void falscherAufruf();
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

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
