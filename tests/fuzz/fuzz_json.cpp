// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

// Any bytes as the JSON of markwerk-cli. A document that is accepted comes
// back unchanged through JSON, and the JSON written for it is accepted and
// written again byte for byte.

#include "fehler.h"
#include "jsonformat.h"
#include "vergleich.h"

#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *daten, std::size_t laenge)
{
    const std::string_view text(reinterpret_cast<const char *>(daten), laenge);
    Definition d;
    try {
        d = definitionAusJson(text);
    } catch (const Fehler &) {
        return 0;
    }
    // A definition file stores the path only while the background is on.
    if (!d.Hintergrund)
        d.Hintergrundpfad.clear();

    const std::string json = definitionAlsJson(d);
    const Definition wieder = definitionAusJson(json);
    MARKWERK_PRUEFE(gleich(wieder, d));
    MARKWERK_PRUEFE(definitionAlsJson(wieder) == json);
    return 0;
}
