// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

#include "fehler.h"
#include "tabellendaten.h"

#include <QTest>

using namespace std::string_literals;

class TestTabellendaten : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void kodierenUndDekodieren_data();
    void kodierenUndDekodieren();
    void leereZellenWerdenLeerzeichen();
    void ueberzaehligeFelderZaehlenNicht();
    void zellenMitTrennzeichenAmAnfang();
    void unzulaessigesTrennzeichen();
    void zahlenfelder_data();
    void zahlenfelder();
    void beschaedigteDatenHaltenAn_data();
    void beschaedigteDatenHaltenAn();
};

void TestTabellendaten::kodierenUndDekodieren_data()
{
    QTest::addColumn<int>("zeilen");
    QTest::addColumn<int>("spalten");
    QTest::addColumn<QByteArray>("zellen"); // '|'-separated, row by row
    QTest::addColumn<QByteArray>("daten");

    QTest::newRow("Preise 2x2") << 2 << 2 << QByteArray("Name|Preis|Brot|")
                                << QByteArray::fromHex("32F032F04E616D65F05072656973F042726F74F020F0");
    QTest::newRow("leer 6x4") << 6 << 4 << QByteArray(23, '|')
                              << QByteArray::fromHex("36F034F0") + QByteArray::fromHex("20F0").repeated(24);
    QTest::newRow("Leerzeichen an den Enden") << 2 << 2 << QByteArray("  a | b|   |c  ")
                                              << QByteArray("2\xF0" "2\xF0  a \xF0 b\xF0   \xF0" "c  \xF0");
}

static std::vector<std::string> zellenAus(const QByteArray &liste)
{
    std::vector<std::string> zellen;
    for (const QByteArray &z : liste.split('|'))
        zellen.push_back(z.toStdString());
    return zellen;
}

void TestTabellendaten::kodierenUndDekodieren()
{
    QFETCH(int, zeilen);
    QFETCH(int, spalten);
    QFETCH(QByteArray, zellen);
    QFETCH(QByteArray, daten);

    const std::string kodiert = TabelleZuDaten(zeilen, spalten, zellenAus(zellen));
    QCOMPARE(QByteArray::fromStdString(kodiert), daten);

    const Tabelle t = DatenZuTabelle(kodiert);
    QCOMPARE(t.Zeilen, zeilen);
    QCOMPARE(t.Spalten, spalten);
    // Decoding and encoding again gives the same bytes: an empty cell came
    // back as one space and stays one.
    QCOMPARE(QByteArray::fromStdString(TabelleZuDaten(t.Zeilen, t.Spalten, t.Zellen)), daten);
}

void TestTabellendaten::leereZellenWerdenLeerzeichen()
{
    const Tabelle t = DatenZuTabelle(TabelleZuDaten(2, 2, {"Name", "Preis", "Brot", ""}));
    QCOMPARE(t.Zellen, (std::vector<std::string>{"Name", "Preis", "Brot", " "}));
    QCOMPARE(t.zelle(1, 0), "Brot"s);

    const std::string zwoelf = TabelleZuDaten(12, 3, std::vector<std::string>(36));
    QCOMPARE(QByteArray::fromStdString(zwoelf.substr(0, 5)), QByteArray::fromHex("3132F033F0"));
}

void TestTabellendaten::ueberzaehligeFelderZaehlenNicht()
{
    const Tabelle t = DatenZuTabelle("1\xF0" "1\xF0" "a\xF0" "b\xF0");
    QCOMPARE(t.Zeilen, 1);
    QCOMPARE(t.Spalten, 1);
    QCOMPARE(t.Zellen, std::vector<std::string>{"a"});
}

void TestTabellendaten::zellenMitTrennzeichenAmAnfang()
{
    const std::vector<std::string> zellen{"\xF0", "\xF0x", "y", "\xF0\xF0"};
    const Tabelle t = DatenZuTabelle(TabelleZuDaten(2, 2, zellen));
    QCOMPARE(t.Zellen[0], "\xF0"s);
    QCOMPARE(t.Zellen[1], "\xF0x"s);
    QCOMPARE(t.Zellen[2], "y"s);
    // A second separator ends the cell: that text cannot be carried.
    QCOMPARE(t.Zellen[3], "\xF0"s);
}

void TestTabellendaten::unzulaessigesTrennzeichen()
{
    QCOMPARE(::unzulaessigesTrennzeichen("\xF0" "abc"), std::string::npos);
    QCOMPARE(::unzulaessigesTrennzeichen(""), std::string::npos);
    QCOMPARE(::unzulaessigesTrennzeichen("ab\xF0" "c"), std::size_t(2));
    QCOMPARE(::unzulaessigesTrennzeichen("\xF0\xF0"), std::size_t(1));
}

void TestTabellendaten::zahlenfelder_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("wert");
    QTest::addColumn<bool>("gueltig");
    QTest::newRow("6") << QByteArray("6") << 6 << true;
    QTest::newRow("+12") << QByteArray("+12") << 12 << true;
    QTest::newRow("-3") << QByteArray("-3") << -3 << true;
    QTest::newRow("leer") << QByteArray("") << 0 << false;
    QTest::newRow("x") << QByteArray("x") << 0 << false;
    QTest::newRow("6 ") << QByteArray("6 ") << 0 << false;
    QTest::newRow("+-3") << QByteArray("+-3") << 0 << false;
    QTest::newRow("zu gross") << QByteArray("99999999999") << 0 << false;
}

void TestTabellendaten::zahlenfelder()
{
    QFETCH(QByteArray, text);
    QFETCH(int, wert);
    QFETCH(bool, gueltig);
    try {
        QCOMPARE(alsGanzzahl(text.toStdString()), wert);
        QVERIFY(gueltig);
    } catch (const KonvertierungsFehler &f) {
        QVERIFY(!gueltig);
        QCOMPARE(QString::fromUtf8(f.what()), QStringLiteral("'%1' ist kein gültiger Integerwert").arg(QLatin1StringView(text)));
    }
}

void TestTabellendaten::beschaedigteDatenHaltenAn_data()
{
    QTest::addColumn<QByteArray>("daten");
    QTest::addColumn<QString>("meldung");
    const QString unvollstaendig = QStringLiteral("Die Tabellendaten sind unvollständig");
    QTest::newRow("beginnt mit Trennzeichen") << QByteArray("\xF0" "2\xF0") << QStringLiteral("'' ist kein gültiger Integerwert");
    QTest::newRow("Spalten kein Integer") << QByteArray("2\xF0x\xF0") << QStringLiteral("'x' ist kein gültiger Integerwert");
    QTest::newRow("Umlaut im Zahlfeld") << QByteArray("\xE4\xF0" "2\xF0") << QStringLiteral("'ä' ist kein gültiger Integerwert");
    QTest::newRow("leer") << QByteArray() << unvollstaendig;
    QTest::newRow("ohne Trennzeichen") << QByteArray("2") << unvollstaendig;
    QTest::newRow("letzte Zelle offen") << QByteArray("1\xF0" "2\xF0" "a\xF0" "b") << unvollstaendig;
    QTest::newRow("Zellen fehlen") << QByteArray("2\xF0" "2\xF0" "a\xF0") << unvollstaendig;
    QTest::newRow("riesige Zahlen") << QByteArray("2000000000\xF0" "2000000000\xF0" "a\xF0") << unvollstaendig;
    QTest::newRow("null Zeilen") << QByteArray("0\xF0" "4\xF0") << QStringLiteral("Die Tabellendaten sind beschädigt (0 Zeilen, 4 Spalten)");
    QTest::newRow("negative Spalten") << QByteArray("2\xF0-1\xF0") << QStringLiteral("Die Tabellendaten sind beschädigt (2 Zeilen, -1 Spalten)");
}

void TestTabellendaten::beschaedigteDatenHaltenAn()
{
    QFETCH(QByteArray, daten);
    QFETCH(QString, meldung);
    try {
        DatenZuTabelle(daten.toStdString());
        QFAIL("keine Ausnahme");
    } catch (const Fehler &f) {
        QCOMPARE(QString::fromUtf8(f.what()), meldung);
    }
}

QTEST_APPLESS_MAIN(TestTabellendaten)
#include "tst_tabellendaten.moc"
