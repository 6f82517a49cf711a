// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

#include "pfade.h"

#include "datei.h"
#include "fehler.h"
#include "win1252.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool buchstabe(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool ziffer(char c)
{
    return c >= '0' && c <= '9';
}

// The scheme of an address in lower case, empty when there is none.
std::string schema(std::string_view pfad)
{
    std::size_t i = 0;
    while (i < pfad.size() && (buchstabe(pfad[i]) || (i > 0 && (ziffer(pfad[i]) || pfad[i] == '+' || pfad[i] == '-' || pfad[i] == '.'))))
        ++i;
    if (i < 2 || i >= pfad.size() || pfad[i] != ':')
        return {};
    std::string s(pfad.substr(0, i));
    for (char &c : s)
        c = char(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return s;
}

} // namespace

namespace Pfade {

bool istAdresse(std::string_view pfad)
{
    const std::string s = schema(pfad);
    return pfad.substr(0, 2) == "//" || (!s.empty() && s != "file");
}

bool istLaufwerkspfad(std::string_view pfad)
{
    const bool laufwerk = pfad.size() >= 2 && buchstabe(pfad[0]) && pfad[1] == ':';
    return laufwerk || (!pfad.empty() && pfad[0] == '\\') || schema(pfad) == "file";
}

bool istAbsolut(std::string_view pfad)
{
    return istLaufwerkspfad(pfad) || (!pfad.empty() && pfad[0] == '/' && pfad.substr(0, 2) != "//");
}

std::string datei(std::string_view pfad, const std::string &ordner)
{
    // The file picker gives the path as the file system's name in Unicode,
    // stored in Windows-1252: back the same way.
    const std::string name = QFile::encodeName(Win1252::zuText(pfad)).toStdString();
    if (name.empty() || name.front() == '/')
        return name;
    const auto imOrdner = [&ordner](const std::string &n) { return ordner == "/" ? "/" + n : ordner + "/" + n; };
    std::string ganz = imOrdner(name);
    struct stat st;
    if (name.find('\\') != std::string::npos && !istLaufwerkspfad(pfad) && ::lstat(ganz.c_str(), &st) != 0
        && errno == ENOENT) {
        std::string schraeg = name;
        std::replace(schraeg.begin(), schraeg.end(), '\\', '/');
        if (::lstat(imOrdner(schraeg).c_str(), &st) == 0)
            return imOrdner(schraeg);
    }
    return ganz;
}

std::string dateiname(const std::string &pfad)
{
    const std::size_t schraeg = pfad.rfind('/');
    return schraeg == std::string::npos ? pfad : pfad.substr(schraeg + 1);
}

std::string prozentkodiert(std::string_view name)
{
    static const char hex[] = "0123456789ABCDEF";
    std::string url;
    for (const char c : name) {
        if (buchstabe(c) || ziffer(c) || c == '-' || c == '.' || c == '_' || c == '~') {
            url += c;
        } else {
            const auto b = static_cast<unsigned char>(c);
            url += '%';
            url += hex[b >> 4];
            url += hex[b & 15];
        }
    }
    return url;
}

} // namespace Pfade

namespace Pfade {

std::string ausDemOrdner(std::string_view gespeichert, const std::string &datei, const std::string &ordner)
{
    const std::string name = "„" + meldungstext(gespeichert) + "“ ";
    // By the names alone: ".." below the folder.
    int tiefe = 0;
    const std::string relativ = datei.substr(std::min(datei.size(), ordner.size() + (ordner == "/" ? 0 : 1)));
    for (std::size_t anfang = 0; anfang <= relativ.size();) {
        const std::size_t ende = std::min(relativ.find('/', anfang), relativ.size());
        const std::string_view teil = std::string_view(relativ).substr(anfang, ende - anfang);
        tiefe += teil == ".." ? -1 : teil.empty() || teil == "." ? 0 : 1;
        if (tiefe < 0)
            return name + "führt aus dem Ordner der Definitionsdatei hinaus";
        anfang = ende + 1;
    }
    // And where the links on the way lead.
    const std::optional<std::string> echt = echterPfad(datei), echterOrdner = echterPfad(ordner);
    if (echt && echterOrdner) {
        const std::string_view e = *echt, o = *echterOrdner;
        const bool innen = o == "/" || (e.size() > o.size() && e.substr(0, o.size()) == o && e[o.size()] == '/');
        if (!innen)
            return name + "führt über eine Verknüpfung aus dem Ordner der Definitionsdatei hinaus";
    }
    return {};
}

} // namespace Pfade
