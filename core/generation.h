// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "datei.h"

#include <functional>
#include <string>
#include <string_view>

class Definitionsansicht;
class Dokumenteinstellungen;
class Objektliste;

// The path a page gives a picture or its background instead of the stored
// one: the export points its page at the copies it makes. The view returned
// must hold until the page is written.
using Bildpfade = std::function<std::string_view(std::string_view gespeichert)>;

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

// The same page, byte for byte, from a definition file walked in place: the
// memory it takes does not depend on the file's size. A table that cannot be
// read throws ObjektFehler naming its object, before anything is written,
// also into a pipe. Errors of the output are ErstellFehler and SchreibFehler;
// every other error concerns the definition file.
std::string Seite(const Definitionsansicht &ansicht);
void Generieren(const std::string &dateiname, const Definitionsansicht &ansicht,
                Sonderziel sonderziel = Sonderziel::Verweigern, const Bildpfade &bildpfade = {});
void Generieren(Dateideskriptor ausgabe, const Definitionsansicht &ansicht);
