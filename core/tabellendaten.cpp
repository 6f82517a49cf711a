// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tabellendaten.h"

#include "fehler.h"
#include "win1252.h"

#include <algorithm>
#include <charconv>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

std::string TabelleZuDaten(int zeilen, int spalten, const std::vector<std::string> &zellen)
{
    const std::string r = std::to_string(zeilen);
    const std::string c = std::to_string(spalten);
    const std::size_t anzahl = std::size_t(zeilen) * std::size_t(spalten);
    std::size_t laenge = r.size() + c.size() + 2;
    for (std::size_t i = 0; i < anzahl; ++i)
        laenge += std::max<std::size_t>(zellen[i].size(), 1) + 1;

    // Sized once and filled through a pointer: no capacity check per field.
    std::string daten(laenge, '\0');
    char *ziel = daten.data();
    const auto feld = [&ziel](const char *text, std::size_t n) {
        std::memcpy(ziel, text, n);
        ziel[n] = Trennzeichen;
        ziel += n + 1;
    };
    feld(r.data(), r.size());
    feld(c.data(), c.size());
    for (std::size_t i = 0; i < anzahl; ++i) {
        const std::string &text = zellen[i];
        if (text.empty())
            feld(" ", 1);
        else
            feld(text.data(), text.size());
    }
    return daten;
}

int alsGanzzahl(std::string_view text)
{
    const char *anfang = text.data();
    const char *ende = text.data() + text.size();
    if (anfang != ende && *anfang == '+')
        ++anfang;
    int wert = 0;
    const auto [stelle, fehler] = std::from_chars(anfang, ende, wert);
    if (text.empty() || fehler != std::errc() || stelle != ende
        || (anfang != text.data() && anfang != ende && *anfang == '-'))
        throw KonvertierungsFehler(Win1252::zuText(text).toStdString());
    return wert;
}

namespace {

[[noreturn]] void abgeschnitten()
{
    throw TabellenFehler("Die Tabellendaten sind unvollständig");
}

// The field that starts at pos and ends before the next separator; pos moves
// past that separator.
std::string_view feld(std::string_view daten, std::size_t &pos)
{
    const std::size_t ende = daten.find(Trennzeichen, pos);
    if (ende == std::string_view::npos)
        abgeschnitten();
    const std::string_view f = daten.substr(pos, ende - pos);
    pos = ende + 1;
    return f;
}

// The next separator at or after p, or nullptr. Cells are short: sixteen
// bytes at a time find most separators before a library call would have
// started.
const char *naechsterTrenner(const char *p, const char *ende)
{
#if defined(__SSE2__)
    const __m128i trenner = _mm_set1_epi8(Trennzeichen);
    while (ende - p >= 16) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
        const int treffer = _mm_movemask_epi8(_mm_cmpeq_epi8(block, trenner));
        if (treffer != 0)
            return p + __builtin_ctz(unsigned(treffer));
        p += 16;
    }
#endif
    return p < ende ? static_cast<const char *>(std::memchr(p, Trennzeichen, std::size_t(ende - p))) : nullptr;
}

// Walks table data: the two counts, then each cell as a view into the data.
// `anfangen` learns the number of cells before the first one is handed to
// `zelle`.
template<typename Anfang, typename Zelle>
void zerlege(std::string_view daten, int &zeilen, int &spalten, Anfang &&anfangen, Zelle &&zelle)
{
    std::size_t pos = 0;
    zeilen = alsGanzzahl(feld(daten, pos));
    spalten = alsGanzzahl(feld(daten, pos));
    if (zeilen < 1 || spalten < 1)
        throw TabellenFehler("Die Tabellendaten sind beschädigt (" + std::to_string(zeilen) + " Zeilen, "
                             + std::to_string(spalten) + " Spalten)");

    // Each cell takes at least two bytes, so a count the data cannot hold is
    // found before anything is reserved for it.
    const long long anzahl = (long long)zeilen * spalten;
    if (anzahl > (long long)(daten.size() - pos) / 2)
        abgeschnitten();
    anfangen(std::size_t(anzahl));

    const char *p = daten.data() + pos;
    const char *const ende = daten.data() + daten.size();
    for (long long i = 0; i < anzahl; ++i) {
        if (p >= ende)
            abgeschnitten();
        // The first byte belongs to the cell whatever it is, so a cell text
        // may begin with the separator.
        const char *anfang = p;
        const char *trenner = naechsterTrenner(p + 1, ende);
        if (!trenner)
            abgeschnitten();
        zelle(std::string_view(anfang, std::size_t(trenner - anfang)));
        p = trenner + 1;
    }
}

} // namespace

void zerlegeTabellendaten(std::string_view daten, Tabellenansicht &ziel)
{
    ziel.Zellen.clear();
    zerlege(
        daten, ziel.Zeilen, ziel.Spalten, [&](std::size_t anzahl) { ziel.Zellen.reserve(anzahl); },
        [&](std::string_view zelle) { ziel.Zellen.push_back(zelle); });
}

Tabellenansicht zerlegeTabellendaten(std::string_view daten)
{
    Tabellenansicht t;
    zerlegeTabellendaten(daten, t);
    return t;
}

Tabelle DatenZuTabelle(std::string_view daten)
{
    Tabelle t;
    zerlege(
        daten, t.Zeilen, t.Spalten, [&](std::size_t anzahl) { t.Zellen.reserve(anzahl); },
        [&](std::string_view zelle) { t.Zellen.emplace_back(zelle); });
    return t;
}

std::size_t unzulaessigesTrennzeichen(std::string_view zelle)
{
    if (zelle.size() < 2)
        return std::string_view::npos;
    return zelle.find(Trennzeichen, 1);
}
