// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

#include "definitionsdatei.h"

#include "datei.h"
#include "einstellungen.h"
#include "fehler.h"

#include <algorithm>
#include <limits>

namespace {

// A string: its length record, then one record per character. A length of
// zero or less is the empty string; a length the rest of the file cannot hold
// ends the read at once instead of reserving memory for it.
std::string leseZeichenkette(Lesedatei &datei)
{
    const std::int32_t laenge = datei.satz();
    if (laenge <= 0)
        return {};
    if (std::uint64_t(laenge) > datei.rest() / 4)
        throw EAFehler(100);
    std::string text(std::size_t(laenge), '\0');
    datei.zeichensaetze(text.data(), text.size());
    return text;
}

// Skips a string whose entry the document does not keep.
void uebergeheZeichenkette(Lesedatei &datei)
{
    std::int32_t laenge = datei.satz();
    if (laenge <= 0)
        return;
    if (std::uint64_t(laenge) > datei.rest() / 4)
        throw EAFehler(100);
    char puffer[4096];
    while (laenge > 0) {
        const std::int32_t stueck = std::min<std::int32_t>(laenge, sizeof puffer);
        datei.zeichensaetze(puffer, std::size_t(stueck));
        laenge -= stueck;
    }
}

// One of the three string lists; entry i goes into feld of objekte[i] for
// every i below the number of objects kept. Returns the list's entry count.
long long leseListe(Lesedatei &datei, std::vector<Objekt> &objekte, std::size_t behalten,
                    std::string Objekt::*feld)
{
    const std::int32_t anzahl = datei.satz();
    for (std::int32_t i = 0; i < anzahl; ++i) {
        const auto index = std::size_t(i);
        if (index >= behalten) {
            uebergeheZeichenkette(datei);
            continue;
        }
        if (index == objekte.size()) {
            // Every entry takes at least its length record.
            if (datei.rest() < 4)
                throw EAFehler(100);
            objekte.emplace_back();
        }
        objekte[index].*feld = leseZeichenkette(datei);
    }
    return std::max<std::int32_t>(anzahl, 0);
}

} // namespace

Definition LeseDefinition(const std::string &dateiname)
{
    Lesedatei datei(dateiname);
    Definition d;
    d.Titel = leseZeichenkette(datei);
    d.Hintergrund = datei.satz() == 1;
    if (d.Hintergrund)
        d.Hintergrundpfad = leseZeichenkette(datei);

    const std::int32_t anzahl = datei.satz();
    const std::size_t behalten = std::size_t(std::max<std::int32_t>(anzahl, 0));
    // Each object takes at least three length records in the file.
    d.Objekte.reserve(std::min<std::uint64_t>(behalten, datei.rest() / 12));

    const long long arten = leseListe(datei, d.Objekte, behalten, &Objekt::Art);
    const long long beschreibungen = leseListe(datei, d.Objekte, behalten, &Objekt::Beschreibung);
    const long long daten = leseListe(datei, d.Objekte, behalten, &Objekt::Daten);

    // The list view would be filled for `anzahl` rows and fail at the first
    // entry one of the lists does not have.
    const long long kuerzeste = std::min({arten, beschreibungen, daten});
    if (anzahl > kuerzeste)
        throw ListenIndexFehler(kuerzeste);
    return d;
}

void SchreibeDefinition(const std::string &dateiname, const std::string &titel, bool hintergrund,
                        const std::string &hintergrundpfad, const Objektliste &objekte)
{
    Sicherungsdatei datei(dateiname);
    datei.zeichenkette(titel);
    datei.satz(hintergrund ? 1 : 0);
    if (hintergrund)
        datei.zeichenkette(hintergrundpfad);
    const std::int32_t anzahl = objekte.Anzahl();
    datei.satz(anzahl);
    for (std::string Objekt::*feld : {&Objekt::Art, &Objekt::Beschreibung, &Objekt::Daten}) {
        datei.satz(anzahl);
        for (const Objekt &objekt : objekte)
            datei.zeichenkette(objekt.*feld);
    }
    datei.abschliessen();
}

void Sichern(const std::string &dateiname, const Dokumenteinstellungen &einstellungen,
             const Objektliste &objekte)
{
    const bool hintergrund = einstellungen.HintergrundAktiv();
    SchreibeDefinition(dateiname, einstellungen.Titel(), hintergrund,
                       hintergrund ? einstellungen.Hintergrundpfad() : std::string(), objekte);
}

void uebernehmeEinstellungen(const Definition &definition, Dokumenteinstellungen &einstellungen)
{
    einstellungen.setzeTitel(definition.Titel);
    einstellungen.setzeHintergrundAktiv(definition.Hintergrund);
    if (definition.Hintergrund)
        einstellungen.wendeHintergrundpfadAn(definition.Hintergrundpfad);
}
