// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "hauptform.h"

#include <memory>

class QApplication;

// What every run of the program sets up once, the tests too: the title
// "Markwerk", a German locale with Qt's own German texts, and the font.
void richteAnwendungEin(QApplication &anwendung);

// All nine windows in their order of creation, the main window first; the
// other eight belong to it.
std::unique_ptr<TFrmMarkwerk> erzeugeFenster();
