// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

#include "umzug.h"

#include <vector>

namespace {

// The parts of an absolute path below the root, "." and ".." resolved.
std::vector<std::string_view> teile(std::string_view pfad, std::vector<std::string_view> schon = {})
{
    std::size_t anfang = 0;
    while (anfang <= pfad.size()) {
        std::size_t ende = pfad.find('/', anfang);
        if (ende == std::string_view::npos)
            ende = pfad.size();
        const std::string_view teil = pfad.substr(anfang, ende - anfang);
        if (teil == "..") {
            if (!schon.empty())
                schon.pop_back();
        } else if (!teil.empty() && teil != ".") {
            schon.push_back(teil);
        }
        anfang = ende + 1;
    }
    return schon;
}

std::string verbunden(const std::vector<std::string_view> &teile, std::size_t ab, std::string anfang)
{
    for (std::size_t i = ab; i < teile.size(); ++i) {
        if (!anfang.empty() && anfang.back() != '/')
            anfang += '/';
        anfang += teile[i];
    }
    return anfang;
}

} // namespace

namespace Umzug {

bool istRelativ(std::string_view pfad)
{
    if (pfad.empty() || pfad.front() == '/' || pfad.front() == '\\')
        return false;
    const std::size_t doppelpunkt = pfad.find(':');
    return doppelpunkt == std::string_view::npos || doppelpunkt > pfad.find('/');
}

bool gleicherOrdner(std::string_view a, std::string_view b)
{
    return teile(a) == teile(b);
}

std::string umgezogen(std::string_view pfad, std::string_view alt, std::string_view neu)
{
    if (!istRelativ(pfad) || gleicherOrdner(alt, neu))
        return std::string(pfad);
    const std::vector<std::string_view> ziel = teile(pfad, teile(alt));
    const std::vector<std::string_view> von = teile(neu);
    std::size_t gemeinsam = 0;
    while (gemeinsam < ziel.size() && gemeinsam < von.size() && ziel[gemeinsam] == von[gemeinsam])
        ++gemeinsam;
    // Sharing only the root, a relative path would climb all the way up:
    // it would break as soon as either folder moves.
    if (gemeinsam == 0)
        return verbunden(ziel, 0, "/");
    std::string hinauf;
    for (std::size_t i = gemeinsam; i < von.size(); ++i)
        hinauf += "../";
    return verbunden(ziel, gemeinsam, hinauf);
}

} // namespace Umzug
