// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <QStringView>

#include <string>
#include <string_view>

// Document strings are bytes in the Windows-1252 code page. These convert
// between them and Unicode at the edges of the program (windows, JSON). Every
// byte has a character (0x81, 0x8D, 0x8F, 0x90 and 0x9D map to the C1 control
// characters of the same number), so bytes -> text -> bytes is lossless.
namespace Win1252 {

QString zuText(std::string_view bytes);

// Whether every character of the text exists in the code page.
bool darstellbar(QStringView text);

// The bytes of a text; every character the code page lacks becomes '?'
// (a pair of surrogates counts as one character).
std::string zuBytes(QStringView text);

// The bytes of a text; throws ZeichensatzFehler naming the first character
// the code page lacks.
std::string zuBytesStreng(QStringView text);

// The text with every character the code page lacks replaced by '?', so that
// an edit field shows what will be stored.
QString bereinigt(QStringView text);

} // namespace Win1252
