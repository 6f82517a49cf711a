// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

#include "anwendung.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication anwendung(argc, argv);
    richteAnwendungEin(anwendung);

    const std::unique_ptr<TFrmMarkwerk> FrmMarkwerk = erzeugeFenster();
    FrmMarkwerk->FormShow(programmargumente(argc, argv));
    FrmMarkwerk->show();
    return anwendung.exec();
}
