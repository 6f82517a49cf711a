// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

// markwerk-cli html on W-large as a process, against copying the same bytes
// with the system's tools: reading the definition file with cat and copying
// the page with cp. Both run in turn in one loop, so that each pair meets the
// same machine; the medians of the pairs count. Also the peak memory of
// markwerk-cli html on W-large and on a file half its size.

#include "arbeitsordner.h"
#include "definitionsdatei.h"
#include "werkstueck.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <spawn.h>
#include <stdexcept>
#include <string>
#include <string_view>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace {

// Runs a program found on PATH, its standard output to `ausgabe` (or as
// it is), waits for it and returns its wall time in seconds.
double starte(const std::vector<std::string> &argumente, const char *ausgabe = nullptr)
{
    std::vector<char *> argv;
    for (const std::string &a : argumente)
        argv.push_back(const_cast<char *>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t aktionen;
    posix_spawn_file_actions_init(&aktionen);
    if (ausgabe)
        posix_spawn_file_actions_addopen(&aktionen, 1, ausgabe, O_WRONLY, 0);
    const auto anfang = std::chrono::steady_clock::now();
    pid_t pid;
    if (posix_spawnp(&pid, argv[0], &aktionen, nullptr, argv.data(), environ) != 0)
        throw std::runtime_error("nicht gestartet: " + argumente[0]);
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error("gescheitert: " + argumente[0]);
    const std::chrono::duration<double> dauer = std::chrono::steady_clock::now() - anfang;
    posix_spawn_file_actions_destroy(&aktionen);
    return dauer.count();
}

struct Dateien
{
    std::string htd = arbeitsdatei("cli-w-large.htd");
    std::string halb = arbeitsdatei("cli-w-halb.htd");
    std::string vorlage = arbeitsdatei("cli-vorlage.htm");
    std::string seite = arbeitsdatei("cli-seite.htm");
    std::string kopie = arbeitsdatei("cli-kopie.htm");

    Dateien()
    {
        const Werkstueck gross = grossesWerkstueck();
        SchreibeDefinition(htd, gross.Titel, gross.Hintergrund, gross.Hintergrundpfad, gross.Objekte);
        const Werkstueck klein = grossesWerkstueck(1, 50000);
        SchreibeDefinition(halb, klein.Titel, klein.Hintergrund, klein.Hintergrundpfad, klein.Objekte);
        starte({MARKWERK_CLI, "html", htd, vorlage});
    }
    ~Dateien()
    {
        for (const std::string *d : {&htd, &halb, &vorlage, &seite, &kopie})
            std::remove(d->c_str());
    }
};

Dateien &dateien()
{
    static Dateien d;
    return d;
}

double median(std::vector<double> werte)
{
    std::sort(werte.begin(), werte.end());
    const std::size_t n = werte.size();
    return n % 2 ? werte[n / 2] : (werte[n / 2 - 1] + werte[n / 2]) / 2;
}

void BM_HtmlGepaart(benchmark::State &state)
{
    Dateien &d = dateien();
    std::vector<double> html, kopie;
    for (auto _ : state) {
        // Every run writes a new file, as the first run of a user would.
        std::remove(d.seite.c_str());
        std::remove(d.kopie.c_str());
        const double h = starte({MARKWERK_CLI, "html", d.htd, d.seite});
        const double k = starte({"cat", d.htd}, "/dev/null") + starte({"cp", d.vorlage, d.kopie});
        html.push_back(h);
        kopie.push_back(k);
        state.SetIterationTime(h);
    }
    state.counters["html_ms"] = median(html) * 1e3;
    state.counters["kopie_ms"] = median(kopie) * 1e3;
    state.counters["Verhaeltnis"] = median(html) / median(kopie);
}

// A process inherits the peak memory of the one it was started from, and a
// child of this one, which holds W-large's documents, would report that. So
// this program starts itself afresh, small, and that copy starts the
// program to measure and prints its peak in kilobytes.
int spitzeMessen(char **argv)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::execvp(argv[0], argv);
        ::_exit(127);
    }
    int status = 0;
    rusage nutzung{};
    if (pid < 0 || ::wait4(pid, &status, 0, &nutzung) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return 1;
    std::printf("%ld\n", nutzung.ru_maxrss);
    return 0;
}

double spitzeMB(const std::vector<std::string> &argumente)
{
    std::string befehl = "'" + std::string(MARKWERK_BENCH_SELBST) + "' --spitze";
    for (const std::string &a : argumente)
        befehl += " '" + a + "'";
    std::FILE *p = ::popen(befehl.c_str(), "r");
    long kilobytes = 0;
    if (!p || std::fscanf(p, "%ld", &kilobytes) != 1)
        throw std::runtime_error("Speichermessung gescheitert");
    ::pclose(p);
    return double(kilobytes) / 1024.0;
}

void BM_HtmlSpeicher(benchmark::State &state)
{
    Dateien &d = dateien();
    double gross = 0, halb = 0;
    for (auto _ : state) {
        gross = spitzeMB({MARKWERK_CLI, "html", d.htd, d.seite});
        halb = spitzeMB({MARKWERK_CLI, "html", d.halb, d.seite});
    }
    state.counters["gross_MB"] = gross;
    state.counters["halb_MB"] = halb;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc > 2 && std::string_view(argv[1]) == "--spitze")
        return spitzeMessen(argv + 2);
    benchmark::RegisterBenchmark("CLI/html_gepaart", BM_HtmlGepaart)
        ->Iterations(11)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("CLI/html_speicher", BM_HtmlSpeicher)->Iterations(1)->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
