// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

// Paths only large documents take: a page longer than the generator's
// buffer, a definition file that is sent to the disk while it is written,
// table cells of every length around the decoder's block size.

#include "definitionsdatei.h"
#include "einstellungen.h"
#include "fehler.h"
#include "generation.h"
#include "hilfen.h"
#include "tabellendaten.h"

#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <cstdlib>
#include <malloc.h>
#include <new>

using namespace hilfen;

// The bytes this process holds through new at most, counted while `zaehlen`
// is set.
static std::atomic<bool> zaehlen{false};
static std::atomic<std::size_t> belegt{0}, spitze{0};

void *operator new(std::size_t groesse)
{
    void *p = std::malloc(groesse ? groesse : 1);
    if (!p)
        throw std::bad_alloc();
    if (zaehlen) {
        const std::size_t jetzt = belegt += malloc_usable_size(p);
        for (std::size_t s = spitze; jetzt > s && !spitze.compare_exchange_weak(s, jetzt);) {
        }
    }
    return p;
}

void operator delete(void *p) noexcept
{
    if (p && zaehlen)
        belegt -= std::min<std::size_t>(belegt, malloc_usable_size(p));
    std::free(p);
}

void operator delete(void *p, std::size_t) noexcept
{
    operator delete(p);
}

namespace {

// A document whose page is several megabytes: text, tables, images, links.
Objektliste grossesDokument(int anzahl)
{
    Objektliste l;
    std::vector<std::string> zellen(12);
    for (int i = 0; i < anzahl; ++i) {
        const std::string nummer = std::to_string(i);
        switch (i % 4) {
        case 0:
            l.anhaengen({"Text", "Absatz " + nummer, std::string(400, char('a' + i % 26)) + nummer});
            break;
        case 1:
            for (std::size_t c = 0; c < zellen.size(); ++c)
                zellen[c] = c % 5 == 0 ? std::string() : nummer + std::string(c, '\xE4');
            l.anhaengen({"Tabelle", "Tabelle " + nummer, TabelleZuDaten(3, 4, zellen)});
            break;
        case 2:
            l.anhaengen({"Bild", "Bild " + nummer, "C:\\BILDER\\" + nummer + ".GIF"});
            break;
        default:
            l.anhaengen({"Link", "Link " + nummer, nummer + ".htm"});
            break;
        }
    }
    return l;
}

} // namespace

class TestGrosseDateien : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

private Q_SLOTS:
    void seiteUeberDenPufferHinaus();
    void kaputteTabelleNachDemErstenPufferSchreibtNichts();
    void kaputteTabelleVorErstellFehler();
    void kaputteTabelleVorSchreibFehler();
    void schreibfehlerMittenInDerSeite();
    void grosseDefinitionsdatei();
    void speicherBeimLaden_data();
    void speicherBeimLaden();
    void zuLangeFelder_data();
    void zuLangeFelder();
    void zellenJederLaenge();
    void abgeschnitteneTabellendaten();
    void wiederverwendeteZerlegung();
};

void TestGrosseDateien::seiteUeberDenPufferHinaus()
{
    Speichereinstellungen e;
    e.setzeTitel("Gro\xDF");
    const Objektliste l = grossesDokument(20000);
    const std::string erwartet = Seite(e, l);
    QVERIFY(erwartet.size() > 3 * 1024 * 1024);
    const QString datei = m_dir.filePath(QStringLiteral("gross.htm"));
    Generieren(n(datei), e, l);
    QCOMPARE(lies(datei), QByteArray::fromStdString(erwartet));
}

void TestGrosseDateien::kaputteTabelleNachDemErstenPufferSchreibtNichts()
{
    Speichereinstellungen e;
    Objektliste l = grossesDokument(10000);
    l.anhaengen({"Tabelle", "kaputt", "3\xF0" "x\xF0"});
    const QTemporaryDir ordner;
    const QString datei = ordner.filePath(QStringLiteral("kaputt.htm"));
    QVERIFY(schreib(datei, "vorher"));
    try {
        Generieren(n(datei), e, l);
        QFAIL("keine Ausnahme");
    } catch (const KonvertierungsFehler &f) {
        QCOMPARE(QString::fromUtf8(f.what()), QStringLiteral("'x' ist kein gültiger Integerwert"));
    }
    QCOMPARE(lies(datei), QByteArray("vorher"));
    // Nothing of the new page is left beside it.
    QCOMPARE(QDir(ordner.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("kaputt.htm")});
}

void TestGrosseDateien::kaputteTabelleVorErstellFehler()
{
    // The page is built before the file is made: a broken table is the error
    // even where the file cannot be created.
    Speichereinstellungen e;
    Objektliste l = grossesDokument(10000);
    l.anhaengen({"Tabelle", "kaputt", "\xF0"});
    const std::string datei = n(m_dir.filePath(QStringLiteral("fehlt/seite.htm")));
    QVERIFY_THROWS_EXCEPTION(KonvertierungsFehler, Generieren(datei, e, l));
    l = grossesDokument(10000);
    QVERIFY_THROWS_EXCEPTION(ErstellFehler, Generieren(datei, e, l));
}

void TestGrosseDateien::kaputteTabelleVorSchreibFehler()
{
    Speichereinstellungen e;
    Objektliste l = grossesDokument(10000);
    l.anhaengen({"Tabelle", "kaputt", "2\xF0" "2\xF0" "a\xF0"});
    const QString datei = m_dir.filePath(QStringLiteral("voll.htm"));
    QVERIFY(schreib(datei, "vorher"));
    {
        Dateigrenze grenze(512 * 1024);
        QVERIFY_THROWS_EXCEPTION(TabellenFehler, Generieren(n(datei), e, l));
    }
    QCOMPARE(lies(datei), QByteArray("vorher"));
}

void TestGrosseDateien::schreibfehlerMittenInDerSeite()
{
    Speichereinstellungen e;
    const Objektliste l = grossesDokument(20000);
    const QString datei = m_dir.filePath(QStringLiteral("halb.htm"));
    QVERIFY(schreib(datei, "vorher"));
    try {
        Dateigrenze grenze(1536 * 1024);
        Generieren(n(datei), e, l);
        QFAIL("keine Ausnahme");
    } catch (const SchreibFehler &f) {
        QCOMPARE(QString::fromUtf8(f.what()), QStringLiteral("Stream-Write-Fehler"));
    }
    QCOMPARE(lies(datei), QByteArray("vorher"));
}

void TestGrosseDateien::grosseDefinitionsdatei()
{
    // Far beyond the size after which the writer sends pages to the disk
    // while it goes on.
    const Objektliste l = grossesDokument(30000);
    const std::string datei = n(m_dir.filePath(QStringLiteral("gross.htd")));
    SchreibeDefinition(datei, "Titel", true, "C:\\HINTER.GIF", l);
    QVERIFY(QFileInfo(QString::fromStdString(datei)).size() > 16 * 1024 * 1024);
    const Definition d = LeseDefinition(datei);
    QCOMPARE(d.Titel, std::string("Titel"));
    QVERIFY(d.Hintergrund);
    QCOMPARE(d.Hintergrundpfad, std::string("C:\\HINTER.GIF"));
    QVERIFY(Objektliste(d.Objekte).Anzahl() == l.Anzahl());
    QVERIFY(std::equal(l.begin(), l.end(), d.Objekte.begin(), d.Objekte.end()));
}

void TestGrosseDateien::speicherBeimLaden_data()
{
    QTest::addColumn<int>("beschreibungen");
    QTest::addColumn<bool>("angenommen");
    QTest::newRow("Objekte fehlen") << 0 << false;
    QTest::newRow("vollständig") << 400'000 << true;
}

void TestGrosseDateien::speicherBeimLaden()
{
    // 400,000 objects claimed, every kind a short word; descriptions and data
    // empty or missing. A refused file must not cost more than the buffer,
    // an accepted one not much more than the file.
    QFETCH(int, beschreibungen);
    QFETCH(bool, angenommen);
    const int anzahl = 400'000;
    QByteArray datei = saetze({0, 0, anzahl, anzahl});
    const QByteArray art = zeichenkette("Linie");
    for (int i = 0; i < anzahl; ++i)
        datei += art;
    datei += saetze({beschreibungen});
    for (int i = 0; i < beschreibungen; ++i)
        datei += saetze({0});
    datei += saetze({beschreibungen});
    for (int i = 0; i < beschreibungen; ++i)
        datei += saetze({0});
    const QString pfad = m_dir.filePath(QStringLiteral("viele.htd"));
    QVERIFY(schreib(pfad, datei));

    spitze = belegt = 0;
    zaehlen = true;
    bool gelesen = false;
    try {
        gelesen = LeseDefinition(n(pfad)).Objekte.size() == std::size_t(anzahl);
    } catch (const ListenIndexFehler &) {
    }
    zaehlen = false;
    QCOMPARE(gelesen, angenommen);
    const std::size_t grenze = angenommen ? 3 * std::size_t(datei.size()) : std::size_t(2) << 20;
    QVERIFY2(spitze <= grenze, qPrintable(QStringLiteral("%1 Bytes für eine Datei von %2").arg(spitze).arg(datei.size())));
}

void TestGrosseDateien::zuLangeFelder_data()
{
    QTest::addColumn<QByteArray>("kopf"); // the records before the long string's characters
    QTest::addColumn<qint64>("laenge");
    QTest::addColumn<QString>("meldung");
    QTest::newRow("Titel") << saetze({600'000'000}) << qint64(600'000'000)
                           << QStringLiteral("Der Titel ist mit 600.000.000 Zeichen zu lang für das Programm; ein Feld "
                                             "fasst höchstens 1.000.000 Zeichen");
    QTest::newRow("Text") << saetze({0, 0, 1, 1}) + zeichenkette("Text") + saetze({1, 0, 1, 7'000'000}) << qint64(7'000'000)
                          << QStringLiteral("Der Text von Objekt 1 ist mit 7.000.000 Zeichen zu lang für das Programm; ein "
                                            "Feld fasst höchstens 500.000 Zeichen");
}

void TestGrosseDateien::zuLangeFelder()
{
    // A sparse file whose string the windows could not show is refused from
    // its length record: no more memory than the read buffer.
    QFETCH(QByteArray, kopf);
    QFETCH(qint64, laenge);
    QFETCH(QString, meldung);
    const QString pfad = m_dir.filePath(QStringLiteral("lang.htd"));
    QFile f(pfad);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QVERIFY(f.write(kopf) == kopf.size() && f.resize(kopf.size() + 4 * laenge));
    QVERIFY(f.seek(f.size()) && f.write(saetze({0, 0, 0, 0, 0})) == 20);
    f.close();

    spitze = belegt = 0;
    zaehlen = true;
    QString fehler;
    try {
        LeseDefinition(n(pfad), nullptr, Fenstergrenzen);
    } catch (const FeldFehler &e) {
        fehler = QString::fromUtf8(e.what());
    }
    zaehlen = false;
    QFile::remove(pfad);
    QCOMPARE(fehler, meldung);
    QVERIFY2(spitze <= std::size_t(2) << 20, qPrintable(QString::number(spitze)));
}

void TestGrosseDateien::zellenJederLaenge()
{
    // Cells from 1 to 40 bytes, so that separators fall on every place of a
    // 16-byte block; some begin with the separator byte itself.
    std::vector<std::string> zellen;
    for (int laenge = 1; laenge <= 40; ++laenge) {
        std::string z(std::size_t(laenge), char('A' + laenge % 26));
        if (laenge % 7 == 0)
            z[0] = Trennzeichen;
        zellen.push_back(z);
    }
    const std::string daten = TabelleZuDaten(5, 8, zellen);
    const Tabelle t = DatenZuTabelle(daten);
    QCOMPARE(t.Zeilen, 5);
    QCOMPARE(t.Spalten, 8);
    QVERIFY(t.Zellen == zellen);
    QCOMPARE(TabelleZuDaten(t.Zeilen, t.Spalten, t.Zellen), daten);
}

void TestGrosseDateien::abgeschnitteneTabellendaten()
{
    std::vector<std::string> zellen;
    for (int i = 0; i < 12; ++i)
        zellen.push_back(std::string(std::size_t(3 * i + 1), 'x'));
    const std::string daten = TabelleZuDaten(3, 4, zellen);
    // Every shorter piece lacks a separator the fields announce.
    for (std::size_t laenge = 0; laenge < daten.size(); ++laenge) {
        try {
            DatenZuTabelle(std::string_view(daten).substr(0, laenge));
            QFAIL(qPrintable(QStringLiteral("keine Ausnahme bei Länge %1").arg(laenge)));
        } catch (const TabellenFehler &) {
        } catch (const KonvertierungsFehler &) {
            QVERIFY(laenge < 4);
        }
    }
    QVERIFY(DatenZuTabelle(daten).Zellen == zellen);
}

void TestGrosseDateien::wiederverwendeteZerlegung()
{
    Tabellenansicht t;
    zerlegeTabellendaten(TabelleZuDaten(2, 3, {"a", "b", "c", "d", "e", "f"}), t);
    QCOMPARE(t.Zellen.size(), std::size_t(6));
    const std::string klein = TabelleZuDaten(1, 2, {"x", ""});
    zerlegeTabellendaten(klein, t);
    QCOMPARE(t.Zeilen, 1);
    QCOMPARE(t.Spalten, 2);
    QCOMPARE(t.Zellen.size(), std::size_t(2));
    QCOMPARE(t.Zellen[0], std::string_view("x"));
    QCOMPARE(t.Zellen[1], std::string_view(" "));
    QVERIFY_THROWS_EXCEPTION(KonvertierungsFehler, zerlegeTabellendaten("\xF0", t));
}

QTEST_GUILESS_MAIN(TestGrosseDateien)
#include "tst_grosse_dateien.moc"
