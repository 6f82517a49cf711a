// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

#include "argumente.h"

#include <cstring>

namespace {

constexpr char16_t Fremdbyte = 0xDC00;

// The length of the UTF-8 character at p (at most `rest` bytes), 0 when the
// bytes there are none: a stray continuation byte, a sequence cut short, an
// overlong form, a surrogate or a code point beyond U+10FFFF.
int zeichenlaenge(const unsigned char *p, std::size_t rest)
{
    const unsigned char b = p[0];
    int laenge;
    char32_t code;
    if (b < 0x80)
        return 1;
    if (b >= 0xC2 && b <= 0xDF) {
        laenge = 2;
        code = b & 0x1F;
    } else if (b >= 0xE0 && b <= 0xEF) {
        laenge = 3;
        code = b & 0x0F;
    } else if (b >= 0xF0 && b <= 0xF4) {
        laenge = 4;
        code = b & 0x07;
    } else {
        return 0;
    }
    if (rest < std::size_t(laenge))
        return 0;
    for (int i = 1; i < laenge; ++i) {
        if ((p[i] & 0xC0) != 0x80)
            return 0;
        code = code << 6 | (p[i] & 0x3F);
    }
    const bool ueberlang = (laenge == 3 && code < 0x800) || (laenge == 4 && code < 0x10000);
    if (ueberlang || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF)
        return 0;
    return laenge;
}

} // namespace

QString argumentAlsText(const char *bytes)
{
    const auto *p = reinterpret_cast<const unsigned char *>(bytes);
    const std::size_t laenge = std::strlen(bytes);
    QString text;
    for (std::size_t i = 0; i < laenge;) {
        const int n = zeichenlaenge(p + i, laenge - i);
        if (n == 0) {
            text += QChar(char16_t(Fremdbyte + p[i]));
            ++i;
        } else {
            text += QString::fromUtf8(bytes + i, n);
            i += std::size_t(n);
        }
    }
    return text;
}

std::string textAlsArgument(const QString &text)
{
    std::string bytes;
    qsizetype anfang = 0;
    const auto bisher = [&](qsizetype ende) { bytes += text.mid(anfang, ende - anfang).toStdString(); };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        const bool allein = c >= Fremdbyte + 0x80 && c <= Fremdbyte + 0xFF
                            && (i == 0 || !text[i - 1].isHighSurrogate());
        if (!allein)
            continue;
        bisher(i);
        bytes += char(c - Fremdbyte);
        anfang = i + 1;
    }
    bisher(text.size());
    return bytes;
}
