// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

#include "fehler.h"

#include "win1252.h"

#include <QLocale>

#include <cerrno>

EAFehler::EAFehler(int code)
    : EAFehler(code, textFuer(code))
{
}

EAFehler::EAFehler(int code, std::string text)
    : Fehler(text)
    , m_code(code)
{
}

std::string EAFehler::textFuer(int code)
{
    switch (code) {
    case 2:
        return "Datei nicht gefunden";
    case 3:
        return "Ungültiger Dateiname";
    case 4:
        return "Zu viele Dateien geöffnet";
    case 5:
        return "Dateizugriff verweigert";
    case 100:
        return "Lesen nach Dateiende (EOF)";
    case 101:
        return "Kapazität der Diskette/Festplatte erschöpft";
    case 106:
        return "Ungültige numerische Eingabe";
    default:
        return "I/O-Fehler " + std::to_string(code);
    }
}

KonvertierungsFehler::KonvertierungsFehler(const std::string &textUtf8)
    : Fehler("'" + textUtf8 + "' ist kein gültiger Integerwert")
{
}

ListenIndexFehler::ListenIndexFehler(long long index)
    : Fehler("Der Index der Liste überschreitet das Maximum (" + std::to_string(index) + ")")
{
}

ErstellFehler::ErstellFehler(const std::string &dateiname)
    : Fehler("Datei " + dateiname + " kann nicht erstellt werden")
{
}

SchreibFehler::SchreibFehler()
    : Fehler("Stream-Write-Fehler")
{
}

ObjektFehler::ObjektFehler(std::int32_t nummer, std::string_view art, std::string_view beschreibung,
                           const std::string &text)
    : Fehler(objektbezeichnung(nummer, art, beschreibung) + ": " + text)
{
}

namespace {

std::string mitTausendern(std::size_t zahl)
{
    return QLocale(QLocale::German, QLocale::Germany).toString(qulonglong(zahl)).toStdString();
}

} // namespace

FeldFehler::FeldFehler(const std::string &was, std::size_t laenge, std::size_t grenze)
    : Fehler(was + " ist mit " + mitTausendern(laenge) + " Zeichen zu lang für das Programm; ein Feld fasst höchstens "
             + mitTausendern(grenze) + " Zeichen")
{
}

std::string meldungstext(std::string_view bytes)
{
    QString text = Win1252::zuText(bytes);
    for (QChar &c : text) {
        if (c.category() == QChar::Other_Control)
            c = QChar::ReplacementCharacter;
    }
    return text.toStdString();
}

std::string objektbezeichnung(std::int32_t nummer, std::string_view art, std::string_view beschreibung)
{
    return "Objekt " + std::to_string(nummer) + " (" + meldungstext(art) + " \"" + meldungstext(beschreibung) + "\")";
}

// The table window shows the same text, with a request to change the cell.
TrennzeichenFehler::TrennzeichenFehler(int zeile, int spalte)
    : Fehler("Die Zelle in Zeile " + std::to_string(zeile) + ", Spalte " + std::to_string(spalte)
             + " enthält das Zeichen „ð“ nach ihrem ersten Zeichen. Dort kann die Tabelle es nicht speichern, "
               "denn es trennt die Zellen voneinander")
{
}

std::string mitPunkt(std::string text)
{
    // Any byte of a multi-byte UTF-8 character is above the full stop, as is
    // the character it belongs to.
    if (!text.empty() && static_cast<unsigned char>(text.back()) > '.')
        text += '.';
    return text;
}

EAFehler EAFehler::ausErrno(int err, bool lesen)
{
    switch (err) {
    case ENOENT:
        return EAFehler(lesen ? 2 : 3);
    case ENOTDIR:
    case ENAMETOOLONG:
    case EINVAL:
    case ELOOP:
        return EAFehler(3);
    case EMFILE:
    case ENFILE:
        return EAFehler(4);
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ETXTBSY:
        return EAFehler(5);
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return EAFehler(101);
    default:
        // errno values overlap the codes above (EIO is 5), so the text is
        // fixed here rather than looked up by the number.
        return EAFehler(err, "I/O-Fehler " + std::to_string(err));
    }
}
