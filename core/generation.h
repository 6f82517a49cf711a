// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "datei.h"

#include <string>

class Dokumenteinstellungen;
class Objektliste;

// The HTML page of a document: one tag group per line, every line ended by
// CR LF, document strings written as they are, without escaping. Throws the
// conversion error of a table whose data cannot be read.
std::string Seite(const Dokumenteinstellungen &einstellungen, const Objektliste &objekte);

// Builds the page and writes it to a file. A table that cannot be read
// throws before anything is written; a file that cannot be created throws
// ErstellFehler, a write that fails SchreibFehler, a pipe or device that is
// refused EAFehler(5). Whatever fails, the previous file is untouched.
void Generieren(const std::string &dateiname, const Dokumenteinstellungen &einstellungen,
                const Objektliste &objekte, Sonderziel sonderziel = Sonderziel::Verweigern);
