// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

#include "html5.h"

#include "datei.h"
#include "definitionsansicht.h"
#include "fehler.h"
#include "objektliste.h"
#include "tabellendaten.h"
#include "win1252.h"

#include <QByteArray>
#include <QString>

namespace {

// Styles that make the program's layout hold on any width: pictures and
// wide tables stay inside the screen (a table scrolls in itself), long
// words wrap, empty cells keep their frame.
constexpr std::string_view Stil =
    "<style>\n"
    "body { overflow-wrap: break-word; }\n"
    "img { max-width: 100%; height: auto; vertical-align: bottom; }\n"
    ".tabelle { overflow-x: auto; margin: 0.5em 0; }\n"
    "table { border: 1px solid #808080; border-spacing: 2px; }\n"
    "td { border: 1px solid #808080; padding: 1px 4px; empty-cells: show; vertical-align: top; }\n"
    ".text { margin: 1em 0; }\n";

class Html5Seite
{
public:
    Html5Seite(const std::string &dateiname, const Bildpfade &bildpfade)
        : m_datei(dateiname)
        , m_bildpfade(bildpfade)
    {
    }

    void schreiben(const Definitionsansicht &ansicht)
    {
        m_puffer += "<!DOCTYPE html>\n<html lang=\"de\">\n<head>\n<meta charset=\"utf-8\">\n"
                    "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>";
        text(ansicht.Titel(), true);
        m_puffer += "</title>\n";
        m_puffer += Stil;
        if (ansicht.Hintergrund() && !ansicht.Hintergrundpfad().empty()) {
            m_puffer += "body { background-image: url(\"";
            cssAdresse(bild(ansicht.Hintergrundpfad()));
            m_puffer += "\"); }\n";
        }
        m_puffer += "</style>\n</head>\n<body>\n";

        Definitionsansicht::Lauf lauf(ansicht);
        Objektansicht o;
        while (lauf.naechstes(o)) {
            try {
                objekt(o);
            } catch (const KonvertierungsFehler &f) {
                throw ObjektFehler(lauf.nummer(), o.Art, o.Beschreibung, f.what());
            } catch (const TabellenFehler &f) {
                throw ObjektFehler(lauf.nummer(), o.Art, o.Beschreibung, f.what());
            }
            if (m_puffer.size() >= (std::size_t(1) << 20)) {
                m_datei.schreiben(m_puffer);
                m_puffer.clear();
            }
        }
        m_puffer += "</body>\n</html>\n";
        m_datei.schreiben(m_puffer);
        m_datei.abschliessen();
    }

private:
    std::string_view bild(std::string_view pfad) const { return m_bildpfade ? m_bildpfade(pfad) : pfad; }

    void objekt(const Objektansicht &o)
    {
        if (o.Art == Arten::Bild) {
            m_puffer += "<img src=\"";
            attribut(bild(o.Daten));
            m_puffer += "\" alt=\"";
            attribut(o.Beschreibung);
            m_puffer += "\">\n";
        } else if (o.Art == Arten::Linie) {
            m_puffer += "<hr>\n";
        } else if (o.Art == Arten::Link) {
            m_puffer += "<a href=\"";
            attribut(o.Daten);
            m_puffer += "\">";
            text(o.Beschreibung, false);
            m_puffer += "</a>\n";
        } else if (o.Art == Arten::Tabelle) {
            zerlegeTabellendaten(o.Daten, m_tabelle);
            m_puffer += "<div class=\"tabelle\"><table>\n";
            std::size_t zelle = 0;
            for (int r = 0; r < m_tabelle.Zeilen; ++r) {
                m_puffer += "<tr>\n";
                for (int c = 0; c < m_tabelle.Spalten; ++c) {
                    const std::string_view inhalt = m_tabelle.Zellen[zelle++];
                    m_puffer += "<td>";
                    // A cell left empty in the table window is stored as one
                    // blank; a visible blank keeps its row's height.
                    if (inhalt == " ")
                        m_puffer += "&nbsp;";
                    else
                        text(inhalt, false);
                    m_puffer += "</td>\n";
                }
                m_puffer += "</tr>\n";
            }
            m_puffer += "</table></div>\n";
        } else if (o.Art == Arten::Text) {
            // A division, not a paragraph: a paragraph would end at the
            // first list or table the user writes into the text.
            m_puffer += "<div class=\"text\">";
            text(o.Daten, false);
            m_puffer += "</div>\n";
        }
    }

    // Windows-1252 as UTF-8. Control characters other than blanks and line
    // ends are left out: no browser shows them, and HTML does not allow
    // them. With `maskieren` the text is shown as it is, markup and all.
    void text(std::string_view bytes, bool maskieren)
    {
        const QString t = Win1252::zuText(bytes);
        QString rein;
        rein.reserve(t.size());
        for (const QChar c : t) {
            const char16_t u = c.unicode();
            const bool steuerzeichen = (u < 0x20 && u != '\t' && u != '\n' && u != '\f' && u != '\r')
                                       || (u >= 0x7F && u < 0xA0);
            if (steuerzeichen)
                continue;
            if (maskieren && u == '&')
                rein += QStringLiteral("&amp;");
            else if (maskieren && u == '<')
                rein += QStringLiteral("&lt;");
            else if (maskieren && u == '>')
                rein += QStringLiteral("&gt;");
            else if (maskieren && u == '"')
                rein += QStringLiteral("&quot;");
            else
                rein += c;
        }
        const QByteArray utf8 = rein.toUtf8();
        m_puffer.append(utf8.constData(), std::size_t(utf8.size()));
    }

    void attribut(std::string_view bytes) { text(bytes, true); }

    // An address inside url("...") in the style element: what could end the
    // string, the element or the address is percent-encoded.
    void cssAdresse(std::string_view bytes)
    {
        static const char hex[] = "0123456789ABCDEF";
        const QString t = Win1252::zuText(bytes);
        const QByteArray utf8 = t.toUtf8();
        for (const char c : utf8) {
            const auto b = static_cast<unsigned char>(c);
            if (b <= 0x20 || b == 0x7F || c == '"' || c == '\\' || c == '<' || c == '>' || c == '\'' || c == '('
                || c == ')') {
                m_puffer += '%';
                m_puffer += hex[b >> 4];
                m_puffer += hex[b & 15];
            } else {
                m_puffer += c;
            }
        }
    }

    Sicherungsdatei m_datei;
    const Bildpfade &m_bildpfade;
    std::string m_puffer;
    Tabellenansicht m_tabelle;
};

} // namespace

void schreibeHtml5(const std::string &dateiname, const Definitionsansicht &ansicht, const Bildpfade &bildpfade)
{
    Html5Seite(dateiname, bildpfade).schreiben(ansicht);
}
