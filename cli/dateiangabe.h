// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "fehler.h"

#include <memory>
#include <new>
#include <string>

class Lesedatei;

// A file named on the command line, as the bytes it was given; "-" stands
// for standard input or standard output.
struct Dateiangabe
{
    std::string pfad;
    bool ausgabe = false;

    bool strom() const { return pfad == "-"; }
    // How messages name it.
    std::string anzeige() const;
};

// A failure with the file it concerns in front: "preise.htd: Text".
class Dateimeldung : public Fehler
{
public:
    Dateimeldung(const Dateiangabe &datei, const std::string &text)
        : Fehler(datei.anzeige() + ": " + text)
    {
    }
};

// Runs `arbeit`; what fails in it is reported as a failure of `datei`.
template<typename Arbeit>
auto fuer(const Dateiangabe &datei, Arbeit &&arbeit) -> decltype(arbeit())
{
    try {
        return arbeit();
    } catch (const Dateimeldung &) {
        throw;
    } catch (const Fehler &f) {
        throw Dateimeldung(datei, f.what());
    } catch (const std::bad_alloc &) {
        throw Dateimeldung(datei, "Nicht genügend Arbeitsspeicher");
    }
}

// Opens an input: a file, a pipe, or standard input for "-". A device is
// refused as access: /dev/zero would never end.
std::unique_ptr<Lesedatei> oeffneEingabe(const Dateiangabe &datei);

// Writing over the file being read would lose it: refused before anything
// is read or written.
void pruefeVerschieden(const Dateiangabe &eingabe, const Dateiangabe &ausgabe);

// The folder of a file named on the command line, where the relative
// paths of its pictures start; the working folder for standard input.
std::string ordnerVon(const Dateiangabe &datei);
