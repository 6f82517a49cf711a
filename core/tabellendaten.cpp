#include "tabellendaten.h"

#include "fehler.h"
#include "win1252.h"

#include <charconv>
#include <cstring>

std::string TabelleZuDaten(int zeilen, int spalten, const std::vector<std::string> &zellen)
{
    const std::size_t anzahl = std::size_t(zeilen) * std::size_t(spalten);
    std::size_t laenge = 24;
    for (std::size_t i = 0; i < anzahl; ++i)
        laenge += std::max<std::size_t>(zellen[i].size(), 1) + 1;

    std::string daten;
    daten.reserve(laenge);
    daten += std::to_string(zeilen);
    daten += Trennzeichen;
    daten += std::to_string(spalten);
    daten += Trennzeichen;
    for (std::size_t i = 0; i < anzahl; ++i) {
        if (zellen[i].empty())
            daten += ' ';
        else
            daten += zellen[i];
        daten += Trennzeichen;
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

} // namespace

Tabellenansicht zerlegeTabellendaten(std::string_view daten)
{
    Tabellenansicht t;
    std::size_t pos = 0;
    t.Zeilen = alsGanzzahl(feld(daten, pos));
    t.Spalten = alsGanzzahl(feld(daten, pos));
    if (t.Zeilen < 1 || t.Spalten < 1)
        throw TabellenFehler("Die Tabellendaten sind beschädigt (" + std::to_string(t.Zeilen) + " Zeilen, "
                             + std::to_string(t.Spalten) + " Spalten)");

    // Each cell takes at least two bytes, so a count the data cannot hold is
    // found before anything is reserved for it.
    const long long anzahl = (long long)t.Zeilen * t.Spalten;
    if (anzahl > (long long)(daten.size() - pos) / 2)
        abgeschnitten();
    t.Zellen.reserve(std::size_t(anzahl));

    for (long long i = 0; i < anzahl; ++i) {
        if (pos >= daten.size())
            abgeschnitten();
        // The first byte belongs to the cell whatever it is, so a cell text
        // may begin with the separator.
        const std::size_t anfang = pos++;
        const void *trenner = std::memchr(daten.data() + pos, Trennzeichen, daten.size() - pos);
        if (!trenner)
            abgeschnitten();
        const std::size_t ende = std::size_t(static_cast<const char *>(trenner) - daten.data());
        t.Zellen.push_back(daten.substr(anfang, ende - anfang));
        pos = ende + 1;
    }
    return t;
}

Tabelle DatenZuTabelle(std::string_view daten)
{
    const Tabellenansicht ansicht = zerlegeTabellendaten(daten);
    Tabelle t;
    t.Zeilen = ansicht.Zeilen;
    t.Spalten = ansicht.Spalten;
    t.Zellen.assign(ansicht.Zellen.begin(), ansicht.Zellen.end());
    return t;
}

std::size_t unzulaessigesTrennzeichen(std::string_view zelle)
{
    if (zelle.size() < 2)
        return std::string_view::npos;
    return zelle.find(Trennzeichen, 1);
}
