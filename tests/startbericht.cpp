// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

// Loaded into the program with LD_PRELOAD: when its first window is shown,
// writes to standard error the layout direction and, for a message box, its
// text ("ltr Datei nicht gefunden."), then ends the process. So a test sees
// how the real start-up took the command line.

#include <QApplication>
#include <QEvent>
#include <QMessageBox>
#include <QWindow>

#include <cstdio>
#include <unistd.h>

namespace {

class Startbericht : public QObject
{
protected:
    bool eventFilter(QObject *objekt, QEvent *ereignis) override
    {
        auto *fenster = qobject_cast<QWindow *>(objekt);
        if (ereignis->type() != QEvent::Expose || !fenster || !fenster->isExposed())
            return false;
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (w->windowHandle() != fenster)
                continue;
            const auto *box = qobject_cast<QMessageBox *>(w);
            std::fprintf(stderr, "%s %s\n", QApplication::isRightToLeft() ? "rtl" : "ltr",
                         box ? box->text().toUtf8().constData() : "Hauptfenster");
            std::fflush(stderr);
            ::_exit(0);
        }
        return false;
    }
};

void einhaengen()
{
    qApp->installEventFilter(new Startbericht);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(einhaengen)
