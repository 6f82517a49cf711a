// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

#include "dateiwahl.h"

#include "fehler.h"
#include "objektdialog.h"
#include "win1252.h"

#include <QApplication>
#include <QCollator>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QListWidget>
#include <QSet>
#include <QStorageInfo>
#include <QStyle>
#include <QTreeWidget>

#include <algorithm>
#include <cerrno>
#include <vector>

#ifdef Q_OS_UNIX
#include <dirent.h>
#include <sys/stat.h>
#endif

namespace {

constexpr int PfadRolle = Qt::UserRole;

// Names compare as the file system compares them.
#ifdef Q_OS_WIN
constexpr Qt::CaseSensitivity NamenFall = Qt::CaseInsensitive;
#else
constexpr Qt::CaseSensitivity NamenFall = Qt::CaseSensitive;
#endif

bool gleicherName(const QString &a, const QString &b)
{
    return a.compare(b, NamenFall) == 0;
}

bool hatJoker(const QString &name)
{
    return name.contains(QLatin1Char('*')) || name.contains(QLatin1Char('?'));
}

// "*" any run of characters, "?" one character, everything else itself in any
// letter case; "*.*" stands for every name, also one without a dot.
bool passt(QStringView name, QStringView muster)
{
    if (muster == u"*.*")
        return true;
    qsizetype n = 0, m = 0;
    qsizetype sternM = -1, sternN = 0;
    while (n < name.size()) {
        if (m < muster.size() && muster[m] == u'*') {
            sternM = m++;
            sternN = n;
        } else if (m < muster.size()
                   && (muster[m] == u'?' || muster[m].toCaseFolded() == name[n].toCaseFolded())) {
            ++m;
            ++n;
        } else if (sternM >= 0) {
            m = sternM + 1;
            n = ++sternN;
        } else {
            return false;
        }
    }
    while (m < muster.size() && muster[m] == u'*')
        ++m;
    return m == muster.size();
}

// In German alphabetical order (an umlaut beside its plain letter) without
// regard to letter case; names that differ only in case (two files on Linux)
// keep a fixed order.
void sortiere(QStringList &namen)
{
    QCollator ordnung(QLocale(QLocale::German, QLocale::Germany));
    ordnung.setCaseSensitivity(Qt::CaseInsensitive);
    std::sort(namen.begin(), namen.end(), [&ordnung](const QString &a, const QString &b) {
        const int c = ordnung.compare(a, b);
        return c != 0 ? c < 0 : a < b;
    });
}

enum class Art { Datei, Ordner, Anderes, Fehlt };

// What a path names. For nothing, `fehler` says why: a folder on the way that
// may not be entered is another fault than a missing name.
Art artVon(const QString &pfad, int &fehler)
{
#ifdef Q_OS_UNIX
    struct stat st;
    if (::stat(QFile::encodeName(pfad).constData(), &st) != 0) {
        fehler = errno;
        return Art::Fehlt;
    }
    return S_ISREG(st.st_mode) ? Art::Datei : S_ISDIR(st.st_mode) ? Art::Ordner : Art::Anderes;
#else
    const QFileInfo info(pfad);
    fehler = ENOENT;
    return !info.exists() ? Art::Fehlt : info.isFile() ? Art::Datei : info.isDir() ? Art::Ordner : Art::Anderes;
#endif
}

// Whether a directory can be listed; the error names why not. On Unix the
// system's own reason (a stick pulled out gives EIO, not "missing").
void pruefeLesbar(const QString &verzeichnis, bool lesen)
{
#ifdef Q_OS_UNIX
    DIR *d = ::opendir(QFile::encodeName(verzeichnis).constData());
    if (!d)
        throw EAFehler::ausErrno(errno, lesen);
    ::closedir(d);
#else
    const QFileInfo info(verzeichnis);
    if (!info.isDir())
        throw EAFehler(3);
    if (!info.isReadable())
        throw EAFehler(5);
#endif
}

bool istWurzel(const QString &verzeichnis)
{
    return QDir(verzeichnis).isRoot();
}

// "dir" + "/" + "name", without a doubled separator at a root.
QString verbinde(const QString &verzeichnis, const QString &name)
{
    return verzeichnis.endsWith(QLatin1Char('/')) ? verzeichnis + name : verzeichnis + QLatin1Char('/') + name;
}

} // namespace

// A mask read once, for all the names of a directory. A mask from a damaged
// file may hold a hundred thousand patterns; names without a wildcard are
// looked up, and "*" followed by a plain text by the endings of each name,
// so only the rest is tried pattern by pattern.
class Dateiwahl::Muster
{
public:
    // `genau`: the mask is one file name, wildcards and ";" included.
    Muster(const QString &maske, bool genau)
    {
        if (genau) {
            m_genau = maske;
            return;
        }
        QSet<QString> andere;
        for (const QString &teil : maske.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            const QString m = teil.trimmed().toCaseFolded();
            const QString endung = m.mid(1);
            if (m.isEmpty()) {
                continue;
            } else if (m == u"*.*") {
                m_alle = true;
            } else if (!hatJoker(m)) {
                m_namen.insert(m);
            } else if (m.startsWith(QLatin1Char('*')) && !hatJoker(endung)) {
                if (std::find(m_laengen.begin(), m_laengen.end(), endung.size()) == m_laengen.end())
                    m_laengen.push_back(endung.size());
                m_endungen.insert(endung);
            } else if (!andere.contains(m)) {
                andere.insert(m);
                m_andere << m;
            }
        }
    }

    // The patterns that are tried one by one for every name: beyond a few,
    // a mask only comes from a damaged file, and listing a directory would
    // take seconds.
    qsizetype einzeln() const { return m_andere.size(); }
    static constexpr qsizetype HoechstensEinzeln = 100;

    // Hidden files show only for a pattern that names them.
    bool passt(const QString &name, bool versteckt) const
    {
        // One file chosen by its name: another whose name differs only in
        // letter case is another file where the file system tells them apart.
        if (m_genau)
            return gleicherName(name, *m_genau);
        const QString n = name.toCaseFolded();
        if (m_namen.contains(n))
            return true;
        if (versteckt)
            return false;
        if (m_alle)
            return true;
        for (const qsizetype laenge : m_laengen) {
            if (laenge <= n.size() && m_endungen.contains(n.right(laenge)))
                return true;
        }
        return std::any_of(m_andere.cbegin(), m_andere.cend(), [&n](const QString &m) { return ::passt(n, m); });
    }

private:
    QSet<QString> m_namen;
    QSet<QString> m_endungen;
    std::vector<qsizetype> m_laengen;
    QStringList m_andere;
    bool m_alle = false;
    std::optional<QString> m_genau;
};

Dateiwahl::Dateiwahl(QWidget *fenster, const QString &filter)
    : QObject(fenster)
    , Laufwerke(new QComboBox(fenster))
    , Verzeichnisse(new QTreeWidget(fenster))
    , Filter(new QComboBox(fenster))
    , Dateien(new QListWidget(fenster))
    , m_fenster(fenster)
    , m_verzeichnis(QDir::cleanPath(QDir::currentPath()))
{
    Verzeichnisse->setHeaderHidden(true);
    Verzeichnisse->setColumnCount(1);
    Verzeichnisse->setRootIsDecorated(false);
    Verzeichnisse->setItemsExpandable(false);
    Verzeichnisse->setExpandsOnDoubleClick(false);
    Verzeichnisse->setIndentation(10);
    // Every level is always open; arrows would suggest it could be closed.
    Verzeichnisse->setStyleSheet(QStringLiteral("QTreeView::branch { image: none; border-image: none; }"));
    Verzeichnisse->setUniformRowHeights(true);
    Verzeichnisse->setSelectionMode(QAbstractItemView::SingleSelection);
    Verzeichnisse->setIconSize(QSize(16, 16));
    Verzeichnisse->installEventFilter(this);

    Dateien->setSelectionMode(QAbstractItemView::SingleSelection);
    Dateien->setUniformItemSizes(true);
    Fensterart::volleTexteAlsTipp(Verzeichnisse);
    Fensterart::volleTexteAlsTipp(Dateien);
    Fensterart::benenne(Laufwerke, QStringLiteral("Laufwerk"));
    Fensterart::benenne(Verzeichnisse, QStringLiteral("Verzeichnis"));
    Fensterart::benenne(Filter, QStringLiteral("Dateityp"));
    Fensterart::benenne(Dateien, QStringLiteral("Datei"));

    const QStringList teile = filter.split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < teile.size(); i += 2)
        Filter->addItem(teile[i], teile[i + 1]);
    m_maske = Filter->count() > 0 ? Filter->itemData(0).toString() : QStringLiteral("*.*");
    m_muster = std::make_unique<const Muster>(m_maske, false);

    fuelleLaufwerke();
    m_letztesVerzeichnis.insert(laufwerkVon(m_verzeichnis), m_verzeichnis);
    ladeVerzeichnisse();
    ladeDateien();

    // The drives are read again whenever the window appears, so a stick
    // plugged in meanwhile can be chosen.
    fenster->installEventFilter(this);

    connect(Laufwerke, &QComboBox::activated, this, [this](int index) { sicher([&] { waehleLaufwerk(index); }); });
    connect(Filter, &QComboBox::activated, this,
            [this](int index) { setzeMaske(Filter->itemData(index).toString()); });
    connect(Verzeichnisse, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem *eintrag) { sicher([&] { oeffne(eintrag); }); });
    connect(Dateien, &QListWidget::itemSelectionChanged, this, [this] { m_behalten.reset(); });
}

Dateiwahl::~Dateiwahl() = default;

bool Dateiwahl::pruefeWahl()
{
    // A definition file stores paths in Windows-1252: a file whose path holds
    // another character, or whose name is no valid UTF-8 (it shows with
    // U+FFFD, which the code page lacks), would be stored under a name that
    // does not exist. Such a file may be highlighted on the way to another;
    // only taking it is refused, and the choice stays for the user to change.
    const QString pfad = ergebnis();
    if (pfad.isEmpty() || Win1252::darstellbar(pfad))
        return true;
    Fensterart::zeigeFehler(m_fenster, QStringLiteral("Der Pfad „%1“ enthält Zeichen, die Markwerk nicht speichern "
                                                      "kann. Bitte benennen Sie die Datei oder ihren Ordner um.")
                                           .arg(pfad));
    return false;
}

template<typename Handlung>
void Dateiwahl::sicher(Handlung &&handlung)
{
    Fensterart::ohneAusnahme(handlung, [this](const QString &text) { Fensterart::zeigeFehler(m_fenster, text); });
}

bool Dateiwahl::eventFilter(QObject *objekt, QEvent *ereignis)
{
    if (objekt == Verzeichnisse && ereignis->type() == QEvent::KeyPress) {
        const int taste = static_cast<QKeyEvent *>(ereignis)->key();
        // Enter opens the directory; it must not reach the window's default
        // button.
        if (taste == Qt::Key_Return || taste == Qt::Key_Enter) {
            sicher([&] { oeffne(Verzeichnisse->currentItem()); });
            return true;
        }
    } else if (objekt == m_fenster && ereignis->type() == QEvent::Show) {
        fuelleLaufwerke();
        auffrischen();
    }
    return QObject::eventFilter(objekt, ereignis);
}

// ------------------------------------------------------------ value and apply

QString Dateiwahl::wert() const
{
    const QList<QListWidgetItem *> gewaehlt = Dateien->selectedItems();
    if (gewaehlt.isEmpty())
        return {};
    return QDir::toNativeSeparators(verbinde(m_verzeichnis, gewaehlt.constFirst()->text()));
}

QString Dateiwahl::verzeichnis() const
{
    return QDir::toNativeSeparators(m_verzeichnis);
}

QString Dateiwahl::maske() const
{
    return m_maske;
}

void Dateiwahl::keineAuswahl()
{
    Dateien->clearSelection();
    Dateien->setCurrentItem(nullptr);
}

void Dateiwahl::anwenden(const QString &pfad)
{
    if (pfad.isEmpty())
        return;
    // A document made on Windows names "bilder\x.png"; where no file has
    // that name as it stands, the backslashes are taken as separators. The
    // result stays the path as given.
    const QString schraeg = QString(pfad).replace(QLatin1Char('\\'), QLatin1Char('/'));
    try {
        anwendenWie(pfad, pfad);
    } catch (const Fehler &) {
        if (schraeg == QDir::fromNativeSeparators(pfad))
            throw;
        bool gefunden = false;
        try {
            anwendenWie(schraeg, pfad);
            gefunden = true;
        } catch (const Fehler &) {
            // The error of the path as it stands is the one to report.
        }
        if (!gefunden)
            throw;
    }
}

void Dateiwahl::anwendenWie(const QString &pfad, const QString &behalten)
{
    // Split into directory and name, and check both before anything moves.
    const QString p = QDir::fromNativeSeparators(pfad);
    const qsizetype trenner = p.lastIndexOf(QLatin1Char('/'));
    QString verzeichnis = trenner < 0 ? QString() : p.left(trenner + 1);
    QString name = trenner < 0 ? p : p.mid(trenner + 1);
    const QString bezug = m_bezugsordner.isEmpty() ? m_verzeichnis : m_bezugsordner;
    verzeichnis = QDir::cleanPath(QDir(bezug).absoluteFilePath(verzeichnis));
    const QString jetzt = QDir::fromNativeSeparators(wert());
    if (!jetzt.isEmpty() && gleicherName(QDir::cleanPath(verbinde(verzeichnis, name)), jetzt)) {
        m_behalten = behalten;
        return;
    }

    int fehler = 0;
    const Art ort = artVon(verzeichnis, fehler);
    if (ort != Art::Ordner)
        throw ort == Art::Fehlt ? EAFehler::ausErrno(fehler, false) : EAFehler(3);
    bool datei = false;
    if (!name.isEmpty()) {
        // A name that names something is taken as that name: "stern*.bmp"
        // and "semi;colon.bmp" are legal file names.
        const Art art = artVon(verbinde(verzeichnis, name), fehler);
        if (art == Art::Datei) {
            datei = true;
        } else if (art == Art::Ordner) {
            verzeichnis = QDir::cleanPath(verbinde(verzeichnis, name));
            name.clear();
        } else if (art == Art::Anderes) {
            throw EAFehler(3);
        } else if (!hatJoker(name) || fehler == EACCES) {
            throw EAFehler::ausErrno(fehler, false);
        }
    }
    std::unique_ptr<const Muster> maske;
    if (!name.isEmpty() && !datei) {
        maske = std::make_unique<const Muster>(name, false);
        if (maske->einzeln() > Muster::HoechstensEinzeln)
            throw Fehler(QStringLiteral("Die Dateimaske enthält %1 Muster mit Platzhaltern; Markwerk kann höchstens "
                                        "%2 davon anwenden")
                             .arg(maske->einzeln())
                             .arg(Muster::HoechstensEinzeln)
                             .toStdString());
    }
    if (!gleicherName(verzeichnis, m_verzeichnis))
        pruefeLesbar(verzeichnis, false);

    setzeVerzeichnis(verzeichnis);
    if (maske) {
        m_maske = name;
        m_muster = std::move(maske);
        ladeDateien();
    } else if (datei) {
        const auto suche = [&]() -> QListWidgetItem * {
            for (int i = 0; i < Dateien->count(); ++i) {
                if (gleicherName(Dateien->item(i)->text(), name))
                    return Dateien->item(i);
            }
            return nullptr;
        };
        QListWidgetItem *eintrag = suche();
        if (!eintrag) {
            // The mask hides the file: the name itself becomes the mask. The
            // filter box keeps its choice.
            setzeNamensmaske(name);
            eintrag = suche();
        }
        if (eintrag) {
            Dateien->setCurrentItem(eintrag);
            Dateien->scrollToItem(eintrag);
        }
    }
    m_behalten = behalten;
}

void Dateiwahl::setzeBezugsordner(const QString &ordner)
{
    m_bezugsordner = QDir::cleanPath(QDir::fromNativeSeparators(ordner));
}

QString Dateiwahl::ergebnis() const
{
    return m_behalten.value_or(wert());
}

void Dateiwahl::behalte(const QString &pfad)
{
    m_behalten = pfad;
}

void Dateiwahl::vergiss()
{
    m_behalten.reset();
}

// ------------------------------------------------------------ the user's choices

void Dateiwahl::oeffneVerzeichnis(const QString &pfad)
{
    const QString ziel = QDir::cleanPath(QDir(m_verzeichnis).absoluteFilePath(QDir::fromNativeSeparators(pfad)));
    if (gleicherName(ziel, m_verzeichnis))
        return;
    pruefeLesbar(ziel, false);
    setzeVerzeichnis(ziel);
}

void Dateiwahl::oeffne(const QTreeWidgetItem *eintrag)
{
    if (!eintrag)
        return;
    try {
        oeffneVerzeichnis(eintrag->data(0, PfadRolle).toString());
    } catch (const Fehler &) {
        // A folder that has gone leaves the list; the highlight goes back to
        // the folder the picker is in.
        auffrischen();
        throw;
    }
}

void Dateiwahl::waehleLaufwerk(int index)
{
    const QString wurzel = Laufwerke->itemData(index).toString();
    if (index < 0 || wurzel.isEmpty() || gleicherName(wurzel, laufwerkVon(m_verzeichnis))) {
        zeigeLaufwerk();
        return;
    }
    // Back to where the picker last was on that drive, else to its root.
    QString ziel = m_letztesVerzeichnis.value(wurzel, wurzel);
    if (!QFileInfo(ziel).isDir())
        ziel = wurzel;
    try {
        pruefeLesbar(ziel, true);
    } catch (const Fehler &) {
        zeigeLaufwerk();
        throw;
    }
    setzeVerzeichnis(ziel);
}

void Dateiwahl::setzeMaske(const QString &maske)
{
    m_maske = maske;
    m_muster = std::make_unique<const Muster>(maske, false);
    ladeDateien();
}

void Dateiwahl::setzeNamensmaske(const QString &name)
{
    m_maske = name;
    m_muster = std::make_unique<const Muster>(name, true);
    ladeDateien();
}

// ------------------------------------------------------------ reading

QStringList Dateiwahl::laufwerke()
{
    QStringList wurzeln;
#ifdef Q_OS_WIN
    for (const QFileInfo &laufwerk : QDir::drives())
        wurzeln << QDir::fromNativeSeparators(laufwerk.absoluteFilePath());
#else
    // The root, then the mount points of real volumes that are ready; Qt
    // already leaves out /proc, /sys, /dev and their like.
    for (const QStorageInfo &volumen : QStorageInfo::mountedVolumes()) {
        if (!volumen.isValid() || !volumen.isReady())
            continue;
        const QString wurzel = QDir::cleanPath(volumen.rootPath());
        // Containers mount single files (/etc/hosts); those are no drives.
        if (wurzel == u"/" || !QFileInfo(wurzel).isDir() || wurzeln.contains(wurzel))
            continue;
        wurzeln << wurzel;
    }
    sortiere(wurzeln);
    wurzeln.prepend(QStringLiteral("/"));
#endif
    return wurzeln;
}

QString Dateiwahl::laufwerkVon(const QString &verzeichnis) const
{
    // The drive whose root is the longest beginning of the path.
    QString bestes;
    const auto pruefe = [&](const QString &wurzel) {
        const bool darin = gleicherName(verzeichnis, wurzel)
            || (verzeichnis.startsWith(wurzel, NamenFall)
                && (wurzel.endsWith(QLatin1Char('/')) || verzeichnis.at(wurzel.size()) == u'/'));
        if (darin && wurzel.size() > bestes.size())
            bestes = wurzel;
    };
    for (int i = 0; i < Laufwerke->count(); ++i)
        pruefe(Laufwerke->itemData(i).toString());
    if (bestes.isEmpty()) {
        // A drive not (or no longer) listed: the root of the path.
        QString wurzel = verzeichnis;
        while (!istWurzel(wurzel)) {
            const QString oben = QFileInfo(wurzel).path();
            if (oben == wurzel)
                break;
            wurzel = oben;
        }
        bestes = wurzel;
    }
    return bestes;
}

void Dateiwahl::fuelleLaufwerke()
{
    const QSignalBlocker sperre(Laufwerke);
    Laufwerke->clear();
    for (const QString &wurzel : laufwerke())
        Laufwerke->addItem(QApplication::style()->standardIcon(QStyle::SP_DriveHDIcon), QDir::toNativeSeparators(wurzel),
                           wurzel);
    zeigeLaufwerk();
}

void Dateiwahl::zeigeLaufwerk()
{
    const QString aktuell = laufwerkVon(m_verzeichnis);
    const QSignalBlocker sperre(Laufwerke);
    for (int i = 0; i < Laufwerke->count(); ++i) {
        if (gleicherName(Laufwerke->itemData(i).toString(), aktuell)) {
            Laufwerke->setCurrentIndex(i);
            return;
        }
    }
    // A drive the list does not know (a network path on Windows): the box
    // still shows where the picker is.
    Laufwerke->addItem(QApplication::style()->standardIcon(QStyle::SP_DriveHDIcon), QDir::toNativeSeparators(aktuell),
                       aktuell);
    Laufwerke->setCurrentIndex(Laufwerke->count() - 1);
}

void Dateiwahl::setzeVerzeichnis(const QString &verzeichnis)
{
    if (gleicherName(verzeichnis, m_verzeichnis)) {
        zeigeLaufwerk();
        return;
    }
    m_verzeichnis = verzeichnis;
    m_letztesVerzeichnis.insert(laufwerkVon(verzeichnis), verzeichnis);
    zeigeLaufwerk();
    ladeVerzeichnisse();
    ladeDateien();
}

void Dateiwahl::ladeVerzeichnisse()
{
    QStringList stufen; // from the root down to the current directory
    for (QString p = m_verzeichnis;;) {
        stufen.prepend(p);
        const QString oben = QFileInfo(p).path();
        if (istWurzel(p) || oben == p)
            break;
        p = oben;
    }

    const QIcon offen = QApplication::style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon zu = QApplication::style()->standardIcon(QStyle::SP_DirClosedIcon);
    const QSignalBlocker sperre(Verzeichnisse);
    Verzeichnisse->clear();
    QTreeWidgetItem *oben = nullptr;
    const auto eintrag = [&](const QString &pfad, const QString &text, const QIcon &bild) {
        auto *e = oben ? new QTreeWidgetItem(oben) : new QTreeWidgetItem(Verzeichnisse);
        e->setText(0, text);
        e->setIcon(0, bild);
        e->setData(0, PfadRolle, pfad);
        return e;
    };
    for (const QString &stufe : std::as_const(stufen))
        oben = eintrag(stufe, istWurzel(stufe) ? QDir::toNativeSeparators(stufe) : QFileInfo(stufe).fileName(), offen);
    QTreeWidgetItem *aktuell = oben;

    QStringList unter = QDir(m_verzeichnis).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::NoSort);
    sortiere(unter);
    for (const QString &name : std::as_const(unter))
        eintrag(verbinde(m_verzeichnis, name), name, zu);

    Verzeichnisse->expandAll();
    Verzeichnisse->setCurrentItem(aktuell);
    Verzeichnisse->scrollToItem(aktuell);
}

void Dateiwahl::auffrischen()
{
    // What the folder holds now, with the place, the highlight and a kept
    // path as they were.
    const QString gewaehlt = Dateien->selectedItems().isEmpty() ? QString() : Dateien->selectedItems().constFirst()->text();
    const std::optional<QString> behalten = m_behalten;
    ladeVerzeichnisse();
    ladeDateien();
    if (!gewaehlt.isEmpty()) {
        const QList<QListWidgetItem *> treffer = Dateien->findItems(gewaehlt, Qt::MatchExactly | Qt::MatchCaseSensitive);
        if (!treffer.isEmpty()) {
            const QSignalBlocker sperre(Dateien);
            Dateien->setCurrentItem(treffer.constFirst());
            Dateien->scrollToItem(treffer.constFirst());
        }
    }
    m_behalten = behalten;
}

QStringList Dateiwahl::dateinamen() const
{
    QStringList namen;
#ifdef Q_OS_UNIX
    // Read by hand: Qt drops a name that is no valid UTF-8 (its own name for
    // it names nothing), and such a file is still there to be seen.
    DIR *d = ::opendir(QFile::encodeName(m_verzeichnis).constData());
    if (!d)
        return namen;
    while (const dirent *e = ::readdir(d)) {
        bool datei = e->d_type == DT_REG;
        if (e->d_type == DT_UNKNOWN || e->d_type == DT_LNK) {
            struct stat st;
            datei = ::fstatat(::dirfd(d), e->d_name, &st, 0) == 0 && S_ISREG(st.st_mode);
        }
        if (!datei)
            continue;
        const QString name = QFile::decodeName(e->d_name);
        if (m_muster->passt(name, e->d_name[0] == '.'))
            namen << name;
    }
    ::closedir(d);
#else
    const QFileInfoList eintraege = QDir(m_verzeichnis).entryInfoList(QDir::Files | QDir::Hidden, QDir::NoSort);
    for (const QFileInfo &info : eintraege) {
        if (m_muster->passt(info.fileName(), info.isHidden()))
            namen << info.fileName();
    }
#endif
    return namen;
}

void Dateiwahl::ladeDateien()
{
    QStringList namen = dateinamen();
    sortiere(namen);

    const QSignalBlocker sperre(Dateien);
    Dateien->clear();
    Dateien->addItems(namen);
    keineAuswahl();
    m_behalten.reset();
}
