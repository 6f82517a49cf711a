// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// The documents the benchmarks work on, made from a seed so that every run
// on every machine measures the same bytes.

#include "objektliste.h"

#include <cstdint>
#include <string>

struct Werkstueck
{
    std::string Titel;
    bool Hintergrund = false;
    std::string Hintergrundpfad;
    Objektliste Objekte;

    // What the strings of the document hold, without any bookkeeping.
    std::uint64_t zeichenbytes() const;
};

// The price list of the page generator's worked example: title, background,
// an image, a text, a 2 x 2 table, a line and a link.
Werkstueck kleinesWerkstueck();

// `anzahl` objects, the five kinds in equal parts in shuffled order:
// paragraphs of 500 characters drawn from the whole Windows-1252 range,
// 10 x 10 tables of 8-character cells, images and links with 60-character
// paths, lines. At 100,000 objects its definition file is about 130 MB.
Werkstueck grossesWerkstueck(std::uint64_t saat = 1, int anzahl = 100000);

// A small generator whose sequence is fixed by its seed on every platform
// (the standard distributions are not).
class Zufall
{
public:
    explicit Zufall(std::uint64_t saat)
        : m_zustand(saat)
    {
    }
    std::uint64_t naechste();
    // An integer in [0, grenze).
    std::uint32_t unter(std::uint32_t grenze);

private:
    std::uint64_t m_zustand;
};
