// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

#include "kette.h"

#include <cstdlib>
#include <new>

void Kette::setzen(const char *text, std::size_t laenge)
{
    m_zeiger = nullptr;
    if (laenge == 0)
        return;
    if (laenge <= Eingebettet) {
        m_bytes[Markenbyte] = static_cast<unsigned char>(laenge << 1 | 1);
        if (text)
            std::memcpy(m_bytes + Datenbeginn, text, laenge);
        return;
    }
    if (laenge > std::size_t(-1) - sizeof(std::size_t))
        throw std::bad_alloc();
    auto *block = static_cast<char *>(std::malloc(sizeof(std::size_t) + laenge));
    if (!block)
        throw std::bad_alloc();
    std::memcpy(block, &laenge, sizeof laenge);
    if (text)
        std::memcpy(block + sizeof(std::size_t), text, laenge);
    m_zeiger = block;
}

void Kette::freigeben() noexcept
{
    if (!eingebettet())
        std::free(m_zeiger);
    m_zeiger = nullptr;
}
