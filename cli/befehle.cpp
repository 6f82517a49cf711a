// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

#include "befehle.h"

#include "datei.h"
#include "definitionsansicht.h"
#include "definitionsdatei.h"
#include "generation.h"
#include "jsonformat.h"

#include <cstdio>
#include <iostream>
#include <map>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const Dateiangabe Standardausgabe{"-", true};

// Output to a file is replaced only when complete; a pipe, a device or
// standard output is written into as it is.
void schreibe(const Dateiangabe &ziel, std::string_view text)
{
    if (ziel.strom())
        return aufStandardausgabe(text);
    fuer(ziel, [&] {
        Sicherungsdatei datei(ziel.pfad, Sonderziel::Hineinschreiben);
        datei.schreiben(text);
        datei.abschliessen();
    });
}

// The name part of a path without its extension: "a/preise.htd" -> "preise".
std::string stamm(const std::string &pfad)
{
    const std::size_t schraeg = pfad.rfind('/');
    std::string name = schraeg == std::string::npos ? pfad : pfad.substr(schraeg + 1);
    const std::size_t punkt = name.rfind('.');
    if (punkt != std::string::npos && punkt > 0)
        name.resize(punkt);
    return name;
}

} // namespace

void aufStandardausgabe(std::string_view text)
{
    if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() || std::fflush(stdout) != 0)
        throw Dateimeldung(Standardausgabe, SchreibFehler().what());
}

void html(const Dateiangabe &definition, const Dateiangabe &seite)
{
    pruefeVerschieden(definition, seite);
    std::optional<Definitionsansicht> ansicht;
    fuer(definition, [&] {
        const std::unique_ptr<Lesedatei> datei = oeffneEingabe(definition);
        ansicht.emplace(*datei);
    });
    try {
        if (seite.strom())
            Generieren(Dateideskriptor{1}, *ansicht);
        else
            Generieren(seite.pfad, *ansicht, Sonderziel::Hineinschreiben);
    } catch (const ErstellFehler &f) {
        throw Dateimeldung(seite, f.what());
    } catch (const SchreibFehler &f) {
        throw Dateimeldung(seite, f.what());
    } catch (const SonderzielFehler &f) {
        // A page that may not go where its name leads.
        throw Dateimeldung(seite, f.what());
    } catch (const Fehler &f) {
        throw Dateimeldung(definition, f.what());
    }
}

void json(const Dateiangabe &definition, const Dateiangabe &ausgabe)
{
    pruefeVerschieden(definition, ausgabe);
    const std::string text = fuer(definition, [&] {
        const std::unique_ptr<Lesedatei> datei = oeffneEingabe(definition);
        return definitionAlsJson(LeseDefinition(*datei));
    });
    schreibe(ausgabe, text);
}

void htd(const Dateiangabe &json, const Dateiangabe &definition)
{
    pruefeVerschieden(json, definition);
    Definition d = fuer(json, [&] { return definitionAusJson(oeffneEingabe(json)->alles()); });
    const Objektliste objekte(std::move(d.Objekte));
    fuer(definition, [&] {
        std::optional<Sicherungsdatei> datei;
        if (definition.strom())
            datei.emplace(Dateideskriptor{1});
        else
            datei.emplace(definition.pfad, Sonderziel::Hineinschreiben);
        SchreibeDefinition(*datei, d.Titel, d.Hintergrund, d.Hintergrundpfad, objekte);
    });
}

// ------------------------------------------------------------ Meldungen

Meldungen::Meldungen(std::size_t dateien)
    : m_dateien(dateien)
    , m_fortschritt(dateien > 1 && ::isatty(2))
{
}

Meldungen::~Meldungen()
{
    zeileLeeren();
}

void Meldungen::zeileLeeren()
{
    if (m_zeileSteht)
        std::cerr << "\r\033[K" << std::flush;
    m_zeileSteht = false;
}

void Meldungen::beginne(std::size_t nummer, const Dateiangabe &datei)
{
    if (!m_fortschritt)
        return;
    std::cerr << "\r\033[K" << nummer << '/' << m_dateien << ' ' << datei.anzeige() << std::flush;
    m_zeileSteht = true;
}

void Meldungen::fehler(const std::string &text)
{
    zeileLeeren();
    std::cerr << "markwerk-cli: " << mitPunkt(text) << '\n' << std::flush;
}

// ------------------------------------------------------------ several files

int stapel(Umwandlung umwandlung, const std::string &endung, const std::string &ordner,
           const std::vector<Dateiangabe> &eingaben)
{
    Meldungen meldungen(eingaben.size());
    // One message for a missing folder, not one for every file.
    struct stat st;
    if (::stat(ordner.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        meldungen.fehler(Dateiangabe{ordner, true}.anzeige() + ": Der Ordner existiert nicht");
        return 1;
    }
    // Two inputs of the same name would write one output twice; the second
    // is refused instead of replacing the first one's result.
    std::map<std::string, const Dateiangabe *> ziele;
    bool gescheitert = false;
    for (std::size_t i = 0; i < eingaben.size(); ++i) {
        const Dateiangabe &eingabe = eingaben[i];
        meldungen.beginne(i + 1, eingabe);
        const Dateiangabe ziel{(ordner.empty() || ordner.back() != '/' ? ordner + "/" : ordner) + stamm(eingabe.pfad)
                                   + endung,
                               true};
        try {
            const auto [vorher, neu] = ziele.emplace(ziel.pfad, &eingabe);
            if (!neu)
                throw Dateimeldung(eingabe, "Die Ausgabedatei " + ziel.pfad + " kommt schon aus "
                                                + vorher->second->anzeige());
            // An output that is one of the later inputs would replace it
            // before its turn.
            for (const Dateiangabe &andere : eingaben) {
                if (!andere.strom() && dieselbeDatei(ziel.pfad, andere.pfad))
                    throw Dateimeldung(eingabe, "Die Ausgabedatei " + ziel.pfad + " ist die Eingabedatei "
                                                    + andere.anzeige());
            }
            umwandlung(eingabe, ziel);
        } catch (const Fehler &f) {
            meldungen.fehler(f.what());
            gescheitert = true;
        } catch (const std::bad_alloc &) {
            meldungen.fehler(eingabe.anzeige() + ": Nicht genügend Arbeitsspeicher");
            gescheitert = true;
        }
    }
    return gescheitert ? 1 : 0;
}
