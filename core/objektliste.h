// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "kette.h"

#include <string>
#include <string_view>
#include <vector>

// The five kinds of object a page is made of; tags compare exactly.
namespace Arten {
inline constexpr std::string_view Bild = "Bild";
inline constexpr std::string_view Linie = "Linie";
inline constexpr std::string_view Link = "Link";
inline constexpr std::string_view Tabelle = "Tabelle";
inline constexpr std::string_view Text = "Text";
} // namespace Arten

// One object of the page: its kind tag, its description and its data string,
// all Windows-1252 bytes.
struct Objekt
{
    Kette Art;
    Kette Beschreibung;
    Kette Daten;

    friend bool operator==(const Objekt &, const Objekt &) = default;
};

// The list caption of an object: "Bild: "Logo" C:\LOGO.BMP", "Linie",
// "Tabelle: "Preise"". An unknown kind has an empty caption.
std::string Kopfzeile(const Objekt &objekt);

// The icon of a kind: 0 Bild, 1 Linie, 2 Link, 3 Tabelle, 4 Text; 0 for an
// unknown kind.
int Symbolindex(std::string_view art);

// The page body in page order. Kinds, descriptions and data are kept together
// as one Objekt per index, so the three lists of a document always agree in
// length and Anzahl() is their length.
class Objektliste
{
public:
    Objektliste() = default;
    explicit Objektliste(std::vector<Objekt> objekte);

    int Anzahl() const { return int(m_objekte.size()); }
    const Objekt &operator[](int i) const { return m_objekte[std::size_t(i)]; }

    auto begin() const { return m_objekte.begin(); }
    auto end() const { return m_objekte.end(); }

    void anhaengen(Objekt objekt);
    void loschen(int i);
    // Replaces the description and data at i; the kind stays.
    void setzen(int i, std::string beschreibung, std::string daten);
    void tauschen(int i, int j);
    void leeren();
    // Takes over all objects of another list, as a load does.
    void ersetzen(std::vector<Objekt> objekte);

private:
    std::vector<Objekt> m_objekte;
};
