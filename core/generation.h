#pragma once

#include <string>

class Dokumenteinstellungen;
class Objektliste;

// The HTML page of a document: one tag group per line, every line ended by
// CR LF, document strings written as they are, without escaping. Throws the
// conversion error of a table whose data cannot be read.
std::string Seite(const Dokumenteinstellungen &einstellungen, const Objektliste &objekte);

// Writes a page to a file. A file that cannot be created throws ErstellFehler,
// a write that fails SchreibFehler; either way the previous file is untouched.
void SchreibeSeite(const std::string &dateiname, const std::string &seite);

// Builds the page and writes it; nothing is written when building fails.
void Generieren(const std::string &dateiname, const Dokumenteinstellungen &einstellungen,
                const Objektliste &objekte);
