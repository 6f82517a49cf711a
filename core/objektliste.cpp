// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

#include "objektliste.h"

#include <utility>

std::string Kopfzeile(const Objekt &objekt)
{
    const auto mitBeschreibung = [&](std::string_view praefix) {
        std::string zeile;
        zeile.reserve(praefix.size() + objekt.Beschreibung.size() + objekt.Daten.size() + 3);
        zeile.append(praefix).append(1, '"').append(objekt.Beschreibung.ansicht()).append(1, '"');
        return zeile;
    };
    if (objekt.Art == Arten::Bild)
        return mitBeschreibung("Bild: ").append(1, ' ').append(objekt.Daten.ansicht());
    if (objekt.Art == Arten::Linie)
        return std::string(Arten::Linie);
    if (objekt.Art == Arten::Link)
        return mitBeschreibung("Link: ").append(1, ' ').append(objekt.Daten.ansicht());
    if (objekt.Art == Arten::Tabelle)
        return mitBeschreibung("Tabelle: ");
    if (objekt.Art == Arten::Text)
        return mitBeschreibung("Text: ");
    return {};
}

int Symbolindex(std::string_view art)
{
    if (art == Arten::Linie)
        return 1;
    if (art == Arten::Link)
        return 2;
    if (art == Arten::Tabelle)
        return 3;
    if (art == Arten::Text)
        return 4;
    return 0;
}

Objektliste::Objektliste(std::vector<Objekt> objekte)
    : m_objekte(std::move(objekte))
{
}

void Objektliste::anhaengen(Objekt objekt)
{
    m_objekte.push_back(std::move(objekt));
}

void Objektliste::loschen(int i)
{
    m_objekte.erase(m_objekte.begin() + i);
}

void Objektliste::setzen(int i, std::string beschreibung, std::string daten)
{
    Objekt &objekt = m_objekte[std::size_t(i)];
    objekt.Beschreibung = Kette(beschreibung);
    objekt.Daten = Kette(daten);
}

void Objektliste::tauschen(int i, int j)
{
    std::swap(m_objekte[std::size_t(i)], m_objekte[std::size_t(j)]);
}

void Objektliste::leeren()
{
    m_objekte.clear();
}

void Objektliste::ersetzen(std::vector<Objekt> objekte)
{
    m_objekte = std::move(objekte);
}
