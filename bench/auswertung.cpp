// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

// Reads the JSON output of the benchmark programs and prints one table:
// every figure, its target and whether it is met, with the machine it ran
// on. Markdown, so that it can go into the README as it is.

#include <QCoreApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QRegularExpression>
#include <QSysInfo>
#include <QTextStream>

#include <cmath>
#include <optional>

namespace {

QMap<QString, QJsonObject> laufe;
QJsonObject umgebung;

// The median of repeated runs where there is one, else the single run.
void einlesen(const QString &datei)
{
    QFile f(datei);
    if (!f.open(QIODevice::ReadOnly))
        return;
    const QJsonObject wurzel = QJsonDocument::fromJson(f.readAll()).object();
    if (umgebung.isEmpty())
        umgebung = wurzel.value(QStringLiteral("context")).toObject();
    for (const QJsonValue &w : wurzel.value(QStringLiteral("benchmarks")).toArray()) {
        const QJsonObject b = w.toObject();
        QString name = b.value(QStringLiteral("run_name")).toString();
        name.remove(QRegularExpression(QStringLiteral("/(iterations:\\d+|real_time|manual_time)")));
        const QString art = b.value(QStringLiteral("run_type")).toString();
        const bool median = b.value(QStringLiteral("aggregate_name")).toString() == QLatin1String("median");
        if (art == QLatin1String("aggregate") && median)
            laufe[name] = b;
        else if (art == QLatin1String("iteration") && !laufe.contains(name))
            laufe[name] = b;
    }
}

std::optional<double> sekunden(const QString &name)
{
    if (!laufe.contains(name) || laufe[name].contains(QStringLiteral("error_occurred")))
        return std::nullopt;
    const QJsonObject b = laufe[name];
    const QString einheit = b.value(QStringLiteral("time_unit")).toString();
    const double faktor = einheit == QLatin1String("ns") ? 1e-9
                          : einheit == QLatin1String("us") ? 1e-6
                          : einheit == QLatin1String("ms") ? 1e-3
                                                            : 1.0;
    return b.value(QStringLiteral("real_time")).toDouble() * faktor;
}

std::optional<double> wert(const QString &name, const QString &feld)
{
    if (!laufe.contains(name) || !laufe[name].contains(feld))
        return std::nullopt;
    return laufe[name].value(feld).toDouble();
}

QTextStream aus(stdout);

QString zahl(double x, int stellen = 1)
{
    return QString::number(x, 'f', stellen);
}

void zeile(const QString &was, const QString &gemessen, const QString &ziel, std::optional<bool> erreicht)
{
    const QString ja = !erreicht ? QStringLiteral("-") : *erreicht ? QStringLiteral("yes") : QStringLiteral("**no**");
    aus << "| " << was << " | " << gemessen << " | " << ziel << " | " << ja << " |\n";
}

void fehlt(const QString &was, const QString &ziel)
{
    zeile(was, QStringLiteral("not measured"), ziel, false);
}

// A ratio that a benchmark measured in paired runs, with the two times it
// stands for: counter `verhaeltnis` of `name` and its counters `a` and `b`.
void gepaart(const QString &was, const QString &name, const QString &verhaeltnis, const QString &a, const QString &b,
             double grenze)
{
    const QString ziel = grenze > 0 ? QStringLiteral("≤ %1×").arg(grenze) : QStringLiteral("reference");
    const auto v = wert(name, verhaeltnis);
    const auto ta = wert(name, a);
    const auto tb = wert(name, b);
    if (!v || !ta || !tb) {
        if (grenze > 0)
            fehlt(was, ziel);
        return;
    }
    zeile(was, QStringLiteral("%1× (%2 ms against %3 ms)").arg(zahl(*v, 2), zahl(*ta), zahl(*tb)), ziel,
          grenze > 0 ? std::optional<bool>(*v <= grenze) : std::nullopt);
}

// How many times longer a run takes per byte than its reference.
void verhaeltnis(const QString &was, const QString &name, const QString &bezug, double grenze)
{
    const auto t = sekunden(name);
    const auto b = wert(name, QStringLiteral("bytes_per_second"));
    const auto bb = wert(bezug, QStringLiteral("bytes_per_second"));
    const QString ziel = grenze > 0 ? QStringLiteral("≤ %1×").arg(grenze) : QStringLiteral("reference");
    if (!t || !b || !bb || !sekunden(bezug))
        return fehlt(was, ziel);
    const double v = *bb / *b;
    zeile(was,
          QStringLiteral("%1× (%2 MB/s against %3 MB/s; %4 ms)")
              .arg(zahl(v, 2), zahl(*b / 1e6, 0), zahl(*bb / 1e6, 0), zahl(*t * 1e3)),
          ziel, grenze > 0 ? std::optional<bool>(v <= grenze) : std::nullopt);
}

void dauer(const QString &was, const QString &name)
{
    const auto t = sekunden(name);
    if (!t)
        return fehlt(was, QStringLiteral("-"));
    zeile(was, zahl(*t * 1e6, 0) + QStringLiteral(" µs"), QStringLiteral("-"), std::nullopt);
}

void mindestdurchsatz(const QString &was, const QString &name, double mbs)
{
    const auto b = wert(name, QStringLiteral("bytes_per_second"));
    const QString ziel = QStringLiteral("≥ %1 MB/s").arg(mbs);
    if (!b || !sekunden(name))
        return fehlt(was, ziel);
    zeile(was, zahl(*b / 1e6, 0) + QStringLiteral(" MB/s"), ziel, *b / 1e6 >= mbs);
}

void hoechstdauer(const QString &was, const QString &name, double ms)
{
    const auto t = sekunden(name);
    const QString ziel = QStringLiteral("< %1 ms").arg(ms);
    if (!t)
        return fehlt(was, ziel);
    zeile(was, zahl(*t * 1e3, 1) + QStringLiteral(" ms"), ziel, *t * 1e3 < ms);
}

QString proc(const QString &datei, const QString &schluessel)
{
    // Files under /proc report no size: read them whole, not up to atEnd().
    QFile f(datei);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    const QStringList zeilen = QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'));
    for (const QString &z : zeilen) {
        if (z.startsWith(schluessel))
            return z.section(QLatin1Char(':'), 1).trimmed();
    }
    return {};
}

void maschine()
{
    const QJsonArray last = umgebung.value(QStringLiteral("load_avg")).toArray();
    QStringList lasten;
    for (const QJsonValue &l : last)
        lasten << zahl(l.toDouble(), 2);
    const QString speicher = proc(QStringLiteral("/proc/meminfo"), QStringLiteral("MemTotal"));
    const double ram = speicher.section(QLatin1Char(' '), 0, 0).toDouble();
    aus << "Machine: " << proc(QStringLiteral("/proc/cpuinfo"), QStringLiteral("model name")) << ", "
        << umgebung.value(QStringLiteral("num_cpus")).toInt() << " cores at "
        << umgebung.value(QStringLiteral("mhz_per_cpu")).toInt() << " MHz, " << zahl(ram / 1048576, 0)
        << " GB RAM, " << QSysInfo::prettyProductName() << ", kernel " << QSysInfo::kernelVersion()
        << "; load average when the run began: " << lasten.join(QStringLiteral(" ")) << ".\n\n";
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication anwendung(argc, argv);
    for (const QString &datei : QCoreApplication::arguments().mid(1))
        einlesen(datei);

    maschine();
    aus << "| Figure (W-large unless named) | Measured | Target | Met |\n|---|---|---|---|\n";
    verhaeltnis(QStringLiteral("Save ÷ plain copy (one fwrite)"), QStringLiteral("Sichern/W-large"),
                QStringLiteral("Kopie/schreiben"), 2);
    verhaeltnis(QStringLiteral("Save ÷ plain copy with fdatasync"), QStringLiteral("Sichern/W-large"),
                QStringLiteral("Kopie/schreiben+fdatasync"), 2);
    verhaeltnis(QStringLiteral("Reference: save with one write() per record (first 10,000 objects) ÷ save"),
                QStringLiteral("Sichern/satzweise"), QStringLiteral("Sichern/W-large"), 0);
    verhaeltnis(QStringLiteral("Load ÷ plain copy (one fread)"), QStringLiteral("Laden/W-large"),
                QStringLiteral("Kopie/lesen"), 2);
    verhaeltnis(QStringLiteral("Reference: load with one read() per record (first 10,000 objects) ÷ load"),
                QStringLiteral("Laden/satzweise"), QStringLiteral("Laden/W-large"), 0);
    verhaeltnis(QStringLiteral("HTML generation ÷ writing its bytes in one fwrite"),
                QStringLiteral("Generation/W-large"), QStringLiteral("Seite/Kopie"), 2);
    verhaeltnis(QStringLiteral("HTML generation ÷ one fwrite with fdatasync"), QStringLiteral("Generation/W-large"),
                QStringLiteral("Seite/Kopie+fdatasync"), 2);
    verhaeltnis(QStringLiteral("Reference: HTML generation with one write() per line ÷ HTML generation"),
                QStringLiteral("Generation/zeilenweise"), QStringLiteral("Generation/W-large"), 0);
    gepaart(QStringLiteral("markwerk-cli html ÷ cat of the definition file + cp of the page, paired runs"),
            QStringLiteral("CLI/html_gepaart"), QStringLiteral("Verhaeltnis"), QStringLiteral("html_ms"),
            QStringLiteral("kopie_ms"), 2.5);
    dauer(QStringLiteral("W-small: save"), QStringLiteral("Sichern/W-small"));
    dauer(QStringLiteral("W-small: load"), QStringLiteral("Laden/W-small"));
    dauer(QStringLiteral("W-small: HTML generation"), QStringLiteral("Generation/W-small"));
    mindestdurchsatz(QStringLiteral("TabelleZuDaten on the 20,000 tables"), QStringLiteral("Tabelle/TabelleZuDaten"),
                     500);
    mindestdurchsatz(QStringLiteral("DatenZuTabelle on the 20,000 tables"), QStringLiteral("Tabelle/DatenZuTabelle"),
                     500);
    hoechstdauer(QStringLiteral("GUI: open, laid out and painted"), QStringLiteral("Oberflaeche/Oeffnen"), 1000);
    const auto befehl = wert(QStringLiteral("Oberflaeche/Oeffnen"), QStringLiteral("Befehl_ms"));
    const auto bild = wert(QStringLiteral("Oberflaeche/Oeffnen"), QStringLiteral("erstesBild_ms"));
    if (befehl && bild) {
        zeile(QStringLiteral("GUI: of that, the open command itself / the list first painted"),
              QStringLiteral("%1 ms / %2 ms").arg(zahl(*befehl), zahl(*bild)), QStringLiteral("-"), std::nullopt);
    }
    hoechstdauer(QStringLiteral("GUI: insert a line, view settled"), QStringLiteral("Oberflaeche/Einfuegen"), 16);
    hoechstdauer(QStringLiteral("GUI: paste, view settled"), QStringLiteral("Oberflaeche/Ablage_einfuegen"), 16);
    hoechstdauer(QStringLiteral("GUI: delete, view settled"), QStringLiteral("Oberflaeche/Loeschen"), 16);
    hoechstdauer(QStringLiteral("GUI: move up, view settled"), QStringLiteral("Oberflaeche/Aufwaerts"), 16);

    gepaart(QStringLiteral("Start-up to the first shown main window ÷ empty QMainWindow"),
            QStringLiteral("Start/markwerk"), QStringLiteral("Verhaeltnis"), QStringLiteral("markwerk_ms"),
            QStringLiteral("leer_ms"), 1.2);
    gepaart(QStringLiteral("Start-up ÷ QMainWindow with a menu and a status text"), QStringLiteral("Start/markwerk"),
            QStringLiteral("Verhaeltnis_mit_text"), QStringLiteral("markwerk_ms"), QStringLiteral("mit_text_ms"), 0);
    if (const auto v = wert(QStringLiteral("Speicher/Laden"), QStringLiteral("Verhaeltnis"))) {
        zeile(QStringLiteral("Peak RSS of a load ÷ bytes of its strings"),
              QStringLiteral("%1× (%2 MB against %3 MB; file %4 MB)")
                  .arg(zahl(*v, 2), zahl(*wert(QStringLiteral("Speicher/Laden"), QStringLiteral("Spitze_MB"))),
                       zahl(*wert(QStringLiteral("Speicher/Laden"), QStringLiteral("Zeichen_MB"))),
                       zahl(*wert(QStringLiteral("Speicher/Laden"), QStringLiteral("Datei_MB")))),
              QStringLiteral("≤ 1.5×"), *v <= 1.5);
    } else {
        fehlt(QStringLiteral("Peak RSS of a load ÷ bytes of its strings"), QStringLiteral("≤ 1.5×"));
    }
    return 0;
}
