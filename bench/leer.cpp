// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

// The yardstick for the program's start-up: a Qt Widgets program that shows
// an empty main window, built like the program. With --mit-text the window
// also has a menu and a status text, so that the cost of the first text
// (fonts, shaping) shows on its own.

#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QStatusBar>

int main(int argc, char *argv[])
{
    QApplication anwendung(argc, argv);
    QMainWindow fenster;
    if (QApplication::arguments().contains(QStringLiteral("--mit-text"))) {
        fenster.menuBar()->addMenu(QStringLiteral("&Datei"));
        fenster.statusBar()->showMessage(QStringLiteral("- Kein Dateiname -"));
    }
    fenster.show();
    return anwendung.exec();
}
