// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

#include "definitionsdatei.h"

#include "datei.h"
#include "einstellungen.h"
#include "fehler.h"

#include <algorithm>
#include <limits>
#include <type_traits>

namespace {

// A string: its length record, then one record per character. A length of
// zero or less is the empty string; a length the rest of the file cannot hold
// ends the read at once instead of reserving memory for it.
template<typename Text>
Text leseZeichenkette(Lesedatei &datei)
{
    const std::int32_t laenge = datei.satz();
    if (laenge <= 0)
        return {};
    if (std::uint64_t(laenge) > datei.rest() / 4)
        throw EAFehler(100);
    Text text;
    char *ziel;
    if constexpr (std::is_same_v<Text, Kette>) {
        ziel = text.mitLaenge(std::size_t(laenge));
    } else {
        text.resize(std::size_t(laenge));
        ziel = text.data();
    }
    datei.zeichensaetze(ziel, std::size_t(laenge));
    return text;
}

void uebergeheZeichenkette(Lesedatei &datei)
{
    const std::int32_t laenge = datei.satz();
    if (laenge > 0)
        datei.ueberspringen(4 * std::uint64_t(laenge));
}

// The entry counts of the three lists and the object count, as the file
// states them.
struct Gliederung
{
    std::int32_t anzahl = 0;
    std::int32_t listen[3] = {0, 0, 0};
};

// The first pass: walks the whole file as the read will, without keeping
// anything, and fails as the read would. A file that claims millions of
// objects and then lacks them is refused here, after one pass and before
// any memory is taken for them.
Gliederung gliederung(Lesedatei &datei)
{
    Gliederung g;
    uebergeheZeichenkette(datei);
    if (datei.satz() == 1)
        uebergeheZeichenkette(datei);
    g.anzahl = datei.satz();
    for (std::int32_t &eintraege : g.listen) {
        eintraege = datei.satz();
        for (std::int32_t i = 0; i < eintraege; ++i)
            uebergeheZeichenkette(datei);
    }
    // The list view would be filled for `anzahl` rows and fail at the first
    // entry one of the lists does not have.
    const std::int32_t kuerzeste = std::max<std::int32_t>(0, std::min({g.listen[0], g.listen[1], g.listen[2]}));
    if (g.anzahl > kuerzeste)
        throw ListenIndexFehler(kuerzeste);
    return g;
}

// One of the three string lists; entry i goes into feld of objekte[i] for
// every i below the number of objects kept.
void leseListe(Lesedatei &datei, std::vector<Objekt> &objekte, Kette Objekt::*feld)
{
    const std::int32_t anzahl = datei.satz();
    for (std::int32_t i = 0; i < anzahl; ++i) {
        if (std::size_t(i) < objekte.size())
            objekte[std::size_t(i)].*feld = leseZeichenkette<Kette>(datei);
        else
            uebergeheZeichenkette(datei);
    }
    // The file changed between the passes.
    if (std::size_t(std::max<std::int32_t>(anzahl, 0)) < objekte.size())
        throw ListenIndexFehler(std::max<std::int32_t>(anzahl, 0));
}

} // namespace

Definition LeseDefinition(const std::string &dateiname, Dateistand *stand)
{
    Lesedatei datei(dateiname);
    const Gliederung g = gliederung(datei);
    datei.zurueckspulen();

    Definition d;
    d.Titel = leseZeichenkette<std::string>(datei);
    d.Hintergrund = datei.satz() == 1;
    if (d.Hintergrund)
        d.Hintergrundpfad = leseZeichenkette<std::string>(datei);
    // A smaller or negative count keeps only that many objects.
    const std::int32_t anzahl = datei.satz();
    if (anzahl != g.anzahl)
        throw EAFehler(100);
    d.Objekte.resize(std::size_t(std::max<std::int32_t>(anzahl, 0)));
    leseListe(datei, d.Objekte, &Objekt::Art);
    leseListe(datei, d.Objekte, &Objekt::Beschreibung);
    leseListe(datei, d.Objekte, &Objekt::Daten);
    if (stand)
        *stand = datei.stand();
    return d;
}

Dateistand SchreibeDefinition(const std::string &dateiname, const std::string &titel, bool hintergrund,
                              const std::string &hintergrundpfad, const Objektliste &objekte, Sonderziel sonderziel)
{
    Sicherungsdatei datei(dateiname, sonderziel);
    datei.zeichenkette(titel);
    datei.satz(hintergrund ? 1 : 0);
    if (hintergrund)
        datei.zeichenkette(hintergrundpfad);
    const std::int32_t anzahl = objekte.Anzahl();
    datei.satz(anzahl);
    for (Kette Objekt::*feld : {&Objekt::Art, &Objekt::Beschreibung, &Objekt::Daten}) {
        datei.satz(anzahl);
        for (const Objekt &objekt : objekte)
            datei.zeichenkette(objekt.*feld);
    }
    return datei.abschliessen();
}

Dateistand Sichern(const std::string &dateiname, const Dokumenteinstellungen &einstellungen,
                   const Objektliste &objekte)
{
    const bool hintergrund = einstellungen.HintergrundAktiv();
    return SchreibeDefinition(dateiname, einstellungen.Titel(), hintergrund,
                       hintergrund ? einstellungen.Hintergrundpfad() : std::string(), objekte);
}

void uebernehmeEinstellungen(const Definition &definition, Dokumenteinstellungen &einstellungen)
{
    einstellungen.setzeTitel(definition.Titel);
    einstellungen.setzeHintergrundAktiv(definition.Hintergrund);
    if (definition.Hintergrund)
        einstellungen.wendeHintergrundpfadAn(definition.Hintergrundpfad);
}
