// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

// The main window offscreen with W-large: opening it, and single edits in
// its 100,000-object list, each timed until the view has settled.
//
// Everything runs inside the event loop, as it does for a user: the list
// view lays itself out from timers and repaints from posted events, which a
// bare processEvents() loop does not reliably run.

#include "anwendung.h"
#include "arbeitsordner.h"
#include "definitionsdatei.h"
#include "hauptform.h"
#include "objektmodell.h"
#include "rueckfragen.h"
#include "werkstueck.h"

#include <benchmark/benchmark.h>

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QListView>
#include <QTimer>
#include <QToolButton>

#include <functional>
#include <memory>

namespace {

// Answers the one question the benchmark leads to (which file to open) and
// turns every error box into a failed benchmark.
class Antworten : public Rueckfragen
{
public:
    QString datei;
    QStringList fehlermeldungen;

    std::optional<QString> dateiOffnen(QWidget *) override { return datei; }
    std::optional<QString> dateiSpeichern(QWidget *) override { return std::nullopt; }
    std::optional<QString> dateiGenerieren(QWidget *) override { return std::nullopt; }
    bool aenderungenSpeichern(QWidget *) override { return false; }
    bool trotzdemSpeichern(QWidget *, const QString &) override { return false; }
    void fehler(QWidget *, const QString &text) override { fehlermeldungen << text; }
};

struct Messung
{
    double bisRuhe = 0;    // seconds from the start until the view settled
    double synchron = 0;   // of that, the command itself
    double erstesBild = 0; // until the list was first painted
    bool ruhig = false;    // false: it never settled
};

// Watches every event of the application. The view has settled when the
// event loop has had nothing to do for a while (it comes back to wait, and
// no event but the watch's own arrives) and the list view has no timer
// running: its delayed layout runs from a timer. The time taken is that of
// the loop's first return to waiting after the last event.
class Ruhemesser : public QObject
{
public:
    explicit Ruhemesser(QListView *liste)
        : m_liste(liste)
    {
    }

    Messung messen(const std::function<void()> &handlung)
    {
        Messung m;
        QEventLoop schleife;
        QTimer wache;
        wache.setInterval(10);
        m_wache = &wache;
        m_ruhe = -1;
        m_erstesBild = -1;
        m_bild = false;

        QAbstractEventDispatcher *verteiler = QAbstractEventDispatcher::instance();
        const QMetaObject::Connection warten =
            connect(verteiler, &QAbstractEventDispatcher::aboutToBlock, this, [this] {
                const qint64 jetzt = m_uhr.nsecsElapsed();
                if (m_bild && m_erstesBild < 0)
                    m_erstesBild = jetzt;
                if (m_ruhe < 0 && !zeitgeberLaufen())
                    m_ruhe = jetzt;
            });
        connect(&wache, &QTimer::timeout, &schleife, [&] {
            const qint64 jetzt = m_uhr.nsecsElapsed();
            if (m_ruhe >= 0 && jetzt - m_ruhe > 50'000'000 && !zeitgeberLaufen()) {
                m.ruhig = true;
                schleife.quit();
            } else if (jetzt > 60'000'000'000) {
                schleife.quit();
            }
        });
        QTimer::singleShot(0, &schleife, [&] {
            qApp->installEventFilter(this);
            m_uhr.start();
            handlung();
            m.synchron = double(m_uhr.nsecsElapsed()) / 1e9;
            wache.start();
        });
        schleife.exec();
        qApp->removeEventFilter(this);
        disconnect(warten);
        m_wache = nullptr;
        m.bisRuhe = double(m_ruhe) / 1e9;
        m.erstesBild = double(m_erstesBild) / 1e9;
        return m;
    }

protected:
    bool eventFilter(QObject *objekt, QEvent *ereignis) override
    {
        if (objekt != m_wache) {
            m_ruhe = -1;
            if (ereignis->type() == QEvent::Paint && objekt == m_liste->viewport())
                m_bild = true;
        }
        return false;
    }

private:
    bool zeitgeberLaufen() const
    {
        QAbstractEventDispatcher *d = QAbstractEventDispatcher::instance();
        return !d->registeredTimers(m_liste).isEmpty() || !d->registeredTimers(m_liste->viewport()).isEmpty();
    }

    QListView *const m_liste;
    QElapsedTimer m_uhr;
    QObject *m_wache = nullptr;
    qint64 m_ruhe = -1;
    qint64 m_erstesBild = -1;
    bool m_bild = false;
};

QString grosseDatei()
{
    static const QString name = [] {
        const Werkstueck w = grossesWerkstueck();
        const std::string datei = arbeitsdatei("w-large.htd");
        SchreibeDefinition(datei, w.Titel, w.Hintergrund, w.Hintergrundpfad, w.Objekte);
        return QString::fromStdString(datei);
    }();
    return name;
}

// The program's windows as it starts them, with an empty document.
struct Programm
{
    std::unique_ptr<TFrmMarkwerk> fenster = erzeugeFenster();
    Antworten *antworten = nullptr;
    std::unique_ptr<Ruhemesser> messer;

    Programm()
    {
        auto a = std::make_unique<Antworten>();
        antworten = a.get();
        antworten->datei = grosseDatei();
        fenster->setzeRueckfragen(std::move(a));
        fenster->FormShow(std::vector<std::string>());
        fenster->show();
        messer = std::make_unique<Ruhemesser>(fenster->LstMarkwerk);
        messer->messen([] {});
    }
};

bool melden(benchmark::State &state, const Messung &m, const Programm &p)
{
    if (!m.ruhig) {
        state.SkipWithError("Die Ansicht kommt nicht zur Ruhe");
        return false;
    }
    if (!p.antworten->fehlermeldungen.isEmpty()) {
        state.SkipWithError(p.antworten->fehlermeldungen.join(QStringLiteral("; ")).toStdString().c_str());
        return false;
    }
    state.SetIterationTime(m.bisRuhe);
    return true;
}

void BM_Oeffnen(benchmark::State &state)
{
    double synchron = 0, erstesBild = 0;
    for (auto _ : state) {
        Programm p;
        const Messung m = p.messer->messen([&] { p.fenster->BtnOffnen->click(); });
        if (!melden(state, m, p))
            break;
        if (p.fenster->Modell()->rowCount() != 100000) {
            state.SkipWithError("W-large nicht geladen");
            break;
        }
        synchron += m.synchron;
        erstesBild += m.erstesBild;
    }
    state.counters["Befehl_ms"] = 1e3 * synchron / double(state.iterations());
    state.counters["erstesBild_ms"] = 1e3 * erstesBild / double(state.iterations());
}

// The window with W-large open, for all the edits; it goes before the
// application does.
std::unique_ptr<Programm> offenesProgramm;

Programm &geoeffnet()
{
    if (!offenesProgramm) {
        offenesProgramm = std::make_unique<Programm>();
        offenesProgramm->messer->messen([] { offenesProgramm->fenster->BtnOffnen->click(); });
    }
    return *offenesProgramm;
}

// Selects a row in the middle of the list and brings it into view, as a
// user does before deleting or moving it.
void waehleMitte(Programm &p)
{
    QListView *liste = p.fenster->LstMarkwerk;
    const QModelIndex mitte = p.fenster->Modell()->index(p.fenster->Modell()->rowCount() / 2);
    p.messer->messen([&] {
        liste->setFocus();
        liste->setCurrentIndex(mitte);
        liste->scrollTo(mitte);
    });
}

void BM_Bearbeiten(benchmark::State &state, const std::function<void(Programm &)> &vorher,
                   const std::function<void(Programm &)> &befehl)
{
    Programm &p = geoeffnet();
    for (auto _ : state) {
        vorher(p);
        const Messung m = p.messer->messen([&] { befehl(p); });
        if (!melden(state, m, p))
            break;
    }
    state.counters["Objekte"] = p.fenster->Modell()->rowCount();
}

void registriere()
{
    const auto nichts = [](Programm &) {};
    benchmark::RegisterBenchmark("Oberflaeche/Oeffnen", BM_Oeffnen)
        ->Unit(benchmark::kMillisecond)
        ->UseManualTime()
        ->Iterations(3);
    benchmark::RegisterBenchmark("Oberflaeche/Einfuegen", BM_Bearbeiten, nichts,
                                 [](Programm &p) { p.fenster->BtnLinie->click(); })
        ->Unit(benchmark::kMillisecond)
        ->UseManualTime()
        ->Iterations(20);
    benchmark::RegisterBenchmark(
        "Oberflaeche/Ablage_einfuegen", BM_Bearbeiten,
        [](Programm &p) {
            waehleMitte(p);
            p.fenster->MnuKopieren->trigger();
        },
        [](Programm &p) { p.fenster->MnuEinfugen->trigger(); })
        ->Unit(benchmark::kMillisecond)
        ->UseManualTime()
        ->Iterations(20);
    benchmark::RegisterBenchmark("Oberflaeche/Loeschen", BM_Bearbeiten, waehleMitte,
                                 [](Programm &p) { p.fenster->BtnLoschen->click(); })
        ->Unit(benchmark::kMillisecond)
        ->UseManualTime()
        ->Iterations(20);
    benchmark::RegisterBenchmark("Oberflaeche/Aufwaerts", BM_Bearbeiten, waehleMitte,
                                 [](Programm &p) { p.fenster->BtnRauf->click(); })
        ->Unit(benchmark::kMillisecond)
        ->UseManualTime()
        ->Iterations(20);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication anwendung(argc, argv);
    richteAnwendungEin(anwendung);
    registriere();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    offenesProgramm.reset();
    return 0;
}
