// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "hauptform.h"

#include <memory>
#include <string>
#include <vector>

class QApplication;

// What every run of the program sets up once, the tests too: the title
// "Markwerk", a German locale with Qt's own German texts, and the font.
void richteAnwendungEin(QApplication &anwendung);

// The arguments after the program's name, all of them (QApplication is
// given none), as the bytes the file system knows: QApplication::arguments()
// would decode them and lose a file name that is not UTF-8.
std::vector<std::string> programmargumente(int argc, char *argv[]);

// All nine windows in their order of creation, the main window first; the
// other eight belong to it.
std::unique_ptr<TFrmMarkwerk> erzeugeFenster();
