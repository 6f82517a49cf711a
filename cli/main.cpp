// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

// markwerk-cli: the document core for scripts and batch work.

#include "argumente.h"
#include "befehle.h"
#include "export.h"
#include "markwerk_version.h"
#include "pruefung.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QRegularExpression>

#include <csignal>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

namespace {

constexpr std::string_view Aufruf =
    "Aufruf:\n"
    "  markwerk-cli html DEFINITION.htd SEITE.htm\n"
    "  markwerk-cli html -d ORDNER DEFINITION.htd...\n"
    "  markwerk-cli json DEFINITION.htd [DOKUMENT.json]\n"
    "  markwerk-cli json -d ORDNER DEFINITION.htd...\n"
    "  markwerk-cli htd DOKUMENT.json DEFINITION.htd\n"
    "  markwerk-cli htd -d ORDNER DOKUMENT.json...\n"
    "  markwerk-cli check DEFINITION.htd...\n"
    "  markwerk-cli export DEFINITION.htd ORDNER [--html5] [-n NAME]\n"
    "  markwerk-cli --help | --version\n";

constexpr std::string_view Hilfe =
    "markwerk-cli erzeugt HTML-Seiten aus Markwerk-Definitionsdateien (*.htd), wandelt\n"
    "sie in JSON und zurück, prüft sie und macht aus ihnen Ordner zum Veröffentlichen.\n"
    "\n"
    "Befehle:\n"
    "  html DEFINITION.htd SEITE.htm\n"
    "      schreibt die HTML-Seite, Byte für Byte wie „Generieren“ im Programm.\n"
    "  json DEFINITION.htd [DOKUMENT.json]\n"
    "      gibt das Dokument als JSON aus, ohne Ausgabedatei auf die Standardausgabe.\n"
    "  htd DOKUMENT.json DEFINITION.htd\n"
    "      schreibt eine Definitionsdatei aus JSON.\n"
    "  html|json|htd -d ORDNER EINGABE...\n"
    "      wandelt mehrere Dateien: jede wird zu ORDNER/NAME.htm (.json, .htd), NAME\n"
    "      ihr Dateiname ohne Endung. Jede Datei gelingt oder scheitert für sich, jeder\n"
    "      Fehler wird gemeldet. Auf einem Terminal zeigt eine Zeile den Fortschritt.\n"
    "  check DEFINITION.htd...\n"
    "      prüft Seiten vor dem Veröffentlichen und schreibt je Befund eine Zeile\n"
    "        DATEI: Objekt N (Art \"Beschreibung\"): Befund.\n"
    "      (beim Hintergrund „DATEI: Hintergrund: Befund.“). Befunde: Tabellendaten,\n"
    "      die die Seite nicht lesen kann; eine Bild- oder Hintergrunddatei, die\n"
    "      fehlt (relative Pfade vom Ordner der Definitionsdatei aus; Adressen wie\n"
    "      https://... werden nicht nachgesehen) oder die export abweisen würde; ein\n"
    "      relativer Pfad oder eine Verknüpfung aus diesem Ordner hinaus; ein\n"
    "      absoluter Pfad, ein Laufwerk, eine Freigabe oder eine file:-Adresse, die\n"
    "      nur auf dem eigenen Rechner gelten (bei Links nur die letzten drei: dort\n"
    "      meint „/“ den Webserver); ein Anführungszeichen in Bildbeschreibung,\n"
    "      Bild- oder Hintergrundpfad oder Linkadresse, das ein Attribut der Seite\n"
    "      abschneidet; eine unbekannte Art, die nichts erzeugt; Leerzeichen in\n"
    "      einer Linkadresse.\n"
    "  export DEFINITION.htd ORDNER [--html5] [-n NAME]\n"
    "      macht einen Ordner zum Hochladen: die Seite (index.htm oder NAME) und\n"
    "      bilder/ mit einer Kopie jedes Bildes und des Hintergrunds, eine je Datei,\n"
    "      verschiedene Dateien gleichen Namens als logo.gif, logo-2.gif; die Seite\n"
    "      nennt sie mit relativen, prozentkodierten URLs, Adressen im Netz bleiben.\n"
    "      ORDNER darf nicht bestehen oder muss leer sein. Kopiert wird nur, was ein\n"
    "      Browser als Bild zeigt (GIF, PNG, JPEG, WebP, AVIF, BMP, ICO nach den\n"
    "      ersten Bytes, SVG ohne Skripte und Verweise nach außen), bis 64 MB, als\n"
    "      Datei mit der Endung seiner Art. Fehlt ein Bild oder ist es keines,\n"
    "      scheitert der Export mit seinem Objekt und hinterlässt nichts.\n"
    "      Ohne --html5 ist die Seite die des Programms mit nur diesen Pfaden neu.\n"
    "\n"
    "Optionen:\n"
    "  -d, --ordner ORDNER  mehrere Dateien umwandeln, die Ausgaben in ORDNER\n"
    "  -n, --name NAME      Dateiname der Seite bei export, auf .htm oder .html\n"
    "                       (sonst index.htm)\n"
    "      --html5          export schreibt eine HTML5-Seite in UTF-8, für Telefone\n"
    "                       wie für den Schreibtisch; Attribute maskiert, Texte von\n"
    "                       Absätzen, Zellen und Links unverändert wie im Programm\n"
    "  -h, --help           diese Hilfe\n"
    "      --version        die Version\n"
    "  --                   beendet die Optionen: was folgt, sind Dateinamen\n"
    "\n"
    "„-“ steht als Eingabe für die Standardeingabe, als Ausgabe für die\n"
    "Standardausgabe, etwa: cat preise.htd | markwerk-cli html - - > preise.htm\n"
    "Eine Datei namens „-“ heißt ./-. Eine Definitionsdatei darf aus einer Pipe\n"
    "kommen; eine benannte Pipe wird gelesen, sobald ihr Schreiber da ist.\n"
    "\n"
    "Exit-Status:\n"
    "  0  Erfolg; bei check: nichts gefunden\n"
    "  1  Fehler: die Meldung „markwerk-cli: DATEI: Text.“ nennt die Datei, alle\n"
    "     Dateien bleiben, wie sie waren\n"
    "  2  falscher Aufruf\n"
    "  3  check hat etwas gefunden\n"
    "\n"
    "JSON (UTF-8) hat genau diese Schlüssel:\n"
    "  {\"title\": \"Preisliste\",\n"
    "   \"background\": {\"enabled\": true, \"path\": \"hinter.gif\"},\n"
    "   \"objects\": [{\"kind\": \"Bild\", \"description\": \"Logo\", \"data\": \"logo.gif\"},\n"
    "               {\"kind\": \"Tabelle\", \"description\": \"Preise\",\n"
    "                \"cells\": [[\"Name\", \"Preis\"], [\"Brot\", \"\"]]}]}\n"
    "\"kind\" ist Bild, Linie, Link, Tabelle oder Text; \"data\" der Bildpfad, die\n"
    "Adresse, der Text oder die Tabellendaten, deren Felder „ð“ abschließt. Eine\n"
    "Tabelle darf statt \"data\" \"cells\" angeben: 2 bis 20 Zeilen zu je 2 bis 20\n"
    "Zeichenketten, alle Zeilen gleich lang, kodiert wie im Tabellenfenster:\n"
    "eine leere Zelle als ein Leerzeichen, „ð“ nach dem ersten Zeichen einer Zelle\n"
    "abgewiesen. Ausgegeben wird immer \"data\".\n";

int falscherAufruf(const std::string &grund)
{
    std::cerr << "markwerk-cli: " << grund << "\n" << Aufruf << "Mehr mit „markwerk-cli --help“.\n";
    return 2;
}

// Help and version go to standard output; a write error there is a failure.
int ausgeben(std::string_view text)
{
    try {
        aufStandardausgabe(text);
    } catch (const Fehler &f) {
        std::cerr << "markwerk-cli: " << mitPunkt(f.what()) << "\n";
        return 1;
    }
    return 0;
}

// QCommandLineParser's messages are English; the few it has are said here
// in German.
std::string parserfehler(const QCommandLineParser &parser)
{
    if (!parser.unknownOptionNames().isEmpty()) {
        const QString name = parser.unknownOptionNames().constFirst();
        return "unbekannte Option „" + textAlsArgument((name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name) + "“";
    }
    const QRegularExpressionMatch treffer = QRegularExpression(QStringLiteral("'([^']*)'")).match(parser.errorText());
    const std::string option = textAlsArgument(treffer.captured(1));
    if (parser.errorText().startsWith(QLatin1String("Missing")))
        return "nach „" + option + "“ fehlt der Wert";
    return "„" + option + "“ nimmt keinen Wert";
}

int fuehreAus(const QStringList &argumente)
{
    QCommandLineParser parser;
    const QCommandLineOption hilfe(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringLiteral("version"));
    const QCommandLineOption ordner(QStringList{QStringLiteral("d"), QStringLiteral("ordner")}, QString(), QStringLiteral("ORDNER"));
    const QCommandLineOption name(QStringList{QStringLiteral("n"), QStringLiteral("name")}, QString(), QStringLiteral("NAME"));
    const QCommandLineOption html5(QStringLiteral("html5"));
    parser.addOptions({hilfe, version, ordner, name, html5});
    if (!parser.parse(argumente))
        return falscherAufruf(parserfehler(parser));
    if (parser.isSet(hilfe))
        return ausgeben(std::string(Hilfe) + "\n" + std::string(Aufruf));
    if (parser.isSet(version))
        return ausgeben("markwerk-cli " MARKWERK_VERSION "\n");

    QStringList positionen = parser.positionalArguments();
    if (positionen.isEmpty())
        return falscherAufruf("Befehl fehlt");
    const std::string befehl = textAlsArgument(positionen.takeFirst());
    std::vector<Dateiangabe> dateien;
    for (const QString &p : std::as_const(positionen))
        dateien.push_back({textAlsArgument(p)});

    const bool stapelbar = befehl == "html" || befehl == "json" || befehl == "htd";
    if (!stapelbar && befehl != "check" && befehl != "export")
        return falscherAufruf("unbekannter Befehl „" + befehl + "“");
    std::string unpassend;
    const auto nurFuer = [&](const QCommandLineOption &option, bool erlaubt, const char *wo) {
        if (unpassend.empty() && parser.isSet(option) && !erlaubt)
            unpassend = "„--" + option.names().constLast().toStdString() + "“ gilt nur für " + wo;
    };
    nurFuer(ordner, stapelbar, "html, json und htd");
    nurFuer(name, befehl == "export", "export");
    nurFuer(html5, befehl == "export", "export");
    if (!unpassend.empty())
        return falscherAufruf(unpassend);
    const std::string falscheZahl = "falsche Zahl von Argumenten für „" + befehl + "“";

    if (parser.isSet(ordner)) {
        if (dateien.empty())
            return falscherAufruf("keine Eingabedatei für „" + befehl + "“");
        for (const Dateiangabe &d : dateien) {
            if (d.strom())
                return falscherAufruf("„-“ hat keinen Namen für eine Ausgabe in einem Ordner");
        }
        const std::string ziel = textAlsArgument(parser.value(ordner));
        if (befehl == "html")
            return stapel(&::html, ".htm", ziel, dateien);
        if (befehl == "json")
            return stapel(&::json, ".json", ziel, dateien);
        return stapel(&::htd, ".htd", ziel, dateien);
    }
    if (befehl == "check") {
        if (dateien.empty())
            return falscherAufruf("keine Definitionsdatei für „check“");
        return pruefe(dateien);
    }

    Meldungen meldungen(1);
    try {
        if (befehl == "export") {
            if (dateien.size() != 2)
                return falscherAufruf(falscheZahl);
            Exportauftrag auftrag;
            auftrag.definition = dateien[0];
            auftrag.ordner.pfad = dateien[1].pfad;
            auftrag.ordner.ausgabe = true;
            if (parser.isSet(name))
                auftrag.seitenname = textAlsArgument(parser.value(name));
            if (!seitennameGueltig(auftrag.seitenname))
                return falscherAufruf("„" + auftrag.seitenname
                                      + "“ taugt nicht als Name der Seite; er endet auf .htm oder .html");
            if (auftrag.ordner.strom())
                return falscherAufruf("export braucht einen Ordner, nicht „-“");
            // "neu/" and "neu" name the same folder.
            while (auftrag.ordner.pfad.size() > 1 && auftrag.ordner.pfad.back() == '/')
                auftrag.ordner.pfad.pop_back();
            auftrag.html5 = parser.isSet(html5);
            exportiere(auftrag);
            return 0;
        }
        if (befehl == "json" && dateien.size() == 1)
            dateien.push_back({"-"});
        if (dateien.size() != 2)
            return falscherAufruf(falscheZahl);
        dateien[1].ausgabe = true;
        if (befehl == "html")
            html(dateien[0], dateien[1]);
        else if (befehl == "json")
            json(dateien[0], dateien[1]);
        else
            htd(dateien[0], dateien[1]);
    } catch (const Fehler &f) {
        meldungen.fehler(f.what());
        return 1;
    } catch (const std::bad_alloc &) {
        meldungen.fehler("Nicht genügend Arbeitsspeicher");
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    // A pipe whose reader has gone is a write error like any other, not the
    // end of the process.
    std::signal(SIGPIPE, SIG_IGN);
    QCoreApplication anwendung(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("markwerk-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(MARKWERK_VERSION));

    QStringList argumente;
    for (int i = 0; i < argc; ++i)
        argumente << argumentAlsText(argv[i]);
    return fuehreAus(argumente);
}
