// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

// Any bytes as a definition file. A file that loads must go the whole way a
// document goes: saved again it loads as the same document, its page can be
// built (or fails with a message), and JSON out and in changes nothing. The
// page of the file walked in place is the loaded document's, byte for byte,
// and a file that fails fails there with the same text.

#include "datei.h"
#include "definitionsansicht.h"
#include "definitionsdatei.h"
#include "einstellungen.h"
#include "fehler.h"
#include "generation.h"
#include "jsonformat.h"
#include "vergleich.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <sys/mman.h>
#include <unistd.h>

namespace {

// The input lives in a file in memory, reached by a path like any file.
struct Eingabe
{
    int fd = memfd_create("markwerk-fuzz", MFD_CLOEXEC);
    std::string pfad = "/proc/self/fd/" + std::to_string(fd);
};

// Saving goes through the real crash-safe writer; on tmpfs its flush to the
// disk costs nothing. The folder goes when the run ends normally.
struct Ablage
{
    std::string ordner;
    std::string datei;

    Ablage()
    {
        const char *basis = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        ordner = std::string(basis) + "/markwerk-fuzz-XXXXXX";
        if (!::mkdtemp(ordner.data()))
            std::abort();
        datei = ordner + "/d.htd";
    }
    ~Ablage()
    {
        ::unlink(datei.c_str());
        ::rmdir(ordner.c_str());
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *daten, std::size_t laenge)
{
    static const Eingabe eingabe;
    static const Ablage ablage;
    MARKWERK_PRUEFE(eingabe.fd >= 0);
    MARKWERK_PRUEFE(::ftruncate(eingabe.fd, 0) == 0);
    MARKWERK_PRUEFE(::pwrite(eingabe.fd, daten, laenge, 0) == ssize_t(laenge));

    std::string imPlatz;
    bool objektfehler = false;
    try {
        // Mapped, as markwerk-cli reads it.
        Lesedatei datei(eingabe.pfad);
        const Definitionsansicht ansicht(datei);
        imPlatz = Seite(ansicht);
    } catch (const ObjektFehler &f) {
        imPlatz = f.what();
        objektfehler = true;
    } catch (const Fehler &f) {
        imPlatz = f.what();
    }
    // A table's error has its object's name in front of the text a load gives.
    const auto wieTabelle = [&](const Fehler &f) {
        const std::string_view text = f.what();
        return objektfehler && imPlatz.rfind("Objekt ", 0) == 0 && imPlatz.size() > text.size()
               && std::string_view(imPlatz).substr(imPlatz.size() - text.size()) == text;
    };

    Definition d;
    try {
        d = LeseDefinition(eingabe.pfad);
    } catch (const Fehler &f) {
        MARKWERK_PRUEFE(!objektfehler && imPlatz == f.what());
        return 0;
    }
    // What was loaded came from the file; nothing was made up or doubled.
    MARKWERK_PRUEFE(zeichenzahl(d) <= laenge / 4);
    MARKWERK_PRUEFE(d.Hintergrund || d.Hintergrundpfad.empty());

    SchreibeDefinition(ablage.datei, d.Titel, d.Hintergrund, d.Hintergrundpfad, Objektliste(d.Objekte));
    MARKWERK_PRUEFE(gleich(LeseDefinition(ablage.datei), d));

    Speichereinstellungen einstellungen;
    uebernehmeEinstellungen(d, einstellungen);
    try {
        const std::string seite = Seite(einstellungen, Objektliste(d.Objekte));
        MARKWERK_PRUEFE(!objektfehler && imPlatz == seite);
        const std::string_view anfang = "<HTML>\r\n<HEAD>\r\n<TITLE>";
        const std::string_view ende = "</BODY>\r\n</HTML>\r\n";
        MARKWERK_PRUEFE(std::string_view(seite).substr(0, anfang.size()) == anfang);
        MARKWERK_PRUEFE(seite.size() >= ende.size() && std::string_view(seite).substr(seite.size() - ende.size()) == ende);
    } catch (const KonvertierungsFehler &f) {
        MARKWERK_PRUEFE(wieTabelle(f));
    } catch (const TabellenFehler &f) {
        MARKWERK_PRUEFE(wieTabelle(f));
    }

    MARKWERK_PRUEFE(gleich(definitionAusJson(definitionAlsJson(d)), d));
    return 0;
}
