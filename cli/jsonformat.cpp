// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

#include "jsonformat.h"

#include "fehler.h"
#include "objektliste.h"
#include "tabellendaten.h"
#include "win1252.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QSet>

#include <cstring>
#include <initializer_list>
#include <set>

namespace {

void zeichenketteAnhaengen(std::string &json, std::string_view bytes)
{
    static const char hex[] = "0123456789abcdef";
    json += '"';
    const QByteArray utf8 = Win1252::zuText(bytes).toUtf8();
    for (const char c : utf8) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            json += '\\';
            json += c;
        } else if (c == '\n') {
            json += "\\n";
        } else if (c == '\r') {
            json += "\\r";
        } else if (c == '\t') {
            json += "\\t";
        } else if (u < 0x20) {
            json += "\\u00";
            json += hex[u >> 4];
            json += hex[u & 15];
        } else {
            json += c;
        }
    }
    json += '"';
}

[[noreturn]] void formfehler(const QString &was)
{
    throw Fehler("Die JSON-Daten sind kein Markwerk-Dokument: " + was.toStdString());
}

void nurSchluessel(const QJsonObject &objekt, std::initializer_list<QLatin1StringView> erlaubt,
                   const QString &wo)
{
    for (const QString &schluessel : objekt.keys()) {
        bool bekannt = false;
        for (const QLatin1StringView e : erlaubt)
            bekannt = bekannt || schluessel == e;
        if (!bekannt)
            formfehler(QStringLiteral("unbekannter Schlüssel \"%1\" in %2").arg(schluessel, wo));
    }
}

QJsonValue wert(const QJsonObject &objekt, QLatin1StringView schluessel, const QString &wo)
{
    const auto it = objekt.constFind(schluessel);
    if (it == objekt.constEnd())
        formfehler(QStringLiteral("\"%1\" fehlt in %2").arg(schluessel, wo));
    return *it;
}

std::string text(const QJsonObject &objekt, QLatin1StringView schluessel, const QString &wo)
{
    const QJsonValue w = wert(objekt, schluessel, wo);
    if (!w.isString())
        formfehler(QStringLiteral("\"%1\" in %2 ist keine Zeichenkette").arg(schluessel, wo));
    return Win1252::zuBytesStreng(w.toString());
}

[[noreturn]] void syntaxfehler(std::size_t stelle)
{
    throw Fehler("Die JSON-Daten sind fehlerhaft (bei Zeichen " + std::to_string(stelle + 1) + ")");
}

// Qt's parser lets two things through that JSON forbids or leaves open: a
// raw control character inside a string, and a key given twice in one
// object (Qt keeps the last). This walks text that Qt has already accepted,
// so it only looks for those two.
class StrengeLesung
{
public:
    explicit StrengeLesung(std::string_view json)
        : m_json(json)
    {
    }

    void pruefen()
    {
        // Qt passes over a byte-order mark at the start; so does this.
        if (m_json.substr(0, 3) == "\xEF\xBB\xBF")
            m_i = 3;
        wert(QStringLiteral("dem Dokument"), 0, {});
    }

private:
    // The character at i; past the end a zero, which ends every loop below.
    char an(std::size_t i) const { return i < m_json.size() ? m_json[i] : '\0'; }

    void leer()
    {
        while (m_i < m_json.size() && (an(m_i) == ' ' || an(m_i) == '\t' || an(m_i) == '\n'
                                       || an(m_i) == '\r'))
            ++m_i;
    }

    // A string, from the quote it begins with; a key is returned with its
    // escapes resolved, a value only checked.
    QString zeichenkette(bool behalten)
    {
        QString text;
        std::size_t roh = ++m_i;
        const auto rohAnhaengen = [&] {
            if (behalten)
                text += QString::fromUtf8(m_json.data() + roh, qsizetype(m_i - roh));
        };
        while (an(m_i) != '"' && m_i < m_json.size()) {
            const auto c = static_cast<unsigned char>(an(m_i));
            if (c < 0x20)
                syntaxfehler(m_i);
            if (c != '\\') {
                ++m_i;
                continue;
            }
            rohAnhaengen();
            const char e = an(m_i + 1);
            if (!behalten) {
                m_i += e == 'u' ? 6 : 2;
            } else if (e == 'u') {
                text += QChar(char16_t(std::strtol(std::string(m_json.substr(std::min(m_i + 2, m_json.size()), 4)).c_str(), nullptr, 16)));
                m_i += 6;
            } else {
                const char *ersatz = "\"\"\\\\//b\bf\fn\nr\rt\t";
                while (*ersatz && *ersatz != e)
                    ersatz += 2;
                text += QLatin1Char(*ersatz ? ersatz[1] : e);
                m_i += 2;
            }
            roh = m_i;
        }
        rohAnhaengen();
        ++m_i;
        return text;
    }

    // `wo` names the object being read for a message, `tiefe` is its depth;
    // `schluessel` is the key the value stands under.
    void wert(const QString &wo, int tiefe, const QString &schluessel)
    {
        leer();
        const char c = an(m_i);
        if (c == '"') {
            zeichenkette(false);
        } else if (c == '{') {
            ++m_i;
            // The top object is the document; below it only "background"
            // holds an object, and each entry of "objects".
            const QString hier = tiefe == 1 && schluessel == QLatin1String("background") ? QStringLiteral("\"background\"")
                                                                                           : wo;
            std::set<QString> gesehen;
            leer();
            while (an(m_i) != '}' && m_i < m_json.size()) {
                if (an(m_i) == ',')
                    ++m_i;
                leer();
                const QString name = zeichenkette(true);
                if (!gesehen.insert(name).second)
                    formfehler(QStringLiteral("doppelter Schlüssel \"%1\" in %2").arg(name, hier));
                leer();
                ++m_i; // the colon
                wert(hier, tiefe + 1, name);
                leer();
            }
            ++m_i;
        } else if (c == '[') {
            ++m_i;
            leer();
            for (int nummer = 1; an(m_i) != ']' && m_i < m_json.size(); ++nummer) {
                if (an(m_i) == ',')
                    ++m_i;
                const bool objekte = tiefe == 1 && schluessel == QLatin1String("objects");
                wert(objekte ? QStringLiteral("Objekt %1").arg(nummer) : wo, tiefe + 1, {});
                leer();
            }
            ++m_i;
        } else {
            // A number, true, false or null; at least one character, so that
            // text Qt would never have accepted cannot stop the walk.
            const std::size_t anfang = m_i;
            while (m_i < m_json.size() && !std::strchr(",]} \t\r\n", an(m_i)))
                ++m_i;
            if (m_i == anfang)
                ++m_i;
        }
    }

    std::string_view m_json;
    std::size_t m_i = 0;
};

// A table given as rows of cells, encoded as the table window encodes it:
// the same limits, an empty cell as one blank, and a cell the encoding
// cannot carry refused with the window's text.
std::string zellenAlsDaten(const QJsonValue &zellen, const QString &wo, qsizetype nummer, const std::string &art,
                           const std::string &beschreibung)
{
    constexpr int Kleinste = 2, Groesste = 20;
    const QString grenzen = QStringLiteral("; eine Tabelle hat %1 bis %2").arg(Kleinste).arg(Groesste);
    if (!zellen.isArray())
        formfehler(QStringLiteral("\"cells\" in %1 ist keine Liste von Zeilen").arg(wo));
    const QJsonArray zeilen = zellen.toArray();
    if (zeilen.size() < Kleinste || zeilen.size() > Groesste)
        formfehler(QStringLiteral("\"cells\" in %1 hat %2 Zeilen").arg(wo).arg(zeilen.size()) + grenzen);
    qsizetype spalten = 0;
    std::vector<std::string> texte;
    for (qsizetype r = 0; r < zeilen.size(); ++r) {
        const QString zeile = QStringLiteral("Zeile %1 von \"cells\" in %2").arg(r + 1).arg(wo);
        if (!zeilen[r].isArray())
            formfehler(zeile + QStringLiteral(" ist keine Liste"));
        const QJsonArray z = zeilen[r].toArray();
        if (r == 0 && (z.size() < Kleinste || z.size() > Groesste))
            formfehler(zeile + QStringLiteral(" hat %1 Zellen").arg(z.size()) + grenzen);
        if (r == 0)
            spalten = z.size();
        if (z.size() != spalten)
            formfehler(zeile + QStringLiteral(" hat %1 Zellen statt %2").arg(z.size()).arg(spalten));
        for (qsizetype c = 0; c < z.size(); ++c) {
            if (!z[c].isString())
                formfehler(zeile + QStringLiteral(", Zelle %1 ist keine Zeichenkette").arg(c + 1));
            texte.push_back(Win1252::zuBytesStreng(z[c].toString()));
            if (unzulaessigesTrennzeichen(texte.back()) != std::string_view::npos)
                throw ObjektFehler(std::int32_t(nummer), art, beschreibung,
                                   TrennzeichenFehler(int(r + 1), int(c + 1)).what());
        }
    }
    return TabelleZuDaten(int(zeilen.size()), int(spalten), texte);
}

} // namespace

std::string definitionAlsJson(const Definition &d)
{
    std::string json;
    json += "{\n  \"title\": ";
    zeichenketteAnhaengen(json, d.Titel);
    json += ",\n  \"background\": {\"enabled\": ";
    json += d.Hintergrund ? "true" : "false";
    json += ", \"path\": ";
    zeichenketteAnhaengen(json, d.Hintergrund ? d.Hintergrundpfad : std::string());
    json += "},\n  \"objects\": [";
    bool erstes = true;
    for (const Objekt &o : d.Objekte) {
        json += erstes ? "\n    " : ",\n    ";
        erstes = false;
        json += "{\"kind\": ";
        zeichenketteAnhaengen(json, o.Art);
        json += ", \"description\": ";
        zeichenketteAnhaengen(json, o.Beschreibung);
        json += ", \"data\": ";
        zeichenketteAnhaengen(json, o.Daten);
        json += '}';
    }
    json += erstes ? "]\n}\n" : "\n  ]\n}\n";
    return json;
}

Definition definitionAusJson(std::string_view json)
{
    QJsonParseError fehler;
    const QJsonDocument dokument =
        QJsonDocument::fromJson(QByteArray::fromRawData(json.data(), qsizetype(json.size())), &fehler);
    if (fehler.error != QJsonParseError::NoError)
        syntaxfehler(std::size_t(fehler.offset));
    StrengeLesung(json).pruefen();
    if (!dokument.isObject())
        formfehler(QStringLiteral("es fehlt das äußere Objekt"));

    const QJsonObject wurzel = dokument.object();
    const QString oben = QStringLiteral("dem Dokument");
    nurSchluessel(wurzel, {QLatin1StringView("title"), QLatin1StringView("background"), QLatin1StringView("objects")},
                  oben);
    Definition d;
    d.Titel = text(wurzel, QLatin1StringView("title"), oben);

    const QJsonValue hintergrund = wert(wurzel, QLatin1StringView("background"), oben);
    if (!hintergrund.isObject())
        formfehler(QStringLiteral("\"background\" ist kein Objekt"));
    const QJsonObject h = hintergrund.toObject();
    const QString hWo = QStringLiteral("\"background\"");
    nurSchluessel(h, {QLatin1StringView("enabled"), QLatin1StringView("path")}, hWo);
    const QJsonValue aktiv = wert(h, QLatin1StringView("enabled"), hWo);
    if (!aktiv.isBool())
        formfehler(QStringLiteral("\"enabled\" ist kein Wahrheitswert"));
    d.Hintergrund = aktiv.toBool();
    d.Hintergrundpfad = text(h, QLatin1StringView("path"), hWo);

    const QJsonValue objekte = wert(wurzel, QLatin1StringView("objects"), oben);
    if (!objekte.isArray())
        formfehler(QStringLiteral("\"objects\" ist keine Liste"));
    const QJsonArray liste = objekte.toArray();
    d.Objekte.reserve(std::size_t(liste.size()));
    for (qsizetype i = 0; i < liste.size(); ++i) {
        const QString wo = QStringLiteral("Objekt %1").arg(i + 1);
        if (!liste[i].isObject())
            formfehler(wo + QStringLiteral(" ist kein Objekt"));
        const QJsonObject o = liste[i].toObject();
        nurSchluessel(o, {QLatin1StringView("kind"), QLatin1StringView("description"), QLatin1StringView("data"),
                          QLatin1StringView("cells")},
                      wo);
        const std::string art = text(o, QLatin1StringView("kind"), wo);
        const std::string beschreibung = text(o, QLatin1StringView("description"), wo);
        const bool tabelle = art == Arten::Tabelle;
        const bool mitZellen = o.contains(QLatin1StringView("cells"));
        if (mitZellen && !tabelle)
            formfehler(QStringLiteral("\"cells\" in %1 gibt es nur bei einer Tabelle").arg(wo));
        if (mitZellen && o.contains(QLatin1StringView("data")))
            formfehler(QStringLiteral("\"data\" und \"cells\" zugleich in %1").arg(wo));
        if (tabelle && !mitZellen && !o.contains(QLatin1StringView("data")))
            formfehler(QStringLiteral("\"data\" oder \"cells\" fehlt in %1").arg(wo));
        d.Objekte.push_back({art, beschreibung,
                             mitZellen ? zellenAlsDaten(o.value(QLatin1StringView("cells")), wo, i + 1, art, beschreibung)
                                       : text(o, QLatin1StringView("data"), wo)});
    }
    return d;
}
