// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

// Start-up of the program until its main window is first shown, against a
// Qt Widgets program that shows an empty main window. The two are started
// in turn, so that a change in the machine's load meets both alike.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <spawn.h>
#include <stdexcept>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace {

std::int64_t jetzt()
{
    timespec t{};
    ::clock_gettime(CLOCK_MONOTONIC, &t);
    return std::int64_t(t.tv_sec) * 1000000000 + t.tv_nsec;
}

// Starts the program with the hook that reports its first shown main
// window; returns the seconds from the start until then.
double starte(const char *programm, const char *argument = nullptr)
{
    int rohr[2];
    if (::pipe2(rohr, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe");

    posix_spawn_file_actions_t aktionen;
    posix_spawn_file_actions_init(&aktionen);
    // The hook writes to descriptor 3, the program's other output goes nowhere.
    posix_spawn_file_actions_adddup2(&aktionen, rohr[1], 3);
    posix_spawn_file_actions_addopen(&aktionen, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&aktionen, 2, "/dev/null", O_WRONLY, 0);

    std::vector<std::string> umgebung;
    for (char **e = environ; *e; ++e) {
        const std::string_view eintrag = *e;
        if (eintrag.rfind("LD_PRELOAD=", 0) != 0 && eintrag.rfind("QT_QPA_PLATFORM=", 0) != 0)
            umgebung.emplace_back(eintrag);
    }
    umgebung.emplace_back(std::string("LD_PRELOAD=") + MARKWERK_ERSTBILD);
    umgebung.emplace_back("QT_QPA_PLATFORM=offscreen");
    umgebung.emplace_back("MARKWERK_ERSTBILD_FD=3");
    std::vector<char *> zeiger;
    for (std::string &e : umgebung)
        zeiger.push_back(e.data());
    zeiger.push_back(nullptr);
    char *argumente[] = {const_cast<char *>(programm), const_cast<char *>(argument), nullptr};

    const std::int64_t anfang = jetzt();
    pid_t pid = 0;
    const int fehler = ::posix_spawn(&pid, programm, &aktionen, nullptr, argumente, zeiger.data());
    posix_spawn_file_actions_destroy(&aktionen);
    ::close(rohr[1]);
    if (fehler != 0) {
        ::close(rohr[0]);
        throw std::runtime_error(std::string("posix_spawn: ") + std::strerror(fehler));
    }

    char zeile[64] = {};
    std::size_t gelesen = 0;
    for (;;) {
        const ssize_t n = ::read(rohr[0], zeile + gelesen, sizeof zeile - 1 - gelesen);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        gelesen += std::size_t(n);
    }
    ::close(rohr[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (gelesen == 0)
        throw std::runtime_error(std::string(programm) + " hat kein Fenster gezeigt");
    return double(std::stoll(zeile) - anfang) / 1e9;
}

double median(std::vector<double> werte)
{
    std::sort(werte.begin(), werte.end());
    return werte.empty() ? 0 : werte[werte.size() / 2];
}

void BM_Start(benchmark::State &state)
{
    // The first starts fill the system's caches (fonts, libraries).
    starte(MARKWERK_PROGRAMM);
    starte(MARKWERK_LEER);
    starte(MARKWERK_LEER, "--mit-text");
    std::vector<double> markwerk, leer, mitText;
    for (auto _ : state) {
        try {
            const double m = starte(MARKWERK_PROGRAMM);
            leer.push_back(starte(MARKWERK_LEER));
            mitText.push_back(starte(MARKWERK_LEER, "--mit-text"));
            markwerk.push_back(m);
            state.SetIterationTime(m);
        } catch (const std::exception &e) {
            state.SkipWithError(e.what());
            break;
        }
    }
    state.counters["markwerk_ms"] = 1e3 * median(markwerk);
    state.counters["leer_ms"] = 1e3 * median(leer);
    state.counters["mit_text_ms"] = 1e3 * median(mitText);
    state.counters["Verhaeltnis"] = median(markwerk) / median(leer);
    state.counters["Verhaeltnis_mit_text"] = median(markwerk) / median(mitText);
}

} // namespace

BENCHMARK(BM_Start)->Name("Start/markwerk")->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(20);

BENCHMARK_MAIN();
