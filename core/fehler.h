// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

// Every failure the user is told about is one of these. The text is the
// German message exactly as the message box shows it (UTF-8), before the
// full stop that mitPunkt() may add.
class Fehler : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// A failed file or directory operation, identified by its numeric code.
class EAFehler : public Fehler
{
public:
    explicit EAFehler(int code);
    int code() const { return m_code; }

    static std::string textFuer(int code);

    // The error for a failed system call. Reading and writing differ for
    // ENOENT: a missing file to read is code 2, a missing folder on the way
    // (or any missing part when writing) is code 3. An errno value without a
    // code of its own is reported as "I/O-Fehler" with that value.
    static EAFehler ausErrno(int err, bool lesen);

private:
    EAFehler(int code, std::string text);
    int m_code;
};

// A text that should have been a decimal integer.
class KonvertierungsFehler : public Fehler
{
public:
    explicit KonvertierungsFehler(const std::string &textUtf8);
};

// Access to an entry past the end of a list.
class ListenIndexFehler : public Fehler
{
public:
    explicit ListenIndexFehler(long long index);
};

// The output file of a generation could not be created.
class ErstellFehler : public Fehler
{
public:
    explicit ErstellFehler(const std::string &dateiname);
};

// Writing the output file of a generation failed part way.
class SchreibFehler : public Fehler
{
public:
    SchreibFehler();
};

// Table data that the encoder never writes: cut short, or counts below one.
class TabellenFehler : public Fehler
{
public:
    using Fehler::Fehler;
};

// A text that cannot be written in the 8-bit code page of the documents.
class ZeichensatzFehler : public Fehler
{
public:
    using Fehler::Fehler;
};

// A failure that belongs to one object of a document, which goes in front
// of the text: "Objekt 3 (Tabelle "Preise"): ...".
class ObjektFehler : public Fehler
{
public:
    ObjektFehler(std::int32_t nummer, std::string_view art, std::string_view beschreibung, const std::string &text);
};

// A string of a definition file longer than the windows can show: `was`
// names the field ("Der Titel"), UTF-8.
class FeldFehler : public Fehler
{
public:
    FeldFehler(const std::string &was, std::size_t laenge, std::size_t grenze);
};

// A document string inside a message: UTF-8, with every control character,
// which could end the message early or break its line, shown as "\uFFFD".
std::string meldungstext(std::string_view bytes);

// How a message names an object: its number from 1, its kind and its
// description, the strings Windows-1252 bytes, the result UTF-8.
std::string objektbezeichnung(std::int32_t nummer, std::string_view art, std::string_view beschreibung);

// A cell text that a table cannot carry: the separator after its first
// character. Row and column count from 1.
class TrennzeichenFehler : public Fehler
{
public:
    TrennzeichenFehler(int zeile, int spalte);
};

// Appends a full stop when the last character's code is greater than that of
// the full stop, as every message box and the command-line tool show it.
std::string mitPunkt(std::string text);
