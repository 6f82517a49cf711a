// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

#include "datei.h"
#include "definitionsansicht.h"
#include "definitionsdatei.h"
#include "einstellungen.h"
#include "fehler.h"
#include "generation.h"
#include "hilfen.h"
#include "tabellendaten.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace hilfen;

class TestGeneration : public QObject
{
    Q_OBJECT

private:
    static QByteArray seite(const Dokumenteinstellungen &e, const Objektliste &l)
    {
        return QByteArray::fromStdString(Seite(e, l));
    }
    QTemporaryDir m_dir;

private Q_SLOTS:
    void preisliste();
    void leeresDokument();
    void nichtsWirdMaskiert();
    void tabelleZeilenzahl();
    void hintergrundOhneDatei();
    void kaputteTabelleSchreibtNichts();
    void dateiNichtErstellbar();
    void vollePlatteLaesstAlteSeite();
    void ansichtWieGeladen_data();
    void ansichtWieGeladen();
    void verkuerztImLauf();
};

void TestGeneration::preisliste()
{
    Speichereinstellungen e;
    preislistenEinstellungen(e);
    const QString datei = m_dir.filePath(QStringLiteral("preise.htm"));
    Generieren(n(datei), e, hilfen::preisliste());
    const QByteArray inhalt = lies(datei);
    QCOMPARE(inhalt, preislistenSeite);
    QCOMPARE(inhalt.count("\r\n"), 21);
}

void TestGeneration::leeresDokument()
{
    Speichereinstellungen e;
    e.setzeTitel("");
    QCOMPARE(seite(e, Objektliste()),
             QByteArray("<HTML>\r\n<HEAD>\r\n<TITLE></TITLE>\r\n</HEAD>\r\n<BODY>\r\n</BODY>\r\n</HTML>\r\n"));
}

void TestGeneration::nichtsWirdMaskiert()
{
    Speichereinstellungen e;
    e.setzeTitel("A & B <i>\xE4</i>");
    Objektliste l;
    l.anhaengen({"Bild", "Ein \"Zitat\"", "a&b.png"});
    l.anhaengen({"Text", "", "<B>fett</B> & \x80"});
    l.anhaengen({"Link", "<i>hier</i>", "x.htm?a=1&b=\"2\""});
    l.anhaengen({"bild", "klein geschrieben", "ergibt keine Zeile"});
    QCOMPARE(seite(e, l),
             QByteArray("<HTML>\r\n<HEAD>\r\n<TITLE>A & B <i>\xE4</i></TITLE>\r\n</HEAD>\r\n<BODY>\r\n"
                        "<IMG SRC=\"a&b.png\" ALT=\"Ein \"Zitat\"\">\r\n"
                        "<BR><P><B>fett</B> & \x80<BR><P>\r\n"
                        "<A HREF=\"x.htm?a=1&b=\"2\"\"><i>hier</i></A>\r\n"
                        "</BODY>\r\n</HTML>\r\n"));
}

void TestGeneration::tabelleZeilenzahl()
{
    Speichereinstellungen e;
    for (const auto &[r, c] : {std::pair{2, 2}, {3, 7}, {20, 20}}) {
        Objektliste l;
        l.anhaengen({"Tabelle", "", TabelleZuDaten(r, c, std::vector<std::string>(std::size_t(r * c)))});
        const QByteArray s = seite(e, l);
        QCOMPARE(s.count("\r\n"), 7 + r * (c + 2) + 2);
    }
}

void TestGeneration::hintergrundOhneDatei()
{
    Speichereinstellungen e;
    e.setzeHintergrundAktiv(true);
    QVERIFY(seite(e, Objektliste()).contains("\r\n<BODY BACKGROUND=\"\">\r\n"));
}

void TestGeneration::kaputteTabelleSchreibtNichts()
{
    Speichereinstellungen e;
    Objektliste l;
    l.anhaengen({"Linie", "Linie", "Linie"});
    l.anhaengen({"Tabelle", "kaputt", "x\xF0" "2\xF0"});
    const QString datei = m_dir.filePath(QStringLiteral("kaputt.htm"));
    QVERIFY(schreib(datei, "vorher"));
    QVERIFY_THROWS_EXCEPTION(KonvertierungsFehler, Generieren(n(datei), e, l));
    try {
        Generieren(n(datei), e, l);
    } catch (const Fehler &f) {
        QCOMPARE(QString::fromUtf8(f.what()), QStringLiteral("'x' ist kein gültiger Integerwert"));
    }
    QCOMPARE(lies(datei), QByteArray("vorher"));
}

void TestGeneration::dateiNichtErstellbar()
{
    Speichereinstellungen e;
    const std::string datei = n(m_dir.filePath(QStringLiteral("fehlt/seite.htm")));
    try {
        Generieren(datei, e, Objektliste());
        QFAIL("keine Ausnahme");
    } catch (const ErstellFehler &f) {
        QCOMPARE(std::string(f.what()), "Datei " + datei + " kann nicht erstellt werden");
    }
    QVERIFY(!QDir(m_dir.filePath(QStringLiteral("fehlt"))).exists());
}

void TestGeneration::vollePlatteLaesstAlteSeite()
{
    Speichereinstellungen e;
    preislistenEinstellungen(e);
    const QString datei = m_dir.filePath(QStringLiteral("alt.htm"));
    Generieren(n(datei), e, hilfen::preisliste());

    Objektliste gross;
    for (int i = 0; i < 2000; ++i)
        gross.anhaengen({"Text", "", std::string(200, 'x')});
    try {
        Dateigrenze grenze(100 * 1024);
        Generieren(n(datei), e, gross);
        QFAIL("keine Ausnahme");
    } catch (const SchreibFehler &f) {
        QCOMPARE(QString::fromUtf8(f.what()), QStringLiteral("Stream-Write-Fehler"));
    }
    QCOMPARE(lies(datei), preislistenSeite);
}

void TestGeneration::ansichtWieGeladen_data()
{
    // Each row damages the price list at every record in one way, the page
    // or the error of a walk in place must be that of a load.
    QTest::addColumn<int>("art");
    QTest::addColumn<qint32>("wert");
    QTest::newRow("unversehrt") << 0 << 0;
    QTest::newRow("abgeschnitten") << 1 << 0;
    // A load's error comes first even where the table before it is broken.
    QTest::newRow("abgeschnitten hinter kaputter Tabelle") << 3 << 0;
    QTest::newRow("Satz -1") << 2 << -1;
    QTest::newRow("Satz 0") << 2 << 0;
    QTest::newRow("Satz 1") << 2 << 1;
    QTest::newRow("Satz 7") << 2 << 7;
    QTest::newRow("Satz riesig") << 2 << 0x7FFFFFFF;
    QTest::newRow("Satz ð") << 2 << 0xF0;
}

void TestGeneration::ansichtWieGeladen()
{
    QFETCH(int, art);
    QFETCH(qint32, wert);
    Objektliste liste = hilfen::preisliste();
    liste.anhaengen({"Tabelle", "Zwei", art == 3 ? "x\xF0" : "1\xF0" "2\xF0" "a\xF0" "b\xF0"});
    liste.anhaengen({"Text", "Danach", "Text"});
    const QString datei = m_dir.filePath(QStringLiteral("quelle.htd"));
    SchreibeDefinition(n(datei), "Preisliste", true, "hinter.gif", liste);
    const QByteArray heil = lies(datei);
    const QString kaputt = m_dir.filePath(QStringLiteral("kaputt.htd"));
    for (qsizetype stelle = 0; stelle < (art == 0 ? 4 : heil.size()); stelle += 4) {
        QByteArray inhalt = heil;
        if (art == 1 || art == 3)
            inhalt.truncate(stelle);
        else if (art == 2)
            inhalt.replace(stelle, 4, saetze({wert}));
        QVERIFY(schreib(kaputt, inhalt));

        std::string erwartet, ergebnis;
        try {
            const Definition d = LeseDefinition(n(kaputt));
            Speichereinstellungen e;
            uebernehmeEinstellungen(d, e);
            erwartet = Seite(e, Objektliste(d.Objekte));
        } catch (const Fehler &f) {
            erwartet = f.what();
        }
        try {
            Lesedatei lesedatei(n(kaputt));
            const Definitionsansicht ansicht(lesedatei);
            ergebnis = Seite(ansicht);
        } catch (const ObjektFehler &f) {
            // Names its object in front of the load's text.
            ergebnis = f.what();
            for (const std::string vorn : {"Objekt 3 (Tabelle \"Preise\"): ", "Objekt 6 (Tabelle \"Zwei\"): "}) {
                if (ergebnis.rfind(vorn, 0) == 0)
                    ergebnis.erase(0, vorn.size());
            }
        } catch (const Fehler &f) {
            ergebnis = f.what();
        }
        QVERIFY2(ergebnis == erwartet, qPrintable(QStringLiteral("Stelle %1").arg(stelle)));
    }
}

void TestGeneration::verkuerztImLauf()
{
    // A file another program shortens while it is mapped fails the walk with
    // a read error; the process lives on.
    Objektliste liste;
    for (int i = 0; i < 200; ++i)
        liste.anhaengen({"Text", "Absatz", std::string(1000, 'x')});
    const QString datei = m_dir.filePath(QStringLiteral("lang.htd"));
    SchreibeDefinition(n(datei), "", false, "", liste);
    Lesedatei lesedatei(n(datei));
    const Definitionsansicht ansicht(lesedatei);
    QVERIFY(QFile::resize(datei, 100 * 1000));
    try {
        Seite(ansicht);
        QFAIL("walked a shortened file");
    } catch (const EAFehler &f) {
        QCOMPARE(f.code(), 100);
    }
}

QTEST_GUILESS_MAIN(TestGeneration)
#include "tst_generation.moc"
