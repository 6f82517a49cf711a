// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

#include "win1252.h"

#include "fehler.h"

#include <array>

namespace {

// Characters of the bytes 0x80 to 0x9F; the rest equal their byte value.
constexpr std::array<char16_t, 32> obereTabelle = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// The byte of a character, or -1 when the code page has none.
int byteFuer(char16_t zeichen)
{
    if (zeichen < 0x80 || (zeichen >= 0xA0 && zeichen <= 0xFF))
        return zeichen;
    for (std::size_t i = 0; i < obereTabelle.size(); ++i) {
        if (obereTabelle[i] == zeichen)
            return int(0x80 + i);
    }
    return -1;
}

// Walks the text character by character; calls fehlt(position) for each one
// the code page lacks and gut(byte) for the others. Stops when fehlt returns false.
template<typename Gut, typename Fehlt>
void durchlaufe(QStringView text, Gut gut, Fehlt fehlt)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        const int b = byteFuer(c.unicode());
        if (b >= 0) {
            gut(char(b));
            continue;
        }
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            if (!fehlt(i, 2))
                return;
            ++i;
        } else if (!fehlt(i, 1)) {
            return;
        }
    }
}

} // namespace

namespace Win1252 {

QString zuText(std::string_view bytes)
{
    QString text(qsizetype(bytes.size()), Qt::Uninitialized);
    QChar *ziel = text.data();
    for (const char b : bytes) {
        const auto u = static_cast<unsigned char>(b);
        *ziel++ = QChar(u >= 0x80 && u < 0xA0 ? obereTabelle[u - 0x80] : char16_t(u));
    }
    return text;
}

bool darstellbar(QStringView text)
{
    bool ok = true;
    durchlaufe(text, [](char) {}, [&](qsizetype, int) { ok = false; return false; });
    return ok;
}

std::string zuBytes(QStringView text)
{
    std::string bytes;
    bytes.reserve(std::size_t(text.size()));
    durchlaufe(text, [&](char b) { bytes += b; }, [&](qsizetype, int) { bytes += '?'; return true; });
    return bytes;
}

std::string zuBytesStreng(QStringView text)
{
    std::string bytes;
    bytes.reserve(std::size_t(text.size()));
    durchlaufe(text, [&](char b) { bytes += b; }, [&](qsizetype i, int laenge) {
        const QString zeichen = text.mid(i, laenge).toString();
        const uint code = laenge == 2 ? QChar::surrogateToUcs4(text[i], text[i + 1]) : text[i].unicode();
        throw ZeichensatzFehler("Das Zeichen \"" + zeichen.toStdString() + "\" (U+"
                                + QString::number(code, 16).toUpper().rightJustified(4, u'0').toStdString()
                                + ") ist im Zeichensatz Windows-1252 nicht enthalten");
        return false;
    });
    return bytes;
}

QString bereinigt(QStringView text)
{
    if (darstellbar(text))
        return text.toString();
    return zuText(zuBytes(text));
}

} // namespace Win1252
