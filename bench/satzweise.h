// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// The definition file written and read with one system call per 4-byte
// record, the plainest way to handle the format. Only the benchmarks use
// these, to show what buffering gains; the program never does.

#include "definitionsdatei.h"
#include "werkstueck.h"

#include <string>

void schreibeSatzweise(const std::string &dateiname, const Werkstueck &werkstueck);
Definition leseSatzweise(const std::string &dateiname);

// The page written one system call per line.
void schreibeZeilenweise(const std::string &dateiname, const std::string &seite);
