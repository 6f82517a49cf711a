// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// What the fuzz targets share: a failed property ends the run like a crash,
// so that libFuzzer keeps the input.

#include "definitionsdatei.h"

#include <cstdio>
#include <cstdlib>

#define MARKWERK_PRUEFE(bedingung)                                                                                     \
    do {                                                                                                               \
        if (!(bedingung)) {                                                                                            \
            std::fprintf(stderr, "%s:%d: verletzt: %s\n", __FILE__, __LINE__, #bedingung);                             \
            std::abort();                                                                                              \
        }                                                                                                              \
    } while (false)

inline bool gleich(const Definition &a, const Definition &b)
{
    return a.Titel == b.Titel && a.Hintergrund == b.Hintergrund && a.Hintergrundpfad == b.Hintergrundpfad
           && a.Objekte == b.Objekte;
}

// The number of characters a definition holds; each took at least one
// record of four bytes in its file.
inline std::size_t zeichenzahl(const Definition &d)
{
    std::size_t n = d.Titel.size() + d.Hintergrundpfad.size();
    for (const Objekt &o : d.Objekte)
        n += o.Art.size() + o.Beschreibung.size() + o.Daten.size();
    return n;
}
