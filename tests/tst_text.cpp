// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

// Windows-1252 text, the error texts and the captions of the object list.

#include "fehler.h"
#include "objektliste.h"
#include "umzug.h"
#include "win1252.h"

#include <QTest>

using namespace std::string_literals;

class TestText : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void alleBytesHinUndZurueck();
    void obereZeichen();
    void nichtDarstellbareZeichen();
    void punktregel_data();
    void punktregel();
    void eaTexte();
    void kopfzeilen_data();
    void kopfzeilen();
    void listeBearbeiten();
    void umzug_data();
    void umzug();
};

void TestText::alleBytesHinUndZurueck()
{
    std::string alle;
    for (int b = 0; b < 256; ++b)
        alle += char(b);
    const QString text = Win1252::zuText(alle);
    QCOMPARE(text.size(), 256);
    QVERIFY(Win1252::darstellbar(text));
    QCOMPARE(Win1252::zuBytes(text), alle);
    QCOMPARE(Win1252::zuBytesStreng(text), alle);
    // Every byte has its own character.
    QCOMPARE(QSet<QChar>(text.begin(), text.end()).size(), 256);
}

void TestText::obereZeichen()
{
    // The 32 bytes where Windows-1252 differs from Latin-1; the five it
    // leaves undefined stand for the control characters of the same value.
    const QString erwartet = QStringLiteral(u"\u20AC\u0081\u201A\u0192\u201E\u2026\u2020\u2021\u02C6\u2030\u0160"
                                            u"\u2039\u0152\u008D\u017D\u008F\u0090\u2018\u2019\u201C\u201D\u2022"
                                            u"\u2013\u2014\u02DC\u2122\u0161\u203A\u0153\u009D\u017E\u0178");
    std::string bytes;
    for (int b = 0x80; b <= 0x9F; ++b)
        bytes += char(b);
    QCOMPARE(Win1252::zuText(bytes), erwartet);
    QCOMPARE(Win1252::zuBytes(erwartet), bytes);

    QCOMPARE(Win1252::zuText("\x80\x81\x8A\x9F\xE4\xF0\xFF"), QStringLiteral("€\u0081ŠŸäðÿ"));
    QCOMPARE(Win1252::zuBytes(u"Grüße – „Preis“ 5 €"), "Gr\xFC\xDF" "e \x96 \x84Preis\x93 5 \x80"s);
}

void TestText::nichtDarstellbareZeichen()
{
    const QString text = QStringLiteral("a\u0100b\U0001F600c\u0080");
    QVERIFY(!Win1252::darstellbar(text));
    QCOMPARE(Win1252::zuBytes(text), "a?b?c?"s);
    QCOMPARE(Win1252::bereinigt(text), QStringLiteral("a?b?c?"));
    QCOMPARE(Win1252::bereinigt(u"schön"), QStringLiteral("schön"));
    try {
        Win1252::zuBytesStreng(text);
        QFAIL("keine Ausnahme");
    } catch (const ZeichensatzFehler &f) {
        QCOMPARE(QString::fromUtf8(f.what()),
                 QStringLiteral("Das Zeichen \"\u0100\" (U+0100) ist im Zeichensatz Windows-1252 nicht enthalten"));
    }
    try {
        Win1252::zuBytesStreng(QStringLiteral("x\U0001F600"));
        QFAIL("keine Ausnahme");
    } catch (const ZeichensatzFehler &f) {
        QVERIFY(QString::fromUtf8(f.what()).contains(QStringLiteral("(U+1F600)")));
    }
}

void TestText::punktregel_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("meldung");
    QTest::newRow("Buchstabe") << QStringLiteral("Datei nicht gefunden") << QStringLiteral("Datei nicht gefunden.");
    QTest::newRow("Klammer") << QStringLiteral("Lesen nach Dateiende (EOF)") << QStringLiteral("Lesen nach Dateiende (EOF)");
    QTest::newRow("Ziffer") << QStringLiteral("I/O-Fehler 32") << QStringLiteral("I/O-Fehler 32.");
    QTest::newRow("Umlaut") << QStringLiteral("erschöpft") << QStringLiteral("erschöpft.");
    QTest::newRow("Punkt") << QStringLiteral("Ende.") << QStringLiteral("Ende.");
    QTest::newRow("Apostroph") << QStringLiteral("'x'") << QStringLiteral("'x'");
    QTest::newRow("leer") << QString() << QString();
}

void TestText::punktregel()
{
    QFETCH(QString, text);
    QFETCH(QString, meldung);
    QCOMPARE(QString::fromStdString(mitPunkt(text.toStdString())), meldung);
}

void TestText::eaTexte()
{
    const auto text = [](const EAFehler &f) { return QString::fromUtf8(f.what()); };
    QCOMPARE(text(EAFehler(2)), QStringLiteral("Datei nicht gefunden"));
    QCOMPARE(text(EAFehler(3)), QStringLiteral("Ungültiger Dateiname"));
    QCOMPARE(text(EAFehler(4)), QStringLiteral("Zu viele Dateien geöffnet"));
    QCOMPARE(text(EAFehler(5)), QStringLiteral("Dateizugriff verweigert"));
    QCOMPARE(text(EAFehler(100)), QStringLiteral("Lesen nach Dateiende (EOF)"));
    QCOMPARE(text(EAFehler(101)), QStringLiteral("Kapazität der Diskette/Festplatte erschöpft"));
    QCOMPARE(text(EAFehler(106)), QStringLiteral("Ungültige numerische Eingabe"));
    QCOMPARE(text(EAFehler(32)), QStringLiteral("I/O-Fehler 32"));

    QCOMPARE(EAFehler::ausErrno(ENOENT, true).code(), 2);
    QCOMPARE(EAFehler::ausErrno(ENOENT, false).code(), 3);
    QCOMPARE(EAFehler::ausErrno(ENOTDIR, true).code(), 3);
    QCOMPARE(EAFehler::ausErrno(EMFILE, true).code(), 4);
    QCOMPARE(EAFehler::ausErrno(EROFS, false).code(), 5);
    QCOMPARE(EAFehler::ausErrno(EFBIG, false).code(), 101);
    QCOMPARE(EAFehler::ausErrno(ENOSPC, false).code(), 101);
    // EIO happens to be 5 on Linux; it must not read as a refused access.
    QCOMPARE(text(EAFehler::ausErrno(EIO, false)), QStringLiteral("I/O-Fehler %1").arg(EIO));
}

void TestText::kopfzeilen_data()
{
    QTest::addColumn<QByteArray>("art");
    QTest::addColumn<QByteArray>("beschreibung");
    QTest::addColumn<QByteArray>("daten");
    QTest::addColumn<QByteArray>("kopfzeile");
    QTest::addColumn<int>("symbol");
    QTest::newRow("Bild") << QByteArray("Bild") << QByteArray("Logo") << QByteArray("C:\\BILDER\\LOGO.BMP")
                          << QByteArray("Bild: \"Logo\" C:\\BILDER\\LOGO.BMP") << 0;
    QTest::newRow("Bild ohne Datei") << QByteArray("Bild") << QByteArray("") << QByteArray("")
                                     << QByteArray("Bild: \"\" ") << 0;
    QTest::newRow("Linie") << QByteArray("Linie") << QByteArray("Linie") << QByteArray("Linie") << QByteArray("Linie") << 1;
    QTest::newRow("Link") << QByteArray("Link") << QByteArray("Start \"hier\"") << QByteArray("index.htm")
                          << QByteArray("Link: \"Start \"hier\"\" index.htm") << 2;
    QTest::newRow("Tabelle") << QByteArray("Tabelle") << QByteArray("Preise") << QByteArray("2\xF0") << QByteArray("Tabelle: \"Preise\"") << 3;
    QTest::newRow("Text") << QByteArray("Text") << QByteArray("Absatz") << QByteArray("lang") << QByteArray("Text: \"Absatz\"") << 4;
    QTest::newRow("unbekannt") << QByteArray("bild") << QByteArray("x") << QByteArray("y") << QByteArray() << 0;
}

void TestText::kopfzeilen()
{
    QFETCH(QByteArray, art);
    QFETCH(QByteArray, beschreibung);
    QFETCH(QByteArray, daten);
    QFETCH(QByteArray, kopfzeile);
    QFETCH(int, symbol);
    const Objekt o{art.toStdString(), beschreibung.toStdString(), daten.toStdString()};
    QCOMPARE(QByteArray::fromStdString(Kopfzeile(o)), kopfzeile);
    QCOMPARE(Symbolindex(o.Art), symbol);
}

void TestText::listeBearbeiten()
{
    Objektliste l;
    l.anhaengen({"Linie", "Linie", "Linie"});
    l.anhaengen({"Text", "A", "a"});
    l.anhaengen({"Text", "B", "b"});
    l.tauschen(1, 2);
    QCOMPARE(l[1].Beschreibung, "B"s);
    l.setzen(1, "C", "c");
    QCOMPARE(l[1], (Objekt{"Text", "C", "c"}));
    l.loschen(0);
    QCOMPARE(l.Anzahl(), 2);
    QCOMPARE(l[0].Beschreibung, "C"s);
    l.leeren();
    QCOMPARE(l.Anzahl(), 0);
}

void TestText::umzug_data()
{
    // Picture paths of a document in /home/anna/seiten, saved into another
    // folder.
    QTest::addColumn<QByteArray>("pfad");
    QTest::addColumn<QByteArray>("neu");
    QTest::addColumn<QByteArray>("ergebnis");
    const auto zeile = [](const char *name, const char *pfad, const char *neu, const char *ergebnis) {
        QTest::newRow(name) << QByteArray(pfad) << QByteArray(neu) << QByteArray(ergebnis);
    };
    zeile("derselbe Ordner", "bilder/../x.png", "/home/anna/seiten/", "bilder/../x.png");
    zeile("Unterordner", "bilder/logo.gif", "/home/anna/seiten/alt", "../bilder/logo.gif");
    zeile("darüber", "./bilder/logo.gif", "/home/anna", "seiten/bilder/logo.gif");
    zeile("daneben", "../gemeinsam/x.bmp", "/home/bert", "../anna/gemeinsam/x.bmp");
    zeile("nur die Wurzel gemeinsam", "bilder/logo.gif", "/tmp", "/home/anna/seiten/bilder/logo.gif");
    zeile("über die Wurzel hinaus", "../../../../x.png", "/tmp", "/x.png");
    zeile("Windows-1252", "B\xFCro/gr\xFC\xDF" "e.bmp", "/home", "anna/seiten/B\xFCro/gr\xFC\xDF" "e.bmp");
    zeile("Doppelpunkt im Namen", "bilder/a:b.png", "/home", "anna/seiten/bilder/a:b.png");
    for (const char *fest : {"/srv/x.png", "C:\\BILDER\\LOGO.GIF", "c:/x.png", "\\\\server\\x.png", "https://example.org/x.png", "file:x.png", ""})
        zeile(*fest ? fest : "leer", fest, "/tmp", fest);
}

void TestText::umzug()
{
    QFETCH(QByteArray, pfad);
    QFETCH(QByteArray, neu);
    QFETCH(QByteArray, ergebnis);
    QCOMPARE(QByteArray::fromStdString(Umzug::umgezogen(pfad.toStdString(), "/home/anna/seiten", neu.toStdString())), ergebnis);
}

QTEST_APPLESS_MAIN(TestText)
#include "tst_text.moc"
