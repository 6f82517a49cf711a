// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

// The file picker on a directory tree of its own: what it lists, where it
// goes, and what applying a path does.

#include "dateiwahl.h"
#include "fehler.h"
#include "gui.h"
#include "hilfen.h"

#include <QAccessible>
#include <QComboBox>
#include <QDialog>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QToolTip>
#include <QTreeWidget>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// A window with a default button, as the picker's windows have.
struct Wirt
{
    QDialog dialog;
    QPushButton *const knopf;
    Dateiwahl *const wahl;

    Wirt()
        : knopf(new QPushButton(QStringLiteral("OK"), &dialog))
        , wahl(new Dateiwahl(&dialog, QStringLiteral("Bitmap|*.bmp|Ping|*.png|JPEG|*jpg")))
    {
        knopf->setDefault(true);
        dialog.resize(500, 300);
        wahl->Laufwerke->setGeometry(0, 0, 200, 21);
        wahl->Verzeichnisse->setGeometry(0, 30, 200, 260);
        wahl->Filter->setGeometry(210, 0, 200, 21);
        wahl->Dateien->setGeometry(210, 30, 200, 260);
    }
};

QStringList dateien(const Dateiwahl &w)
{
    QStringList namen;
    for (int i = 0; i < w.Dateien->count(); ++i)
        namen << w.Dateien->item(i)->text();
    return namen;
}

// The directory list as "depth:name" from the top.
QStringList baum(const Dateiwahl &w)
{
    QStringList zeilen;
    for (QTreeWidgetItemIterator it(w.Verzeichnisse); *it; ++it) {
        int tiefe = 0;
        for (QTreeWidgetItem *e = (*it)->parent(); e; e = e->parent())
            ++tiefe;
        zeilen << QString::number(tiefe) + QLatin1Char(':') + (*it)->text(0);
    }
    return zeilen;
}

QTreeWidgetItem *eintrag(const Dateiwahl &w, const QString &name)
{
    for (QTreeWidgetItemIterator it(w.Verzeichnisse); *it; ++it) {
        if ((*it)->text(0) == name)
            return *it;
    }
    return nullptr;
}

// A double-click as the window system delivers it: press, release, then
// the double-click and its release.
void doppelklick(QTreeWidget *liste, QTreeWidgetItem *eintrag)
{
    const QPoint punkt = liste->visualItemRect(eintrag).center();
    QTest::mouseClick(liste->viewport(), Qt::LeftButton, {}, punkt);
    QTest::mouseDClick(liste->viewport(), Qt::LeftButton, {}, punkt);
    QTest::mouseRelease(liste->viewport(), Qt::LeftButton, {}, punkt);
}

void waehleDatei(const Dateiwahl &w, const QString &name)
{
    const QList<QListWidgetItem *> treffer = w.Dateien->findItems(name, Qt::MatchExactly | Qt::MatchCaseSensitive);
    QVERIFY(!treffer.isEmpty());
    QTest::mouseClick(w.Dateien->viewport(), Qt::LeftButton, {}, w.Dateien->visualItemRect(treffer.first()).center());
}

// What a picker shows, to tell that a failed call changed nothing.
QStringList zustand(const Dateiwahl &w)
{
    return QStringList{w.verzeichnis(), w.maske(), w.wert(), w.Filter->currentText(), w.Laufwerke->currentText()}
        + dateien(w) + baum(w);
}

} // namespace

class TestDateiwahl : public QObject
{
    Q_OBJECT

private:
    QString pfad(const QString &relativ = {}) const
    {
        return relativ.isEmpty() ? m_baum : m_baum + QLatin1Char('/') + relativ;
    }
    static QString fehlertext(const std::function<void()> &handlung)
    {
        try {
            handlung();
        } catch (const EAFehler &f) {
            return QString::number(f.code()) + QLatin1Char(' ') + QString::fromUtf8(f.what());
        }
        return {};
    }

    QTemporaryDir m_dir;
    QString m_baum;

private Q_SLOTS:
    void initTestCase();
    void cleanup();

    void anfang();
    void masken_data();
    void masken();
    void filterbox();
    void verzeichnisliste();
    void verschwundenesVerzeichnis();
    void anwenden_data();
    void anwenden();
    void anwendenImSelbenVerzeichnis();
    void anwendenScheitert_data();
    void anwendenScheitert();
    void entfernteDateiUndOrdner();
    void wertAnDerWurzel();
    void laufwerke();
    void laufwerkNichtLesbar();
    void pfadNichtSpeicherbar();
    void deutscheOrdnungUndVollerName();
    void zuVieleMuster();
    void ordnerGesperrt();
};

void TestDateiwahl::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_baum = m_dir.filePath(QStringLiteral("baum"));
    for (const char *d : {"", "/unter", "/unter/tief", "/Leer", "/z.bmp", "/.geheim"})
        QVERIFY(QDir().mkpath(m_baum + QString::fromUtf8(d)));
    for (const char *f : {"a.bmp", "B.BMP", "Bild.png", "bild.png", "c.png", "d.jpg", "ejpg", "f.JPG", "notiz.txt",
                          "klammer[1].png", ".versteckt.bmp", "unter/x.bmp"})
        QVERIFY(hilfen::schreib(pfad(QString::fromUtf8(f)), "x"));
    QCOMPARE(::mkfifo(QFile::encodeName(pfad(QStringLiteral("fifo"))).constData(), 0600), 0);
}

void TestDateiwahl::cleanup()
{
    gui::keinFensterUebrig();
}

void TestDateiwahl::anfang()
{
    Wirt f;
    const Dateiwahl &w = *f.wahl;
    QCOMPARE(w.verzeichnis(), QDir::toNativeSeparators(QDir::currentPath()));
    QCOMPARE(w.maske(), QStringLiteral("*.bmp"));
    QCOMPARE(w.Filter->count(), 3);
    QCOMPARE(w.Filter->currentText(), QStringLiteral("Bitmap"));
    QCOMPARE(w.Filter->itemText(1), QStringLiteral("Ping"));
    QCOMPARE(w.Filter->itemText(2), QStringLiteral("JPEG"));
    QVERIFY(w.Dateien->selectedItems().isEmpty());
    QCOMPARE(w.wert(), QString());
    QCOMPARE(w.Dateien->selectionMode(), QAbstractItemView::SingleSelection);
    // A screen reader names the boxes by what they are for.
    QCOMPARE(QAccessible::queryAccessibleInterface(w.Laufwerke)->text(QAccessible::Name), QStringLiteral("Laufwerk"));
    QCOMPARE(QAccessible::queryAccessibleInterface(w.Filter)->text(QAccessible::Name), QStringLiteral("Dateityp"));
    QCOMPARE(QAccessible::queryAccessibleInterface(w.Filter)->text(QAccessible::Value), QStringLiteral("Bitmap"));
}

void TestDateiwahl::masken_data()
{
    QTest::addColumn<QString>("maske");
    QTest::addColumn<QStringList>("erwartet");
    const auto l = [](std::initializer_list<const char *> namen) {
        QStringList s;
        for (const char *n : namen)
            s << QString::fromUtf8(n);
        return s;
    };
    const QStringList alle = l({"a.bmp", "B.BMP", "Bild.png", "bild.png", "c.png", "d.jpg", "ejpg", "f.JPG",
                                "klammer[1].png", "notiz.txt"});
    // Hidden files, folders (z.bmp) and the fifo never show for a joker.
    QTest::newRow("bmp, jede Schreibung") << QStringLiteral("*.bmp") << l({"a.bmp", "B.BMP"});
    QTest::newRow("BMP") << QStringLiteral("*.BMP") << l({"a.bmp", "B.BMP"});
    QTest::newRow("png") << QStringLiteral("*.png") << l({"Bild.png", "bild.png", "c.png", "klammer[1].png"});
    QTest::newRow("jpg ohne Punkt") << QStringLiteral("*jpg") << l({"d.jpg", "ejpg", "f.JPG"});
    QTest::newRow("jpg mit Punkt") << QStringLiteral("*.jpg") << l({"d.jpg", "f.JPG"});
    QTest::newRow("Liste") << QStringLiteral("*.jpg;*.bmp") << l({"a.bmp", "B.BMP", "d.jpg", "f.JPG"});
    QTest::newRow("Liste doppelt") << QStringLiteral("*.bmp; *.BMP;") << l({"a.bmp", "B.BMP"});
    QTest::newRow("Fragezeichen") << QStringLiteral("?.bmp") << l({"a.bmp", "B.BMP"});
    QTest::newRow("Anfang") << QStringLiteral("b*") << l({"B.BMP", "Bild.png", "bild.png"});
    QTest::newRow("Stern Punkt Stern") << QStringLiteral("*.*") << alle;
    QTest::newRow("Stern") << QStringLiteral("*") << alle;
    QTest::newRow("versteckte mit Joker") << QStringLiteral(".*") << QStringList();
    QTest::newRow("versteckte beim Namen") << QStringLiteral(".versteckt.bmp") << l({".versteckt.bmp"});
    QTest::newRow("Klammern wörtlich") << QStringLiteral("klammer[1].png") << l({"klammer[1].png"});
    QTest::newRow("nichts") << QStringLiteral("*.gif") << QStringList();
    // A damaged file's mask: looked up, not tried pattern by pattern.
    QTest::newRow("viele gleiche") << QStringLiteral("*.gif;").repeated(200000) + QStringLiteral("*.BMP")
                                   << l({"a.bmp", "B.BMP"});
}

void TestDateiwahl::masken()
{
    QFETCH(QString, maske);
    QFETCH(QStringList, erwartet);
    Wirt f;
    f.wahl->oeffneVerzeichnis(pfad());
    f.wahl->setzeMaske(maske);
    QCOMPARE(dateien(*f.wahl), erwartet);
    QVERIFY(f.wahl->Dateien->selectedItems().isEmpty());
}

void TestDateiwahl::filterbox()
{
    Wirt f;
    Dateiwahl &w = *f.wahl;
    f.dialog.show();
    w.oeffneVerzeichnis(pfad());
    QCOMPARE(dateien(w), (QStringList{QStringLiteral("a.bmp"), QStringLiteral("B.BMP")}));
    waehleDatei(w, QStringLiteral("B.BMP"));
    QCOMPARE(w.wert(), pfad(QStringLiteral("B.BMP")));

    // Choosing a filter reloads the list, with nothing selected.
    QTest::keyClick(w.Filter, Qt::Key_Down);
    QCOMPARE(w.Filter->currentText(), QStringLiteral("Ping"));
    QCOMPARE(w.maske(), QStringLiteral("*.png"));
    QCOMPARE(dateien(w).size(), 4);
    QCOMPARE(w.wert(), QString());

    QTest::keyClick(w.Filter, Qt::Key_End);
    QCOMPARE(w.maske(), QStringLiteral("*jpg"));
    QCOMPARE(dateien(w), (QStringList{QStringLiteral("d.jpg"), QStringLiteral("ejpg"), QStringLiteral("f.JPG")}));

    // At most one file is selected.
    w.Dateien->setFocus();
    waehleDatei(w, QStringLiteral("d.jpg"));
    QTest::mouseClick(w.Dateien->viewport(), Qt::LeftButton, Qt::ControlModifier,
                      w.Dateien->visualItemRect(w.Dateien->item(2)).center());
    QCOMPARE(w.Dateien->selectedItems().size(), 1);
    QCOMPARE(w.wert(), pfad(QStringLiteral("f.JPG")));
}

void TestDateiwahl::verzeichnisliste()
{
    const QString arbeitsverzeichnis = QDir::currentPath();
    Wirt f;
    Dateiwahl &w = *f.wahl;
    QSignalSpy gedrueckt(f.knopf, &QPushButton::clicked);
    f.dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.dialog));
    w.oeffneVerzeichnis(pfad());

    // The way down from the root, one level deeper each, then the folders
    // of the current one, hidden ones left out.
    const QStringList stufen = QDir::cleanPath(pfad()).split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QStringList erwartet{QStringLiteral("0:/")};
    for (int i = 0; i < stufen.size(); ++i)
        erwartet << QString::number(i + 1) + QLatin1Char(':') + stufen[i];
    const QString tiefer = QString::number(stufen.size() + 1) + QLatin1Char(':');
    erwartet << tiefer + QStringLiteral("Leer") << tiefer + QStringLiteral("unter") << tiefer + QStringLiteral("z.bmp");
    QCOMPARE(baum(w), erwartet);
    QCOMPARE(w.Verzeichnisse->currentItem()->text(0), QStringLiteral("baum"));

    // A double-click opens a folder and reloads the file list.
    waehleDatei(w, QStringLiteral("a.bmp"));
    QTreeWidgetItem *unter = eintrag(w, QStringLiteral("unter"));
    QVERIFY(unter);
    doppelklick(w.Verzeichnisse, unter);
    QCOMPARE(w.verzeichnis(), pfad(QStringLiteral("unter")));
    QCOMPARE(dateien(w), QStringList{QStringLiteral("x.bmp")});
    QCOMPARE(w.wert(), QString());
    QCOMPARE(baum(w).mid(erwartet.size() - 3),
             (QStringList{tiefer + QStringLiteral("unter"), QString::number(stufen.size() + 2) + QStringLiteral(":tief")}));

    // Enter opens the entry with the cursor, and only that: the window's
    // default button stays unpressed.
    w.Verzeichnisse->setFocus();
    w.Verzeichnisse->setCurrentItem(eintrag(w, QStringLiteral("baum")));
    QTest::keyClick(w.Verzeichnisse, Qt::Key_Return);
    QCOMPARE(w.verzeichnis(), pfad());
    QTest::keyClick(w.Verzeichnisse, Qt::Key_Down);
    QTest::keyClick(w.Verzeichnisse, Qt::Key_Enter);
    QCOMPARE(w.verzeichnis(), pfad(QStringLiteral("Leer")));
    QCOMPARE(dateien(w), QStringList());
    QCOMPARE(gedrueckt.count(), 0);
    QVERIFY(f.dialog.isVisible());

    QCOMPARE(QDir::currentPath(), arbeitsverzeichnis);
}

void TestDateiwahl::verschwundenesVerzeichnis()
{
    // A folder removed after it was listed: opening it says so, the picker
    // stays, the folder leaves the list, the highlight is where the picker is.
    QVERIFY(QDir().mkpath(pfad(QStringLiteral("Leer/bald weg"))));
    Wirt f;
    Dateiwahl &w = *f.wahl;
    f.dialog.show();
    w.oeffneVerzeichnis(pfad(QStringLiteral("Leer")));
    QTreeWidgetItem *weg = eintrag(w, QStringLiteral("bald weg"));
    QVERIFY(weg);
    QVERIFY(QDir(pfad(QStringLiteral("Leer/bald weg"))).removeRecursively());
    QStringList vorher = zustand(w);
    vorher.removeIf([](const QString &zeile) { return zeile.endsWith(QStringLiteral(":bald weg")); });
    QString meldung;
    gui::beiModal([&](QWidget *m) {
        auto *box = qobject_cast<QMessageBox *>(m);
        QVERIFY(box);
        QCOMPARE(box->windowTitle(), QStringLiteral("Markwerk"));
        QCOMPARE(box->icon(), QMessageBox::Critical);
        meldung = box->text();
    });
    doppelklick(w.Verzeichnisse, weg);
    QCOMPARE(meldung, QStringLiteral("Ungültiger Dateiname."));
    QCOMPARE(zustand(w), vorher);
    QCOMPARE(w.Verzeichnisse->currentItem()->text(0), QStringLiteral("Leer"));
    // What comes while the window is hidden shows at its next showing.
    f.dialog.hide();
    QVERIFY(QDir().mkpath(pfad(QStringLiteral("Leer/neu"))) && hilfen::schreib(pfad(QStringLiteral("Leer/n.bmp")), "x"));
    f.dialog.show();
    QVERIFY(eintrag(w, QStringLiteral("neu")));
    QCOMPARE(dateien(w), QStringList{QStringLiteral("n.bmp")});
    QVERIFY(QDir(pfad(QStringLiteral("Leer/neu"))).removeRecursively() && QFile::remove(pfad(QStringLiteral("Leer/n.bmp"))));
}

void TestDateiwahl::anwenden_data()
{
    QTest::addColumn<QString>("weg");        // relative to the tree unless it starts with "/"
    QTest::addColumn<QString>("verzeichnis"); // relative to the tree
    QTest::addColumn<QString>("maske");
    QTest::addColumn<QStringList>("liste");
    QTest::addColumn<QString>("wert");        // relative to the tree, empty for none

    const QString bmp = QStringLiteral("*.bmp");
    const QStringList bmps{QStringLiteral("a.bmp"), QStringLiteral("B.BMP")};
    QTest::newRow("Datei der Maske") << QStringLiteral("a.bmp") << QString() << bmp << bmps << QStringLiteral("a.bmp");
    QTest::newRow("png bei bmp-Maske") << QStringLiteral("c.png") << QString() << QStringLiteral("c.png")
                                       << QStringList{QStringLiteral("c.png")} << QStringLiteral("c.png");
    // Two files that differ in case are two files; only the one named shows.
    QTest::newRow("klein geschrieben") << QStringLiteral("bild.png") << QString() << QStringLiteral("bild.png")
                                       << QStringList{QStringLiteral("bild.png")} << QStringLiteral("bild.png");
    QTest::newRow("groß geschrieben") << QStringLiteral("Bild.png") << QString() << QStringLiteral("Bild.png")
                                      << QStringList{QStringLiteral("Bild.png")} << QStringLiteral("Bild.png");
    QTest::newRow("Klammern") << QStringLiteral("klammer[1].png") << QString() << QStringLiteral("klammer[1].png")
                              << QStringList{QStringLiteral("klammer[1].png")} << QStringLiteral("klammer[1].png");
    QTest::newRow("versteckte Datei") << QStringLiteral(".versteckt.bmp") << QString() << QStringLiteral(".versteckt.bmp")
                                      << QStringList{QStringLiteral(".versteckt.bmp")} << QStringLiteral(".versteckt.bmp");
    QTest::newRow("Joker wird Maske") << QStringLiteral("*.png") << QString() << QStringLiteral("*.png")
                                      << QStringList{QStringLiteral("Bild.png"), QStringLiteral("bild.png"),
                                                     QStringLiteral("c.png"), QStringLiteral("klammer[1].png")}
                                      << QString();
    QTest::newRow("Fragezeichen wird Maske") << QStringLiteral("?.jpg") << QString() << QStringLiteral("?.jpg")
                                             << QStringList{QStringLiteral("d.jpg"), QStringLiteral("f.JPG")} << QString();
    QTest::newRow("Unterverzeichnis") << QStringLiteral("unter") << QStringLiteral("unter") << bmp
                                      << QStringList{QStringLiteral("x.bmp")} << QString();
    QTest::newRow("mit Trenner") << QStringLiteral("unter/") << QStringLiteral("unter") << bmp
                                 << QStringList{QStringLiteral("x.bmp")} << QString();
    QTest::newRow("Ordner wie eine Datei") << QStringLiteral("z.bmp") << QStringLiteral("z.bmp") << bmp << QStringList()
                                           << QString();
    QTest::newRow("Datei tiefer") << QStringLiteral("unter/x.bmp") << QStringLiteral("unter") << bmp
                                  << QStringList{QStringLiteral("x.bmp")} << QStringLiteral("unter/x.bmp");
    QTest::newRow("Punkte") << QStringLiteral("unter/../a.bmp") << QString() << bmp << bmps << QStringLiteral("a.bmp");
    QTest::newRow("relativ zum Ort") << QStringLiteral("../B.BMP") << QString() << bmp << bmps << QStringLiteral("B.BMP");
    // Made on Windows: the backslashes are separators where nothing has the
    // name as it stands.
    QTest::newRow("Windows-Trenner") << QStringLiteral("unter\\x.bmp") << QStringLiteral("unter") << bmp
                                     << QStringList{QStringLiteral("x.bmp")} << QStringLiteral("unter/x.bmp");
    QTest::newRow("Windows-Trenner relativ") << QStringLiteral("..\\unter\\x.bmp") << QStringLiteral("unter") << bmp
                                             << QStringList{QStringLiteral("x.bmp")} << QStringLiteral("unter/x.bmp");
    QTest::newRow("leer") << QStringLiteral("") << QStringLiteral("Leer") << bmp << QStringList() << QString();
}

void TestDateiwahl::anwenden()
{
    QFETCH(QString, weg);
    QFETCH(QString, verzeichnis);
    QFETCH(QString, maske);
    QFETCH(QStringList, liste);
    QFETCH(QString, wert);

    Wirt f;
    Dateiwahl &w = *f.wahl;
    w.oeffneVerzeichnis(pfad(QStringLiteral("Leer")));
    const bool relativ = weg.startsWith(QStringLiteral(".."));
    const QString gegeben = weg.isEmpty() || relativ ? weg : pfad(weg);
    w.anwenden(gegeben);
    // What is stored stays as it was given.
    QCOMPARE(w.ergebnis(), gegeben);

    QCOMPARE(w.verzeichnis(), pfad(verzeichnis));
    QCOMPARE(w.maske(), maske);
    QCOMPARE(dateien(w), liste);
    QCOMPARE(w.wert(), wert.isEmpty() ? QString() : pfad(wert));
    QCOMPARE(w.Dateien->selectedItems().size(), wert.isEmpty() ? 0 : 1);
    // The filter box keeps its choice whatever the mask became.
    QCOMPARE(w.Filter->currentText(), QStringLiteral("Bitmap"));
    QCOMPARE(w.Verzeichnisse->currentItem()->text(0), QFileInfo(pfad(verzeichnis)).fileName());
}

void TestDateiwahl::anwendenImSelbenVerzeichnis()
{
    Wirt f;
    Dateiwahl &w = *f.wahl;
    f.dialog.show();
    w.oeffneVerzeichnis(pfad());
    waehleDatei(w, QStringLiteral("B.BMP"));
    // The same directory again: no reload, the selection stays.
    w.anwenden(pfad());
    QCOMPARE(w.wert(), pfad(QStringLiteral("B.BMP")));
    // Another file of the listed ones: selected in place of the first.
    w.anwenden(pfad(QStringLiteral("a.bmp")));
    QCOMPARE(w.wert(), pfad(QStringLiteral("a.bmp")));
    QCOMPARE(w.Dateien->selectedItems().size(), 1);
    // A joker: the new mask, nothing selected.
    w.anwenden(pfad(QStringLiteral("*.txt")));
    QCOMPARE(dateien(w), QStringList{QStringLiteral("notiz.txt")});
    QCOMPARE(w.wert(), QString());
}

void TestDateiwahl::anwendenScheitert_data()
{
    QTest::addColumn<QString>("weg");
    QTest::newRow("andere Schreibung") << QStringLiteral("A.BMP");
    QTest::newRow("fehlende Datei") << QStringLiteral("fehlt.bmp");
    QTest::newRow("fehlender Ordner") << QStringLiteral("fehlt/a.bmp");
    QTest::newRow("Datei als Ordner") << QStringLiteral("a.bmp/x.bmp");
    QTest::newRow("weder Datei noch Ordner") << QStringLiteral("fifo");
    QTest::newRow("fehlender Ordner mit Joker") << QStringLiteral("fehlt/*.bmp");
    QTest::newRow("Windows-Trenner ins Nichts") << QStringLiteral("fehlt\\a.bmp");
}

void TestDateiwahl::anwendenScheitert()
{
    QFETCH(QString, weg);
    Wirt f;
    Dateiwahl &w = *f.wahl;
    f.dialog.show();
    w.oeffneVerzeichnis(pfad(QStringLiteral("unter")));
    waehleDatei(w, QStringLiteral("x.bmp"));
    const QStringList vorher = zustand(w);
    QCOMPARE(fehlertext([&] { w.anwenden(pfad(weg)); }), QStringLiteral("3 Ungültiger Dateiname"));
    QCOMPARE(zustand(w), vorher);
}

void TestDateiwahl::entfernteDateiUndOrdner()
{
    QVERIFY(QDir().mkpath(pfad(QStringLiteral("alt"))));
    QVERIFY(hilfen::schreib(pfad(QStringLiteral("alt/weg.bmp")), "x"));
    QVERIFY(hilfen::schreib(pfad(QStringLiteral("alt/bleibt.bmp")), "x"));
    Wirt f;
    Dateiwahl &w = *f.wahl;
    w.anwenden(pfad(QStringLiteral("alt/weg.bmp")));
    QCOMPARE(w.wert(), pfad(QStringLiteral("alt/weg.bmp")));
    w.anwenden(pfad(QStringLiteral("unter/x.bmp")));

    // The file has gone since.
    QVERIFY(QFile::remove(pfad(QStringLiteral("alt/weg.bmp"))));
    QStringList vorher = zustand(w);
    QCOMPARE(fehlertext([&] { w.anwenden(pfad(QStringLiteral("alt/weg.bmp"))); }), QStringLiteral("3 Ungültiger Dateiname"));
    QCOMPARE(zustand(w), vorher);

    // The folder has gone since.
    QVERIFY(QDir(pfad(QStringLiteral("alt"))).removeRecursively());
    QCOMPARE(fehlertext([&] { w.anwenden(pfad(QStringLiteral("alt/bleibt.bmp"))); }),
             QStringLiteral("3 Ungültiger Dateiname"));
    QCOMPARE(fehlertext([&] { w.anwenden(pfad(QStringLiteral("alt"))); }), QStringLiteral("3 Ungültiger Dateiname"));
    QCOMPARE(zustand(w), vorher);
}

void TestDateiwahl::wertAnDerWurzel()
{
    Wirt f;
    Dateiwahl &w = *f.wahl;
    w.anwenden(QStringLiteral("/"));
    QCOMPARE(w.verzeichnis(), QStringLiteral("/"));
    QCOMPARE(baum(w).first(), QStringLiteral("0:/"));
    QVERIFY(baum(w).mid(1).filter(QRegularExpression(QStringLiteral("^[^1]"))).isEmpty());

    const QStringList oben = QDir(QStringLiteral("/")).entryList(QDir::Files | QDir::Hidden);
    if (oben.isEmpty())
        QSKIP("no file at the root to choose");
    // One separator between the root and the name, not two.
    w.anwenden(QStringLiteral("/") + oben.first());
    QCOMPARE(w.wert(), QStringLiteral("/") + oben.first());
}

void TestDateiwahl::laufwerke()
{
    const QStringList wurzeln = Dateiwahl::laufwerke();
    QVERIFY(!wurzeln.isEmpty());
    QCOMPARE(wurzeln.first(), QStringLiteral("/"));
    for (const QString &w : wurzeln)
        QVERIFY2(QFileInfo(w).isDir(), qPrintable(w));
    QCOMPARE(wurzeln.size(), QSet<QString>(wurzeln.cbegin(), wurzeln.cend()).size());

    Wirt f;
    Dateiwahl &w = *f.wahl;
    f.dialog.show();
    w.oeffneVerzeichnis(pfad());
    // The box shows the volume the directory lies on: the longest root
    // that begins its path.
    const QString aktuell = w.Laufwerke->currentData().toString();
    QVERIFY(pfad().startsWith(aktuell));
    for (const QString &r : wurzeln) {
        if (pfad().startsWith(r.endsWith(QLatin1Char('/')) ? r : r + QLatin1Char('/')))
            QVERIFY(r.size() <= aktuell.size());
    }

    // A drive plugged in meanwhile (here a folder of the tree standing in for
    // a stick's mount point). Choosing it goes to its root; choosing the
    // first drive again returns to where the picker was there, and so back.
    const int ursprung = w.Laufwerke->currentIndex();
    w.Laufwerke->addItem(QStringLiteral("stick"), pfad(QStringLiteral("unter")));
    QTest::keyClick(w.Laufwerke, Qt::Key_End);
    QCOMPARE(w.verzeichnis(), pfad(QStringLiteral("unter")));
    QCOMPARE(baum(w).first(), QStringLiteral("0:/"));
    QCOMPARE(dateien(w), QStringList{QStringLiteral("x.bmp")});
    w.oeffneVerzeichnis(pfad(QStringLiteral("unter/tief")));
    QCOMPARE(w.Laufwerke->currentText(), QStringLiteral("stick"));
    w.Laufwerke->setCurrentIndex(ursprung);
    Q_EMIT w.Laufwerke->activated(ursprung);
    QCOMPARE(w.verzeichnis(), pfad());
    QTest::keyClick(w.Laufwerke, Qt::Key_End);
    QCOMPARE(w.verzeichnis(), pfad(QStringLiteral("unter/tief")));

    // The drives are read again when the window appears.
    f.dialog.hide();
    f.dialog.show();
    QVERIFY(w.Laufwerke->findText(QStringLiteral("stick")) < 0);
    QCOMPARE(w.Laufwerke->currentData().toString(), aktuell);
}

void TestDateiwahl::laufwerkNichtLesbar()
{
    Wirt f;
    Dateiwahl &w = *f.wahl;
    f.dialog.show();
    w.oeffneVerzeichnis(pfad());
    waehleDatei(w, QStringLiteral("a.bmp"));
    const QStringList vorher = zustand(w);

    // A drive that cannot be read: its error in the box, and the picker,
    // the drive box too, stays where it was.
    w.Laufwerke->addItem(QStringLiteral("X"), pfad(QStringLiteral("abgezogen")));
    QString meldung;
    gui::beiModal([&](QWidget *m) {
        auto *box = qobject_cast<QMessageBox *>(m);
        QVERIFY(box);
        QCOMPARE(box->windowTitle(), QStringLiteral("Markwerk"));
        QCOMPARE(box->icon(), QMessageBox::Critical);
        meldung = box->text();
        QTest::keyClick(box, Qt::Key_Return);
    });
    QTest::keyClick(w.Laufwerke, Qt::Key_End);
    QCOMPARE(meldung, QStringLiteral("Datei nicht gefunden."));
    QCOMPARE(zustand(w), vorher);

    // Called by code, the same error is thrown.
    QCOMPARE(fehlertext([&] { w.waehleLaufwerk(w.Laufwerke->count() - 1); }), QStringLiteral("2 Datei nicht gefunden"));
    QCOMPARE(zustand(w), vorher);
}

void TestDateiwahl::pfadNichtSpeicherbar()
{
    // A file whose name Windows-1252 lacks, or that is no valid UTF-8, is
    // listed and may be stepped over without a word; only taking it is
    // refused, as a document would store a name that does not exist.
    QTemporaryDir dir;
    QVERIFY(hilfen::schreib(dir.filePath(QStringLiteral("Ψ.png")), "x"));
    QVERIFY(hilfen::schreib(dir.filePath(QStringLiteral("ä.png")), "x"));
    const QByteArray latin1 = QFile::encodeName(dir.path()).append("/b\xE4r.png");
    std::fclose(std::fopen(latin1.constData(), "wb"));
    // Qt could not remove it with the folder.
    const auto weg = qScopeGuard([&] { ::unlink(latin1.constData()); });
    Wirt f;
    Dateiwahl &w = *f.wahl;
    f.dialog.show();
    w.setzeMaske(QStringLiteral("*.png"));
    w.oeffneVerzeichnis(dir.path());
    QCOMPARE(dateien(w), (QStringList{QStringLiteral("ä.png"), QStringLiteral("b\uFFFDr.png"), QStringLiteral("Ψ.png")}));
    gui::Wache wache;
    w.Dateien->setFocus();
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(w.Dateien, Qt::Key_Down);
    QTest::qWait(20);
    QVERIFY(!wache.gezeigt);
    QCOMPARE(w.wert(), dir.filePath(QStringLiteral("Ψ.png")));
    QVERIFY(!w.pruefeWahl());
    QVERIFY(wache.gezeigt);
}

void TestDateiwahl::deutscheOrdnungUndVollerName()
{
    // Umlauts sort with their letters; a name cut off shows whole as a tip.
    QTemporaryDir dir;
    const QStringList namen = QStringLiteral("apfel.bmp|Äpfel.bmp|Über.bmp|Ute.bmp|Zebra mit einem Namen, der nicht "
                                             "in die Liste passt.bmp").split(QLatin1Char('|'));
    for (qsizetype i = namen.size() - 1; i >= 0; --i)
        QVERIFY(hilfen::schreib(dir.filePath(namen[i]), "x"));
    Wirt f;
    f.dialog.show();
    f.wahl->oeffneVerzeichnis(dir.path());
    QCOMPARE(dateien(*f.wahl), namen);
    const auto tipp = [&](int zeile) {
        const QPoint punkt = f.wahl->Dateien->visualItemRect(f.wahl->Dateien->item(zeile)).center();
        QHelpEvent hilfe(QEvent::ToolTip, punkt, f.wahl->Dateien->viewport()->mapToGlobal(punkt));
        QApplication::sendEvent(f.wahl->Dateien->viewport(), &hilfe);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    };
    QCOMPARE(tipp(0), QString());
    QCOMPARE(tipp(4), Qt::convertFromPlainText(namen[4], Qt::WhiteSpaceNoWrap));
}

void TestDateiwahl::zuVieleMuster()
{
    QString maske;
    for (int i = 0; i < 101; ++i)
        maske += QStringLiteral("*%1*;").arg(i);
    Wirt f;
    const QStringList vorher = zustand(*f.wahl);
    try {
        f.wahl->anwenden(pfad(maske));
        QFAIL("angewandt");
    } catch (const Fehler &e) {
        QVERIFY(QString::fromUtf8(e.what()).startsWith(QStringLiteral("Die Dateimaske enthält 101 Muster")));
    }
    QCOMPARE(zustand(*f.wahl), vorher);
}

void TestDateiwahl::ordnerGesperrt()
{
    // A folder that may not be entered (---, r--) is no missing name.
    if (::geteuid() == 0)
        QSKIP("root may enter every folder");
    const QString ordner = pfad(QStringLiteral("gesperrt"));
    QVERIFY(QDir().mkpath(ordner) && hilfen::schreib(ordner + QStringLiteral("/bild.bmp"), "x"));
    const auto zurueck = qScopeGuard([&] { ::chmod(QFile::encodeName(ordner).constData(), 0755); });
    for (const mode_t modus : {0000, 0444}) {
        QCOMPARE(::chmod(QFile::encodeName(ordner).constData(), modus), 0);
        Wirt f;
        QCOMPARE(fehlertext([&] { f.wahl->anwenden(ordner + QStringLiteral("/bild.bmp")); }),
                 QStringLiteral("5 Dateizugriff verweigert"));
    }
}

MARKWERK_GUI_TEST(TestDateiwahl)
#include "tst_dateiwahl.moc"
