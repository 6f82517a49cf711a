// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// The first pass over a definition file, shared by the reader that loads a
// document and the one that walks a file in place: both must refuse the
// same files at the same place with the same error.

#include "fehler.h"

#include <algorithm>
#include <cstdint>
#include <string>

// The entry counts of the three lists and the object count, as the file
// states them, and where each list's entry count stands.
struct Gliederung
{
    std::int32_t anzahl = 0;
    std::int32_t listen[3] = {0, 0, 0};
    std::uint64_t listenanfang[3] = {0, 0, 0};

    // The objects a reader keeps: a smaller or negative count keeps only
    // that many.
    std::int32_t behalten() const { return std::max<std::int32_t>(anzahl, 0); }
};

// The longest strings a reader accepts, for a program whose windows must
// show them; a longer one is refused from its length record alone, before
// any of it is read. Zero: no limit, as markwerk-cli reads.
struct Feldgrenzen
{
    std::size_t feld = 0; // title, background path, description, picture path, link address
    std::size_t text = 0; // a paragraph's text
};

// A string's length as its record gives it, refused when the string is
// longer than `grenze` (zero: no limit). `was` names the field, a function
// called only for the message. A length the rest of the file cannot hold is
// a damaged file first.
template<typename Leser, typename Name>
std::int32_t feldlaenge(Leser &leser, std::size_t grenze, Name &&was)
{
    const std::int32_t laenge = leser.satz();
    if (laenge <= 0)
        return 0;
    if (std::uint64_t(laenge) > leser.rest() / 4)
        throw EAFehler(100);
    if (grenze > 0 && std::size_t(laenge) > grenze)
        throw FeldFehler(was(), std::size_t(laenge), grenze);
    return laenge;
}

// A reader offers satz(), ueberspringen(bytes), rest() and position().
template<typename Leser>
void uebergeheZeichenkette(Leser &leser)
{
    const std::int32_t laenge = leser.satz();
    if (laenge > 0)
        leser.ueberspringen(4 * std::uint64_t(laenge));
}

template<typename Leser, typename Name>
void uebergeheFeld(Leser &leser, std::size_t grenze, Name &&was)
{
    leser.ueberspringen(4 * std::uint64_t(feldlaenge(leser, grenze, was)));
}

// The first pass up to the data list: title, background, object count, the
// kinds and the descriptions, and the data list's entry count. The data
// strings, most of a file, are left for the caller. With `grenzen` the
// title, the background path and the kept objects' descriptions are held
// to them.
template<typename Leser>
Gliederung gliederungBisDaten(Leser &leser, const Feldgrenzen &grenzen = {})
{
    Gliederung g;
    uebergeheFeld(leser, grenzen.feld, [] { return std::string("Der Titel"); });
    if (leser.satz() == 1)
        uebergeheFeld(leser, grenzen.feld, [] { return std::string("Der Pfad des Hintergrundbilds"); });
    g.anzahl = leser.satz();
    for (int liste = 0; liste < 3; ++liste) {
        g.listenanfang[liste] = leser.position();
        g.listen[liste] = leser.satz();
        if (liste == 2)
            break;
        for (std::int32_t i = 0; i < g.listen[liste]; ++i) {
            if (liste == 1 && i < g.anzahl)
                uebergeheFeld(leser, grenzen.feld,
                              [i] { return "Die Beschreibung von Objekt " + std::to_string(i + 1); });
            else
                uebergeheZeichenkette(leser);
        }
    }
    return g;
}

// The list view would be filled for `anzahl` rows and fail at the first
// entry one of the lists does not have. Comes after every error of reading.
inline void pruefeAnzahl(const Gliederung &g)
{
    const std::int32_t kuerzeste = std::max<std::int32_t>(0, std::min({g.listen[0], g.listen[1], g.listen[2]}));
    if (g.anzahl > kuerzeste)
        throw ListenIndexFehler(kuerzeste);
}

// Walks the whole file as the read will, without keeping anything, and
// fails as the read would. A file that claims millions of objects and then
// lacks them is refused here, after one pass and before any memory is taken
// for them.
template<typename Leser>
Gliederung gliederung(Leser &leser, const Feldgrenzen &grenzen = {})
{
    const Gliederung g = gliederungBisDaten(leser, grenzen);
    for (std::int32_t i = 0; i < g.listen[2]; ++i)
        uebergeheZeichenkette(leser);
    pruefeAnzahl(g);
    return g;
}
