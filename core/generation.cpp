#include "generation.h"

#include "datei.h"
#include "einstellungen.h"
#include "fehler.h"
#include "objektliste.h"
#include "tabellendaten.h"

#include <initializer_list>
#include <optional>
#include <string_view>

namespace {

class Zeilen
{
public:
    explicit Zeilen(std::string &ziel)
        : m_ziel(ziel)
    {
    }

    // One line made of the given parts.
    void zeile(std::initializer_list<std::string_view> teile)
    {
        for (const std::string_view teil : teile)
            m_ziel.append(teil);
        m_ziel.append("\r\n");
    }

private:
    std::string &m_ziel;
};

} // namespace

std::string Seite(const Dokumenteinstellungen &einstellungen, const Objektliste &objekte)
{
    std::string seite;
    Zeilen z(seite);
    z.zeile({"<HTML>"});
    z.zeile({"<HEAD>"});
    z.zeile({"<TITLE>", einstellungen.Titel(), "</TITLE>"});
    z.zeile({"</HEAD>"});
    if (einstellungen.HintergrundAktiv())
        z.zeile({"<BODY BACKGROUND=\"", einstellungen.Hintergrundpfad(), "\">"});
    else
        z.zeile({"<BODY>"});

    for (const Objekt &o : objekte) {
        if (o.Art == Arten::Bild) {
            z.zeile({"<IMG SRC=\"", o.Daten, "\" ALT=\"", o.Beschreibung, "\">"});
        } else if (o.Art == Arten::Linie) {
            z.zeile({"<HR>"});
        } else if (o.Art == Arten::Link) {
            z.zeile({"<A HREF=\"", o.Daten, "\">", o.Beschreibung, "</A>"});
        } else if (o.Art == Arten::Tabelle) {
            const Tabellenansicht t = zerlegeTabellendaten(o.Daten);
            z.zeile({"<TABLE BORDER>"});
            std::size_t zelle = 0;
            for (int r = 0; r < t.Zeilen; ++r) {
                z.zeile({"<TR>"});
                for (int c = 0; c < t.Spalten; ++c)
                    z.zeile({"<TD>", t.Zellen[zelle++]});
                z.zeile({"</TR>"});
            }
            z.zeile({"</TABLE>"});
        } else if (o.Art == Arten::Text) {
            z.zeile({"<BR><P>", o.Daten, "<BR><P>"});
        }
    }
    z.zeile({"</BODY>"});
    z.zeile({"</HTML>"});
    return seite;
}

void SchreibeSeite(const std::string &dateiname, const std::string &seite)
{
    std::optional<Sicherungsdatei> datei;
    try {
        datei.emplace(dateiname);
    } catch (const EAFehler &) {
        throw ErstellFehler(dateiname);
    }
    try {
        datei->schreiben(seite);
        datei->abschliessen();
    } catch (const EAFehler &) {
        throw SchreibFehler();
    }
}

void Generieren(const std::string &dateiname, const Dokumenteinstellungen &einstellungen,
                const Objektliste &objekte)
{
    SchreibeSeite(dateiname, Seite(einstellungen, objekte));
}
