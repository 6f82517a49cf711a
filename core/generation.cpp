// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

#include "generation.h"

#include "datei.h"
#include "definitionsansicht.h"
#include "einstellungen.h"
#include "fehler.h"
#include "objektliste.h"
#include "tabellendaten.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string_view>

namespace {

// A page of any size goes to its file through a buffer of about this size.
constexpr std::size_t Abgabegroesse = std::size_t(1) << 20;

// The page's bytes on their way out. Lines are copied in with one room
// check each; the buffer grows only for a single object larger than it.
class Zeilenpuffer
{
public:
    // Starts small and grows to `kapazitaet` as the page needs: most pages
    // are a few kilobytes.
    explicit Zeilenpuffer(std::size_t kapazitaet)
        : m_kapazitaet(std::min(kapazitaet, std::size_t(64) << 10))
    {
        m_daten.reset(new char[m_kapazitaet]);
    }

    // One line made of the given parts.
    void zeile(std::initializer_list<std::string_view> teile)
    {
        std::size_t laenge = 2;
        for (const std::string_view teil : teile)
            laenge += teil.size();
        char *p = platz(laenge);
        for (const std::string_view teil : teile) {
            std::memcpy(p, teil.data(), teil.size());
            p += teil.size();
        }
        p[0] = '\r';
        p[1] = '\n';
    }

    // A table cell's line; there are millions of these in a long price list,
    // most of their texts a few bytes long: those are copied in two
    // overlapping words rather than by a call to memcpy.
    void zelle(std::string_view text)
    {
        const std::size_t n = text.size();
        char *p = platz(n + 6);
        std::memcpy(p, "<TD>", 4);
        const char *q = text.data();
        if (n >= 8 && n <= 16) {
            std::uint64_t a, b;
            std::memcpy(&a, q, 8);
            std::memcpy(&b, q + n - 8, 8);
            std::memcpy(p + 4, &a, 8);
            std::memcpy(p + 4 + n - 8, &b, 8);
        } else if (n >= 4 && n < 8) {
            std::uint32_t a, b;
            std::memcpy(&a, q, 4);
            std::memcpy(&b, q + n - 4, 4);
            std::memcpy(p + 4, &a, 4);
            std::memcpy(p + 4 + n - 4, &b, 4);
        } else {
            std::memcpy(p + 4, q, n);
        }
        std::memcpy(p + 4 + n, "\r\n", 2);
    }

    std::string_view inhalt() const { return {m_daten.get(), m_belegt}; }
    void leeren() { m_belegt = 0; }

private:
    char *platz(std::size_t laenge)
    {
        if (m_kapazitaet - m_belegt < laenge)
            wachsen(laenge);
        char *p = m_daten.get() + m_belegt;
        m_belegt += laenge;
        return p;
    }

    void wachsen(std::size_t laenge)
    {
        const std::size_t kapazitaet = std::max(2 * m_kapazitaet, m_belegt + laenge);
        std::unique_ptr<char[]> neu(new char[kapazitaet]);
        std::memcpy(neu.get(), m_daten.get(), m_belegt);
        m_daten = std::move(neu);
        m_kapazitaet = kapazitaet;
    }

    std::unique_ptr<char[]> m_daten;
    std::size_t m_kapazitaet;
    std::size_t m_belegt = 0;
};

// What stands above the objects.
struct Seitenkopf
{
    std::string_view titel;
    bool hintergrund;
    std::string_view hintergrundpfad;
};

// Builds the page's lines into `puffer` and hands it to `abgeben` whenever
// it holds `grenze` bytes or more; `abgeben` empties it. What is left at the
// end stays in the buffer. `naechstes` fills `o` with the next object and
// returns false after the last.
template<typename Naechstes, typename Abgabe>
void baueSeite(const Seitenkopf &kopf, Naechstes &&naechstes, Objektansicht &o, const Bildpfade &bildpfade,
               Zeilenpuffer &puffer, std::size_t grenze, Abgabe &&abgeben)
{
    const auto bild = [&](std::string_view pfad) { return bildpfade ? bildpfade(pfad) : pfad; };
    puffer.zeile({"<HTML>"});
    puffer.zeile({"<HEAD>"});
    puffer.zeile({"<TITLE>", kopf.titel, "</TITLE>"});
    puffer.zeile({"</HEAD>"});
    if (kopf.hintergrund)
        puffer.zeile({"<BODY BACKGROUND=\"", bild(kopf.hintergrundpfad), "\">"});
    else
        puffer.zeile({"<BODY>"});

    // One decoded table at a time, its cell list reused from table to table.
    Tabellenansicht t;
    while (naechstes(o)) {
        if (o.Art == Arten::Bild) {
            puffer.zeile({"<IMG SRC=\"", bild(o.Daten), "\" ALT=\"", o.Beschreibung, "\">"});
        } else if (o.Art == Arten::Linie) {
            puffer.zeile({"<HR>"});
        } else if (o.Art == Arten::Link) {
            puffer.zeile({"<A HREF=\"", o.Daten, "\">", o.Beschreibung, "</A>"});
        } else if (o.Art == Arten::Tabelle) {
            zerlegeTabellendaten(o.Daten, t);
            puffer.zeile({"<TABLE BORDER>"});
            std::size_t zelle = 0;
            for (int r = 0; r < t.Zeilen; ++r) {
                puffer.zeile({"<TR>"});
                for (int c = 0; c < t.Spalten; ++c)
                    puffer.zelle(t.Zellen[zelle++]);
                puffer.zeile({"</TR>"});
            }
            puffer.zeile({"</TABLE>"});
        } else if (o.Art == Arten::Text) {
            puffer.zeile({"<BR><P>", o.Daten, "<BR><P>"});
        }
        if (puffer.inhalt().size() >= grenze)
            abgeben(puffer);
    }
    puffer.zeile({"</BODY>"});
    puffer.zeile({"</HTML>"});
}

// The objects of a list, one after the other.
auto listenlauf(const Objektliste &objekte)
{
    return [it = objekte.begin(), ende = objekte.end()](Objektansicht &o) mutable {
        if (it == ende)
            return false;
        o = {it->Art, it->Beschreibung, it->Daten};
        ++it;
        return true;
    };
}

// Builds the page with `bauen(puffer, grenze, abgeben)` and streams it into
// the file that `oeffnen` opens, while the errors come as if the page had
// been built first: a table that cannot be read wins over a file that cannot
// be created or written. So a failed create or write only stops the writing,
// and the building goes on to its end.
template<typename Oeffnen, typename Bauen>
void schreibeSeite(Oeffnen &&oeffnen, const std::string &dateiname, Bauen &&bauen)
{
    std::optional<Sicherungsdatei> datei;
    bool verweigert = false;
    try {
        oeffnen(datei);
    } catch (const SonderzielFehler &) {
        verweigert = true;
    } catch (const EAFehler &) {
    }
    const bool erstellt = datei.has_value();
    bool schreibfehler = false;
    const auto abgeben = [&](Zeilenpuffer &stueck) {
        if (datei && !schreibfehler) {
            try {
                const std::string_view inhalt = stueck.inhalt();
                datei->schreiben(inhalt.data(), inhalt.size());
            } catch (const EAFehler &) {
                schreibfehler = true;
            }
        }
        stueck.leeren();
    };

    // What reaches a pipe cannot be taken back: there the page is built once
    // without being written, so that a table that cannot be read is found
    // before the first byte goes out.
    if (datei && datei->direkt()) {
        Zeilenpuffer probe(2 * Abgabegroesse);
        bauen(probe, Abgabegroesse, [](Zeilenpuffer &stueck) { stueck.leeren(); });
    }
    Zeilenpuffer puffer(2 * Abgabegroesse);
    bauen(puffer, Abgabegroesse, abgeben);
    abgeben(puffer);

    if (verweigert)
        throw SonderzielFehler();
    if (!erstellt)
        throw ErstellFehler(dateiname);
    if (schreibfehler)
        throw SchreibFehler();
    try {
        datei->abschliessen();
    } catch (const EAFehler &) {
        throw SchreibFehler();
    }
}

// The builder of a definition walked in place. A table that cannot be read
// is reported with the object it belongs to.
auto ansichtsbau(const Definitionsansicht &ansicht, const Bildpfade &bildpfade)
{
    return [&ansicht, &bildpfade](Zeilenpuffer &puffer, std::size_t grenze, auto &&abgeben) {
        Definitionsansicht::Lauf lauf(ansicht);
        const Seitenkopf kopf{ansicht.Titel(), ansicht.Hintergrund(), ansicht.Hintergrundpfad()};
        Objektansicht o;
        const auto naechstes = [&lauf](Objektansicht &objekt) { return lauf.naechstes(objekt); };
        try {
            baueSeite(kopf, naechstes, o, bildpfade, puffer, grenze, abgeben);
        } catch (const KonvertierungsFehler &f) {
            lauf.uebrigeDatenPruefen();
            throw ObjektFehler(lauf.nummer(), o.Art, o.Beschreibung, f.what());
        } catch (const TabellenFehler &f) {
            lauf.uebrigeDatenPruefen();
            throw ObjektFehler(lauf.nummer(), o.Art, o.Beschreibung, f.what());
        }
    };
}

} // namespace

std::string Seite(const Dokumenteinstellungen &einstellungen, const Objektliste &objekte)
{
    const std::string titel = einstellungen.Titel();
    const bool hintergrund = einstellungen.HintergrundAktiv();
    const std::string pfad = hintergrund ? einstellungen.Hintergrundpfad() : std::string();
    Zeilenpuffer puffer(Abgabegroesse);
    Objektansicht o;
    baueSeite({titel, hintergrund, pfad}, listenlauf(objekte), o, {}, puffer, std::string::npos,
              [](Zeilenpuffer &) {});
    return std::string(puffer.inhalt());
}

void Generieren(const std::string &dateiname, const Dokumenteinstellungen &einstellungen,
                const Objektliste &objekte, Sonderziel sonderziel)
{
    const std::string titel = einstellungen.Titel();
    const bool hintergrund = einstellungen.HintergrundAktiv();
    const std::string pfad = hintergrund ? einstellungen.Hintergrundpfad() : std::string();
    schreibeSeite([&](std::optional<Sicherungsdatei> &datei) { datei.emplace(dateiname, sonderziel); }, dateiname,
                  [&](Zeilenpuffer &puffer, std::size_t grenze, auto &&abgeben) {
                      Objektansicht o;
                      baueSeite({titel, hintergrund, pfad}, listenlauf(objekte), o, {}, puffer, grenze, abgeben);
                  });
}

std::string Seite(const Definitionsansicht &ansicht)
{
    Zeilenpuffer puffer(Abgabegroesse);
    ansichtsbau(ansicht, {})(puffer, std::string::npos, [](Zeilenpuffer &) {});
    return std::string(puffer.inhalt());
}

void Generieren(const std::string &dateiname, const Definitionsansicht &ansicht, Sonderziel sonderziel,
                const Bildpfade &bildpfade)
{
    schreibeSeite([&](std::optional<Sicherungsdatei> &datei) { datei.emplace(dateiname, sonderziel); }, dateiname,
                  ansichtsbau(ansicht, bildpfade));
}

void Generieren(Dateideskriptor ausgabe, const Definitionsansicht &ansicht)
{
    schreibeSeite([&](std::optional<Sicherungsdatei> &datei) { datei.emplace(ausgabe); }, "-",
                  ansichtsbau(ansicht, {}));
}
