// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

#include "jsonformat.h"

#include "fehler.h"
#include "win1252.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QSet>

#include <initializer_list>

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
        throw Fehler("Die JSON-Daten sind fehlerhaft (bei Zeichen " + std::to_string(fehler.offset + 1) + ")");
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
        nurSchluessel(o, {QLatin1StringView("kind"), QLatin1StringView("description"), QLatin1StringView("data")},
                      wo);
        d.Objekte.push_back({text(o, QLatin1StringView("kind"), wo), text(o, QLatin1StringView("description"), wo),
                             text(o, QLatin1StringView("data"), wo)});
    }
    return d;
}
