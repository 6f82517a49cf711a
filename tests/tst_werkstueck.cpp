// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

// The benchmarks' documents: fixed by their seed, and shaped as the
// benchmarks promise.

#include "datei.h"
#include "definitionsansicht.h"
#include "definitionsdatei.h"
#include "generation.h"
#include "hilfen.h"
#include "tabellendaten.h"
#include "werkstueck.h"

#include <QTemporaryDir>
#include <QTest>

#include <bitset>
#include <map>

class TestWerkstueck : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void kleinIstDiePreisliste();
    void grossHatSeineForm();
    void gleicheSaatGleichesDokument();
    void grossInPlatzWieImSpeicher();
};

void TestWerkstueck::kleinIstDiePreisliste()
{
    const Werkstueck w = kleinesWerkstueck();
    Speichereinstellungen e;
    e.setzeTitel(w.Titel);
    e.setzeHintergrundAktiv(w.Hintergrund);
    e.wendeHintergrundpfadAn(w.Hintergrundpfad);
    QCOMPARE(QByteArray::fromStdString(Seite(e, w.Objekte)), hilfen::preislistenSeite);
}

void TestWerkstueck::grossHatSeineForm()
{
    const Werkstueck w = grossesWerkstueck();
    QCOMPARE(w.Objekte.Anzahl(), 100000);

    std::map<std::string, int> arten;
    std::bitset<256> zeichen;
    // Title, background flag, object count and the three list counts.
    std::uint64_t saetze = 1 + w.Titel.size() + 1 + 1 + 3;
    for (const Objekt &o : w.Objekte) {
        ++arten[o.Art];
        saetze += 3 + o.Art.size() + o.Beschreibung.size() + o.Daten.size();
        if (o.Art == "Text") {
            QCOMPARE(o.Daten.size(), std::size_t(500));
            for (const char c : o.Daten)
                zeichen.set(static_cast<unsigned char>(c));
        } else if (o.Art == "Tabelle") {
            const Tabelle t = DatenZuTabelle(o.Daten);
            QCOMPARE(t.Zeilen, 10);
            QCOMPARE(t.Spalten, 10);
            for (const std::string &zelle : t.Zellen)
                QCOMPARE(zelle.size(), std::size_t(8));
        } else if (o.Art == "Bild" || o.Art == "Link") {
            QCOMPARE(o.Daten.size(), std::size_t(60));
        }
    }
    for (const char *art : {"Bild", "Linie", "Link", "Tabelle", "Text"})
        QCOMPARE(arten[art], 20000);
    // The paragraphs hold every printable byte of the code page, the
    // umlauts and the euro sign among them.
    for (int b = 0x20; b < 0x100; ++b)
        QVERIFY2(zeichen.test(std::size_t(b)), qPrintable(QString::number(b, 16)));
    // Its definition file, four bytes a record, is above 100 MB.
    QVERIFY(4 * saetze > 100'000'000);
    QCOMPARE(w.zeichenbytes() + 6 + 3 * std::uint64_t(w.Objekte.Anzahl()), saetze);
}

void TestWerkstueck::gleicheSaatGleichesDokument()
{
    const Werkstueck a = grossesWerkstueck(5, 500);
    const Werkstueck b = grossesWerkstueck(5, 500);
    const Werkstueck c = grossesWerkstueck(6, 500);
    QVERIFY(std::equal(a.Objekte.begin(), a.Objekte.end(), b.Objekte.begin(), b.Objekte.end()));
    QCOMPARE(a.Titel, b.Titel);
    QVERIFY(!std::equal(a.Objekte.begin(), a.Objekte.end(), c.Objekte.begin(), c.Objekte.end()));
    QCOMPARE(grossesWerkstueck(5, 0).Objekte.Anzahl(), 0);
}

void TestWerkstueck::grossInPlatzWieImSpeicher()
{
    // W-large's page from its file walked in place, as markwerk-cli html
    // makes it, is the page of the document in memory.
    const Werkstueck w = grossesWerkstueck();
    QTemporaryDir ordner;
    const std::string datei = hilfen::n(ordner.filePath(QStringLiteral("w-large.htd")));
    SchreibeDefinition(datei, w.Titel, w.Hintergrund, w.Hintergrundpfad, w.Objekte);
    Speichereinstellungen e;
    e.setzeTitel(w.Titel);
    Lesedatei lesedatei(datei);
    const Definitionsansicht ansicht(lesedatei);
    QVERIFY(Seite(ansicht) == Seite(e, w.Objekte));
}

QTEST_GUILESS_MAIN(TestWerkstueck)
#include "tst_werkstueck.moc"
