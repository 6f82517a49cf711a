// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

// Loaded into a Qt program with LD_PRELOAD: when the program's first main
// window has been shown and painted, writes the time (CLOCK_MONOTONIC, in
// nanoseconds) to the file descriptor named by MARKWERK_ERSTBILD_FD and
// ends the process at once. The same hook in the program and in its
// yardstick makes their start-up times comparable.

#include <QApplication>
#include <QEvent>
#include <QMainWindow>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <unistd.h>

namespace {

class Erstbild : public QObject
{
protected:
    bool eventFilter(QObject *objekt, QEvent *ereignis) override
    {
        if (!m_gesehen && ereignis->type() == QEvent::Expose) {
            auto *fenster = qobject_cast<QWindow *>(objekt);
            // The expose event paints the window; the time is taken when
            // the event loop comes back after it.
            if (fenster && fenster->isExposed()) {
                for (QWidget *w : QApplication::topLevelWidgets()) {
                    if (qobject_cast<QMainWindow *>(w) && w->windowHandle() == fenster) {
                        m_gesehen = true;
                        QTimer::singleShot(0, this, &Erstbild::melden);
                    }
                }
            }
        }
        return false;
    }

private:
    static void melden()
    {
        timespec t{};
        ::clock_gettime(CLOCK_MONOTONIC, &t);
        if (const char *fd = std::getenv("MARKWERK_ERSTBILD_FD")) {
            char zeile[32];
            const int n = std::snprintf(zeile, sizeof zeile, "%lld\n", (long long)t.tv_sec * 1000000000LL + t.tv_nsec);
            (void)!::write(std::atoi(fd), zeile, std::size_t(n));
        }
        ::_exit(0);
    }

    bool m_gesehen = false;
};

void einhaengen()
{
    qApp->installEventFilter(new Erstbild);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(einhaengen)
