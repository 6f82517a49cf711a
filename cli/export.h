// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "dateiangabe.h"

#include <string>

struct Exportauftrag
{
    Dateiangabe definition;
    Dateiangabe ordner;
    std::string seitenname = "index.htm";
    bool html5 = false;
};

// "export": a folder to upload. The folder must not exist or be empty; it
// receives the page and "bilder/" with a copy of every picture and the
// background, to which the page refers by relative URLs. The folder is
// built beside its place and put there when complete: a failure leaves no
// folder behind.
void exportiere(const Exportauftrag &auftrag);

// Whether a page name is one plain file name that does not take the place
// of the pictures' folder.
bool seitennameGueltig(const std::string &name);
