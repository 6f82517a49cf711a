// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

#include "werkstueck.h"

#include "tabellendaten.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <vector>

namespace {

// Letters of German running text, umlauts and the euro sign (0x80) among them.
constexpr std::string_view Buchstaben = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                        "\xE4\xF6\xFC\xC4\xD6\xDC\xDF\x80";

char buchstabe(Zufall &z)
{
    return Buchstaben[z.unter(std::uint32_t(Buchstaben.size()))];
}

// A paragraph: words of letters between blanks, and every tenth character
// any of the code page's printable bytes, 0x20 to 0xFF.
std::string absatz(Zufall &z, std::size_t laenge)
{
    std::string text;
    text.reserve(laenge);
    while (text.size() < laenge) {
        const std::uint32_t wurf = z.unter(20);
        if (wurf < 2)
            text += char(0x20 + z.unter(0xE0));
        else if (wurf < 5)
            text += ' ';
        else
            text += buchstabe(z);
    }
    return text;
}

std::string wort(Zufall &z, std::size_t laenge)
{
    std::string w;
    w.reserve(laenge);
    while (w.size() < laenge)
        w += buchstabe(z);
    return w;
}

// A path of exactly `laenge` characters: prefix, letters, suffix.
std::string pfad(Zufall &z, std::string_view vorn, std::string_view hinten, std::size_t laenge)
{
    std::string p(vorn);
    while (p.size() + hinten.size() < laenge)
        p += char('A' + z.unter(26));
    p += hinten;
    return p;
}

std::string beschreibung(Zufall &z, std::string_view art, int nummer)
{
    return std::string(art) + " " + std::to_string(nummer) + " " + wort(z, 4 + z.unter(12));
}

// A table cell of 8 characters. The separator byte is left out: a cell
// holding it after its first byte cannot be stored.
std::string zelle(Zufall &z)
{
    std::string c(8, ' ');
    for (char &b : c) {
        do
            b = char(0x20 + z.unter(0xE0));
        while (b == Trennzeichen);
    }
    return c;
}

} // namespace

std::uint64_t Zufall::naechste()
{
    // splitmix64
    std::uint64_t x = (m_zustand += 0x9E3779B97F4A7C15ull);
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

std::uint32_t Zufall::unter(std::uint32_t grenze)
{
    return std::uint32_t((naechste() >> 32) * grenze >> 32);
}

std::uint64_t Werkstueck::zeichenbytes() const
{
    std::uint64_t summe = Titel.size() + Hintergrundpfad.size();
    for (const Objekt &o : Objekte)
        summe += o.Art.size() + o.Beschreibung.size() + o.Daten.size();
    return summe;
}

Werkstueck kleinesWerkstueck()
{
    Werkstueck w;
    w.Titel = "Preisliste";
    w.Hintergrund = true;
    w.Hintergrundpfad = "C:\\BILDER\\HINTER.GIF";
    w.Objekte.anhaengen({"Bild", "Logo", "C:\\BILDER\\LOGO.GIF"});
    w.Objekte.anhaengen({"Text", "Einleitung", "Unsere Preise: "});
    w.Objekte.anhaengen({"Tabelle", "Preise", TabelleZuDaten(2, 2, {"Name", "Preis", "Brot", ""})});
    w.Objekte.anhaengen({"Linie", "Linie", "Linie"});
    w.Objekte.anhaengen({"Link", "Startseite", "index.htm"});
    return w;
}

Werkstueck grossesWerkstueck(std::uint64_t saat, int anzahl)
{
    Zufall z(saat);
    std::vector<int> arten(std::size_t(std::max(anzahl, 0)));
    for (std::size_t i = 0; i < arten.size(); ++i)
        arten[i] = int(i % 5);
    for (std::size_t i = arten.size(); i > 1; --i)
        std::swap(arten[i - 1], arten[z.unter(std::uint32_t(i))]);

    Werkstueck w;
    w.Titel = "Preisliste " + wort(z, 12);
    std::vector<Objekt> objekte;
    objekte.reserve(arten.size());
    std::vector<std::string> zellen(100);
    int nummer = 0;
    for (const int art : arten) {
        ++nummer;
        switch (art) {
        case 0:
            objekte.push_back({"Bild", beschreibung(z, "Bild", nummer), pfad(z, "C:\\BILDER\\", ".GIF", 60)});
            break;
        case 1:
            objekte.push_back({"Linie", "Linie", "Linie"});
            break;
        case 2:
            objekte.push_back(
                {"Link", beschreibung(z, "Link", nummer), pfad(z, "https://www.beispiel.de/", ".htm", 60)});
            break;
        case 3:
            for (std::string &c : zellen)
                c = zelle(z);
            objekte.push_back({"Tabelle", beschreibung(z, "Tabelle", nummer), TabelleZuDaten(10, 10, zellen)});
            break;
        default:
            objekte.push_back({"Text", beschreibung(z, "Absatz", nummer), absatz(z, 500)});
            break;
        }
    }
    w.Objekte.ersetzen(std::move(objekte));
    return w;
}
