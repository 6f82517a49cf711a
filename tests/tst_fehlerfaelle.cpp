// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

// Faults of the file system met through the program's two faces, the main
// window and markwerk-cli: a full disk, a file that vanishes, a folder that
// turns into a file or a file into a folder, missing permissions. Each time
// the user sees the message, the document stays as it was and every file
// that existed before is byte for byte what it was.

#include "definitionsdatei.h"
#include "fehler.h"
#include "gui.h"
#include "hilfen.h"
#include "objektmodell.h"

#include <QAction>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QToolButton>

#include <fcntl.h>
#include <functional>
#include <sys/resource.h>
#include <unistd.h>

using namespace hilfen;
using gui::Programm;

namespace {

// Answers like the scripted answerer, and runs `danach` right after the open
// dialog has named its file: what happens between the dialog and the load.
class Zwischenfall : public gui::Skript
{
public:
    std::function<void()> danach;
    std::optional<QString> dateiOffnen(QWidget *fenster) override
    {
        auto datei = gui::Skript::dateiOffnen(fenster);
        if (datei && danach)
            danach();
        return datei;
    }
};

// What the user sees of the document, to compare before and after.
struct Stand
{
    QStringList zeilen;
    std::vector<Objekt> objekte;
    std::string titel;
    QString dateiname;
    bool geandert = false;

    explicit Stand(const TFrmMarkwerk &f)
        : objekte(f.Objekte().begin(), f.Objekte().end())
        , titel(f.Einstellungen().Titel())
        , dateiname(f.Dateiname())
        , geandert(f.Geandert())
    {
        for (int i = 0; i < f.Modell()->rowCount(); ++i)
            zeilen << f.Modell()->index(i).data().toString();
    }
    friend bool operator==(const Stand &, const Stand &) = default;
};

// Every file below a folder with its content.
QMap<QString, QByteArray> inhalt(const QString &ordner)
{
    QMap<QString, QByteArray> dateien;
    QDirIterator it(ordner, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString datei = it.next();
        dateien.insert(datei, lies(datei));
    }
    return dateien;
}

// While it lives, the process can open no further file: the limit of open
// files is lowered and every descriptor below it is taken. A fault that
// stops root as well.
class KeineFreienDateien
{
public:
    KeineFreienDateien()
    {
        ::getrlimit(RLIMIT_NOFILE, &m_alt);
        rlimit neu = m_alt;
        neu.rlim_cur = std::min<rlim_t>(m_alt.rlim_cur, 512);
        ::setrlimit(RLIMIT_NOFILE, &neu);
        for (int fd; (fd = ::open("/dev/null", O_RDONLY | O_CLOEXEC)) >= 0;)
            m_belegt.push_back(fd);
    }
    ~KeineFreienDateien()
    {
        for (const int fd : m_belegt)
            ::close(fd);
        ::setrlimit(RLIMIT_NOFILE, &m_alt);
    }
    KeineFreienDateien(const KeineFreienDateien &) = delete;
    KeineFreienDateien &operator=(const KeineFreienDateien &) = delete;

private:
    rlimit m_alt{};
    std::vector<int> m_belegt;
};

const QString VollePlatte = QStringLiteral("Kapazität der Diskette/Festplatte erschöpft.");
const QString Verweigert = QStringLiteral("Dateizugriff verweigert.");
const QString Ungueltig = QStringLiteral("Ungültiger Dateiname.");
const QString NichtGefunden = QStringLiteral("Datei nicht gefunden.");

} // namespace

class TestFehlerfaelle : public QObject
{
    Q_OBJECT

private:
    QString pfad(const QString &name) const { return m_dir.filePath(name); }
    // A definition file with three text objects.
    QString datei(const QString &name, const std::string &titel = "Vorher")
    {
        SchreibeDefinition(n(pfad(name)), titel, false, "",
                           Objektliste({{"Text", "A", "a"}, {"Text", "B", "b"}, {"Text", "C", "c"}}));
        return pfad(name);
    }
    // A program with that file open and changed by two new line objects.
    static void offenUndGeaendert(Programm &p, const QString &datei)
    {
        p.skript->offnen = {datei};
        p.fenster->MnuOffnen->trigger();
        p.fenster->BtnLinie->click();
        p.fenster->BtnLinie->click();
    }
    static Lauf cli(const QStringList &argumente, const QString &ausgabe = {})
    {
        return laufe(QStringLiteral(MARKWERK_CLI), argumente, {.ausgabe = ausgabe});
    }

    QTemporaryDir m_dir;

private Q_SLOTS:
    void init();
    void cleanup();

    void speichernVollePlatte();
    void speichernAlsVollePlatte();
    void rueckfrageVollePlatte();
    void generierenVollePlatte();
    void generierenUnmoeglichesZiel_data();
    void generierenUnmoeglichesZiel();
    void generierenKaputteTabelle();
    void offnenZwischenDialogUndLaden_data();
    void offnenZwischenDialogUndLaden();
    void speichernZielVeraendert_data();
    void speichernZielVeraendert();
    void zuVieleOffeneDateien();
    void nichtLesbareDatei();
    void nichtBeschreibbarerOrdner();
    void schreibgeschuetzteDatei();
    void arbeitsordnerEntfernt();

    void cliVollePlatte_data();
    void cliVollePlatte();
    void cliUnmoeglicheZiele_data();
    void cliUnmoeglicheZiele();
    void cliNichtLesbareDatei();
};

void TestFehlerfaelle::init()
{
    // Each case in a folder of its own, so that "nothing else changed" means
    // what it says.
    QVERIFY(QDir(m_dir.path()).removeRecursively());
    QVERIFY(QDir().mkpath(m_dir.path()));
}

void TestFehlerfaelle::cleanup()
{
    gui::keinFensterUebrig();
}

void TestFehlerfaelle::speichernVollePlatte()
{
    Programm p;
    TFrmMarkwerk &f = *p.fenster;
    const QString d = datei(QStringLiteral("voll.htd"));
    offenUndGeaendert(p, d);
    const Stand vorher(f);
    const auto dateien = inhalt(m_dir.path());
    {
        Dateigrenze grenze(100);
        f.BtnSpeichern->click();
        f.MnuSpeichern->trigger();
    }
    QCOMPARE(p.skript->fehlermeldungen, (QStringList{VollePlatte, VollePlatte}));
    QVERIFY(Stand(f) == vorher);
    QVERIFY(f.Geandert());
    QCOMPARE(inhalt(m_dir.path()), dateien);

    // With room again the same document saves.
    f.MnuSpeichern->trigger();
    QVERIFY(!f.Geandert());
    QCOMPARE(LeseDefinition(n(d)).Objekte.size(), std::size_t(5));
}

void TestFehlerfaelle::speichernAlsVollePlatte()
{
    Programm p;
    TFrmMarkwerk &f = *p.fenster;
    const QString d = datei(QStringLiteral("erste.htd"));
    const QString andere = datei(QStringLiteral("andere.htd"), "Andere");
    offenUndGeaendert(p, d);
    const Stand vorher(f);
    const auto dateien = inhalt(m_dir.path());

    // Onto an existing file and onto a new name.
    p.skript->speichern = {andere, pfad(QStringLiteral("neu.htd"))};
    {
        Dateigrenze grenze(100);
        f.MnuSpeichernals->trigger();
        f.MnuSpeichernals->trigger();
    }
    QCOMPARE(p.skript->fehlermeldungen, (QStringList{VollePlatte, VollePlatte}));
    // The current name stays the old one.
    QVERIFY(Stand(f) == vorher);
    QCOMPARE(f.Dateiname(), d);
    QCOMPARE(inhalt(m_dir.path()), dateien);
}

void TestFehlerfaelle::rueckfrageVollePlatte()
{
    // "Ja" to the prompt and the save fails: nothing that follows the prompt
    // happens, whether New, Open or closing the window.
    Programm p;
    TFrmMarkwerk &f = *p.fenster;
    const QString d = datei(QStringLiteral("frage.htd"));
    const QString andere = datei(QStringLiteral("andere.htd"));
    offenUndGeaendert(p, d);
    const Stand vorher(f);
    const auto dateien = inhalt(m_dir.path());
    p.skript->protokoll.clear();
    {
        Dateigrenze grenze(100);
        p.skript->fragen = {true};
        QVERIFY(!f.close());
        QVERIFY(f.isVisible());
        p.skript->fragen = {true};
        f.MnuNeu->trigger();
        p.skript->fragen = {true};
        p.skript->offnen = {andere};
        f.BtnOffnen->click();
    }
    QCOMPARE(p.skript->protokoll, (QStringList{QStringLiteral("frage"), QStringLiteral("fehler"), QStringLiteral("frage"),
                                               QStringLiteral("fehler"), QStringLiteral("frage"), QStringLiteral("fehler")}));
    QCOMPARE(p.skript->fehlermeldungen, (QStringList{VollePlatte, VollePlatte, VollePlatte}));
    QVERIFY(Stand(f) == vorher);
    QCOMPARE(inhalt(m_dir.path()), dateien);

    // An unnamed document: the prompt's save goes through the save dialog.
    p.skript->offnen.clear();
    p.skript->fragen = {false};
    f.MnuNeu->trigger();
    f.BtnLinie->click();
    const Stand unbenannt(f);
    p.skript->fragen = {true};
    p.skript->speichern = {pfad(QStringLiteral("neu.htd"))};
    {
        Dateigrenze grenze(10);
        QVERIFY(!f.close());
    }
    QCOMPARE(p.skript->fehlermeldungen.size(), 4);
    QCOMPARE(p.skript->fehlermeldungen.last(), VollePlatte);
    QVERIFY(Stand(f) == unbenannt);
    QVERIFY(!QFile::exists(pfad(QStringLiteral("neu.htd"))));
}

void TestFehlerfaelle::generierenVollePlatte()
{
    Programm p;
    TFrmMarkwerk &f = *p.fenster;
    const QString d = datei(QStringLiteral("seite.htd"));
    offenUndGeaendert(p, d);
    const QString seite = pfad(QStringLiteral("seite.htm"));
    QVERIFY(schreib(seite, "<HTML>alt</HTML>\r\n"));
    const Stand vorher(f);
    const auto dateien = inhalt(m_dir.path());
    p.skript->generieren = {seite, pfad(QStringLiteral("neu.htm"))};
    {
        Dateigrenze grenze(50);
        f.BtnGenerieren->click();
        f.MnuGenerieren->trigger();
    }
    QCOMPARE(p.skript->fehlermeldungen,
             (QStringList{QStringLiteral("Stream-Write-Fehler."), QStringLiteral("Stream-Write-Fehler.")}));
    QVERIFY(Stand(f) == vorher);
    QCOMPARE(inhalt(m_dir.path()), dateien);
}

void TestFehlerfaelle::generierenUnmoeglichesZiel_data()
{
    QTest::addColumn<QString>("ziel");
    QTest::newRow("unter einer Datei") << QStringLiteral("datei/seite.htm");
    QTest::newRow("ein Ordner") << QStringLiteral("ordner.htm");
    QTest::newRow("Ordner fehlt") << QStringLiteral("fehlt/seite.htm");
}

void TestFehlerfaelle::generierenUnmoeglichesZiel()
{
    QFETCH(QString, ziel);
    QVERIFY(schreib(pfad(QStringLiteral("datei")), "x"));
    QVERIFY(QDir().mkpath(pfad(QStringLiteral("ordner.htm"))));
    Programm p;
    TFrmMarkwerk &f = *p.fenster;
    f.BtnLinie->click();
    const Stand vorher(f);
    const auto dateien = inhalt(m_dir.path());
    p.skript->generieren = {pfad(ziel)};
    f.BtnGenerieren->click();
    QCOMPARE(p.skript->fehlermeldungen,
             QStringList{QStringLiteral("Datei %1 kann nicht erstellt werden.").arg(pfad(ziel))});
    QVERIFY(Stand(f) == vorher);
    QCOMPARE(inhalt(m_dir.path()), dateien);
    QVERIFY(QFileInfo(pfad(QStringLiteral("ordner.htm"))).isDir());
}

void TestFehlerfaelle::generierenKaputteTabelle()
{
    // Table data that cannot be read stops the page before its file is touched.
    const QString d = pfad(QStringLiteral("kaputt.htd"));
    SchreibeDefinition(n(d), "T", false, "",
                       Objektliste({{"Linie", "Linie", "Linie"}, {"Tabelle", "Preise", "x\xF0" "2\xF0" "a\xF0" "b\xF0"}}));
    const QString seite = pfad(QStringLiteral("kaputt.htm"));
    QVERIFY(schreib(seite, "alt"));
    Programm p({d});
    TFrmMarkwerk &f = *p.fenster;
    const Stand vorher(f);
    p.skript->generieren = {seite};
    f.MnuGenerieren->trigger();
    QCOMPARE(p.skript->fehlermeldungen, QStringList{QStringLiteral("'x' ist kein gültiger Integerwert.")});
    QCOMPARE(lies(seite), QByteArray("alt"));
    QVERIFY(Stand(f) == vorher);
}

void TestFehlerfaelle::offnenZwischenDialogUndLaden_data()
{
    QTest::addColumn<int>("was");
    QTest::addColumn<QString>("meldung");
    QTest::newRow("Datei gelöscht") << 0 << NichtGefunden;
    QTest::newRow("Ordner gelöscht") << 1 << Ungueltig;
    QTest::newRow("Datei wird Ordner") << 2 << Verweigert;
    QTest::newRow("Datei abgeschnitten") << 3 << QStringLiteral("Lesen nach Dateiende (EOF)");
}

void TestFehlerfaelle::offnenZwischenDialogUndLaden()
{
    // The open dialog saw the file; by the time it is read it has changed.
    QFETCH(int, was);
    QFETCH(QString, meldung);
    const QString ordner = pfad(QStringLiteral("ordner"));
    QVERIFY(QDir().mkpath(ordner));
    const QString ziel = datei(QStringLiteral("ordner/ziel.htd"), "Ziel");
    const QString d = datei(QStringLiteral("offen.htd"));

    Programm p;
    TFrmMarkwerk &f = *p.fenster;
    offenUndGeaendert(p, d);
    auto zwischenfall = std::make_unique<Zwischenfall>();
    Zwischenfall &z = *zwischenfall;
    f.setzeRueckfragen(std::move(zwischenfall));
    z.danach = [&] {
        switch (was) {
        case 0:
            QFile::remove(ziel);
            break;
        case 1:
            QDir(ordner).removeRecursively();
            break;
        case 2:
            QFile::remove(ziel);
            QDir().mkpath(ziel);
            break;
        default:
            schreib(ziel, lies(ziel).left(30));
        }
    };
    const Stand vorher(f);
    z.fragen = {false};
    z.offnen = {ziel};
    f.BtnOffnen->click();
    QCOMPARE(z.fehlermeldungen, QStringList{meldung});
    QVERIFY(Stand(f) == vorher);
    QCOMPARE(LeseDefinition(n(d)).Objekte.size(), std::size_t(3));
}

void TestFehlerfaelle::speichernZielVeraendert_data()
{
    QTest::addColumn<int>("was");
    QTest::addColumn<QString>("meldung");
    QTest::newRow("Ordner gelöscht") << 0 << Ungueltig;
    QTest::newRow("Ordner wird Datei") << 1 << Ungueltig;
    QTest::newRow("Datei wird Ordner") << 2 << Verweigert;
}

void TestFehlerfaelle::speichernZielVeraendert()
{
    // The document's file, or its folder, is no longer what it was when it
    // was opened; Save (and so the prompt on closing) must fail cleanly.
    QFETCH(int, was);
    QFETCH(QString, meldung);
    const QString ordner = pfad(QStringLiteral("ordner"));
    QVERIFY(QDir().mkpath(ordner));
    const QString d = datei(QStringLiteral("ordner/d.htd"));
    Programm p;
    TFrmMarkwerk &f = *p.fenster;
    offenUndGeaendert(p, d);
    switch (was) {
    case 0:
        QVERIFY(QDir(ordner).removeRecursively());
        break;
    case 1:
        QVERIFY(QDir(ordner).removeRecursively());
        QVERIFY(schreib(ordner, "keine Definition"));
        break;
    default:
        QVERIFY(QFile::remove(d));
        QVERIFY(QDir().mkpath(d));
    }
    const Stand vorher(f);
    const auto dateien = inhalt(m_dir.path());
    f.BtnSpeichern->click();
    p.skript->fragen = {true};
    QVERIFY(!f.close());
    QCOMPARE(p.skript->fehlermeldungen, (QStringList{meldung, meldung}));
    QVERIFY(Stand(f) == vorher);
    QCOMPARE(inhalt(m_dir.path()), dateien);

    // Save As to a sound place keeps the work.
    p.skript->speichern = {pfad(QStringLiteral("gerettet.htd"))};
    f.MnuSpeichernals->trigger();
    QCOMPARE(LeseDefinition(n(pfad(QStringLiteral("gerettet.htd")))).Objekte.size(), std::size_t(5));
    QVERIFY(f.close());
}

void TestFehlerfaelle::zuVieleOffeneDateien()
{
#ifdef MARKWERK_SANITIZER
    // UndefinedBehaviorSanitizer checks a vtable through a pipe it opens; with
    // no descriptor left it takes every object for a broken one.
    QSKIP("the sanitizer itself needs free file descriptors");
#endif
    Programm p;
    TFrmMarkwerk &f = *p.fenster;
    const QString d = datei(QStringLiteral("offen.htd"));
    const QString andere = datei(QStringLiteral("andere.htd"));
    const QString seite = pfad(QStringLiteral("offen.htm"));
    QVERIFY(schreib(seite, "alt"));
    offenUndGeaendert(p, d);
    const Stand vorher(f);
    const auto dateien = inhalt(m_dir.path());
    p.skript->speichern = {pfad(QStringLiteral("neu.htd"))};
    p.skript->fragen = {false};
    p.skript->offnen = {andere};
    p.skript->generieren = {seite};
    {
        KeineFreienDateien keine;
        f.BtnSpeichern->click();
        f.MnuSpeichernals->trigger();
        f.BtnOffnen->click();
        f.BtnGenerieren->click();
    }
    const QString zuViele = QStringLiteral("Zu viele Dateien geöffnet.");
    QCOMPARE(p.skript->fehlermeldungen,
             (QStringList{zuViele, zuViele, zuViele, QStringLiteral("Datei %1 kann nicht erstellt werden.").arg(seite)}));
    QVERIFY(Stand(f) == vorher);
    QCOMPARE(inhalt(m_dir.path()), dateien);

    f.BtnSpeichern->click();
    QVERIFY(!f.Geandert());
}

void TestFehlerfaelle::nichtLesbareDatei()
{
    if (::geteuid() == 0)
        QSKIP("root may read every file");
    const QString d = datei(QStringLiteral("geheim.htd"));
    QVERIFY(QFile::setPermissions(d, QFile::WriteOwner));

    Programm start({d});
    QCOMPARE(start.skript->fehlermeldungen, QStringList{Verweigert});
    QCOMPARE(start.fenster->Dateiname(), TFrmMarkwerk::KeinDateiname);
    QCOMPARE(start.fenster->Objekte().Anzahl(), 0);

    Programm p;
    TFrmMarkwerk &f = *p.fenster;
    f.BtnLinie->click();
    const Stand vorher(f);
    p.skript->fragen = {false};
    p.skript->offnen = {d};
    f.MnuOffnen->trigger();
    QCOMPARE(p.skript->fehlermeldungen, QStringList{Verweigert});
    QVERIFY(Stand(f) == vorher);
}

void TestFehlerfaelle::nichtBeschreibbarerOrdner()
{
    if (::geteuid() == 0)
        QSKIP("root may write into every folder");
    // Files the user may write are written in place; a new file cannot be made.
    const QString ordner = pfad(QStringLiteral("geschuetzt"));
    QVERIFY(QDir().mkpath(ordner));
    const QString d = datei(QStringLiteral("geschuetzt/d.htd"));
    const QString seite = ordner + QStringLiteral("/d.htm");
    QVERIFY(schreib(seite, "alt"));
    Programm p;
    TFrmMarkwerk &f = *p.fenster;
    offenUndGeaendert(p, d);
    QVERIFY(QFile::setPermissions(ordner, QFile::ReadOwner | QFile::ExeOwner));

    f.BtnSpeichern->click();
    QVERIFY(!f.Geandert());
    f.BtnLinie->click();
    const Stand vorher(f);
    p.skript->speichern = {ordner + QStringLiteral("/neu.htd")};
    f.MnuSpeichernals->trigger();
    p.skript->generieren = {seite};
    f.BtnGenerieren->click();
    QFile::setPermissions(ordner, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    QCOMPARE(p.skript->fehlermeldungen, QStringList{Verweigert});
    QVERIFY(Stand(f) == vorher);
    QCOMPARE(LeseDefinition(n(d)).Objekte.size(), std::size_t(5));
    QVERIFY(lies(seite).startsWith("<HTML>"));
    QCOMPARE(QDir(ordner).entryList(QDir::Files | QDir::Hidden), (QStringList{QStringLiteral("d.htd"), QStringLiteral("d.htm")}));
}

void TestFehlerfaelle::schreibgeschuetzteDatei()
{
    // The folder would allow replacing it; the file's own protection wins.
    // markwerk-cli runs as nobody where the tests run as root, with the
    // folder and the file nobody's.
    const QString d = datei(QStringLiteral("schutz.htd"));
    QCOMPARE(cli({QStringLiteral("json"), d, pfad(QStringLiteral("s.json"))}).code, 0);
    QVERIFY(QFile::setPermissions(d, QFile::ReadOwner));
    if (::geteuid() == 0) {
        QCOMPARE(::chown(n(m_dir.path()).c_str(), 65534, 65534), 0);
        QCOMPARE(::chown(n(d).c_str(), 65534, 65534), 0);
    }
    const QByteArray alt = lies(d);
    const auto vorherCli = inhalt(m_dir.path());
    const Lauf l = laufe(QStringLiteral(MARKWERK_CLI), {QStringLiteral("htd"), pfad(QStringLiteral("s.json")), d},
                         {.vorne = ohneRoot()});
    QCOMPARE(l.fehler, "markwerk-cli: " + QFile::encodeName(d) + ": Dateizugriff verweigert.\n");
    QCOMPARE(lies(d), alt);
    QCOMPARE(inhalt(m_dir.path()), vorherCli);
    if (::geteuid() == 0)
        QSKIP("root may write every file");
    Programm p;
    TFrmMarkwerk &f = *p.fenster;
    offenUndGeaendert(p, d);
    const Stand vorher(f);
    const auto dateien = inhalt(m_dir.path());
    f.BtnSpeichern->click();
    QCOMPARE(p.skript->fehlermeldungen, QStringList{Verweigert});
    QVERIFY(Stand(f) == vorher);
    QCOMPARE(inhalt(m_dir.path()), dateien);
    QFile::setPermissions(d, QFile::ReadOwner | QFile::WriteOwner);
}

void TestFehlerfaelle::arbeitsordnerEntfernt()
{
    // Started with a relative name in a folder that is removed meanwhile.
    const QString ordner = pfad(QStringLiteral("bald weg"));
    QVERIFY(QDir().mkpath(ordner));
    datei(QStringLiteral("bald weg/d.htd"));
    const QString arbeitsordner = QDir::currentPath();
    const auto zurueck = qScopeGuard([&] { QDir::setCurrent(arbeitsordner); });
    QVERIFY(QDir::setCurrent(ordner));
    Programm p({QStringLiteral("d.htd")});
    QVERIFY(QDir(ordner).removeRecursively());
    p.fenster->BtnSpeichern->click();
    QCOMPARE(p.skript->fehlermeldungen, QStringList{Ungueltig});
}

void TestFehlerfaelle::cliVollePlatte_data()
{
    QTest::addColumn<QString>("befehl");
    QTest::addColumn<bool>("aufStandardausgabe");
    QTest::addColumn<QByteArray>("meldung");
    QTest::newRow("htd") << QStringLiteral("htd") << false << QByteArray("Kapazität der Diskette/Festplatte erschöpft.");
    QTest::newRow("html") << QStringLiteral("html") << false << QByteArray("Stream-Write-Fehler.");
    QTest::newRow("json") << QStringLiteral("json") << false << QByteArray("Kapazität der Diskette/Festplatte erschöpft.");
    QTest::newRow("json auf die Standardausgabe") << QStringLiteral("json") << true << QByteArray("Stream-Write-Fehler.");
}

void TestFehlerfaelle::cliVollePlatte()
{
    QFETCH(QString, befehl);
    QFETCH(bool, aufStandardausgabe);
    QFETCH(QByteArray, meldung);
    const QString htd = datei(QStringLiteral("quelle.htd"));
    QVERIFY(cli({QStringLiteral("json"), htd, pfad(QStringLiteral("quelle.json"))}).code == 0);
    const QString quelle = befehl == QStringLiteral("htd") ? pfad(QStringLiteral("quelle.json")) : htd;
    // The old target: a file of the same kind, small enough to fit.
    const QString ziel = pfad(QStringLiteral("ziel"));
    QVERIFY(schreib(ziel, "alt"));
    const auto dateien = inhalt(m_dir.path());

    const QString ausgabe = pfad(QStringLiteral("ausgabe"));
    Lauf l;
    {
        // The limit passes to the child, with SIGXFSZ still ignored.
        Dateigrenze grenze(40);
        l = aufStandardausgabe ? cli({befehl, quelle}, ausgabe) : cli({befehl, quelle, ziel});
    }
    QCOMPARE(l.code, 1);
    const QByteArray name = aufStandardausgabe ? QByteArray("Standardausgabe") : QFile::encodeName(ziel);
    QCOMPARE(l.fehler, "markwerk-cli: " + name + ": " + meldung + "\n");
    QFile::remove(ausgabe);
    QCOMPARE(inhalt(m_dir.path()), dateien);
}

void TestFehlerfaelle::cliUnmoeglicheZiele_data()
{
    QTest::addColumn<QString>("ziel");
    QTest::addColumn<QByteArray>("htd"); // the message of "htd" and "json"; "html" names the file
    QTest::newRow("ein Ordner") << QStringLiteral("ordner") << QByteArray("Dateizugriff verweigert.");
    QTest::newRow("unter einer Datei") << QStringLiteral("datei/x") << QByteArray("Ungültiger Dateiname.");
    QTest::newRow("Ordner fehlt") << QStringLiteral("fehlt/x") << QByteArray("Ungültiger Dateiname.");
}

void TestFehlerfaelle::cliUnmoeglicheZiele()
{
    QFETCH(QString, ziel);
    QFETCH(QByteArray, htd);
    const QString quelle = datei(QStringLiteral("quelle.htd"));
    QVERIFY(cli({QStringLiteral("json"), quelle, pfad(QStringLiteral("quelle.json"))}).code == 0);
    QVERIFY(schreib(pfad(QStringLiteral("datei")), "x"));
    QVERIFY(QDir().mkpath(pfad(QStringLiteral("ordner"))));
    const auto dateien = inhalt(m_dir.path());

    const QString z = pfad(ziel);
    const struct
    {
        QStringList argumente;
        QByteArray meldung;
    } faelle[] = {
        {{QStringLiteral("htd"), pfad(QStringLiteral("quelle.json")), z}, htd},
        {{QStringLiteral("json"), quelle, z}, htd},
        {{QStringLiteral("html"), quelle, z}, "Datei " + QFile::encodeName(z) + " kann nicht erstellt werden."},
    };
    for (const auto &fall : faelle) {
        const Lauf l = cli(fall.argumente);
        QCOMPARE(l.code, 1);
        QCOMPARE(l.fehler, "markwerk-cli: " + QFile::encodeName(z) + ": " + fall.meldung + "\n");
        QCOMPARE(inhalt(m_dir.path()), dateien);
    }
    QVERIFY(QFileInfo(pfad(QStringLiteral("ordner"))).isDir());

    // A folder as the input.
    for (const QString &befehl : {QStringLiteral("htd"), QStringLiteral("json"), QStringLiteral("html")}) {
        const Lauf l = cli({befehl, pfad(QStringLiteral("ordner")), pfad(QStringLiteral("neu"))});
        QCOMPARE(l.code, 1);
        QCOMPARE(l.fehler, "markwerk-cli: " + QFile::encodeName(pfad(QStringLiteral("ordner"))) + ": Dateizugriff verweigert.\n");
    }
    QCOMPARE(inhalt(m_dir.path()), dateien);
}

void TestFehlerfaelle::cliNichtLesbareDatei()
{
    // As nobody where the tests run as root.
    const QString d = datei(QStringLiteral("geheim.htd"));
    QVERIFY(QFile::setPermissions(d, QFile::WriteOwner));
    QVERIFY(schreib(pfad(QStringLiteral("ziel.htm")), "alt"));
    const Lauf l = laufe(QStringLiteral(MARKWERK_CLI), {QStringLiteral("html"), d, pfad(QStringLiteral("ziel.htm"))},
                         {.vorne = ohneRoot()});
    QCOMPARE(l.code, 1);
    QCOMPARE(l.fehler, "markwerk-cli: " + QFile::encodeName(d) + ": Dateizugriff verweigert.\n");
    QCOMPARE(lies(pfad(QStringLiteral("ziel.htm"))), QByteArray("alt"));
}

MARKWERK_GUI_TEST(TestFehlerfaelle)
#include "tst_fehlerfaelle.moc"
