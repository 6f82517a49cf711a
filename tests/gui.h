// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// Helpers for the tests that drive the real windows offscreen.

#include "anwendung.h"
#include "hauptform.h"
#include "rueckfragen.h"

#include <QApplication>
#include <QDialog>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <deque>
#include <functional>
#include <optional>

namespace gui {

// Answers the main window's questions from a script and records what it was
// asked. An unexpected question fails the test (and answers "cancel").
class Skript : public Rueckfragen
{
public:
    std::deque<std::optional<QString>> offnen;
    std::deque<std::optional<QString>> speichern;
    std::deque<std::optional<QString>> generieren;
    std::deque<bool> fragen;      // answers to the unsaved-changes prompt
    std::deque<bool> trotzdem;    // answers to "changed by another program"
    int gefragt = 0;              // how often the prompt was shown
    QStringList fehlermeldungen;  // every error box's text
    QStringList protokoll;        // what was asked, in order

    std::optional<QString> dateiOffnen(QWidget *) override { return naechste(offnen, QStringLiteral("offnen")); }
    std::optional<QString> dateiSpeichern(QWidget *) override { return naechste(speichern, QStringLiteral("speichern")); }
    std::optional<QString> dateiGenerieren(QWidget *) override { return naechste(generieren, QStringLiteral("generieren")); }
    bool aenderungenSpeichern(QWidget *) override
    {
        ++gefragt;
        return naechste(fragen, QStringLiteral("frage"));
    }
    bool trotzdemSpeichern(QWidget *, const QString &) override { return naechste(trotzdem, QStringLiteral("trotzdem")); }
    void fehler(QWidget *, const QString &text) override
    {
        protokoll << QStringLiteral("fehler");
        fehlermeldungen << text;
    }

private:
    // The next scripted answer to `was`; none left fails the test and
    // answers "cancel" (no file, "Nein").
    template<typename Antwort>
    Antwort naechste(std::deque<Antwort> &liste, const QString &was)
    {
        protokoll << was;
        if (liste.empty()) {
            QTest::qFail(qPrintable(QStringLiteral("unerwartete Frage: ") + was), __FILE__, __LINE__);
            return Antwort{};
        }
        // GCC 12 sees a QString inside std::optional as maybe uninitialised
        // when it is moved out of a deque; it is not.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
        Antwort antwort = std::move(liste.front());
#pragma GCC diagnostic pop
        liste.pop_front();
        return antwort;
    }
};

// Runs `handlung` on the next modal window once it is shown, while the code
// that shows it runs. Whatever happens in `handlung`, a modal window still
// open afterwards is closed, so a failing check cannot hang the test.
inline void beiModal(std::function<void(QWidget *)> handlung)
{
    auto *zeitgeber = new QTimer;
    zeitgeber->setInterval(10);
    QObject::connect(zeitgeber, &QTimer::timeout, zeitgeber, [zeitgeber, handlung] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible())
            return;
        zeitgeber->stop();
        zeitgeber->deleteLater();
        handlung(modal);
        if (QApplication::activeModalWidget() == modal && modal->isVisible()) {
            if (auto *d = qobject_cast<QDialog *>(modal))
                d->reject();
            else
                modal->close();
        }
    });
    zeitgeber->start();
}

// Watches for a modal window while it lives and closes any that appears:
// for commands that must show none. Unlike beiModal it leaves nothing
// behind when none comes.
class Wache
{
public:
    Wache()
    {
        QObject::connect(&m_zeitgeber, &QTimer::timeout, &m_zeitgeber, [this] {
            QWidget *modal = QApplication::activeModalWidget();
            if (!modal)
                return;
            gezeigt = true;
            if (auto *d = qobject_cast<QDialog *>(modal))
                d->reject();
            else
                modal->close();
        });
        m_zeitgeber.start(5);
    }
    bool gezeigt = false;

private:
    QTimer m_zeitgeber;
};

// The windows that outlived the test that made them, by class and caption,
// and whether they are shown.
inline QStringList uebrigeFenster()
{
    QStringList uebrig;
    for (const QWidget *w : QApplication::topLevelWidgets())
        uebrig << QString::fromLatin1(w->metaObject()->className()) + QStringLiteral(" \"") + w->windowTitle()
                      + (w->isVisible() ? QStringLiteral("\" (sichtbar)") : QStringLiteral("\" (verborgen)"));
    return uebrig;
}

// For cleanup(). Each test makes its windows and lets them go; a window still
// there, shown or hidden, modal or not, would take the next test's keys and
// questions or be counted among its windows, so it fails the test that left
// it, and goes, so that the next test starts without it.
inline void keinFensterUebrig()
{
    const auto wegraeumen = qScopeGuard([] {
        for (QWidget *w : QApplication::topLevelWidgets())
            w->deleteLater();
    });
    QTRY_VERIFY2(uebrigeFenster().isEmpty(),
                 qPrintable(QStringLiteral("übrig: ") + uebrigeFenster().join(QStringLiteral(", "))));
}

// The program's windows with a scripted answerer, started like the program.
struct Programm
{
    std::unique_ptr<TFrmMarkwerk> fenster;
    Skript *skript = nullptr;

    explicit Programm(const QStringList &argumente = {})
        : fenster(erzeugeFenster())
    {
        auto s = std::make_unique<Skript>();
        skript = s.get();
        fenster->setzeRueckfragen(std::move(s));
        fenster->FormShow(argumente);
        fenster->show();
    }
};

// Sets up the application as the program does; for QTEST_MAIN-like mains.
inline void einrichten(QApplication &anwendung)
{
    QStandardPaths::setTestModeEnabled(true);
    QApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    richteAnwendungEin(anwendung);
}

} // namespace gui

// Like QTEST_MAIN, with the program's own set-up.
#define MARKWERK_GUI_TEST(Klasse)                                                                                      \
    int main(int argc, char *argv[])                                                                                   \
    {                                                                                                                  \
        QApplication anwendung(argc, argv);                                                                            \
        gui::einrichten(anwendung);                                                                                    \
        Klasse test;                                                                                                   \
        QTEST_SET_MAIN_SOURCE_PATH                                                                                     \
        return QTest::qExec(&test, argc, argv);                                                                        \
    }
