// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

#include "anwendung.h"

#include <QApplication>

#include <algorithm>

int main(int argc, char *argv[])
{
    // Qt sees only the program's name: every argument is the program's, and
    // a file called "-reverse" or "-style" is opened, not taken as an option.
    int qtArgc = std::min(argc, 1);
    char *qtArgv[] = {argc > 0 ? argv[0] : nullptr, nullptr};
    QApplication anwendung(qtArgc, qtArgv);
    richteAnwendungEin(anwendung);

    const std::unique_ptr<TFrmMarkwerk> FrmMarkwerk = erzeugeFenster();
    FrmMarkwerk->FormShow(programmargumente(argc, argv));
    FrmMarkwerk->show();
    return anwendung.exec();
}
