// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

// The document core at the scale of W-large: save, load and page generation
// against copying the same bytes, table data, and the memory a load takes.

#include "arbeitsordner.h"
#include "definitionsdatei.h"
#include "einstellungen.h"
#include "generation.h"
#include "satzweise.h"
#include "tabellendaten.h"
#include "werkstueck.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// The first objects of W-large, for the references that take one system
// call per record: their throughput does not depend on the size.
constexpr int TeilFuerSatzweise = 10000;

struct Daten
{
    Werkstueck gross = grossesWerkstueck();
    Werkstueck klein = kleinesWerkstueck();
    Werkstueck teil;
    Speichereinstellungen einstellungen;
    std::string htd = arbeitsdatei("w-large.htd");
    std::string htdKlein = arbeitsdatei("w-small.htd");
    std::string htdTeil = arbeitsdatei("w-large-teil.htd");
    std::uint64_t htdGroesse = 0;
    std::uint64_t htdTeilGroesse = 0;
    std::string seite;
    std::vector<std::string_view> tabellendaten;
    std::vector<Tabelle> tabellen;
    std::uint64_t tabellenbytes = 0;

    Daten()
    {
        einstellungen.setzeTitel(gross.Titel);
        SchreibeDefinition(htd, gross.Titel, gross.Hintergrund, gross.Hintergrundpfad, gross.Objekte);
        SchreibeDefinition(htdKlein, klein.Titel, klein.Hintergrund, klein.Hintergrundpfad, klein.Objekte);
        htdGroesse = std::filesystem::file_size(htd);

        teil.Titel = gross.Titel;
        std::vector<Objekt> anfang(gross.Objekte.begin(), gross.Objekte.begin() + TeilFuerSatzweise);
        teil.Objekte.ersetzen(std::move(anfang));
        SchreibeDefinition(htdTeil, teil.Titel, false, {}, teil.Objekte);
        htdTeilGroesse = std::filesystem::file_size(htdTeil);

        seite = Seite(einstellungen, gross.Objekte);
        for (const Objekt &o : gross.Objekte) {
            if (o.Art != Arten::Tabelle)
                continue;
            tabellendaten.push_back(o.Daten);
            tabellen.push_back(DatenZuTabelle(o.Daten));
            tabellenbytes += o.Daten.size();
        }
    }
};

Daten &daten()
{
    static Daten d;
    return d;
}

void einstellungenVon(const Werkstueck &w, Speichereinstellungen &e)
{
    e.setzeTitel(w.Titel);
    e.setzeHintergrundAktiv(w.Hintergrund);
    e.wendeHintergrundpfadAn(w.Hintergrundpfad);
}

// ------------------------------------------------------------ plain copies

// One fwrite of the whole buffer to a new file; with `durabel` also flushed
// to the disk as the save does it.
void schreibeKopie(const std::string &name, const char *puffer, std::size_t laenge, bool durabel)
{
    std::FILE *f = std::fopen(name.c_str(), "wb");
    if (!f || std::fwrite(puffer, 1, laenge, f) != laenge)
        throw std::runtime_error("Kopie nicht geschrieben");
    if (durabel && (std::fflush(f) != 0 || ::fdatasync(fileno(f)) != 0))
        throw std::runtime_error("Kopie nicht auf die Platte gebracht");
    std::fclose(f);
}

void BM_KopieSchreiben(benchmark::State &state, bool durabel, bool seite)
{
    Daten &d = daten();
    const std::size_t laenge = seite ? d.seite.size() : d.htdGroesse;
    const std::string puffer(laenge, 'x');
    const std::string name = arbeitsdatei("kopie.bin");
    for (auto _ : state) {
        // A new file each time, as the save writes a new one: overwriting
        // would wait for the previous copy's pages still going to the disk.
        state.PauseTiming();
        std::remove(name.c_str());
        state.ResumeTiming();
        schreibeKopie(name, puffer.data(), puffer.size(), durabel);
    }
    state.SetBytesProcessed(std::int64_t(state.iterations() * laenge));
    std::remove(name.c_str());
}

void BM_KopieLesen(benchmark::State &state)
{
    Daten &d = daten();
    const std::string name = arbeitsdatei("kopie.bin");
    {
        const std::string puffer(d.htdGroesse, 'x');
        schreibeKopie(name, puffer.data(), puffer.size(), false);
    }
    // Memory that is already mapped: the copy pays for nothing but the copy.
    std::string puffer(d.htdGroesse, '\0');
    for (auto _ : state) {
        std::FILE *f = std::fopen(name.c_str(), "rb");
        if (!f || std::fread(puffer.data(), 1, puffer.size(), f) != puffer.size())
            throw std::runtime_error("Kopie nicht gelesen");
        std::fclose(f);
        benchmark::DoNotOptimize(puffer.data());
    }
    state.SetBytesProcessed(std::int64_t(state.iterations() * d.htdGroesse));
    std::remove(name.c_str());
}

// ------------------------------------------------------------ definition files

void BM_Sichern(benchmark::State &state, bool gross)
{
    Daten &d = daten();
    const Werkstueck &w = gross ? d.gross : d.klein;
    const std::string name = arbeitsdatei(gross ? "sichern-gross.htd" : "sichern-klein.htd");
    for (auto _ : state)
        SchreibeDefinition(name, w.Titel, w.Hintergrund, w.Hintergrundpfad, w.Objekte);
    state.SetBytesProcessed(std::int64_t(state.iterations() * std::filesystem::file_size(name)));
    std::remove(name.c_str());
}

void BM_Laden(benchmark::State &state, bool gross)
{
    Daten &d = daten();
    const std::string &name = gross ? d.htd : d.htdKlein;
    for (auto _ : state) {
        Definition def = LeseDefinition(name);
        Objektliste dokument(std::move(def.Objekte));
        benchmark::DoNotOptimize(dokument);
        // Freeing the document is not part of the load.
        state.PauseTiming();
        dokument = Objektliste();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(std::int64_t(state.iterations() * std::filesystem::file_size(name)));
}

void BM_SichernSatzweise(benchmark::State &state)
{
    Daten &d = daten();
    const std::string name = arbeitsdatei("satzweise.htd");
    for (auto _ : state)
        schreibeSatzweise(name, d.teil);
    state.SetBytesProcessed(std::int64_t(state.iterations() * d.htdTeilGroesse));
    std::remove(name.c_str());
}

void BM_LadenSatzweise(benchmark::State &state)
{
    Daten &d = daten();
    for (auto _ : state) {
        Definition def = leseSatzweise(d.htdTeil);
        benchmark::DoNotOptimize(def);
    }
    state.SetBytesProcessed(std::int64_t(state.iterations() * d.htdTeilGroesse));
}

// ------------------------------------------------------------ page

void BM_Generation(benchmark::State &state, bool gross)
{
    Daten &d = daten();
    Speichereinstellungen e;
    einstellungenVon(gross ? d.gross : d.klein, e);
    const Objektliste &objekte = gross ? d.gross.Objekte : d.klein.Objekte;
    const std::string name = arbeitsdatei(gross ? "seite-gross.htm" : "seite-klein.htm");
    for (auto _ : state)
        Generieren(name, e, objekte);
    state.SetBytesProcessed(std::int64_t(state.iterations() * std::filesystem::file_size(name)));
    std::remove(name.c_str());
}

void BM_GenerationZeilenweise(benchmark::State &state)
{
    Daten &d = daten();
    const std::string name = arbeitsdatei("zeilenweise.htm");
    for (auto _ : state)
        schreibeZeilenweise(name, Seite(d.einstellungen, d.gross.Objekte));
    state.SetBytesProcessed(std::int64_t(state.iterations() * d.seite.size()));
    std::remove(name.c_str());
}

// ------------------------------------------------------------ table data

void BM_TabelleZuDaten(benchmark::State &state)
{
    Daten &d = daten();
    for (auto _ : state) {
        for (const Tabelle &t : d.tabellen) {
            std::string s = TabelleZuDaten(t.Zeilen, t.Spalten, t.Zellen);
            benchmark::DoNotOptimize(s);
        }
    }
    state.SetBytesProcessed(std::int64_t(state.iterations() * d.tabellenbytes));
}

void BM_DatenZuTabelle(benchmark::State &state)
{
    Daten &d = daten();
    for (auto _ : state) {
        for (const std::string_view s : d.tabellendaten) {
            Tabelle t = DatenZuTabelle(s);
            benchmark::DoNotOptimize(t);
        }
    }
    state.SetBytesProcessed(std::int64_t(state.iterations() * d.tabellenbytes));
}

// ------------------------------------------------------------ memory

// The peak resident set of this process so far, in bytes.
std::uint64_t spitzeRss()
{
    std::ifstream status("/proc/self/status");
    std::string zeile;
    while (std::getline(status, zeile)) {
        if (zeile.rfind("VmHWM:", 0) == 0)
            return std::stoull(zeile.substr(6)) * 1024;
    }
    return 0;
}

// Run in a process of its own, so that nothing else this program holds
// counts: loads the file and prints the peak before and after, and the
// bytes of the strings loaded.
int speicherMessen(const char *datei)
{
    const std::uint64_t vorher = spitzeRss();
    Definition def = LeseDefinition(datei);
    const Objektliste dokument(std::move(def.Objekte));
    const std::uint64_t nachher = spitzeRss();
    std::uint64_t zeichen = def.Titel.size() + def.Hintergrundpfad.size();
    for (const Objekt &o : dokument)
        zeichen += o.Art.size() + o.Beschreibung.size() + o.Daten.size();
    std::printf("%llu %llu %llu\n", (unsigned long long)vorher, (unsigned long long)nachher,
                (unsigned long long)zeichen);
    return 0;
}

void BM_LadenSpeicher(benchmark::State &state)
{
    Daten &d = daten();
    std::string befehl = "'";
    befehl.append(std::filesystem::read_symlink("/proc/self/exe").string()).append("' --speicher '");
    befehl.append(d.htd).append("'");
    unsigned long long vorher = 0, nachher = 0, zeichen = 0;
    for (auto _ : state) {
        std::FILE *p = ::popen(befehl.c_str(), "r");
        if (!p || std::fscanf(p, "%llu %llu %llu", &vorher, &nachher, &zeichen) != 3)
            throw std::runtime_error("Speichermessung gescheitert");
        ::pclose(p);
    }
    state.counters["Spitze_MB"] = double(nachher - vorher) / 1e6;
    state.counters["Zeichen_MB"] = double(zeichen) / 1e6;
    state.counters["Verhaeltnis"] = double(nachher - vorher) / double(zeichen);
    state.counters["Datei_MB"] = double(d.htdGroesse) / 1e6;
}

void registriere()
{
    using benchmark::kMillisecond;
    using benchmark::kMicrosecond;
    const auto gross = [](benchmark::internal::Benchmark *b) { b->Unit(kMillisecond)->UseRealTime(); };

    gross(benchmark::RegisterBenchmark("Kopie/schreiben", BM_KopieSchreiben, false, false));
    gross(benchmark::RegisterBenchmark("Kopie/schreiben+fdatasync", BM_KopieSchreiben, true, false));
    gross(benchmark::RegisterBenchmark("Kopie/lesen", BM_KopieLesen));
    gross(benchmark::RegisterBenchmark("Sichern/W-large", BM_Sichern, true));
    gross(benchmark::RegisterBenchmark("Laden/W-large", BM_Laden, true));
    gross(benchmark::RegisterBenchmark("Sichern/satzweise", BM_SichernSatzweise)->Iterations(1));
    gross(benchmark::RegisterBenchmark("Laden/satzweise", BM_LadenSatzweise)->Iterations(1));
    benchmark::RegisterBenchmark("Sichern/W-small", BM_Sichern, false)->Unit(kMicrosecond)->UseRealTime();
    benchmark::RegisterBenchmark("Laden/W-small", BM_Laden, false)->Unit(kMicrosecond)->UseRealTime();

    gross(benchmark::RegisterBenchmark("Seite/Kopie", BM_KopieSchreiben, false, true));
    gross(benchmark::RegisterBenchmark("Seite/Kopie+fdatasync", BM_KopieSchreiben, true, true));
    gross(benchmark::RegisterBenchmark("Generation/W-large", BM_Generation, true));
    gross(benchmark::RegisterBenchmark("Generation/zeilenweise", BM_GenerationZeilenweise)->Iterations(1));
    benchmark::RegisterBenchmark("Generation/W-small", BM_Generation, false)->Unit(kMicrosecond)->UseRealTime();

    gross(benchmark::RegisterBenchmark("Tabelle/TabelleZuDaten", BM_TabelleZuDaten));
    gross(benchmark::RegisterBenchmark("Tabelle/DatenZuTabelle", BM_DatenZuTabelle));

    gross(benchmark::RegisterBenchmark("Speicher/Laden", BM_LadenSpeicher)->Iterations(1));
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--speicher") == 0)
        return speicherMessen(argv[2]);
    registriere();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
