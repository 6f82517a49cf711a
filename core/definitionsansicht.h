// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "datei.h"
#include "gliederung.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class Lesedatei;

// One object of a definition file, its strings as Windows-1252 bytes. The
// views hold until the next object is read.
struct Objektansicht
{
    std::string_view Art;
    std::string_view Beschreibung;
    std::string_view Daten;
};

// A definition file walked where it lies, for work that passes over the
// objects once and in order: the page, the check, the export. A regular file
// is mapped, not loaded, and what has been passed is let go again, so the
// memory a walk takes does not grow with the file; a pipe is held in memory
// as it came.
//
// A file is refused where and with the error LeseDefinition refuses it. The
// constructor checks everything but the data strings, most of a file's
// bytes; a walk checks those as it reads them and the rest of the data list
// when it ends, so that a page streams from a single pass over them. Callers
// that must know the whole file sound before the first object call
// pruefeDaten().
class Definitionsansicht
{
public:
    // Takes over what the reader opened; the reader is spent afterwards.
    explicit Definitionsansicht(Lesedatei &datei);
    // Bytes in memory, which must outlive the view.
    explicit Definitionsansicht(std::string_view bytes);
    ~Definitionsansicht();
    Definitionsansicht(const Definitionsansicht &) = delete;
    Definitionsansicht &operator=(const Definitionsansicht &) = delete;

    const std::string &Titel() const { return m_titel; }
    bool Hintergrund() const { return m_hintergrund; }
    // Empty while the background is off.
    const std::string &Hintergrundpfad() const { return m_hintergrundpfad; }
    // The objects a load keeps.
    std::int32_t Anzahl() const { return m_gliederung.behalten(); }

    // Checks the data list as a load would; afterwards no walk fails but
    // for a file changed meanwhile.
    void pruefeDaten() const;

    // The objects from the first, one at a time: three cursors, one in each
    // of the file's lists.
    class Lauf
    {
    public:
        explicit Lauf(const Definitionsansicht &ansicht);
        ~Lauf();
        Lauf(Lauf &&) noexcept;
        Lauf &operator=(Lauf &&) noexcept;
        // The next object, false after the last. Throws EAFehler(100) when
        // the file changed since it was checked.
        bool naechstes(Objektansicht &objekt);
        // The number of the object last handed out, from 1.
        std::int32_t nummer() const { return m_index; }
        // Checks the data list from here to its end, as a load would have
        // before the object the caller failed on.
        void uebrigeDatenPruefen();

    private:
        struct Zeiger;
        const Definitionsansicht *m_ansicht;
        std::unique_ptr<Zeiger[]> m_zeiger;
        std::int32_t m_index = 0;
        bool m_geprueft = false;
    };

    // Throws EAFehler(100) when the file was shortened while it was mapped.
    void pruefeUnversehrt() const;
    // Throws EAFehler(100), as a load of a file that changed under it fails,
    // when the mapped file's size, modification or change time is no longer
    // what it was when it was opened: another program wrote into it while
    // it was walked, and what was read may be part old, part new.
    void pruefeStand() const;

private:
    friend class Lauf;
    void einlesen();
    void freigeben();

    const unsigned char *m_basis = nullptr;
    std::uint64_t m_groesse = 0;
    void *m_abbild = nullptr; // the mapping, when the file is mapped
    int m_wache = -1;         // its slot among the guarded mappings
    int m_fd = -1;            // the mapped file, to see whether it changed
    Dateistand m_stand;       // its state when it was opened
    std::vector<char> m_speicher;
    Gliederung m_gliederung;
    std::uint64_t m_datenAnfang = 0; // the first data string
    std::string m_titel;
    bool m_hintergrund = false;
    std::string m_hintergrundpfad;
};
