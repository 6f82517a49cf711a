// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

#include "definitionsdatei.h"

#include "datei.h"
#include "einstellungen.h"
#include "fehler.h"
#include "gliederung.h"

#include <algorithm>
#include <limits>
#include <type_traits>

namespace {

// A string: its length record, then one record per character. A length of
// zero or less is the empty string; a length the rest of the file cannot hold
// ends the read at once instead of reserving memory for it, as does one
// beyond `grenze` (see feldlaenge).
template<typename Text>
Text leseZeichenkette(Lesedatei &datei, std::size_t grenze = 0, std::string (*was)(std::size_t) = nullptr,
                      std::size_t nummer = 0)
{
    const std::int32_t laenge = feldlaenge(datei, grenze, [&] { return was(nummer); });
    if (laenge == 0)
        return {};
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

// How long an object's data may be for the windows, by its kind, and how a
// message names it; nothing for data no field shows.
std::size_t datengrenze(const Kette &art, const Feldgrenzen &grenzen, std::string (*&was)(std::size_t))
{
    if (art == Arten::Bild) {
        was = [](std::size_t nr) { return "Der Bildpfad von Objekt " + std::to_string(nr); };
        return grenzen.feld;
    }
    if (art == Arten::Link) {
        was = [](std::size_t nr) { return "Die Adresse von Objekt " + std::to_string(nr); };
        return grenzen.feld;
    }
    if (art == Arten::Text) {
        was = [](std::size_t nr) { return "Der Text von Objekt " + std::to_string(nr); };
        return grenzen.text;
    }
    return 0;
}

// One of the three string lists; entry i goes into feld of objekte[i] for
// every i below the number of objects kept. The data list is held to the
// limits of `grenzen` by each object's kind, read before it.
void leseListe(Lesedatei &datei, std::vector<Objekt> &objekte, Kette Objekt::*feld, const Feldgrenzen &grenzen = {})
{
    const std::int32_t anzahl = datei.satz();
    for (std::int32_t i = 0; i < anzahl; ++i) {
        if (std::size_t(i) < objekte.size()) {
            Objekt &o = objekte[std::size_t(i)];
            std::string (*was)(std::size_t) = nullptr;
            const std::size_t grenze = feld == &Objekt::Daten ? datengrenze(o.Art, grenzen, was) : 0;
            o.*feld = leseZeichenkette<Kette>(datei, grenze, was, std::size_t(i) + 1);
        } else
            uebergeheZeichenkette(datei);
    }
    // The file changed between the passes.
    if (std::size_t(std::max<std::int32_t>(anzahl, 0)) < objekte.size())
        throw ListenIndexFehler(std::max<std::int32_t>(anzahl, 0));
}

} // namespace

Definition LeseDefinition(const std::string &dateiname, Dateistand *stand, const Feldgrenzen &grenzen)
{
    Lesedatei datei(dateiname);
    Definition d = LeseDefinition(datei, grenzen);
    if (stand)
        *stand = datei.stand();
    return d;
}

Definition LeseDefinition(Lesedatei &datei, const Feldgrenzen &grenzen)
{
    const Gliederung g = gliederung(datei, grenzen);
    datei.zurueckspulen();

    Definition d;
    d.Titel = leseZeichenkette<std::string>(datei);
    d.Hintergrund = datei.satz() == 1;
    if (d.Hintergrund)
        d.Hintergrundpfad = leseZeichenkette<std::string>(datei);
    const std::int32_t anzahl = datei.satz();
    if (anzahl != g.anzahl)
        throw EAFehler(100);
    d.Objekte.resize(std::size_t(g.behalten()));
    leseListe(datei, d.Objekte, &Objekt::Art);
    leseListe(datei, d.Objekte, &Objekt::Beschreibung);
    leseListe(datei, d.Objekte, &Objekt::Daten, grenzen);
    return d;
}

Dateistand SchreibeDefinition(const std::string &dateiname, const std::string &titel, bool hintergrund,
                              const std::string &hintergrundpfad, const Objektliste &objekte, Sonderziel sonderziel)
{
    Sicherungsdatei datei(dateiname, sonderziel);
    return SchreibeDefinition(datei, titel, hintergrund, hintergrundpfad, objekte);
}

Dateistand SchreibeDefinition(Sicherungsdatei &datei, const std::string &titel, bool hintergrund,
                              const std::string &hintergrundpfad, const Objektliste &objekte)
{
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
