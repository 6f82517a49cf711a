// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

#include "pruefung.h"

#include "befehle.h"
#include "bilddatei.h"
#include "datei.h"
#include "definitionsansicht.h"
#include "fehler.h"
#include "objektliste.h"
#include "pfade.h"
#include "tabellendaten.h"

#include <map>
#include <optional>
#include <sys/stat.h>

namespace {

std::string abgeschnitten(const char *was, const char *attribut)
{
    return std::string(was) + " enthält ein Anführungszeichen (\"), das das " + attribut
           + "-Attribut der Seite abschneidet";
}

// The findings of one file, gathered for standard output.
class Befunde
{
public:
    Befunde(const Dateiangabe &datei, Meldungen &meldungen)
        : m_datei(datei)
        , m_meldungen(meldungen)
        , m_ordner(ordnerVon(datei))
    {
    }

    void melde(const std::string &wo, const std::string &befund)
    {
        m_zeilen += m_datei.anzeige() + ": " + wo + ": " + mitPunkt(befund) + "\n";
        ++m_anzahl;
        // A file with a million findings goes out in pieces.
        if (m_zeilen.size() >= (std::size_t(1) << 20))
            ausgeben();
    }

    // A picture or the background, as the page refers to it.
    void bild(const std::string &wo, std::string_view pfad, const char *attribut)
    {
        if (pfad.empty()) {
            melde(wo, "Die Bilddatei fehlt: der Pfad ist leer");
            return;
        }
        if (pfad.find('"') != std::string_view::npos)
            melde(wo, abgeschnitten("Der Pfad", attribut));
        if (Pfade::istAbsolut(pfad))
            melde(wo, absolut(pfad));
        if (Pfade::istAdresse(pfad))
            return;
        const std::string datei = Pfade::datei(pfad, m_ordner);
        if (!Pfade::istAbsolut(pfad)) {
            if (const std::string hinaus = Pfade::ausDemOrdner(pfad, datei, m_ordner); !hinaus.empty())
                melde(wo, hinaus);
        }
        // Read as export reads it, and refused for the same reasons; a file
        // that many objects name is read once.
        struct stat st;
        const bool da = ::stat(datei.c_str(), &st) == 0;
        const std::string name = "Die Bilddatei „" + meldungstext(pfad) + "“ ";
        if (da) {
            if (const auto it = m_gelesen.find({st.st_dev, st.st_ino}); it != m_gelesen.end()) {
                if (!it->second.empty())
                    melde(wo, name + it->second);
                return;
            }
        }
        std::string grund;
        try {
            const Bilddatei bild(datei, pfad);
        } catch (const Fehler &f) {
            const std::string_view text = f.what();
            grund = text.substr(0, name.size()) == name ? std::string(text.substr(name.size())) : std::string(text);
            melde(wo, f.what());
        }
        if (da)
            m_gelesen.emplace(std::make_pair(st.st_dev, st.st_ino), grund);
    }

    void link(const std::string &wo, std::string_view adresse)
    {
        if (adresse.find('"') != std::string_view::npos)
            melde(wo, abgeschnitten("Die Adresse", "HREF"));
        if (Pfade::istLaufwerkspfad(adresse))
            melde(wo, absolut(adresse));
        if (adresse.find_first_of(" \t") != std::string_view::npos)
            melde(wo, "Die Adresse „" + meldungstext(adresse) + "“ enthält Leerzeichen");
    }

    std::size_t anzahl() const { return m_anzahl; }
    void ausgeben()
    {
        if (m_zeilen.empty())
            return;
        m_meldungen.vorAusgabe();
        aufStandardausgabe(m_zeilen);
        m_zeilen.clear();
    }

private:
    static std::string absolut(std::string_view pfad)
    {
        return "„" + meldungstext(pfad) + "“ ist ein absoluter Pfad und gilt nur auf dem eigenen Rechner, nicht im Netz";
    }

    const Dateiangabe &m_datei;
    Meldungen &m_meldungen;
    const std::string m_ordner;
    std::string m_zeilen;
    std::size_t m_anzahl = 0;
    // What was found in each file read, by device and inode.
    std::map<std::pair<dev_t, ino_t>, std::string> m_gelesen;
};

// The findings of one definition file; throws when it cannot be read.
std::size_t pruefeDatei(const Dateiangabe &definition, Meldungen &meldungen)
{
    std::optional<Definitionsansicht> ansicht;
    fuer(definition, [&] {
        const std::unique_ptr<Lesedatei> datei = oeffneEingabe(definition);
        ansicht.emplace(*datei);
        // Findings go out as they come: a file that fails must fail first.
        ansicht->pruefeDaten();
    });
    Befunde befunde(definition, meldungen);
    if (ansicht->Hintergrund())
        befunde.bild("Hintergrund", ansicht->Hintergrundpfad(), "BACKGROUND");

    Tabellenansicht tabelle;
    fuer(definition, [&] {
        Definitionsansicht::Lauf lauf(*ansicht);
        Objektansicht o;
        while (lauf.naechstes(o)) {
            const std::string wo = objektbezeichnung(lauf.nummer(), o.Art, o.Beschreibung);
            if (o.Art == Arten::Bild) {
                if (o.Beschreibung.find('"') != std::string_view::npos)
                    befunde.melde(wo, abgeschnitten("Die Beschreibung", "ALT"));
                befunde.bild(wo, o.Daten, "SRC");
            } else if (o.Art == Arten::Link) {
                befunde.link(wo, o.Daten);
            } else if (o.Art == Arten::Tabelle) {
                try {
                    zerlegeTabellendaten(o.Daten, tabelle);
                } catch (const Fehler &f) {
                    befunde.melde(wo, f.what());
                }
            } else if (o.Art != Arten::Linie && o.Art != Arten::Text) {
                befunde.melde(wo, "Unbekannte Art: das Objekt erscheint nicht auf der Seite");
            }
        }
    });
    befunde.ausgeben();
    return befunde.anzahl();
}

} // namespace

int pruefe(const std::vector<Dateiangabe> &definitionen)
{
    Meldungen meldungen(definitionen.size());
    bool unlesbar = false;
    bool gefunden = false;
    for (std::size_t i = 0; i < definitionen.size(); ++i) {
        meldungen.beginne(i + 1, definitionen[i]);
        try {
            gefunden = pruefeDatei(definitionen[i], meldungen) > 0 || gefunden;
        } catch (const Fehler &f) {
            meldungen.fehler(f.what());
            unlesbar = true;
        }
    }
    return unlesbar ? 1 : gefunden ? 3 : 0;
}
