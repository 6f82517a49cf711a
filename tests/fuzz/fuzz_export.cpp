// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

// A definition file and one picture from someone else, through check and
// both kinds of export, as markwerk-cli runs them. The input is the
// picture's length (two bytes, little-endian), the picture, which the folder
// holds as "bild", and the definition file; beside them lie a GIF "a.gif"
// and an SVG "k.svg". Whatever the input: check ends with 0, 1 or 3; an
// export either fails and leaves nothing, or gives a page and copies that
// are pictures with no set-id bits; nothing of an export is left behind;
// and what check finds nothing in exports.

#include "bilddatei.h"
#include "dateiangabe.h"
#include "export.h"
#include "fehler.h"
#include "pruefung.h"
#include "vergleich.h"

#include <cstdint>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <string_view>
#include <unistd.h>

namespace {

void schreib(const std::string &pfad, std::string_view text)
{
    const int fd = ::open(pfad.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    MARKWERK_PRUEFE(fd >= 0 && ::write(fd, text.data(), text.size()) == ssize_t(text.size()) && ::close(fd) == 0);
}

struct Ablage
{
    std::string ordner = std::string(::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") + "/markwerk-fuzz-export-XXXXXX";

    Ablage()
    {
        MARKWERK_PRUEFE(::mkdtemp(ordner.data()));
        schreib(ordner + "/a.gif", std::string_view("GIF89a\x01\x00\x01\x00\x00\x00\x00;", 14));
        schreib(ordner + "/k.svg", "<svg xmlns=\"http://www.w3.org/2000/svg\"><rect width=\"1\"/></svg>");
        // What check writes is not what is tested here.
        const int nichts = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
        MARKWERK_PRUEFE(nichts >= 0 && ::dup2(nichts, STDOUT_FILENO) == STDOUT_FILENO && ::close(nichts) == 0);
    }
    ~Ablage() { std::filesystem::remove_all(ordner); }
};

bool exportiert(const Ablage &ablage, bool html5)
{
    Exportauftrag auftrag{{ablage.ordner + "/d.htd"}, {ablage.ordner + "/aus", true}, "index.htm", html5};
    bool gelungen = true;
    try {
        exportiere(auftrag);
    } catch (const Fehler &) {
        gelungen = false;
    }
    for (const auto &eintrag : std::filesystem::directory_iterator(ablage.ordner))
        MARKWERK_PRUEFE(eintrag.path().filename().string().rfind(".markwerk-export-", 0) != 0);
    MARKWERK_PRUEFE(std::filesystem::exists(auftrag.ordner.pfad) == gelungen);
    if (!gelungen)
        return false;
    MARKWERK_PRUEFE(std::filesystem::exists(auftrag.ordner.pfad + "/index.htm"));
    for (const auto &kopie : std::filesystem::directory_iterator(auftrag.ordner.pfad + "/bilder")) {
        const auto rechte = kopie.status().permissions();
        MARKWERK_PRUEFE((rechte & (std::filesystem::perms::set_uid | std::filesystem::perms::set_gid)) == std::filesystem::perms::none);
        // Every copy is read again as a picture, under the name it got.
        Bilddatei wieder(kopie.path().string(), "Kopie");
        MARKWERK_PRUEFE(wieder.endungPasst(kopie.path().filename().string()));
    }
    std::filesystem::remove_all(auftrag.ordner.pfad);
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *daten, std::size_t laenge)
{
    static const Ablage ablage;
    if (laenge < 2)
        return 0;
    const std::size_t bild = std::min<std::size_t>(laenge - 2, std::size_t(daten[0]) | std::size_t(daten[1]) << 8);
    const auto text = [daten](std::size_t von, std::size_t bis) {
        return std::string_view(reinterpret_cast<const char *>(daten) + von, bis - von);
    };
    schreib(ablage.ordner + "/bild", text(2, 2 + bild));
    schreib(ablage.ordner + "/d.htd", text(2 + bild, laenge));

    Dateiangabe definition;
    definition.pfad = ablage.ordner + "/d.htd";
    const int befund = pruefe({definition});
    MARKWERK_PRUEFE(befund == 0 || befund == 1 || befund == 3);
    const bool programm = exportiert(ablage, false);
    const bool html5 = exportiert(ablage, true);
    MARKWERK_PRUEFE(befund != 0 || (programm && html5));
    return 0;
}
