// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

// markwerk-cli killed with SIGKILL at random moments while it replaces a
// large file: afterwards the file is always the complete old one or the
// complete new one, never a stump or a mixture, and nothing half-written is
// left beside it.

#include "definitionsdatei.h"
#include "hilfen.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <csignal>
#include <random>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

extern char **environ;

using namespace hilfen;

namespace {

Objektliste grosseListe(const std::string &art, int anzahl)
{
    Objektliste l;
    for (int i = 0; i < anzahl; ++i) {
        std::string daten;
        for (int j = 0; j < 120; ++j)
            daten += art + " " + std::to_string(i) + " ";
        l.anhaengen({"Text", "Absatz " + std::to_string(i), daten});
    }
    return l;
}

std::string jsonVon(const std::string &titel, const Objektliste &l)
{
    std::string json = R"({"title": ")" + titel + R"(", "background": {"enabled": false, "path": ""}, "objects": [)";
    for (const Objekt &o : l) {
        if (&o != &*l.begin())
            json += ",";
        json += R"({"kind": ")" + o.Art + R"(", "description": ")" + o.Beschreibung + R"(", "data": ")" + o.Daten
                + "\"}";
    }
    return json + "]}";
}

pid_t starte(const QStringList &argumente)
{
    std::vector<QByteArray> teile{QByteArray(MARKWERK_CLI)};
    for (const QString &a : argumente)
        teile.push_back(QFile::encodeName(a));
    std::vector<char *> argv;
    for (QByteArray &t : teile)
        argv.push_back(t.data());
    argv.push_back(nullptr);
    pid_t pid = -1;
    if (::posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
        return -1;
    return pid;
}

// Bytes the process has written so far; -1 when that cannot be read.
qint64 geschrieben(pid_t pid)
{
    QFile io(QStringLiteral("/proc/%1/io").arg(pid));
    if (!io.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &zeile : io.readAll().split('\n')) {
        if (zeile.startsWith("wchar:"))
            return zeile.mid(6).trimmed().toLongLong();
    }
    return -1;
}

// How long the watch over a running process sleeps between two looks, in µs.
constexpr qint64 KuerzestePause = 50;
constexpr qint64 LaengstePause = 400;

void schlafe(qint64 mikrosekunden)
{
    timespec t{time_t(mikrosekunden / 1000000), long(mikrosekunden % 1000000) * 1000};
    while (::clock_nanosleep(CLOCK_MONOTONIC, 0, &t, &t) == EINTR) {
    }
}

} // namespace

class TestAbsturz : public QObject
{
    Q_OBJECT

private:
    QString pfad(const QString &name) const { return m_dir.filePath(name); }
    QTemporaryDir m_dir;

private Q_SLOTS:
    void initTestCase();
    void getoetetBeimErsetzen_data();
    void getoetetBeimErsetzen();
};

void TestAbsturz::initTestCase()
{
    QVERIFY(m_dir.isValid());
    if (geschrieben(::getpid()) < 0)
        QSKIP("the kernel keeps no count of the bytes a process writes");
    // The old document and the new one, as JSON and as definition files of
    // 10 and 13 MB; their pages and JSON are a quarter of that.
    const Objektliste alt = grosseListe("Alt", 2500);
    const Objektliste neu = grosseListe("Neu", 3000);
    QVERIFY(schreib(pfad(QStringLiteral("alt.json")), QByteArray::fromStdString(jsonVon("Alt", alt))));
    QVERIFY(schreib(pfad(QStringLiteral("neu.json")), QByteArray::fromStdString(jsonVon("Neu", neu))));
    SchreibeDefinition(n(pfad(QStringLiteral("alt.htd"))), "Alt", false, "", alt);
    SchreibeDefinition(n(pfad(QStringLiteral("neu.htd"))), "Neu", false, "", neu);
}

void TestAbsturz::getoetetBeimErsetzen_data()
{
    // The command, what it makes the old file from, what the new one, and
    // the file it replaces.
    QTest::addColumn<QString>("befehl");
    QTest::addColumn<QString>("alteQuelle");
    QTest::addColumn<QString>("neueQuelle");
    QTest::addColumn<QString>("ziel");
    // A hard-linked target is written in place; its new content must be
    // exactly the file named here (empty: not checked).
    QTest::addColumn<QString>("harterLink");
    QTest::newRow("htd aus JSON") << QStringLiteral("htd") << QStringLiteral("alt.json") << QStringLiteral("neu.json")
                                  << QStringLiteral("d.htd") << QString();
    QTest::newRow("Seite") << QStringLiteral("html") << QStringLiteral("alt.htd") << QStringLiteral("neu.htd")
                           << QStringLiteral("s.htm") << QString();
    QTest::newRow("JSON aus htd") << QStringLiteral("json") << QStringLiteral("alt.htd") << QStringLiteral("neu.htd")
                                  << QStringLiteral("d.json") << QString();
    // The shorter document over the longer one: the file is cut to its new length.
    QTest::newRow("htd, harter Link") << QStringLiteral("htd") << QStringLiteral("neu.json") << QStringLiteral("alt.json")
                                      << QStringLiteral("d.htd") << QStringLiteral("alt.htd");
    QTest::newRow("Seite, harter Link") << QStringLiteral("html") << QStringLiteral("alt.htd") << QStringLiteral("neu.htd")
                                        << QStringLiteral("s.htm") << QStringLiteral("-");
}

void TestAbsturz::getoetetBeimErsetzen()
{
    QFETCH(QString, befehl);
    QFETCH(QString, alteQuelle);
    QFETCH(QString, neueQuelle);
    QFETCH(QString, ziel);
    QFETCH(QString, harterLink);
    const bool imPlatz = !harterLink.isEmpty();
    const QString ordner = pfad(befehl + harterLink);
    QVERIFY(QDir().mkpath(ordner));
    const QString zielpfad = ordner + QLatin1Char('/') + ziel;
    const QStringList alteArgumente{befehl, pfad(alteQuelle), zielpfad};
    const QStringList argumente{befehl, pfad(neueQuelle), zielpfad};

    const auto lauf = [](const QStringList &a) {
        int status = 0;
        const pid_t pid = starte(a);
        return pid > 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    };
    QVERIFY(lauf(alteArgumente));
    const QByteArray alt = lies(zielpfad);
    const QString zweiterName = ordner + QStringLiteral("-zweiter Name");
    const QString kopie = zielpfad + QStringLiteral(".markwerk-alt");
    if (imPlatz)
        QCOMPARE(::link(n(zielpfad).c_str(), n(zweiterName).c_str()), 0);

    // One undisturbed run: the new file, and how long it takes.
    QElapsedTimer uhr;
    uhr.start();
    QVERIFY(lauf(argumente));
    const qint64 dauer = uhr.nsecsElapsed() / 1000;
    const QByteArray neu = lies(zielpfad);
    if (harterLink.endsWith(QStringLiteral(".htd")))
        QCOMPARE(neu, lies(pfad(harterLink)));
    QVERIFY(neu.size() > 2000000);
    QVERIFY(alt.size() > 2000000);
    QVERIFY(neu != alt);

    // Three deaths in four come once the process has written a random
    // number of bytes, the others at a random time of its run.
    std::mt19937 zufall(12345);
    const auto zwischen = [&](qint64 von, qint64 bis) { return std::uniform_int_distribution<qint64>(von, bis)(zufall); };
    const int runden = imPlatz ? 30 : 60;
    int alteDatei = 0;
    int neueDatei = 0;
    int beimSchreiben = 0;
    int beschaedigt = 0; // with the whole old content beside it
    for (int runde = 0; runde < runden; ++runde) {
        if (lies(zielpfad) != alt)
            QVERIFY(lauf(alteArgumente));
        const bool nachZeit = runde % 4 == 0;
        const qint64 warten = nachZeit ? zwischen(0, dauer * 11 / 10) : 0;
        // In place the new content is gathered, the old one copied, then written.
        const qint64 schwelle = nachZeit ? 0 : zwischen(1, imPlatz ? 2 * neu.size() + alt.size() : neu.size());

        const pid_t pid = starte(argumente);
        QVERIFY(pid > 0);
        uhr.restart();
        int status = 0;
        bool lebt = true;
        bool angefangen = false;
        qint64 zuletzt = -1;
        qint64 pause = KuerzestePause;
        for (;;) {
            if (::waitpid(pid, &status, WNOHANG) == pid) {
                lebt = false;
                break;
            }
            const qint64 bytes = geschrieben(pid);
            angefangen = bytes > 0;
            if (nachZeit ? uhr.nsecsElapsed() / 1000 >= warten : bytes >= schwelle)
                break;
            if (nachZeit) {
                schlafe(KuerzestePause);
                continue;
            }
            // Looking without a pause would take a core from the process
            // looked at. The pause grows while it writes nothing (it reads,
            // or flushes) and is short again once the count moves, so the
            // death still comes within about one write of the chosen byte.
            pause = bytes == zuletzt ? std::min(2 * pause, LaengstePause) : KuerzestePause;
            zuletzt = bytes;
            schlafe(pause);
        }
        if (lebt) {
            ::kill(pid, SIGKILL);
            QCOMPARE(::waitpid(pid, &status, 0), pid);
        }

        const QByteArray danach = lies(zielpfad);
        // In place a death may leave the file damaged, but then with its
        // whole old content beside it; a copy of a file still whole may be cut short.
        const bool gesichert = QFile::exists(kopie) && lies(kopie) == alt;
        if (QFile::exists(kopie))
            QVERIFY(QFile::remove(kopie));
        if (imPlatz)
            QCOMPARE(lies(zweiterName), danach);
        if (danach != alt && danach != neu && gesichert) {
            ++beschaedigt;
        } else if (danach == alt) {
            ++alteDatei;
            beimSchreiben += angefangen;
        } else if (danach == neu) {
            ++neueDatei;
        } else {
            QFAIL(qPrintable(QStringLiteral("Runde %1 (%2 µs, %3 Bytes): %4 Bytes, weder alt (%5) noch neu (%6)")
                                 .arg(runde)
                                 .arg(warten)
                                 .arg(schwelle)
                                 .arg(danach.size())
                                 .arg(alt.size())
                                 .arg(neu.size())));
        }

        // Whatever is left beside the target holds the whole new content;
        // only a death between naming and renaming can leave it.
        for (const QString &rest : QDir(ordner).entryList(QDir::Files | QDir::Hidden | QDir::System)) {
            if (rest == ziel)
                continue;
            QVERIFY2(rest.startsWith(QLatin1String(".markwerk-")) && !imPlatz, qPrintable(rest));
            QCOMPARE(lies(ordner + QLatin1Char('/') + rest), neu);
            QVERIFY(QFile::remove(ordner + QLatin1Char('/') + rest));
        }
    }
    qInfo("%d-mal alt, davon %d-mal beim Schreiben getötet; %d-mal neu; %d-mal beschädigt mit der alten Kopie daneben",
          alteDatei, beimSchreiben, neueDatei, beschaedigt);
    // Deaths after the writing had begun, with the old file kept, are what
    // this is about; without enough of them nothing was shown.
    QVERIFY(beimSchreiben + beschaedigt >= runden / 6);
}

QTEST_GUILESS_MAIN(TestAbsturz)
#include "tst_absturz.moc"
