// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

// Properties that hold for every document, checked on many random ones drawn
// from a fixed seed: a saved document loads as itself and saves as the same
// bytes, JSON goes into a definition file and comes back unchanged, and table
// data decodes to the cells it was made of.

#include "definitionsdatei.h"
#include "einstellungen.h"
#include "fehler.h"
#include "hilfen.h"
#include "jsonformat.h"
#include "tabellendaten.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <bitset>
#include <random>
#include <set>

using namespace hilfen;

namespace {

// Random documents. Strings are drawn from all 256 byte values, often empty,
// sometimes long; kinds are the five known ones and unknown ones (other
// letter case, empty, any bytes).
class Zufall
{
public:
    explicit Zufall(std::uint32_t saat)
        : m_gen(saat)
    {
    }

    int zahl(int von, int bis) { return std::uniform_int_distribution<int>(von, bis)(m_gen); }
    bool ja(int prozent) { return zahl(1, 100) <= prozent; }

    std::string bytes(std::size_t laenge)
    {
        std::string s(laenge, '\0');
        for (char &c : s)
            c = char(zahl(0, 255));
        return s;
    }

    std::string text()
    {
        const int art = zahl(1, 100);
        if (art <= 20)
            return {};
        if (art <= 80)
            return bytes(std::size_t(zahl(1, 12)));
        if (art <= 97)
            return bytes(std::size_t(zahl(13, 400)));
        return bytes(std::size_t(zahl(401, 20000)));
    }

    // A cell the encoding can carry: the separator only as the first byte.
    std::string zelle()
    {
        if (ja(25))
            return {};
        std::string s = ja(10) ? std::string(std::size_t(zahl(1, 3)), ' ') : text();
        for (std::size_t i = 1; i < s.size(); ++i) {
            if (s[i] == Trennzeichen)
                s[i] = 'x';
        }
        if (!s.empty() && ja(10))
            s[0] = Trennzeichen;
        return s;
    }

    Tabelle tabelle()
    {
        Tabelle t;
        t.Zeilen = ja(90) ? zahl(1, 20) : zahl(21, 300);
        t.Spalten = ja(90) ? zahl(1, 20) : zahl(1, 3);
        for (int i = 0; i < t.Zeilen * t.Spalten; ++i)
            t.Zellen.push_back(zelle());
        return t;
    }

    Objekt objekt()
    {
        static const std::string bekannt[] = {"Bild", "Linie", "Link", "Tabelle", "Text"};
        static const std::string unbekannt[] = {"bild", "TEXT", "", "Tabelle ", "Bild\xE4"};
        Objekt o;
        const int art = zahl(0, 11);
        if (art < 5)
            o.Art = bekannt[art];
        else if (art < 10)
            o.Art = unbekannt[art - 5];
        else
            o.Art = text();
        o.Beschreibung = text();
        if (o.Art == "Tabelle" && ja(80)) {
            const Tabelle t = tabelle();
            o.Daten = TabelleZuDaten(t.Zeilen, t.Spalten, t.Zellen);
        } else {
            // Damaged table data, too, is carried as it is.
            o.Daten = text();
        }
        return o;
    }

    Definition dokument()
    {
        Definition d;
        d.Titel = text();
        d.Hintergrund = ja(50);
        if (d.Hintergrund)
            d.Hintergrundpfad = text();
        const int anzahl = ja(10) ? 0 : zahl(1, ja(90) ? 12 : 200);
        for (int i = 0; i < anzahl; ++i)
            d.Objekte.push_back(objekt());
        return d;
    }

private:
    std::mt19937 m_gen;
};

void vergleiche(const Definition &ist, const Definition &soll)
{
    QCOMPARE(ist.Titel, soll.Titel);
    QCOMPARE(ist.Hintergrund, soll.Hintergrund);
    QCOMPARE(ist.Hintergrundpfad, soll.Hintergrundpfad);
    QCOMPARE(ist.Objekte.size(), soll.Objekte.size());
    for (std::size_t i = 0; i < ist.Objekte.size(); ++i)
        QVERIFY2(ist.Objekte[i] == soll.Objekte[i], qPrintable(QStringLiteral("Objekt %1").arg(i)));
}

// The length a definition file must have: one record per count, length and
// character.
qint64 erwarteteLaenge(const Definition &d)
{
    qint64 saetze = 1 + qint64(d.Titel.size()) + 1 + 1 + 3;
    if (d.Hintergrund)
        saetze += 1 + qint64(d.Hintergrundpfad.size());
    for (const Objekt &o : d.Objekte)
        saetze += 3 + qint64(o.Art.size() + o.Beschreibung.size() + o.Daten.size());
    return 4 * saetze;
}

} // namespace

class TestEigenschaften : public QObject
{
    Q_OBJECT

private:
    QString pfad(const QString &name) const { return m_dir.filePath(name); }
    QTemporaryDir m_dir;

private Q_SLOTS:
    void zufallDecktAllesAb();
    void speichernLadenSpeichern();
    void jsonDefinitionJson();
    void jsonDurchDasProgramm();
    void tabellenKodierenDekodieren();
};

void TestEigenschaften::zufallDecktAllesAb()
{
    // The documents of speichernLadenSpeichern() (same seed, same number)
    // hold every byte value, every kind and unknown ones, empty and long
    // strings.
    Zufall z(1);
    std::bitset<256> bytes;
    std::set<std::string> arten;
    int leer = 0;
    int lang = 0;
    for (int i = 0; i < 150; ++i) {
        const Definition d = z.dokument();
        for (const std::string *s : {&d.Titel, &d.Hintergrundpfad}) {
            for (const char c : *s)
                bytes.set(static_cast<unsigned char>(c));
        }
        for (const Objekt &o : d.Objekte) {
            arten.insert(o.Art.str());
            for (const Kette *s : {&o.Beschreibung, &o.Daten}) {
                leer += s->empty();
                lang += s->size() > 400;
                for (const char c : *s)
                    bytes.set(static_cast<unsigned char>(c));
            }
        }
    }
    QCOMPARE(bytes.count(), std::size_t(256));
    for (const char *art : {"Bild", "Linie", "Link", "Tabelle", "Text", "bild", "TEXT", ""})
        QVERIFY2(arten.count(art), art);
    QVERIFY(arten.size() > 12);
    QVERIFY(leer > 50);
    QVERIFY(lang > 5);
}

void TestEigenschaften::speichernLadenSpeichern()
{
    Zufall z(1);
    const QString a = pfad(QStringLiteral("a.htd"));
    const QString b = pfad(QStringLiteral("b.htd"));
    for (int runde = 0; runde < 150; ++runde) {
        const Definition d = z.dokument();
        if (runde % 2) {
            SchreibeDefinition(n(a), d.Titel, d.Hintergrund, d.Hintergrundpfad, Objektliste(d.Objekte));
        } else {
            // The way the program saves: through the settings.
            Speichereinstellungen e;
            e.setzeTitel(d.Titel);
            e.setzeHintergrundAktiv(d.Hintergrund);
            e.wendeHintergrundpfadAn(d.Hintergrundpfad);
            Sichern(n(a), e, Objektliste(d.Objekte));
        }
        const QByteArray gespeichert = lies(a);
        QCOMPARE(gespeichert.size(), erwarteteLaenge(d));

        const Definition geladen = LeseDefinition(n(a));
        vergleiche(geladen, d);
        if (QTest::currentTestFailed())
            QFAIL(qPrintable(QStringLiteral("Runde %1").arg(runde)));

        SchreibeDefinition(n(b), geladen.Titel, geladen.Hintergrund, geladen.Hintergrundpfad,
                           Objektliste(geladen.Objekte));
        QVERIFY2(lies(b) == gespeichert, qPrintable(QStringLiteral("Runde %1").arg(runde)));
    }
}

void TestEigenschaften::jsonDefinitionJson()
{
    Zufall z(2);
    const QString datei = pfad(QStringLiteral("j.htd"));
    for (int runde = 0; runde < 150; ++runde) {
        const Definition d = z.dokument();
        const std::string json = definitionAlsJson(d);
        const Definition ausJson = definitionAusJson(json);
        vergleiche(ausJson, d);
        if (QTest::currentTestFailed())
            return;
        SchreibeDefinition(n(datei), ausJson.Titel, ausJson.Hintergrund, ausJson.Hintergrundpfad,
                           Objektliste(ausJson.Objekte));
        QVERIFY2(definitionAlsJson(LeseDefinition(n(datei))) == json, qPrintable(QStringLiteral("Runde %1").arg(runde)));
    }
}

void TestEigenschaften::jsonDurchDasProgramm()
{
    // The same through markwerk-cli itself, files in and out.
    Zufall z(3);
    const QString json = pfad(QStringLiteral("p.json"));
    const QString htd = pfad(QStringLiteral("p.htd"));
    const QString zurueck = pfad(QStringLiteral("q.json"));
    const auto starte = [](const QStringList &argumente) {
        QProcess p;
        p.start(QStringLiteral(MARKWERK_CLI), argumente);
        if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit)
            return QByteArray("abgebrochen");
        return p.exitCode() == 0 ? QByteArray() : p.readAllStandardError();
    };
    for (int runde = 0; runde < 12; ++runde) {
        const Definition d = z.dokument();
        const QByteArray text = QByteArray::fromStdString(definitionAlsJson(d));
        QVERIFY(schreib(json, text));
        QCOMPARE(starte({QStringLiteral("htd"), json, htd}), QByteArray());
        vergleiche(LeseDefinition(n(htd)), d);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(starte({QStringLiteral("json"), htd, zurueck}), QByteArray());
        QCOMPARE(lies(zurueck), text);
    }
}

void TestEigenschaften::tabellenKodierenDekodieren()
{
    Zufall z(4);
    for (int runde = 0; runde < 500; ++runde) {
        const Tabelle t = z.tabelle();
        const std::string daten = TabelleZuDaten(t.Zeilen, t.Spalten, t.Zellen);

        std::size_t laenge = std::to_string(t.Zeilen).size() + std::to_string(t.Spalten).size() + 2;
        for (const std::string &zelle : t.Zellen)
            laenge += std::max<std::size_t>(zelle.size(), 1) + 1;
        QCOMPARE(daten.size(), laenge);

        // The same cells, an empty one as one space.
        Tabelle erwartet = t;
        for (std::string &zelle : erwartet.Zellen) {
            if (zelle.empty())
                zelle = " ";
        }
        const Tabelle dekodiert = DatenZuTabelle(daten);
        QVERIFY2(dekodiert == erwartet, qPrintable(QStringLiteral("Runde %1").arg(runde)));
        QCOMPARE(TabelleZuDaten(dekodiert.Zeilen, dekodiert.Spalten, dekodiert.Zellen), daten);

        // Surplus fields after the last cell change nothing.
        QVERIFY(DatenZuTabelle(daten + z.bytes(std::size_t(z.zahl(0, 20))) + Trennzeichen) == erwartet);
    }
}

QTEST_GUILESS_MAIN(TestEigenschaften)
#include "tst_eigenschaften.moc"
