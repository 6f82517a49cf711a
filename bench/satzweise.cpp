// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

#include "satzweise.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <unistd.h>

namespace {

[[noreturn]] void fehler(const char *was)
{
    throw std::runtime_error(std::string(was) + ": " + std::strerror(errno));
}

class Datei
{
public:
    Datei(const std::string &name, int flags)
        : m_fd(::open(name.c_str(), flags | O_CLOEXEC, 0666))
    {
        if (m_fd < 0)
            fehler("open");
    }
    ~Datei() { ::close(m_fd); }
    Datei(const Datei &) = delete;
    Datei &operator=(const Datei &) = delete;

    void schreiben(const void *daten, std::size_t laenge)
    {
        if (::write(m_fd, daten, laenge) != ssize_t(laenge))
            fehler("write");
    }
    void satz(std::int32_t wert)
    {
        unsigned char b[4] = {static_cast<unsigned char>(wert), static_cast<unsigned char>(wert >> 8),
                              static_cast<unsigned char>(wert >> 16), static_cast<unsigned char>(wert >> 24)};
        schreiben(b, 4);
    }
    void zeichenkette(const std::string &text)
    {
        satz(std::int32_t(text.size()));
        for (const char c : text)
            satz(static_cast<unsigned char>(c));
    }
    std::int32_t lesen()
    {
        unsigned char b[4];
        if (::read(m_fd, b, 4) != 4)
            throw std::runtime_error("Lesen nach Dateiende");
        return std::int32_t(std::uint32_t(b[0]) | std::uint32_t(b[1]) << 8 | std::uint32_t(b[2]) << 16
                            | std::uint32_t(b[3]) << 24);
    }
    std::string leseZeichenkette()
    {
        const std::int32_t laenge = lesen();
        std::string text;
        for (std::int32_t i = 0; i < laenge; ++i)
            text += char(lesen() & 0xFF);
        return text;
    }

private:
    int m_fd;
};

} // namespace

void schreibeSatzweise(const std::string &dateiname, const Werkstueck &w)
{
    Datei d(dateiname, O_WRONLY | O_CREAT | O_TRUNC);
    d.zeichenkette(w.Titel);
    d.satz(w.Hintergrund ? 1 : 0);
    if (w.Hintergrund)
        d.zeichenkette(w.Hintergrundpfad);
    d.satz(w.Objekte.Anzahl());
    for (Kette Objekt::*feld : {&Objekt::Art, &Objekt::Beschreibung, &Objekt::Daten}) {
        d.satz(w.Objekte.Anzahl());
        for (const Objekt &o : w.Objekte)
            d.zeichenkette(o.*feld);
    }
}

Definition leseSatzweise(const std::string &dateiname)
{
    Datei d(dateiname, O_RDONLY);
    Definition def;
    def.Titel = d.leseZeichenkette();
    def.Hintergrund = d.lesen() == 1;
    if (def.Hintergrund)
        def.Hintergrundpfad = d.leseZeichenkette();
    const std::int32_t anzahl = d.lesen();
    def.Objekte.resize(std::size_t(std::max(anzahl, 0)));
    for (Kette Objekt::*feld : {&Objekt::Art, &Objekt::Beschreibung, &Objekt::Daten}) {
        const std::int32_t eintraege = d.lesen();
        for (std::int32_t i = 0; i < eintraege; ++i) {
            std::string s = d.leseZeichenkette();
            if (std::size_t(i) < def.Objekte.size())
                def.Objekte[std::size_t(i)].*feld = std::move(s);
        }
    }
    return def;
}

void schreibeZeilenweise(const std::string &dateiname, const std::string &seite)
{
    Datei d(dateiname, O_WRONLY | O_CREAT | O_TRUNC);
    std::size_t anfang = 0;
    while (anfang < seite.size()) {
        std::size_t ende = seite.find('\n', anfang);
        ende = ende == std::string::npos ? seite.size() : ende + 1;
        d.schreiben(seite.data() + anfang, ende - anfang);
        anfang = ende;
    }
}
