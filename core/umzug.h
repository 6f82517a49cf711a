// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// A document's relative picture paths start from its definition file's
// folder. Saved into another folder, the document must still name the same
// files: these are the paths it then stores.
//
// The arithmetic is on bytes, with "/" between the parts of a path, so that
// it serves Windows-1252 strings and the file system's own bytes alike. It
// never looks at the file system: "..", symbolic links or not, goes one
// folder up, as it does in a browser.

#include <string>
#include <string_view>

namespace Umzug {

// Whether a stored path starts from the document's folder: not empty, not
// from a root ("/", "\"), and no ":" before its first "/" (a drive letter,
// or an address such as "http:" or "file:").
bool istRelativ(std::string_view pfad);

// The path that names, from the folder `neu`, the file that `pfad` names
// from the folder `alt`; both folders are absolute. A path that is not
// relative comes back as it is, and so does every path when the two folders
// are the same. Otherwise the result is relative to `neu` when the file and
// `neu` share a folder below the root, else absolute.
std::string umgezogen(std::string_view pfad, std::string_view alt, std::string_view neu);

// The same folder once "." and ".." are resolved and repeated "/" dropped.
bool gleicherOrdner(std::string_view a, std::string_view b);

} // namespace Umzug
