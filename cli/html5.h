// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "generation.h"

#include <string>

class Definitionsansicht;

// The document as a page of today for publishing: HTML5 in UTF-8, laid out
// for the width of a phone as of a desktop, attribute values escaped,
// elements closed, the background as CSS. The text of paragraphs, table
// cells and link captions passes through as in the program's page, because
// users write their own markup there. A table that cannot be read throws
// ObjektFehler; output errors throw EAFehler.
void schreibeHtml5(const std::string &dateiname, const Definitionsansicht &ansicht, const Bildpfade &bildpfade);
