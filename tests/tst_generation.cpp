// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

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

QTEST_GUILESS_MAIN(TestGeneration)
#include "tst_generation.moc"
