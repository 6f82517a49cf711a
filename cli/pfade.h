// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// The paths a document stores for its pictures and links, as a published
// page sees them. Document strings are Windows-1252 bytes.

#include <string>
#include <string_view>

namespace Pfade {

// An address on the web rather than a file: a scheme such as "http:" or
// "data:" (two letters at least, so that "C:" stays a drive), or "//".
bool istAdresse(std::string_view pfad);

// A path that only this computer knows: a drive letter ("C:\", "C:/"), a
// share or drive root ("\\server", "\"), or a "file:" address.
bool istLaufwerkspfad(std::string_view pfad);

// The same, and a path from the root of this computer's file system
// ("/home/..."). Where a link's "/" means the web server's root, a
// picture's comes from the file picker and means this computer.
bool istAbsolut(std::string_view pfad);

// The file a stored path names, as bytes for the file system: relative
// paths start in `ordner`, the definition file's folder. A relative path
// with "\\" that names nothing as it stands, as files made on Windows have
// them, is taken with "/" instead.
std::string datei(std::string_view pfad, const std::string &ordner);

// The file name part of a path as the file system gives it.
std::string dateiname(const std::string &pfad);

// A file name as a relative URL: everything but ASCII letters, digits and
// "-._~" percent-encoded, so "#", "%", blanks and UTF-8 bytes are too.
std::string prozentkodiert(std::string_view name);

} // namespace Pfade

namespace Pfade {

// The finding for a relative path that leads out of `ordner`, the
// definition file's folder, by ".." or through a link; empty when it stays
// inside or names nothing. `datei` is the stored path `gespeichert` as the
// file system names it.
std::string ausDemOrdner(std::string_view gespeichert, const std::string &datei, const std::string &ordner);

} // namespace Pfade
