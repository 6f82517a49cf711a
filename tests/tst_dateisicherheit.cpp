// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

// Where a save could lose a file without a failure to show for it: pipes and
// devices as targets, the page written over its own definition file, long
// names, attributes, files that can only be written in place, another
// program's changes, texts too long to be shown, file names that are not
// UTF-8, a flush that fails.

#include "definitionsdatei.h"
#include "gui.h"
#include "hilfen.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QToolButton>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <filesystem>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/sysmacros.h>
#include <sys/xattr.h>
#include <unistd.h>

using namespace hilfen;
using gui::Programm;

// Every flush of this process fails while this is set: a disk that reports
// an error at the last moment.
static std::atomic<bool> flushScheitert{false};
extern "C" int fdatasync(int fd)
{
    if (flushScheitert) {
        errno = EIO;
        return -1;
    }
    return int(::syscall(SYS_fdatasync, fd));
}

namespace {

// markwerk-cli, optionally through a wrapper such as setpriv or unshare.
Lauf cli(const QStringList &argumente, const QStringList &vorne = {})
{
    return laufe(QStringLiteral(MARKWERK_CLI), argumente, {.vorne = vorne});
}

mode_t art(const QString &pfad)
{
    struct stat st;
    return ::lstat(QFile::encodeName(pfad).constData(), &st) == 0 ? st.st_mode & S_IFMT : 0;
}

ino_t knoten(const QString &pfad)
{
    struct stat st;
    return ::stat(QFile::encodeName(pfad).constData(), &st) == 0 ? st.st_ino : 0;
}

QByteArray attribut(const QString &pfad, const char *name)
{
    char wert[256];
    const ssize_t n = ::getxattr(QFile::encodeName(pfad).constData(), name, wert, sizeof wert);
    return n < 0 ? QByteArray() : QByteArray(wert, n);
}

// An access ACL that gives the user nobody read and write.
QByteArray aclFuerNobody()
{
    QByteArray acl = saetze({2});
    const auto eintrag = [&](quint16 tag, quint16 rechte, quint32 id) {
        acl += QByteArray(reinterpret_cast<const char *>(&tag), 2) + QByteArray(reinterpret_cast<const char *>(&rechte), 2)
               + saetze({qint32(id)});
    };
    eintrag(0x01, 6, quint32(-1));
    eintrag(0x02, 6, 65534);
    eintrag(0x04, 4, quint32(-1));
    eintrag(0x10, 6, quint32(-1));
    eintrag(0x20, 4, quint32(-1));
    return acl;
}

const QString Verweigert = QStringLiteral("Dateizugriff verweigert.");

} // namespace

class TestDateisicherheit : public QObject
{
    Q_OBJECT

private:
    QString pfad(const QString &name) const { return m_dir.filePath(name); }
    // The price list as a definition file; its page is preislistenSeite.
    QString preislistenDatei(const QString &name)
    {
        Speichereinstellungen e;
        preislistenEinstellungen(e);
        Sichern(n(pfad(name)), e, preisliste());
        return pfad(name);
    }
    // The same without the background, whose picture the program would
    // miss at every load.
    QString dokument(const QString &name)
    {
        SchreibeDefinition(n(pfad(name)), "Preisliste", false, "", preisliste());
        return pfad(name);
    }
    QTemporaryDir m_dir;

private Q_SLOTS:
    void init();
    void cleanup();

    void cliSchreibtInSonderziele_data();
    void cliSchreibtInSonderziele();
    void programmVerweigertSonderziele();
    void ausgabeIstEingabe();
    void langerName();
    void attributeBleiben();
    void imPlatz_data();
    void imPlatz();
    void harterLinkImPlatz();
    void altkopieBleibt_data();
    void altkopieBleibt();
    void geschuetzteVerweise_data();
    void geschuetzteVerweise();
    void keineSonderrechte_data();
    void keineSonderrechte();
    void fremdeAenderung_data();
    void fremdeAenderung();
    void zuLangeTexte_data();
    void zuLangeTexte();
    void flushScheitertVorDemErsetzen();
    void dateinameNichtUtf8();
    void qtNimmtKeineArgumente();
};

void TestDateisicherheit::init()
{
    QVERIFY(QDir(m_dir.path()).removeRecursively());
    QVERIFY(QDir().mkpath(m_dir.path()));
    // Reachable for the user nobody.
    QVERIFY(QFile::setPermissions(m_dir.path(), QFile::Permissions(0x7755)));
}

void TestDateisicherheit::cleanup()
{
    gui::keinFensterUebrig();
}

void TestDateisicherheit::cliSchreibtInSonderziele_data()
{
    QTest::addColumn<int>("was");
    QTest::newRow("benannte Pipe mit Leser") << 0;
    QTest::newRow("Gerätedatei") << 1;
    QTest::newRow("Verweis auf /proc/self/fd/1") << 2;
    QTest::newRow("relativer Verweis auf /proc/self/fd/1") << 3;
}

void TestDateisicherheit::cliSchreibtInSonderziele()
{
    QFETCH(int, was);
    const QString quelle = preislistenDatei(QStringLiteral("p.htd"));
    const QString ziel = pfad(QStringLiteral("ziel"));
    const QByteArray z = QFile::encodeName(ziel);
    if (was == 0)
        QCOMPARE(::mkfifo(z.constData(), 0644), 0);
    if (was == 1 && ::mknod(z.constData(), S_IFCHR | 0666, makedev(1, 3)) != 0)
        QSKIP("no right to make a device node");
    if (was == 2)
        QVERIFY(QFile::link(QStringLiteral("/proc/self/fd/1"), ziel));
    if (was == 3)
        QCOMPARE(::symlink(QFile::encodeName(QDir(m_dir.path()).relativeFilePath(QStringLiteral("/proc/self/fd/1"))).constData(), z.constData()), 0);
    const mode_t vorher = art(ziel);

    // The pipe's reader is there before the writer; the page fits into the
    // pipe's buffer.
    const int leser = was == 0 ? ::open(z.constData(), O_RDONLY | O_NONBLOCK) : -1;
    const Lauf l = cli({QStringLiteral("html"), quelle, ziel});
    QByteArray gelesen(1 << 16, '\0');
    if (leser >= 0) {
        gelesen.resize(std::max<ssize_t>(0, ::read(leser, gelesen.data(), std::size_t(gelesen.size()))));
        ::close(leser);
    }
    QCOMPARE(l.fehler, QByteArray());
    QCOMPARE(l.code, 0);
    QCOMPARE(art(ziel), vorher);
    if (was == 0)
        QCOMPARE(gelesen, preislistenSeite);
    if (was >= 2)
        QCOMPARE(l.aus, preislistenSeite);
}

void TestDateisicherheit::programmVerweigertSonderziele()
{
    const QString fifo = pfad(QStringLiteral("rohr"));
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0644), 0);
    const Frist frist(60);
    Programm p;
    p.fenster->BtnLinie->click();
    p.skript->speichern = {fifo};
    p.skript->generieren = {fifo};
    p.fenster->MnuSpeichernals->trigger();
    p.fenster->BtnGenerieren->click();
    QCOMPARE(p.skript->fehlermeldungen, (QStringList{Verweigert, Verweigert}));
    QCOMPARE(art(fifo), mode_t(S_IFIFO));
    QCOMPARE(p.fenster->Dateiname(), TFrmMarkwerk::KeinDateiname);
    QVERIFY(p.fenster->Geandert());
}

void TestDateisicherheit::ausgabeIstEingabe()
{
    const QString d = dokument(QStringLiteral("a.htd"));
    QVERIFY(QFile::link(d, pfad(QStringLiteral("verweis.htd"))));
    QVERIFY(cli({QStringLiteral("json"), d, pfad(QStringLiteral("a.json"))}).code == 0);
    const QByteArray htd = lies(d), json = lies(pfad(QStringLiteral("a.json")));
    for (const QStringList &a : {QStringList{QStringLiteral("html"), d, d},
                                 QStringList{QStringLiteral("json"), d, pfad(QStringLiteral("verweis.htd"))},
                                 QStringList{QStringLiteral("htd"), pfad(QStringLiteral("a.json")), pfad(QStringLiteral("a.json"))}}) {
        const Lauf l = cli(a);
        QCOMPARE(l.code, 1);
        QVERIFY2(l.fehler.contains("ist die Eingabedatei selbst"), l.fehler.constData());
    }
    QCOMPARE(lies(d), htd);
    QCOMPARE(lies(pfad(QStringLiteral("a.json"))), json);

    // In the program: the page over the open document's file, also through a link.
    Programm p({d});
    p.fenster->BtnLinie->click();
    p.skript->generieren = {d, pfad(QStringLiteral("verweis.htd"))};
    p.fenster->BtnGenerieren->click();
    p.fenster->MnuGenerieren->trigger();
    QCOMPARE(p.skript->fehlermeldungen.size(), 2);
    QVERIFY(p.skript->fehlermeldungen.constFirst().contains(d + QStringLiteral("“ geschrieben werden: sie ist die Definitionsdatei")));
    QCOMPARE(lies(d), htd);
    QVERIFY(p.fenster->Geandert());
}

void TestDateisicherheit::langerName()
{
    // 244 bytes: a name near the longest the file system takes.
    const QString lang = QString(120, QChar(u'ä'));
    Programm p;
    p.fenster->BtnLinie->click();
    p.skript->speichern = {pfad(lang + QStringLiteral(".htd"))};
    p.skript->generieren = {pfad(lang + QStringLiteral(".htm"))};
    p.fenster->MnuSpeichernals->trigger();
    p.fenster->BtnGenerieren->click();
    QCOMPARE(p.skript->fehlermeldungen, QStringList());
    QCOMPARE(LeseDefinition(n(pfad(lang + QStringLiteral(".htd")))).Objekte.size(), std::size_t(1));
    QVERIFY(lies(pfad(lang + QStringLiteral(".htm"))).contains("<HR>"));
    QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
}

void TestDateisicherheit::attributeBleiben()
{
    const QString d = dokument(QStringLiteral("a.htd"));
    const QByteArray z = QFile::encodeName(d);
    if (::setxattr(z.constData(), "user.markwerk", "rot", 3, 0) != 0)
        QSKIP("no extended attributes on this file system");
    const QByteArray acl = aclFuerNobody();
    QCOMPARE(::setxattr(z.constData(), "system.posix_acl_access", acl.constData(), std::size_t(acl.size()), 0), 0);
    const QByteArray aclVorher = attribut(d, "system.posix_acl_access");

    Programm p({d});
    p.fenster->BtnLinie->click();
    p.fenster->BtnSpeichern->click();
    QVERIFY(cli({QStringLiteral("json"), d, pfad(QStringLiteral("a.json"))}).code == 0);
    QVERIFY(cli({QStringLiteral("htd"), pfad(QStringLiteral("a.json")), d}).code == 0);
    QCOMPARE(p.skript->fehlermeldungen, QStringList());
    QCOMPARE(LeseDefinition(n(d)).Objekte.size(), std::size_t(6));
    QCOMPARE(attribut(d, "user.markwerk"), QByteArray("rot"));
    QCOMPARE(attribut(d, "system.posix_acl_access"), aclVorher);
}

void TestDateisicherheit::imPlatz_data()
{
    QTest::addColumn<bool>("eingehaengt");
    QTest::newRow("Ordner nicht beschreibbar") << false;
    QTest::newRow("Datei einzeln eingehängt") << true;
}

void TestDateisicherheit::imPlatz()
{
    QFETCH(bool, eingehaengt);
    const QString ordner = pfad(QStringLiteral("ordner"));
    QVERIFY(QDir().mkpath(ordner));
    const QString d = ordner + QStringLiteral("/d.htd");
    SchreibeDefinition(n(d), "Alt", false, "", Objektliste());
    QVERIFY(cli({QStringLiteral("json"), preislistenDatei(QStringLiteral("neu.htd")), pfad(QStringLiteral("neu.json"))}).code == 0);
    const ino_t vorher = knoten(d);
    QStringList vorne;
    if (eingehaengt) {
        // d.htd becomes a mount point of its own, with a.htd's content.
        if (::geteuid() != 0)
            QSKIP("mounting needs root");
        SchreibeDefinition(n(pfad(QStringLiteral("a.htd"))), "Alt", false, "", Objektliste());
        vorne = QStringList{QStringLiteral("unshare"), QStringLiteral("-m"), QStringLiteral("sh"), QStringLiteral("-c"),
                            QStringLiteral("mount --bind \"$1\" \"$2\" && shift 2 && exec \"$@\""),
                            QStringLiteral("sh"), pfad(QStringLiteral("a.htd")), d};
    } else {
        QVERIFY(QFile::setPermissions(d, QFile::Permissions(0x6666)));
        QVERIFY(QFile::setPermissions(ordner, QFile::Permissions(0x5555)));
        vorne = ohneRoot();
    }
    const Lauf l = cli({QStringLiteral("htd"), pfad(QStringLiteral("neu.json")), d}, vorne);
    QFile::setPermissions(ordner, QFile::Permissions(0x7755));
    QCOMPARE(l.fehler, QByteArray());
    QCOMPARE(l.code, 0);
    const QString geschrieben = eingehaengt ? pfad(QStringLiteral("a.htd")) : d;
    QCOMPARE(LeseDefinition(n(geschrieben)).Titel, std::string("Preisliste"));
    QCOMPARE(knoten(d), vorher);
    QCOMPARE(QDir(ordner).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("d.htd")});
}

void TestDateisicherheit::harterLinkImPlatz()
{
    // A file with a second name is written in place, so both names keep
    // the new content; a disk too full for it leaves the old one whole.
    const QString d = dokument(QStringLiteral("d.htd"));
    QCOMPARE(::link(n(d).c_str(), n(pfad(QStringLiteral("zweiter Name.htd"))).c_str()), 0);
    const QByteArray vorher = lies(d);
    Programm p({d});
    for (int i = 0; i < 50; ++i)
        p.fenster->BtnLinie->click();
    {
        Dateigrenze grenze(std::size_t(vorher.size()) + 100);
        p.fenster->BtnSpeichern->click();
    }
    QCOMPARE(p.skript->fehlermeldungen, QStringList{QStringLiteral("Kapazität der Diskette/Festplatte erschöpft.")});
    QCOMPARE(lies(d), vorher);
    p.fenster->BtnSpeichern->click();
    QCOMPARE(p.skript->fehlermeldungen.size(), 1);
    QCOMPARE(LeseDefinition(n(pfad(QStringLiteral("zweiter Name.htd")))).Objekte.size(), std::size_t(55));
    QCOMPARE(knoten(d), knoten(pfad(QStringLiteral("zweiter Name.htd"))));
}

void TestDateisicherheit::geschuetzteVerweise_data()
{
    // Z stands for the link, Q for the definition file, J for its JSON; no
    // command: the window's Save or Generieren. The link leads to a folder
    // for -d and export; "eigen" is a link of the caller's, which is followed.
    QTest::addColumn<QStringList>("aufruf");
    for (const QString &zeile : {QStringLiteral("html Q Z"), QStringLiteral("json Q Z"), QStringLiteral("htd J Z"),
                                 QStringLiteral("html -d Z Q"), QStringLiteral("export Q Z"), QStringLiteral("Speichern"),
                                 QStringLiteral("Generieren"), QStringLiteral("eigen html Q Z")})
        QTest::newRow(qPrintable(zeile)) << zeile.split(u' ');
}

void TestDateisicherheit::geschuetzteVerweise()
{
    // Another user's link in a sticky folder open to everyone leads no
    // write to a file of ours, as the kernel would not follow it either.
    QFETCH(QStringList, aufruf);
    if (::geteuid() != 0)
        QSKIP("a link of another user needs root");
    const bool eigen = aufruf.removeOne(QStringLiteral("eigen"));
    const bool ordner = aufruf.contains(QStringLiteral("-d")) || aufruf.contains(QStringLiteral("export"));
    const QString offen = pfad(QStringLiteral("offen")), verweis = offen + QStringLiteral("/ziel");
    QVERIFY(QDir().mkpath(offen) && ::chmod(n(offen).c_str(), 01777) == 0);
    const QString opfer = ordner ? pfad(QStringLiteral("geheim")) : dokument(QStringLiteral("opfer.htd"));
    QVERIFY(QDir().mkpath(ordner ? opfer : m_dir.path()));
    const QByteArray vorher = lies(opfer);
    QCOMPARE(::symlink(n(opfer).c_str(), n(verweis).c_str()), 0);
    QVERIFY(eigen || ::lchown(n(verweis).c_str(), 65534, 65534) == 0);
    const QString quelle = pfad(QStringLiteral("q.htd")), json = pfad(QStringLiteral("q.json"));
    SchreibeDefinition(n(quelle), "Q", false, "", Objektliste({{"Linie", "Linie", "Linie"}}));
    QCOMPARE(cli({QStringLiteral("json"), quelle, json}).code, 0);
    if (aufruf.size() > 1) {
        for (QString &a : aufruf)
            a = a == u"Z" ? verweis : a == u"Q" ? quelle : a == u"J" ? json : a;
        const Lauf l = cli(aufruf);
        QCOMPARE(l.code, eigen ? 0 : 1);
        // The refusal names the output, not the definition file.
        QVERIFY2(eigen ? lies(opfer).startsWith("<HTML>")
                       : l.fehler.endsWith(": " + Verweigert.toUtf8() + "\n") && l.fehler.contains(verweis.toUtf8()),
                 l.fehler.constData());
        if (eigen)
            return;
    } else {
        Programm p;
        p.fenster->BtnLinie->click();
        p.skript->speichern = p.skript->generieren = {verweis};
        (aufruf.constFirst() == QStringLiteral("Speichern") ? p.fenster->MnuSpeichernals : p.fenster->MnuGenerieren)->trigger();
        QCOMPARE(p.skript->fehlermeldungen, QStringList{Verweigert});
    }
    QCOMPARE(lies(opfer), vorher);
    QCOMPARE(art(verweis), mode_t(S_IFLNK));
    QVERIFY(!ordner || QDir(opfer).isEmpty(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden));
}

void TestDateisicherheit::altkopieBleibt_data()
{
    QTest::addColumn<int>("art");
    QTest::newRow("ganz") << 0;
    QTest::newRow("abgebrochen") << 1;
    QTest::newRow("von einem anderen") << 2;
}

void TestDateisicherheit::altkopieBleibt()
{
    // What a write in place that did not end left: neither read nor written
    // over until the user has seen it. Neither a copy cut short (its file is
    // whole) nor someone else's file of that name is taken for one.
    QFETCH(int, art);
    const QString d = dokument(QStringLiteral("d.htd"));
    const QString kopie = d + QStringLiteral(".markwerk-alt");
    QVERIFY(schreib(kopie, art == 2 ? QByteArray("fremd") : lies(d)));
    QCOMPARE(::chmod(n(kopie).c_str(), art == 1 ? 0200 : 0400), 0);
    if (art == 2 && ::geteuid() == 0)
        QCOMPARE(::chown(n(kopie).c_str(), 65534, 65534), 0);
    if (art == 2 && ::geteuid() != 0)
        QSKIP("Eine fremde Datei kann nur root anlegen");
    if (art > 0) {
        QCOMPARE(cli({QStringLiteral("html"), d, pfad(QStringLiteral("d.htm"))}).code, 0);
        QVERIFY(QFile::exists(kopie));
        return;
    }
    const QString meldung = QStringLiteral("Neben der Datei liegt „") + kopie
                            + QStringLiteral("“, eine Kopie ihres alten Inhalts von einem Speichern, das nicht zu Ende "
                                             "kam; die Datei kann beschädigt sein. Bitte die Kopie prüfen und danach "
                                             "entfernen, erst dann wird die Datei wieder gelesen und geschrieben.");
    const Lauf l = cli({QStringLiteral("html"), d, pfad(QStringLiteral("d.htm"))});
    QCOMPARE(QString::fromUtf8(l.fehler), QStringLiteral("markwerk-cli: ") + d + QStringLiteral(": ") + meldung + u'\n');
    Programm p({d});
    p.fenster->BtnLinie->click();
    p.skript->speichern = {d};
    p.fenster->MnuSpeichernals->trigger();
    QCOMPARE(p.skript->fehlermeldungen, (QStringList{meldung, meldung}));
    QCOMPARE(lies(kopie), lies(d));
}

void TestDateisicherheit::keineSonderrechte_data()
{
    QTest::addColumn<bool>("imPlatz");
    QTest::newRow("ersetzt") << false;
    QTest::newRow("im Platz (harter Link)") << true;
}

void TestDateisicherheit::keineSonderrechte()
{
    // A document saved over a program never runs with its rights.
    QFETCH(bool, imPlatz);
    const QString d = dokument(QStringLiteral("d.htd")), json = pfad(QStringLiteral("d.json"));
    QVERIFY(!imPlatz || ::link(n(d).c_str(), n(pfad(QStringLiteral("zweiter Name"))).c_str()) == 0);
    QCOMPARE(::chmod(n(d).c_str(), 06755), 0);
    QVERIFY(laufe(QStringLiteral("setcap"), {QStringLiteral("cap_net_raw=ep"), d}).code == 0 || ::geteuid() != 0);
    const ino_t vorher = knoten(d);
    QCOMPARE(cli({QStringLiteral("json"), d, json}).code + cli({QStringLiteral("htd"), json, d}).code, 0);
    QCOMPARE(knoten(d) == vorher, imPlatz);
    struct stat st;
    QCOMPARE(::stat(n(d).c_str(), &st) == 0 ? st.st_mode & 07777 : 0, mode_t(0755));
    QCOMPARE(attribut(d, "security.capability"), QByteArray());
}

void TestDateisicherheit::fremdeAenderung_data()
{
    QTest::addColumn<bool>("beimSchliessen");
    QTest::addColumn<bool>("trotzdem");
    QTest::addColumn<bool>("zeitZurueck");
    QTest::newRow("Speichern, Nein") << false << false << false;
    QTest::newRow("Speichern, Ja") << false << true << false;
    QTest::newRow("beim Schließen, Nein") << true << false << false;
    QTest::newRow("gleich groß, Zeit zurückgesetzt") << false << false << true;
}

void TestDateisicherheit::fremdeAenderung()
{
    QFETCH(bool, beimSchliessen);
    QFETCH(bool, trotzdem);
    QFETCH(bool, zeitZurueck);
    const QString d = dokument(QStringLiteral("d.htd"));
    Programm p({d});
    TFrmMarkwerk &f = *p.fenster;
    // Saving twice without another writer asks nothing.
    f.BtnLinie->click();
    f.BtnSpeichern->click();
    f.BtnLinie->click();
    f.BtnSpeichern->click();
    QCOMPARE(p.skript->protokoll, QStringList());

    // Another program saves the file in between; or changes a byte in
    // place and sets the modification time back, as cp -p would.
    if (zeitZurueck) {
        struct stat st;
        QCOMPARE(::stat(n(d).c_str(), &st), 0);
        QByteArray inhalt = lies(d);
        inhalt[4] = 'F';
        QVERIFY(schreib(d, inhalt));
        const timespec zeiten[2] = {st.st_atim, st.st_mtim};
        QCOMPARE(::utimensat(AT_FDCWD, n(d).c_str(), zeiten, 0), 0);
    } else {
        SchreibeDefinition(n(d), "Fremd", false, "", Objektliste());
    }
    const QByteArray fremd = lies(d);
    f.BtnLinie->click();
    p.skript->trotzdem = {trotzdem};
    if (beimSchliessen) {
        p.skript->fragen = {true};
        QVERIFY(!f.close());
    } else {
        f.BtnSpeichern->click();
    }
    QVERIFY(p.skript->protokoll.contains(QStringLiteral("trotzdem")));
    QCOMPARE(f.Geandert(), !trotzdem);
    if (trotzdem)
        QCOMPARE(LeseDefinition(n(d)).Objekte.size(), std::size_t(8));
    else
        QCOMPARE(lies(d), fremd);
    // The next save asks again only where the other program's file is still there.
    p.skript->trotzdem = {true};
    f.BtnSpeichern->click();
    QCOMPARE(p.skript->protokoll.count(QStringLiteral("trotzdem")), 1 + int(!trotzdem));
    QVERIFY(!f.Geandert());
    p.skript->trotzdem = {};
}

void TestDateisicherheit::zuLangeTexte_data()
{
    QTest::addColumn<int>("wo");
    QTest::addColumn<QString>("meldung");
    const QString zuLang = QStringLiteral(" ist mit 1.000.001 Zeichen zu lang für das Programm; ein Feld fasst höchstens "
                                          "1.000.000 Zeichen.");
    QTest::newRow("Titel") << 0 << QStringLiteral("Der Titel") + zuLang;
    QTest::newRow("Beschreibung") << 1 << QStringLiteral("Die Beschreibung von Objekt 2") + zuLang;
    QTest::newRow("Bildpfad") << 2 << QStringLiteral("Der Bildpfad von Objekt 2") + zuLang;
    QTest::newRow("Text eines Absatzes")
        << 3 << QStringLiteral("Der Text von Objekt 2 ist mit 1.000.001 Zeichen zu lang für das Programm; ein Feld "
                               "fasst höchstens 500.000 Zeichen.");
    QTest::newRow("Text an der Grenze") << 4 << QString();
}

void TestDateisicherheit::zuLangeTexte()
{
    QFETCH(int, wo);
    QFETCH(QString, meldung);
    const std::string lang(1'000'001, 'x');
    Objektliste l({{"Linie", "Linie", "Linie"}});
    const std::string daten = wo == 4 ? std::string(500'000, 'x') : wo == 3 || wo == 2 ? lang : "b.bmp";
    l.anhaengen({wo >= 3 ? "Text" : "Bild", wo == 1 ? lang : "B", daten});
    const QString d = pfad(QStringLiteral("lang.htd"));
    SchreibeDefinition(n(d), wo == 0 ? lang : "T", false, "", l);

    Programm p;
    p.fenster->BtnLinie->click();
    p.skript->fragen = {false};
    p.skript->offnen = {d};
    p.fenster->BtnOffnen->click();
    if (meldung.isEmpty()) {
        QCOMPARE(p.skript->fehlermeldungen, QStringList());
        QCOMPARE(p.fenster->Objekte().Anzahl(), 2);
        return;
    }
    QCOMPARE(p.skript->fehlermeldungen, QStringList{meldung});
    QCOMPARE(p.fenster->Objekte().Anzahl(), 1);
    QCOMPARE(p.fenster->Dateiname(), TFrmMarkwerk::KeinDateiname);
    QCOMPARE(p.fenster->Einstellungen().Titel(), std::string("HTML - Dokument"));
}

void TestDateisicherheit::flushScheitertVorDemErsetzen()
{
    const QString d = dokument(QStringLiteral("d.htd"));
    const QByteArray vorher = lies(d);
    Programm p({d});
    p.fenster->BtnLinie->click();
    flushScheitert = true;
    p.fenster->BtnSpeichern->click();
    flushScheitert = false;
    QCOMPARE(p.skript->fehlermeldungen, QStringList{QStringLiteral("I/O-Fehler 5.")});
    QCOMPARE(lies(d), vorher);
    QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("d.htd")});
    QVERIFY(p.fenster->Geandert());
}

void TestDateisicherheit::dateinameNichtUtf8()
{
    // "bär.htd" in Latin-1, as an old system would have named it.
    const QByteArray name = QFile::encodeName(m_dir.path()) + "/b\xE4r.htd";
    SchreibeDefinition(name.toStdString(), "Alt", false, "", hilfen::preisliste());
    QByteArray programm("markwerk");
    QByteArray argument = name;
    char *argv[] = {programm.data(), argument.data(), nullptr};

    std::unique_ptr<TFrmMarkwerk> f = erzeugeFenster();
    auto skript = std::make_unique<gui::Skript>();
    gui::Skript *s = skript.get();
    f->setzeRueckfragen(std::move(skript));
    f->FormShow(programmargumente(2, argv));
    QCOMPARE(s->fehlermeldungen, QStringList());
    QCOMPARE(f->Objekte().Anzahl(), 5);
    f->BtnLinie->click();
    f->BtnSpeichern->click();
    QCOMPARE(s->fehlermeldungen, QStringList());
    QCOMPARE(LeseDefinition(name.toStdString()).Objekte.size(), std::size_t(6));
    // Qt cannot name that file; the file system still sees one file only.
    const auto dateien = std::distance(std::filesystem::directory_iterator(name.left(name.lastIndexOf('/')).toStdString()),
                                       std::filesystem::directory_iterator());
    QCOMPARE(dateien, 1);
    QVERIFY(std::filesystem::remove(name.toStdString()));
}

void TestDateisicherheit::qtNimmtKeineArgumente()
{
    // Every argument is the program's: "-reverse" is a file to open, which is
    // not there, and the window keeps its direction. The sanitizers' runtime
    // comes after the hook there.
    QProcess p;
    QProcessEnvironment umgebung = QProcessEnvironment::systemEnvironment();
    umgebung.insert(QStringLiteral("LD_PRELOAD"), QStringLiteral(MARKWERK_STARTBERICHT));
    umgebung.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    umgebung.insert(QStringLiteral("ASAN_OPTIONS"), umgebung.value(QStringLiteral("ASAN_OPTIONS")) + QStringLiteral(":verify_asan_link_order=0"));
    p.setProcessEnvironment(umgebung);
    p.setWorkingDirectory(m_dir.path());
    p.start(QStringLiteral(MARKWERK_PROGRAMM), {QStringLiteral("-reverse")});
    QVERIFY(p.waitForFinished(60000) || (p.kill(), false));
    QVERIFY(p.readAllStandardError().endsWith("ltr Datei nicht gefunden.\n"));
}

MARKWERK_GUI_TEST(TestDateisicherheit)
#include "tst_dateisicherheit.moc"
