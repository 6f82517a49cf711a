// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Reads a file through a buffer. Every failure throws EAFehler: a missing file
// 2, a missing folder 3, a read that gets fewer bytes than asked for 100.
class Lesedatei
{
public:
    // Only regular files are read unless `auchStroeme` is set: a pipe or a
    // device would block the program or never end, and is refused as access
    // (code 5) like a folder.
    explicit Lesedatei(const std::string &dateiname, bool auchStroeme = false);
    ~Lesedatei();
    Lesedatei(const Lesedatei &) = delete;
    Lesedatei &operator=(const Lesedatei &) = delete;

    // Bytes not yet read; for a file whose size is unknown (a pipe) a very
    // large number, so that nothing is reserved on trust.
    std::uint64_t rest() const;
    bool groesseBekannt() const { return m_groesseBekannt; }

    // One signed 32-bit little-endian record.
    std::int32_t satz();
    // anzahl records, each giving one character: its lowest eight bits.
    void zeichensaetze(char *ziel, std::size_t anzahl);
    // Reads everything that is left.
    std::string alles();

private:
    // Makes at least `mindestens` bytes available in the buffer, or throws
    // code 100 when the file ends first.
    void fuellen(std::size_t mindestens);

    int m_fd = -1;
    bool m_groesseBekannt = false;
    std::uint64_t m_groesse = 0;
    std::uint64_t m_gelesen = 0; // bytes handed out so far
    std::vector<char> m_puffer;
    std::size_t m_anfang = 0;
    std::size_t m_ende = 0;
};

// Writes a file so that the target is replaced only when the new content is
// complete: the bytes go to a new file beside it, which takes the target's
// place after it has been written and flushed to the disk. Until then, and
// after any failure, the previous file is untouched. A failure throws
// EAFehler (the codes for writing); the new file is then thrown away.
class Sicherungsdatei
{
public:
    explicit Sicherungsdatei(const std::string &dateiname);
    ~Sicherungsdatei();
    Sicherungsdatei(const Sicherungsdatei &) = delete;
    Sicherungsdatei &operator=(const Sicherungsdatei &) = delete;

    void schreiben(const char *daten, std::size_t laenge);
    void schreiben(const std::string &text) { schreiben(text.data(), text.size()); }
    void satz(std::int32_t wert);
    // A string as its length record followed by one record per byte.
    void zeichenkette(const std::string &text);

    // Writes what is buffered, flushes it to the disk and puts the new file
    // in the target's place.
    void abschliessen();

private:
    void leeren();
    void direkt(const char *daten, std::size_t laenge);

    std::string m_ziel;
    std::string m_temporaer; // name of the new file while it has one
    int m_fd = -1;
    bool m_namenlos = false;
    std::vector<char> m_puffer;
    std::size_t m_belegt = 0;
    std::uint64_t m_geschrieben = 0; // bytes in the file so far
    std::uint64_t m_angestossen = 0; // bytes already sent on to the disk
};
