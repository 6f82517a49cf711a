// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

// markwerk-cli: the document core for scripts and batch work.

#include "definitionsdatei.h"
#include "einstellungen.h"
#include "fehler.h"
#include "generation.h"
#include "jsonformat.h"
#include "datei.h"
#include "markwerk_version.h"

#include <csignal>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

namespace {

constexpr const char *Aufruf =
    "Aufruf:\n"
    "  markwerk-cli html DEFINITION.htd SEITE.htm      schreibt die HTML-Seite des Dokuments\n"
    "  markwerk-cli json DEFINITION.htd [DOKUMENT.json] gibt das Dokument als JSON aus\n"
    "                                                   (ohne Dateinamen auf die Standardausgabe)\n"
    "  markwerk-cli htd  DOKUMENT.json DEFINITION.htd   schreibt eine Definitionsdatei aus JSON\n"
    "  markwerk-cli --help | --version\n";

int falscherAufruf(const std::string &grund)
{
    std::cerr << "markwerk-cli: " << grund << "\n" << Aufruf;
    return 2;
}

// Writing over the file being read would lose it; refused before anything
// is read or written.
void nichtUeberEingabe(const std::string &eingabe, const std::string &ausgabe)
{
    if (dieselbeDatei(eingabe, ausgabe))
        throw Fehler("Die Ausgabedatei " + ausgabe + " ist die Eingabedatei selbst");
}

int html(const std::string &definition, const std::string &seite)
{
    nichtUeberEingabe(definition, seite);
    Definition d = LeseDefinition(definition);
    Speichereinstellungen einstellungen;
    uebernehmeEinstellungen(d, einstellungen);
    Generieren(seite, einstellungen, Objektliste(std::move(d.Objekte)), Sonderziel::Hineinschreiben);
    return 0;
}

int json(const std::string &definition, const std::string *ausgabe)
{
    if (ausgabe)
        nichtUeberEingabe(definition, *ausgabe);
    const std::string text = definitionAlsJson(LeseDefinition(definition));
    if (!ausgabe) {
        std::fwrite(text.data(), 1, text.size(), stdout);
        if (std::fflush(stdout) != 0)
            throw SchreibFehler();
        return 0;
    }
    Sicherungsdatei datei(*ausgabe, Sonderziel::Hineinschreiben);
    datei.schreiben(text);
    datei.abschliessen();
    return 0;
}

int htd(const std::string &jsonDatei, const std::string &definition)
{
    nichtUeberEingabe(jsonDatei, definition);
    Definition d = definitionAusJson(Lesedatei(jsonDatei, true).alles());
    SchreibeDefinition(definition, d.Titel, d.Hintergrund, d.Hintergrundpfad, Objektliste(std::move(d.Objekte)),
                       Sonderziel::Hineinschreiben);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    // A pipe whose reader has gone is a write error like any other, not the
    // end of the process.
    std::signal(SIGPIPE, SIG_IGN);
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty())
        return falscherAufruf("Befehl fehlt");
    const std::string &befehl = args[0];
    if (befehl == "--help" || befehl == "-h") {
        std::cout << "markwerk-cli erzeugt HTML-Seiten aus Markwerk-Definitionsdateien (*.htd)\n"
                     "und wandelt sie in JSON und zurück.\n\n"
                  << Aufruf;
        return 0;
    }
    if (befehl == "--version") {
        std::cout << "markwerk-cli " MARKWERK_VERSION "\n";
        return 0;
    }

    try {
        if (befehl == "html" && args.size() == 3)
            return html(args[1], args[2]);
        if (befehl == "json" && (args.size() == 2 || args.size() == 3))
            return json(args[1], args.size() == 3 ? &args[2] : nullptr);
        if (befehl == "htd" && args.size() == 3)
            return htd(args[1], args[2]);
    } catch (const Fehler &f) {
        std::cerr << "markwerk-cli: " << mitPunkt(f.what()) << "\n";
        return 1;
    } catch (const std::bad_alloc &) {
        std::cerr << "markwerk-cli: Nicht genügend Arbeitsspeicher.\n";
        return 1;
    }

    if (befehl == "html" || befehl == "json" || befehl == "htd")
        return falscherAufruf("falsche Zahl von Argumenten für \"" + befehl + "\"");
    return falscherAufruf("unbekannter Befehl \"" + befehl + "\"");
}
