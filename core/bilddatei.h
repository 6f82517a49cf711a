// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <sys/types.h>

// The kinds of picture that every browser of today shows.
enum class Bildart { Gif, Png, Jpeg, WebP, Avif, Bmp, Ico, Svg };

// A picture file that is to be published, opened once: everything that is
// checked and everything that is copied goes through the same descriptor, so
// a file swapped for another after the check is never what is copied.
//
// A definition file may come from anyone, and whatever its pictures name is
// put on the web. So only a regular file of a real file system is read (no
// /proc, /sys and the like, judged on the opened file after links are
// followed), without waiting (a FIFO swapped in fails instead of blocking),
// never more than the size the file had when it was opened and never more
// than `Hoechstgroesse`; and it must be a picture by its content, not by its
// name. An SVG is one only without scripts, event attributes, foreignObject
// and references to anything outside itself.
class Bilddatei
{
public:
    static constexpr std::int64_t Hoechstgroesse = std::int64_t(64) << 20;

    // Throws Fehler "Die Bilddatei „ANZEIGE“ ...", naming the reason, when
    // `pfad` (bytes for the file system) is not such a picture. `anzeige`
    // is the path as the document stores it, in Windows-1252.
    Bilddatei(const std::string &pfad, std::string_view anzeige);
    ~Bilddatei();
    Bilddatei(Bilddatei &&andere) noexcept;
    Bilddatei &operator=(Bilddatei &&) = delete;
    Bilddatei(const Bilddatei &) = delete;
    Bilddatei &operator=(const Bilddatei &) = delete;

    Bildart art() const { return m_art; }
    // The usual file name extension of the kind, without the dot.
    const char *endung() const;
    // Whether a file name already ends in an extension of the kind.
    bool endungPasst(std::string_view dateiname) const;
    // Pixel size from the header where it is there; 0 when not known.
    int breite() const { return m_breite; }
    int hoehe() const { return m_hoehe; }
    dev_t geraet() const { return m_geraet; }
    ino_t knoten() const { return m_knoten; }

    // Writes a new file `ziel` (bytes for the file system) with the content
    // that was checked, mode 0644 less the umask. Throws EAFehler, or Fehler
    // when the picture changed its length meanwhile.
    void kopiereNach(const std::string &ziel) const;

private:
    [[noreturn]] void abweisen(const std::string &grund) const;
    void erkenne(const std::string &anfang);
    void pruefeSvg(const std::string &inhalt) const;
    std::string lies(std::int64_t laenge) const;

    int m_fd = -1;
    std::string m_anzeige;
    std::int64_t m_groesse = 0;
    dev_t m_geraet = 0;
    ino_t m_knoten = 0;
    Bildart m_art = Bildart::Gif;
    int m_breite = 0;
    int m_hoehe = 0;
};
