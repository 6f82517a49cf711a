// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <string>
#include <string_view>
#include <vector>

// A table's size and cells in one string: the row count, the column count and
// the cells row by row, each field followed by the byte 0xF0 ("ð"); an empty
// cell is written as one space.
inline constexpr char Trennzeichen = '\xF0';

struct Tabelle
{
    int Zeilen = 0;
    int Spalten = 0;
    std::vector<std::string> Zellen; // row by row, Zeilen * Spalten entries

    const std::string &zelle(int zeile, int spalte) const { return Zellen[std::size_t(zeile * Spalten + spalte)]; }
    friend bool operator==(const Tabelle &, const Tabelle &) = default;
};

// The cells as views into the decoded string, for readers that only pass
// them on.
struct Tabellenansicht
{
    int Zeilen = 0;
    int Spalten = 0;
    std::vector<std::string_view> Zellen;
};

// Encodes a table of zeilen * spalten cells given row by row. Never fails.
std::string TabelleZuDaten(int zeilen, int spalten, const std::vector<std::string> &zellen);

// Decodes table data. A count that is not an integer throws
// KonvertierungsFehler; data cut short or with a count below one throws
// TabellenFehler. Anything after the last cell is ignored.
Tabelle DatenZuTabelle(std::string_view daten);
Tabellenansicht zerlegeTabellendaten(std::string_view daten);
// The same into `ziel`, whose cell list is reused; after a throw `ziel`
// holds no meaning.
void zerlegeTabellendaten(std::string_view daten, Tabellenansicht &ziel);

// Position of the first separator that cannot be carried in a cell text (one
// after its first byte), or npos when the text can be stored.
std::size_t unzulaessigesTrennzeichen(std::string_view zelle);

// The decimal integer of a text, as a count field is read: an optional sign
// and digits, nothing else. Throws KonvertierungsFehler.
int alsGanzzahl(std::string_view text);
