// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

#include <string>

// Command-line arguments as text for QCommandLineParser and back to the
// bytes they were given: a file name that is not UTF-8 must reach the file
// system unchanged. A byte that is not part of a UTF-8 character stands in
// the text as a lone surrogate, U+DC80 to U+DCFF, which no UTF-8 text holds.
QString argumentAlsText(const char *bytes);
std::string textAlsArgument(const QString &text);
