// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

#include "dateiangabe.h"

#include "datei.h"

#include <optional>
#include <sys/stat.h>
#include <utility>

namespace {

// A regular file's identity, links followed. Only regular files count:
// reading and writing one terminal is no conflict.
std::optional<std::pair<dev_t, ino_t>> kennung(const Dateiangabe &datei)
{
    struct stat st;
    const int ergebnis = datei.strom() ? ::fstat(datei.ausgabe ? 1 : 0, &st) : ::stat(datei.pfad.c_str(), &st);
    if (ergebnis != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    return std::make_pair(st.st_dev, st.st_ino);
}

} // namespace

std::string Dateiangabe::anzeige() const
{
    if (strom())
        return ausgabe ? "Standardausgabe" : "Standardeingabe";
    return pfad;
}

std::unique_ptr<Lesedatei> oeffneEingabe(const Dateiangabe &datei)
{
    if (datei.strom())
        return std::make_unique<Lesedatei>(Dateideskriptor{0});
    struct stat st;
    if (::stat(datei.pfad.c_str(), &st) == 0 && (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode)))
        throw EAFehler(5);
    return std::make_unique<Lesedatei>(datei.pfad, true);
}

void pruefeVerschieden(const Dateiangabe &eingabe, const Dateiangabe &ausgabe)
{
    const auto ein = kennung(eingabe);
    if (ein && ein == kennung(ausgabe))
        throw Dateimeldung(ausgabe, "Die Ausgabedatei " + ausgabe.anzeige() + " ist die Eingabedatei selbst");
}

std::string ordnerVon(const Dateiangabe &datei)
{
    const std::size_t schraeg = datei.strom() ? std::string::npos : datei.pfad.rfind('/');
    if (schraeg == std::string::npos)
        return ".";
    return schraeg == 0 ? "/" : datei.pfad.substr(0, schraeg);
}
