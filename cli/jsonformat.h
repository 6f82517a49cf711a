// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "definitionsdatei.h"

#include <string>
#include <string_view>

// A document as JSON, UTF-8:
//   {"title": "...",
//    "background": {"enabled": true, "path": "..."},
//    "objects": [{"kind": "...", "description": "...", "data": "..."}, ...]}
// Document strings are converted between Windows-1252 and Unicode; the table
// separator byte is the character "ð".

// Keys are written in this order, one object a line, so files compare well.
std::string definitionAlsJson(const Definition &definition);

// A table may give "cells": [["Name", "Preis"], ["Brot", ""]] instead of
// "data", encoded as the table window encodes it; the output always has
// "data".
//
// Throws Fehler with a German text when the JSON is not a document of this
// shape or holds a character Windows-1252 cannot store.
Definition definitionAusJson(std::string_view json);
