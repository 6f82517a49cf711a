// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

#include "dateiwahl.h"

#include "fehler.h"
#include "objektdialog.h"
#include "win1252.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QListWidget>
#include <QStorageInfo>
#include <QStyle>
#include <QTreeWidget>

#include <algorithm>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <dirent.h>
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

// Alphabetical without regard to letter case; names that differ only in case
// (two files on Linux) keep a fixed order.
void sortiere(QStringList &namen)
{
    std::sort(namen.begin(), namen.end(), [](const QString &a, const QString &b) {
        const int c = a.compare(b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
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

    const QStringList teile = filter.split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < teile.size(); i += 2)
        Filter->addItem(teile[i], teile[i + 1]);
    m_maske = Filter->count() > 0 ? Filter->itemData(0).toString() : QStringLiteral("*.*");

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
    connect(Dateien, &QListWidget::itemSelectionChanged, this, &Dateiwahl::pruefeAuswahl);
}

void Dateiwahl::pruefeAuswahl()
{
    // A definition file stores paths in Windows-1252: a file whose path holds
    // another character would be stored under a name that does not exist.
    const QString pfad = wert();
    if (pfad.isEmpty() || Win1252::darstellbar(pfad))
        return;
    Dateien->clearSelection();
    Fensterart::zeigeFehler(m_fenster, QStringLiteral("Der Pfad „%1“ enthält Zeichen, die Markwerk nicht speichern "
                                                      "kann. Bitte benennen Sie die Datei oder ihren Ordner um.")
                                           .arg(pfad));
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
    if (pfad.isEmpty() || gleicherName(QDir::fromNativeSeparators(pfad), QDir::fromNativeSeparators(wert())))
        return;

    // Split into directory and name, and check both before anything moves.
    const QString p = QDir::fromNativeSeparators(pfad);
    const qsizetype trenner = p.lastIndexOf(QLatin1Char('/'));
    QString verzeichnis = trenner < 0 ? QString() : p.left(trenner + 1);
    QString name = trenner < 0 ? p : p.mid(trenner + 1);
    // A relative path is taken from the picker's own directory, which is where
    // the working directory would be if the picker followed it.
    verzeichnis = QDir::cleanPath(QDir(m_verzeichnis).absoluteFilePath(verzeichnis));
    if (!QFileInfo(verzeichnis).isDir())
        throw EAFehler(3);
    if (!name.isEmpty() && !hatJoker(name)) {
        const QFileInfo eintrag(verbinde(verzeichnis, name));
        if (!eintrag.isFile()) {
            // Not a file: it must be a sub-directory, which becomes the place.
            if (!eintrag.isDir())
                throw EAFehler(3);
            verzeichnis = QDir::cleanPath(eintrag.absoluteFilePath());
            name.clear();
        }
    }
    if (!gleicherName(verzeichnis, m_verzeichnis))
        pruefeLesbar(verzeichnis, false);

    setzeVerzeichnis(verzeichnis);
    if (hatJoker(name)) {
        setzeMaske(name);
        return;
    }
    if (name.isEmpty())
        return;
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
        setzeMaske(name);
        eintrag = suche();
    }
    if (eintrag) {
        Dateien->setCurrentItem(eintrag);
        Dateien->scrollToItem(eintrag);
    }
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
    if (eintrag)
        oeffneVerzeichnis(eintrag->data(0, PfadRolle).toString());
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

void Dateiwahl::ladeDateien()
{
    QStringList muster;
    for (const QString &m : m_maske.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        if (!m.trimmed().isEmpty())
            muster << m.trimmed();
    }

    QStringList namen;
    const QFileInfoList eintraege = QDir(m_verzeichnis).entryInfoList(QDir::Files | QDir::Hidden, QDir::NoSort);
    for (const QFileInfo &info : eintraege) {
        const QString name = info.fileName();
        for (const QString &m : std::as_const(muster)) {
            // Hidden files are left out, unless the mask names one exactly
            // (a path applied to the picker that points at one).
            if (passt(name, m) && (!info.isHidden() || !hatJoker(m))) {
                namen << name;
                break;
            }
        }
    }
    sortiere(namen);

    const QSignalBlocker sperre(Dateien);
    Dateien->clear();
    Dateien->addItems(namen);
    keineAuswahl();
}
