// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <bit>
#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

// An immutable string of bytes in one pointer's room, for the three strings
// of every object: a document of a million objects whose strings are short
// or empty (a definition file spends 4 bytes on an empty string) must not
// cost 96 bytes an object in memory, as three std::string would. Up to seven
// bytes live in the pointer itself; longer texts in one block on the heap,
// behind their length. Reads as a std::string_view.
class Kette
{
public:
    Kette() noexcept = default;
    Kette(std::string_view text) { setzen(text.data(), text.size()); }
    Kette(const std::string &text)
        : Kette(std::string_view(text))
    {
    }
    Kette(const char *text)
        : Kette(std::string_view(text))
    {
    }
    Kette(const Kette &andere)
        : Kette(andere.ansicht())
    {
    }
    Kette(Kette &&andere) noexcept
        : m_zeiger(andere.m_zeiger)
    {
        andere.m_zeiger = nullptr;
    }
    ~Kette() { freigeben(); }

    Kette &operator=(const Kette &andere)
    {
        if (this != &andere)
            *this = Kette(andere);
        return *this;
    }
    Kette &operator=(Kette &&andere) noexcept
    {
        std::swap(m_zeiger, andere.m_zeiger);
        return *this;
    }

    // A string of `laenge` bytes whose content the caller writes through
    // the pointer returned, before anything else reads it.
    char *mitLaenge(std::size_t laenge)
    {
        freigeben();
        setzen(nullptr, laenge);
        return const_cast<char *>(data());
    }

    std::size_t size() const noexcept
    {
        if (eingebettet())
            return m_bytes[Markenbyte] >> 1;
        return m_zeiger ? kopf() : 0;
    }
    bool empty() const noexcept { return size() == 0; }
    const char *data() const noexcept
    {
        if (eingebettet())
            return reinterpret_cast<const char *>(m_bytes) + Datenbeginn;
        return m_zeiger ? m_zeiger + sizeof(std::size_t) : "";
    }
    std::string_view ansicht() const noexcept { return {data(), size()}; }
    operator std::string_view() const noexcept { return ansicht(); }
    // A copy, for the places that keep or edit the text.
    operator std::string() const { return str(); }
    std::string str() const { return std::string(ansicht()); }

    const char *begin() const noexcept { return data(); }
    const char *end() const noexcept { return data() + size(); }
    char operator[](std::size_t i) const noexcept { return data()[i]; }
    std::string substr(std::size_t anfang, std::size_t laenge = std::string::npos) const
    {
        return std::string(ansicht().substr(anfang, laenge));
    }

    friend bool operator==(const Kette &a, const Kette &b) noexcept { return a.ansicht() == b.ansicht(); }
    friend bool operator==(const Kette &a, std::string_view b) noexcept { return a.ansicht() == b; }
    friend bool operator==(const Kette &a, const std::string &b) noexcept { return a.ansicht() == b; }
    friend bool operator==(const Kette &a, const char *b) noexcept { return a.ansicht() == b; }
    friend auto operator<=>(const Kette &a, const Kette &b) noexcept { return a.ansicht() <=> b.ansicht(); }
    friend std::string operator+(std::string a, const Kette &b) { return a.append(b.ansicht()); }
    friend std::string operator+(const Kette &a, std::string_view b) { return a.str().append(b); }

private:
    // The low bit of the pointer's value marks the embedded form: a block
    // from malloc is aligned, so a real pointer never has it.
    static constexpr std::size_t Markenbyte = std::endian::native == std::endian::little ? 0 : sizeof(char *) - 1;
    static constexpr std::size_t Datenbeginn = Markenbyte == 0 ? 1 : 0;
    static constexpr std::size_t Eingebettet = sizeof(char *) - 1;

    bool eingebettet() const noexcept { return m_bytes[Markenbyte] & 1; }
    std::size_t kopf() const noexcept
    {
        std::size_t laenge;
        std::memcpy(&laenge, m_zeiger, sizeof laenge);
        return laenge;
    }
    void setzen(const char *text, std::size_t laenge);
    void freigeben() noexcept;

    union {
        char *m_zeiger = nullptr;
        unsigned char m_bytes[sizeof(char *)];
    };
};
