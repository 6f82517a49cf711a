// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// Helpers shared by the tests: files, the worked example, a full disk.

#include "einstellungen.h"
#include "objektliste.h"

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QString>
#include <QTest>
#include <QtEndian>

#include <csignal>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

// What QCOMPARE shows of an object's string when it differs.
inline char *toString(const Kette &k)
{
    return qstrdup(k.str().c_str());
}

namespace hilfen {

inline QByteArray lies(const QString &pfad)
{
    QFile f(pfad);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

inline bool schreib(const QString &pfad, const QByteArray &inhalt)
{
    QFile f(pfad);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(inhalt) == inhalt.size();
}

inline std::string n(const QString &pfad)
{
    return QFile::encodeName(pfad).toStdString();
}

// Object i of a list. One that is not there fails the running test, also
// inside a modal window's callback, instead of reading past the end and
// taking every later test with it.
inline Objekt objekt(const Objektliste &liste, int i)
{
    if (i < 0 || i >= liste.Anzahl()) {
        QTest::qFail(qPrintable(QStringLiteral("Objekt %1 fehlt, die Liste hat %2").arg(i).arg(liste.Anzahl())),
                     __FILE__, __LINE__);
        return {};
    }
    return liste[i];
}

// What a run of a program left: its exit code (-1 when it did not end by
// itself), its standard output and its standard error.
struct Lauf
{
    int code = -1;
    QByteArray aus;
    QByteArray fehler;
};

// How a program is run: through `vorne` (setpriv, unshare), in `ordner`,
// with `eingabe` on its standard input and its standard output into the file
// `ausgabe` where one is named; killed after `frist` milliseconds, so that a
// program that waits for ever (on a FIFO, on /proc/kmsg) fails its test
// instead of hanging the suite.
struct Aufruf
{
    QStringList vorne = {};
    QString ordner = {};
    QByteArray eingabe = {};
    QString ausgabe = {};
    int frist = 60000;
};

// What runs a program as the user nobody when the tests run as root, who
// may read and write every file, so that a refusal is checked there too;
// nothing for anyone else.
inline QStringList ohneRoot()
{
    if (::geteuid() != 0)
        return {};
    return {QStringLiteral("setpriv"), QStringLiteral("--reuid=nobody"), QStringLiteral("--regid=nogroup"),
            QStringLiteral("--clear-groups")};
}

inline Lauf laufe(const QString &programm, const QStringList &argumente, const Aufruf &wie = {})
{
    QProcess p;
    if (!wie.ordner.isEmpty())
        p.setWorkingDirectory(wie.ordner);
    if (!wie.ausgabe.isEmpty())
        p.setStandardOutputFile(wie.ausgabe);
    QStringList alle = wie.vorne;
    alle << programm << argumente;
    p.start(alle.takeFirst(), alle);
    p.write(wie.eingabe);
    p.closeWriteChannel();
    p.waitForFinished(wie.frist);
    // A program still running has no exit code yet, though QProcess says 0.
    const bool laeuft = p.state() != QProcess::NotRunning;
    if (laeuft) {
        p.kill();
        p.waitForFinished();
    }
    return {!laeuft && p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
            p.readAllStandardError()};
}

// While it lives, the test process ends after `sekunden` with a message: a
// program that stops refusing a pipe and waits for its other end fails the
// suite at once instead of hanging it.
class Frist
{
public:
    explicit Frist(unsigned sekunden)
    {
        std::signal(SIGALRM, [](int) {
            static const char text[] = "Frist abgelaufen: der Test wartet auf eine Pipe\n";
            (void)!::write(2, text, sizeof text - 1);
            ::_exit(1);
        });
        ::alarm(sekunden);
    }
    ~Frist() { ::alarm(0); }
    Frist(const Frist &) = delete;
    Frist &operator=(const Frist &) = delete;
};

// Records of a definition file, 32 bits little-endian each.
inline QByteArray saetze(std::initializer_list<qint32> werte)
{
    QByteArray b;
    for (const qint32 w : werte) {
        char s[4];
        qToLittleEndian(w, s);
        b.append(s, 4);
    }
    return b;
}

inline QByteArray zeichenkette(const QByteArray &text)
{
    QByteArray b = saetze({qint32(text.size())});
    for (const char c : text)
        b += saetze({qint32(static_cast<unsigned char>(c))});
    return b;
}

// The price list: title, background, an image, a text, a 2x2 table, a line
// and a link.
inline Objektliste preisliste()
{
    Objektliste l;
    l.anhaengen({"Bild", "Logo", "C:\\BILDER\\LOGO.GIF"});
    l.anhaengen({"Text", "Einleitung", "Unsere Preise: "});
    l.anhaengen({"Tabelle", "Preise", "2\xF0" "2\xF0" "Name\xF0" "Preis\xF0" "Brot\xF0" " \xF0"});
    l.anhaengen({"Linie", "Linie", "Linie"});
    l.anhaengen({"Link", "Startseite", "index.htm"});
    return l;
}

inline void preislistenEinstellungen(Speichereinstellungen &e)
{
    e.setzeTitel("Preisliste");
    e.setzeHintergrundAktiv(true);
    e.wendeHintergrundpfadAn("C:\\BILDER\\HINTER.GIF");
}

inline const QByteArray preislistenSeite =
    "<HTML>\r\n<HEAD>\r\n<TITLE>Preisliste</TITLE>\r\n</HEAD>\r\n"
    "<BODY BACKGROUND=\"C:\\BILDER\\HINTER.GIF\">\r\n"
    "<IMG SRC=\"C:\\BILDER\\LOGO.GIF\" ALT=\"Logo\">\r\n"
    "<BR><P>Unsere Preise: <BR><P>\r\n"
    "<TABLE BORDER>\r\n<TR>\r\n<TD>Name\r\n<TD>Preis\r\n</TR>\r\n<TR>\r\n<TD>Brot\r\n<TD> \r\n</TR>\r\n</TABLE>\r\n"
    "<HR>\r\n<A HREF=\"index.htm\">Startseite</A>\r\n</BODY>\r\n</HTML>\r\n";

// While it lives, no file of this process can grow beyond `bytes`: a full
// disk that also stops root. Writes past the limit fail with EFBIG.
class Dateigrenze
{
public:
    explicit Dateigrenze(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_alt);
        m_altesSignal = std::signal(SIGXFSZ, SIG_IGN);
        rlimit neu = m_alt;
        neu.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &neu);
    }
    ~Dateigrenze()
    {
        setrlimit(RLIMIT_FSIZE, &m_alt);
        std::signal(SIGXFSZ, m_altesSignal);
    }
    Dateigrenze(const Dateigrenze &) = delete;
    Dateigrenze &operator=(const Dateigrenze &) = delete;

private:
    rlimit m_alt{};
    void (*m_altesSignal)(int) = nullptr;
};

} // namespace hilfen
