// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "dateiangabe.h"

#include <string>
#include <vector>

// The conversions of markwerk-cli, one file each. A failure throws a
// Dateimeldung naming the file it concerns and leaves every file as it was.
void html(const Dateiangabe &definition, const Dateiangabe &seite);
void json(const Dateiangabe &definition, const Dateiangabe &ausgabe);
void htd(const Dateiangabe &json, const Dateiangabe &definition);

// Reports on standard error: "markwerk-cli: " and the German text. With
// more than one file and standard error on a terminal it also keeps a line
// of progress, which each report clears first.
class Meldungen
{
public:
    explicit Meldungen(std::size_t dateien);
    ~Meldungen();
    Meldungen(const Meldungen &) = delete;
    Meldungen &operator=(const Meldungen &) = delete;

    void beginne(std::size_t nummer, const Dateiangabe &datei);
    void fehler(const std::string &text);
    // Clears the line of progress before other output reaches the terminal.
    void vorAusgabe() { zeileLeeren(); }

private:
    void zeileLeeren();

    std::size_t m_dateien;
    bool m_fortschritt;
    bool m_zeileSteht = false;
};

// One of the conversions above for several files: each input becomes
// ORDNER/NAME.endung, NAME its file name without extension. Each file
// succeeds or fails on its own, every failure is reported; the result is
// the exit code, 1 when any failed.
using Umwandlung = void (*)(const Dateiangabe &, const Dateiangabe &);
int stapel(Umwandlung umwandlung, const std::string &endung, const std::string &ordner,
           const std::vector<Dateiangabe> &eingaben);

// Standard output as the commands write to it, flushed: a failure throws
// "Standardausgabe: Stream-Write-Fehler".
void aufStandardausgabe(std::string_view text);
