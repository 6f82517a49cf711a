// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "dateiangabe.h"

#include <vector>

// "check": looks at pages before they are published and writes one line
// per finding to standard output,
//   FILE: Objekt N (Art "Beschreibung"): Befund.
// (the background as "FILE: Hintergrund: Befund."). Returns the exit code:
// 0 nothing found, 3 something found, 1 a file could not be read.
int pruefe(const std::vector<Dateiangabe> &definitionen);
