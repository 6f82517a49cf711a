// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "datei.h"
#include "gliederung.h"
#include "objektliste.h"

#include <string>
#include <vector>

class Dokumenteinstellungen;

// Everything a definition file (*.htd) holds.
struct Definition
{
    std::string Titel;
    bool Hintergrund = false;
    std::string Hintergrundpfad;
    std::vector<Objekt> Objekte;
};

// Reads a whole definition file. Nothing is applied anywhere: a failure throws
// and leaves no trace. The result always keeps the document's invariants: a
// stored object count larger than one of the lists fails with the list index
// error, a smaller or negative one keeps only that many objects. The file is
// passed over once before anything is kept, so a file that fails costs one
// read and no memory beyond the buffer. `stand`, when given, receives the
// state of the file as it was opened. A string beyond `grenzen` is refused
// before it is read (FeldFehler).
Definition LeseDefinition(const std::string &dateiname, Dateistand *stand = nullptr, const Feldgrenzen &grenzen = {});
// The same from a file already opened, a pipe among them.
Definition LeseDefinition(Lesedatei &datei, const Feldgrenzen &grenzen = {});

// The longest texts the program's windows are given. Beyond about five
// million characters Qt's text widths overflow and a title field takes down
// the program; at a million a caption is measured in a tenth of a second.
// The text window lays out its paragraph in about a second at a million
// characters on a busy machine and in under half a second at half a million.
inline constexpr Feldgrenzen Fenstergrenzen{1'000'000, 500'000};

// Writes a definition file; the previous file is replaced only when the new
// one is complete. Returns the state of the file written.
Dateistand SchreibeDefinition(const std::string &dateiname, const std::string &titel, bool hintergrund,
                              const std::string &hintergrundpfad, const Objektliste &objekte,
                              Sonderziel sonderziel = Sonderziel::Verweigern);
// The same into a file already opened, standard output among them.
Dateistand SchreibeDefinition(Sicherungsdatei &datei, const std::string &titel, bool hintergrund,
                              const std::string &hintergrundpfad, const Objektliste &objekte);

// Writes the document with its settings as they are at this moment; the
// background path is read only when the background is on.
Dateistand Sichern(const std::string &dateiname, const Dokumenteinstellungen &einstellungen,
                   const Objektliste &objekte);

// Sets title and background from a read definition: the title, then the
// check box, then (only when it is on) the background path, which may throw.
void uebernehmeEinstellungen(const Definition &definition, Dokumenteinstellungen &einstellungen);
