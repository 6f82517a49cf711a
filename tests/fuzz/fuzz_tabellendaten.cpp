// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

// Any bytes as table data. What decodes encodes to data that decodes to the
// same table, and the generator's view of the cells is the dialog's.

#include "fehler.h"
#include "tabellendaten.h"
#include "vergleich.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *daten, std::size_t laenge)
{
    const std::string_view text(reinterpret_cast<const char *>(daten), laenge);
    Tabelle t;
    try {
        t = DatenZuTabelle(text);
    } catch (const KonvertierungsFehler &) {
        return 0;
    } catch (const TabellenFehler &) {
        return 0;
    }
    MARKWERK_PRUEFE(t.Zeilen >= 1 && t.Spalten >= 1);
    MARKWERK_PRUEFE(std::size_t(t.Zeilen) * std::size_t(t.Spalten) == t.Zellen.size());
    // Each cell took at least one byte and its separator.
    MARKWERK_PRUEFE(2 * t.Zellen.size() <= laenge);
    for (const std::string &zelle : t.Zellen) {
        MARKWERK_PRUEFE(!zelle.empty());
        MARKWERK_PRUEFE(unzulaessigesTrennzeichen(zelle) == std::string_view::npos);
    }

    const Tabellenansicht ansicht = zerlegeTabellendaten(text);
    MARKWERK_PRUEFE(ansicht.Zeilen == t.Zeilen && ansicht.Spalten == t.Spalten);
    MARKWERK_PRUEFE(std::equal(ansicht.Zellen.begin(), ansicht.Zellen.end(), t.Zellen.begin(), t.Zellen.end()));

    const std::string wieder = TabelleZuDaten(t.Zeilen, t.Spalten, t.Zellen);
    MARKWERK_PRUEFE(DatenZuTabelle(wieder) == t);
    // Past the two counts the encoding is the input itself, up to the last
    // cell's separator: no cell gained or lost a byte. (The counts may have
    // been written as "007" or "+7".)
    const auto nachZahlen = [](std::string_view s) { return s.find(Trennzeichen, s.find(Trennzeichen) + 1) + 1; };
    const std::size_t zellenEin = nachZahlen(text);
    const std::size_t zellenAus = nachZahlen(wieder);
    MARKWERK_PRUEFE(text.substr(zellenEin, wieder.size() - zellenAus) == std::string_view(wieder).substr(zellenAus));
    return 0;
}
