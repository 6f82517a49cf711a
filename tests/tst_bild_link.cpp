// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

// Images and links inserted and edited through the main window's buttons,
// menu and edit command, with the real image and link dialogs.

#include "bild.h"
#include "dateiwahl.h"
#include "definitionsdatei.h"
#include "gui.h"
#include "hilfen.h"
#include "hintern.h"
#include "link.h"
#include "objektmodell.h"
#include "win1252.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QTemporaryDir>
#include <QToolButton>
#include <QTreeWidget>

using gui::Programm;
using hilfen::n;

namespace {

// Types text as a keyboard would, also characters beyond Latin-1 that
// QTest::keyClicks cannot send.
void tippe(QWidget *feld, const QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype laenge = text.at(i).isHighSurrogate() ? 2 : 1;
        const QString zeichen = text.mid(i, laenge);
        i += laenge - 1;
        QKeyEvent druck(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, zeichen);
        QApplication::sendEvent(feld, &druck);
        QKeyEvent los(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, zeichen);
        QApplication::sendEvent(feld, &los);
    }
}

QString zeile(const TFrmMarkwerk &f, int i)
{
    return f.Modell()->index(i).data().toString();
}

void waehleZeile(TFrmMarkwerk &f, int i)
{
    f.LstMarkwerk->selectionModel()->select(f.Modell()->index(i), QItemSelectionModel::ClearAndSelect);
}

void klickeDatei(QListWidget *liste, const QString &name)
{
    const QList<QListWidgetItem *> treffer = liste->findItems(name, Qt::MatchExactly | Qt::MatchCaseSensitive);
    QVERIFY(!treffer.isEmpty());
    QTest::mouseClick(liste->viewport(), Qt::LeftButton, {}, liste->visualItemRect(treffer.first()).center());
}

QStringList dateien(const QListWidget *liste)
{
    QStringList namen;
    for (int i = 0; i < liste->count(); ++i)
        namen << liste->item(i)->text();
    return namen;
}

} // namespace

class TestBildLink : public QObject
{
    Q_OBJECT

private:
    QString pfad(const QString &name) const { return m_dir.filePath(name); }
    // A document on disk with the given objects, opened in the program.
    void offne(Programm &p, const std::vector<Objekt> &objekte)
    {
        const QString d = pfad(QStringLiteral("dokument.htd"));
        SchreibeDefinition(n(d), "T", false, "", Objektliste(objekte));
        p.skript->offnen = {d};
        p.fenster->MnuOffnen->trigger();
        QVERIFY(!p.fenster->Geandert());
    }
    void speichere(Programm &p)
    {
        p.skript->speichern = {pfad(QStringLiteral("gespeichert.htd"))};
        p.fenster->MnuSpeichernals->trigger();
        QVERIFY(!p.fenster->Geandert());
    }
    std::string bytes(const QString &name) const { return pfad(name).toStdString(); }

    QTemporaryDir m_dir;

private Q_SLOTS:
    void initTestCase();
    void cleanup();

    void bildEinfuegen();
    void bildOhneDatei();
    void nichtSpeicherbarErstBeimNehmen_data();
    void nichtSpeicherbarErstBeimNehmen();
    void abbrechen_data();
    void abbrechen();
    void bildBearbeiten();
    void bildBearbeitenPngBeiBmpMaske();
    void bildBearbeitenDateiFehlt_data();
    void bildBearbeitenDateiFehlt();
    void bildBearbeitenOhnePfad();
    void pfadeWieGespeichert_data();
    void pfadeWieGespeichert();
    void linkEinfuegenUndBearbeiten();
    void nurWin1252_data();
    void nurWin1252();
    void tasten();
    void aufbau_data();
    void aufbau();
    void lage();
};

void TestBildLink::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY(QDir().mkpath(pfad(QStringLiteral("bilder/urlaub"))));
    for (const char *f : {"bilder/logo.bmp", "bilder/knopf.bmp", "bilder/foto.png", "bilder/urlaub/strand.bmp"})
        QVERIFY(hilfen::schreib(pfad(QString::fromUtf8(f)), "x"));
}

void TestBildLink::cleanup()
{
    gui::keinFensterUebrig();
}

void TestBildLink::bildEinfuegen()
{
    Programm p;
    TFrmMarkwerk &f = *p.fenster;
    bool gezeigt = false;
    gui::beiModal([&](QWidget *w) {
        auto *d = qobject_cast<TFrmBild *>(w);
        QVERIFY(d);
        gezeigt = true;
        QCOMPARE(d->windowTitle(), QStringLiteral("Bild einfügen"));
        QCOMPARE(d->EdtBeschreibung->text(), QString());
        d->Wahl->oeffneVerzeichnis(pfad(QStringLiteral("bilder")));
        QCOMPARE(dateien(d->LstFile), (QStringList{QStringLiteral("knopf.bmp"), QStringLiteral("logo.bmp")}));
        klickeDatei(d->LstFile, QStringLiteral("logo.bmp"));
        QTest::keyClicks(d->EdtBeschreibung, QStringLiteral("Das \"Logo\""));
        d->BtnOk->click();
    });
    f.BtnBild->click();
    QVERIFY(gezeigt);
    const std::string logo = bytes(QStringLiteral("bilder/logo.bmp"));
    QCOMPARE(f.Objekte().Anzahl(), 1);
    QCOMPARE(hilfen::objekt(f.Objekte(), 0), (Objekt{"Bild", "Das \"Logo\"", logo}));
    QCOMPARE(zeile(f, 0), QStringLiteral("Bild: \"Das \"Logo\"\" ") + pfad(QStringLiteral("bilder/logo.bmp")));
    QVERIFY(f.Geandert());

    // The next image: only the description is emptied; the picker still has
    // the file, so OK at once gives the same path.
    gui::beiModal([&](QWidget *w) {
        auto *d = qobject_cast<TFrmBild *>(w);
        QVERIFY(d);
        QCOMPARE(d->EdtBeschreibung->text(), QString());
        QCOMPARE(d->Wahl->wert(), pfad(QStringLiteral("bilder/logo.bmp")));
        d->BtnOk->click();
    });
    f.BtnBild->click();
    QCOMPARE(hilfen::objekt(f.Objekte(), 1), (Objekt{"Bild", "", logo}));
    QCOMPARE(zeile(f, 1), QStringLiteral("Bild: \"\" ") + pfad(QStringLiteral("bilder/logo.bmp")));
    QCOMPARE(f.Modell()->index(1).data(Qt::DecorationRole).value<QIcon>().cacheKey(),
             f.Modell()->index(0).data(Qt::DecorationRole).value<QIcon>().cacheKey());
}

void TestBildLink::bildOhneDatei()
{
    // No file selected: the object is appended with an empty path, and its
    // caption ends with the blank.
    Programm p;
    TFrmMarkwerk &f = *p.fenster;
    gui::beiModal([&](QWidget *w) {
        auto *d = qobject_cast<TFrmBild *>(w);
        QVERIFY(d);
        QVERIFY(d->LstFile->selectedItems().isEmpty());
        QTest::keyClicks(d->EdtBeschreibung, QStringLiteral("leer"));
        d->BtnOk->click();
    });
    f.BtnBild->click();
    QCOMPARE(hilfen::objekt(f.Objekte(), 0), (Objekt{"Bild", "leer", ""}));
    QCOMPARE(zeile(f, 0), QStringLiteral("Bild: \"leer\" "));
}

void TestBildLink::nichtSpeicherbarErstBeimNehmen_data()
{
    QTest::addColumn<bool>("hintergrund");
    QTest::addColumn<bool>("fenstersystem");
    QTest::newRow("Bild, OK") << false << false;
    QTest::newRow("Hintergrund, Schließen") << true << false;
    QTest::newRow("Hintergrund, Fenstersystem") << true << true;
}

void TestBildLink::nichtSpeicherbarErstBeimNehmen()
{
    // A file whose name a definition file cannot hold is refused when it is
    // taken, once, and the window stays open for another choice.
    QFETCH(bool, hintergrund);
    QFETCH(bool, fenstersystem);
    QTemporaryDir dir;
    QVERIFY(hilfen::schreib(dir.filePath(QStringLiteral("Ψ.bmp")), "x") && hilfen::schreib(dir.filePath(QStringLiteral("ä.bmp")), "x"));
    Programm p;
    TFrmMarkwerk &f = *p.fenster;
    QStringList meldungen;
    bool offen = false;
    gui::beiModal([&](QWidget *w) {
        auto *h = qobject_cast<TFrmHintergrund *>(w);
        auto *b = qobject_cast<TFrmBild *>(w);
        Dateiwahl *wahl = h ? h->Wahl : b->Wahl;
        if (h)
            h->ChkAktivieren->click();
        wahl->oeffneVerzeichnis(dir.path());
        QPushButton *knopf = h ? h->BtnSchliesen : b->BtnOk;
        const auto nehmen = [&] { fenstersystem ? (void)w->close() : knopf->click(); };
        gui::beiModal([&](QWidget *box) { meldungen << qobject_cast<QMessageBox *>(box)->text(); });
        klickeDatei(wahl->Dateien, QStringLiteral("Ψ.bmp"));
        nehmen();
        offen = w->isVisible();
        klickeDatei(wahl->Dateien, QStringLiteral("ä.bmp"));
        nehmen();
    });
    hintergrund ? f.MnuHintergrundbild->trigger() : f.BtnBild->click();
    QVERIFY(offen && meldungen.size() == 1 && meldungen.constFirst().contains(QStringLiteral("Ψ.bmp")));
    QCOMPARE(hintergrund ? f.Einstellungen().Hintergrundpfad() : std::string(hilfen::objekt(f.Objekte(), 0).Daten),
             Win1252::zuBytes(dir.filePath(QStringLiteral("ä.bmp"))));
}

void TestBildLink::abbrechen_data()
{
    QTest::addColumn<bool>("link");
    QTest::addColumn<int>("weg");
    const char *wege[] = {"Abbrechen", "Esc", "Fenstersystem"};
    for (int i = 0; i < 3; ++i) {
        QTest::addRow("Bild, %s", wege[i]) << false << i;
        QTest::addRow("Link, %s", wege[i]) << true << i;
    }
}

void TestBildLink::abbrechen()
{
    // Whichever way the dialog is left other than OK, nothing is appended
    // and nothing counts as changed; the last OK's result stays.
    QFETCH(bool, link);
    QFETCH(int, weg);
    Programm p;
    TFrmMarkwerk &f = *p.fenster;
    QToolButton *knopf = link ? f.BtnLink : f.BtnBild;
    gui::beiModal([&](QWidget *w) {
        auto *d = qobject_cast<Objektdialog *>(w);
        QVERIFY(d);
        QTest::keyClicks(d->findChild<QLineEdit *>(), QStringLiteral("erstes"));
        QTest::keyClick(d->findChild<QLineEdit *>(), Qt::Key_Return);
    });
    knopf->click();
    QCOMPARE(f.Objekte().Anzahl(), 1);
    speichere(p);

    bool gezeigt = false;
    gui::beiModal([&](QWidget *w) {
        auto *d = qobject_cast<Objektdialog *>(w);
        QVERIFY(d);
        gezeigt = true;
        QTest::keyClicks(d->findChild<QLineEdit *>(), QStringLiteral("zweites"));
        if (weg == 0) {
            QPushButton *abbrechen = link ? qobject_cast<TFrmLink *>(d)->BtnAbbrechen : qobject_cast<TFrmBild *>(d)->BtnAbbrechen;
            QCOMPARE(abbrechen->text(), QStringLiteral("Abbrechen"));
            abbrechen->click();
        } else if (weg == 1) {
            QTest::keyClick(d->findChild<QLineEdit *>(), Qt::Key_Escape);
        } else {
            QVERIFY(d->close());
        }
        QVERIFY(!d->isVisible());
    });
    knopf->click();
    QVERIFY(gezeigt);
    QCOMPARE(f.Objekte().Anzahl(), 1);
    QVERIFY(!f.Geandert());
    const Objektdialog *d = link ? static_cast<Objektdialog *>(f.findChild<TFrmLink *>())
                                 : static_cast<Objektdialog *>(f.findChild<TFrmBild *>());
    QVERIFY(!d->Ergebnis().Ok);
    QCOMPARE(d->Ergebnis().Beschreibung, std::string("erstes"));
}

void TestBildLink::bildBearbeiten()
{
    Programm p;
    TFrmMarkwerk &f = *p.fenster;
    const std::string logo = bytes(QStringLiteral("bilder/logo.bmp"));
    offne(p, {{"Linie", "Linie", "Linie"}, {"Bild", "Logo", logo}});
    waehleZeile(f, 1);

    // The dialog comes filled: the description, and the picker on the file.
    gui::beiModal([&](QWidget *w) {
        auto *d = qobject_cast<TFrmBild *>(w);
        QVERIFY(d);
        QCOMPARE(d->windowTitle(), QStringLiteral("Bild einfügen"));
        QCOMPARE(d->EdtBeschreibung->text(), QStringLiteral("Logo"));
        QCOMPARE(d->Wahl->verzeichnis(), pfad(QStringLiteral("bilder")));
        QCOMPARE(d->LstFile->selectedItems().size(), 1);
        QCOMPARE(d->LstFile->selectedItems().first()->text(), QStringLiteral("logo.bmp"));
        d->EdtBeschreibung->selectAll();
        QTest::keyClicks(d->EdtBeschreibung, QStringLiteral("Knopf"));
        klickeDatei(d->LstFile, QStringLiteral("knopf.bmp"));
        d->BtnOk->click();
    });
    f.BtnBearbeiten->click();
    const std::string knopf = bytes(QStringLiteral("bilder/knopf.bmp"));
    QCOMPARE(hilfen::objekt(f.Objekte(), 1), (Objekt{"Bild", "Knopf", knopf}));
    QCOMPARE(zeile(f, 1), QStringLiteral("Bild: \"Knopf\" ") + pfad(QStringLiteral("bilder/knopf.bmp")));
    QVERIFY(f.Geandert());

    // Through the menu, left with "Abbrechen": nothing changes.
    speichere(p);
    waehleZeile(f, 1);
    gui::beiModal([&](QWidget *w) {
        auto *d = qobject_cast<TFrmBild *>(w);
        QVERIFY(d);
        QCOMPARE(d->EdtBeschreibung->text(), QStringLiteral("Knopf"));
        d->EdtBeschreibung->setText(QStringLiteral("verworfen"));
        d->Wahl->oeffneVerzeichnis(pfad(QStringLiteral("bilder/urlaub")));
        d->BtnAbbrechen->click();
    });
    f.MnuObjektbearbeiten->trigger();
    QCOMPARE(hilfen::objekt(f.Objekte(), 1), (Objekt{"Bild", "Knopf", knopf}));
    QVERIFY(!f.Geandert());

    // OK without any change still counts as a change.
    gui::beiModal([&](QWidget *w) { qobject_cast<TFrmBild *>(w)->BtnOk->click(); });
    f.BtnBearbeiten->click();
    QCOMPARE(hilfen::objekt(f.Objekte(), 1), (Objekt{"Bild", "Knopf", knopf}));
    QVERIFY(f.Geandert());
}

void TestBildLink::bildBearbeitenPngBeiBmpMaske()
{
    Programm p;
    TFrmMarkwerk &f = *p.fenster;
    const std::string foto = bytes(QStringLiteral("bilder/foto.png"));
    offne(p, {{"Bild", "Foto", foto}});
    waehleZeile(f, 0);
    gui::beiModal([&](QWidget *w) {
        auto *d = qobject_cast<TFrmBild *>(w);
        QVERIFY(d);
        // Only that file, selected; the filter box still says "Bitmap".
        QCOMPARE(dateien(d->LstFile), QStringList{QStringLiteral("foto.png")});
        QCOMPARE(d->LstFile->currentItem()->text(), QStringLiteral("foto.png"));
        QVERIFY(d->LstFile->currentItem()->isSelected());
        QCOMPARE(d->LstFilter->currentText(), QStringLiteral("Bitmap"));
        d->BtnOk->click();
    });
    f.BtnBearbeiten->click();
    QCOMPARE(hilfen::objekt(f.Objekte(), 0).Daten, foto);

    // Until another filter is chosen, inserts see only that file too.
    gui::beiModal([&](QWidget *w) {
        auto *d = qobject_cast<TFrmBild *>(w);
        QVERIFY(d);
        QCOMPARE(dateien(d->LstFile), QStringList{QStringLiteral("foto.png")});
        // Choosing the filter it shows would change nothing: first another.
        QTest::keyClick(d->LstFilter, Qt::Key_Down);
        QTest::keyClick(d->LstFilter, Qt::Key_Home);
        QCOMPARE(dateien(d->LstFile), (QStringList{QStringLiteral("knopf.bmp"), QStringLiteral("logo.bmp")}));
        d->BtnAbbrechen->click();
    });
    f.BtnBild->click();
}

void TestBildLink::bildBearbeitenDateiFehlt_data()
{
    QTest::addColumn<QString>("ordner");
    QTest::newRow("Datei entfernt") << QStringLiteral("weg1");
    QTest::newRow("Ordner entfernt") << QStringLiteral("weg2");
}

void TestBildLink::bildBearbeitenDateiFehlt()
{
    // The file or its folder has gone: the error is shown, the dialog is
    // not, and the object stays as it was.
    QFETCH(QString, ordner);
    QVERIFY(QDir().mkpath(pfad(ordner)));
    const QString datei = pfad(ordner + QStringLiteral("/alt.bmp"));
    QVERIFY(hilfen::schreib(datei, "x"));
    Programm p;
    TFrmMarkwerk &f = *p.fenster;
    offne(p, {{"Bild", "Alt", datei.toStdString()}});
    if (ordner == u"weg1")
        QVERIFY(QFile::remove(datei));
    else
        QVERIFY(QDir(pfad(ordner)).removeRecursively());

    const auto *bild = f.findChild<TFrmBild *>();
    const QString ort = bild->Wahl->verzeichnis();
    gui::Wache wache;
    waehleZeile(f, 0);
    f.BtnBearbeiten->click();
    QCOMPARE(p.skript->fehlermeldungen, QStringList{QStringLiteral("Ungültiger Dateiname.")});
    QVERIFY(!wache.gezeigt);
    QCOMPARE(hilfen::objekt(f.Objekte(), 0), (Objekt{"Bild", "Alt", datei.toStdString()}));
    QVERIFY(!f.Geandert());
    QCOMPARE(bild->Wahl->verzeichnis(), ort);
}

void TestBildLink::bildBearbeitenOhnePfad()
{
    // An image without a path: the picker stays as last used, and OK stores
    // what it has selected then.
    Programm p;
    TFrmMarkwerk &f = *p.fenster;
    offne(p, {{"Bild", "ohne", ""}});
    gui::beiModal([&](QWidget *w) {
        auto *d = qobject_cast<TFrmBild *>(w);
        d->Wahl->anwenden(pfad(QStringLiteral("bilder/urlaub/strand.bmp")));
        d->BtnOk->click();
    });
    f.BtnBild->click();
    waehleZeile(f, 0);
    gui::beiModal([&](QWidget *w) {
        auto *d = qobject_cast<TFrmBild *>(w);
        QCOMPARE(d->EdtBeschreibung->text(), QStringLiteral("ohne"));
        QCOMPARE(d->Wahl->wert(), pfad(QStringLiteral("bilder/urlaub/strand.bmp")));
        d->BtnOk->click();
    });
    f.BtnBearbeiten->click();
    QCOMPARE(hilfen::objekt(f.Objekte(), 0).Daten, bytes(QStringLiteral("bilder/urlaub/strand.bmp")));
}

void TestBildLink::pfadeWieGespeichert_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("relativ");
    for (const char *name : {"stern*.bmp", "frage?.png", "semi;colon.png", "klammer[1].gif", "Ümlaut;*ß.jpg"})
        QTest::newRow(name) << QString::fromUtf8(name) << false;
    QTest::newRow("relativ") << QStringLiteral("logo.gif") << true;
}

void TestBildLink::pfadeWieGespeichert()
{
    // A picture path names exactly its file, wildcards and all; a relative
    // one starts from the definition file's folder, whatever the working
    // folder. As background and as image the picker selects that file, and
    // OK and Save keep the path as it was stored.
    QFETCH(QString, name);
    QFETCH(bool, relativ);
    QTemporaryDir ordner;
    const QString datei = ordner.filePath(name);
    QVERIFY(hilfen::schreib(datei, "x") && hilfen::schreib(ordner.filePath(QStringLiteral("anderes.bmp")), "x"));
    const std::string gespeichert = Win1252::zuBytes(relativ ? name : datei);
    const QString d = ordner.filePath(QStringLiteral("seite.htd"));
    SchreibeDefinition(n(d), "T", true, gespeichert, Objektliste({{"Bild", "B", gespeichert}}));
    const QByteArray vorher = hilfen::lies(d);
    const QString arbeitsordner = QDir::currentPath();
    const auto zurueck = qScopeGuard([&] { QDir::setCurrent(arbeitsordner); });
    QVERIFY(QDir::setCurrent(QStringLiteral("/")));

    Programm p({d});
    TFrmMarkwerk &f = *p.fenster;
    QCOMPARE(f.findChild<TFrmHintergrund *>()->Wahl->wert(), datei);
    waehleZeile(f, 0);
    gui::beiModal([&](QWidget *w) {
        QVERIFY(qobject_cast<TFrmBild *>(w));
        QCOMPARE(qobject_cast<TFrmBild *>(w)->Wahl->wert(), datei);
        qobject_cast<TFrmBild *>(w)->BtnOk->click();
    });
    f.BtnBearbeiten->click();
    QCOMPARE(p.skript->fehlermeldungen, QStringList());
    f.MnuSpeichern->trigger();
    QCOMPARE(hilfen::lies(d), vorher);
}

void TestBildLink::linkEinfuegenUndBearbeiten()
{
    Programm p;
    TFrmMarkwerk &f = *p.fenster;
    for (const char *text : {"Start", "Zweiter"}) {
        gui::beiModal([&](QWidget *w) {
            auto *d = qobject_cast<TFrmLink *>(w);
            QVERIFY(d);
            QCOMPARE(d->windowTitle(), QStringLiteral("Link einfügen"));
            // Both fields empty, also after an earlier link.
            QCOMPARE(d->EdtBeschreibung->text(), QString());
            QCOMPARE(d->EdtAdresse->text(), QString());
            QTest::keyClicks(d->EdtBeschreibung, QString::fromUtf8(text));
            QTest::keyClicks(d->EdtAdresse, QStringLiteral(" index.htm#a b "));
            d->BtnOk->click();
        });
        f.BtnLink->click();
    }
    // The address exactly as typed, blanks and all; texts of any length.
    QCOMPARE(hilfen::objekt(f.Objekte(), 0), (Objekt{"Link", "Start", " index.htm#a b "}));
    QCOMPARE(zeile(f, 1), QStringLiteral("Link: \"Zweiter\"  index.htm#a b "));
    QVERIFY(f.Geandert());

    speichere(p);
    waehleZeile(f, 0);
    gui::beiModal([&](QWidget *w) {
        auto *d = qobject_cast<TFrmLink *>(w);
        QVERIFY(d);
        QCOMPARE(d->windowTitle(), QStringLiteral("Link einfügen"));
        QCOMPARE(d->EdtBeschreibung->text(), QStringLiteral("Start"));
        QCOMPARE(d->EdtAdresse->text(), QStringLiteral(" index.htm#a b "));
        d->EdtAdresse->setText(QString());
        d->BtnOk->click();
    });
    f.MnuObjektbearbeiten->trigger();
    QCOMPARE(hilfen::objekt(f.Objekte(), 0), (Objekt{"Link", "Start", ""}));
    QCOMPARE(zeile(f, 0), QStringLiteral("Link: \"Start\" "));
    QCOMPARE(hilfen::objekt(f.Objekte(), 0).Art, std::string("Link"));
    QVERIFY(f.Geandert());

    speichere(p);
    gui::beiModal([&](QWidget *w) {
        auto *d = qobject_cast<TFrmLink *>(w);
        d->EdtAdresse->setText(QStringLiteral("anders"));
        d->BtnAbbrechen->click();
    });
    f.BtnBearbeiten->click();
    QCOMPARE(hilfen::objekt(f.Objekte(), 0), (Objekt{"Link", "Start", ""}));
    QVERIFY(!f.Geandert());
}

void TestBildLink::nurWin1252_data()
{
    QTest::addColumn<bool>("link");
    QTest::addColumn<bool>("adresse");
    QTest::newRow("Bild") << false << false;
    QTest::newRow("Link") << true << false;
    QTest::newRow("Adresse") << true << true;
}

void TestBildLink::nurWin1252()
{
    // What the field shows is what is stored: a character the definition
    // file cannot hold turns into "?" as it is typed or pasted.
    QFETCH(bool, link);
    QFETCH(bool, adresse);
    Programm p;
    TFrmMarkwerk &f = *p.fenster;
    gui::beiModal([&](QWidget *w) {
        QLineEdit *feld = link ? (adresse ? qobject_cast<TFrmLink *>(w)->EdtAdresse : qobject_cast<TFrmLink *>(w)->EdtBeschreibung)
                               : qobject_cast<TFrmBild *>(w)->EdtBeschreibung;
        tippe(feld, QStringLiteral("Straße Ω"));
        QCOMPARE(feld->text(), QStringLiteral("Straße ?"));
        feld->insert(QStringLiteral(" €\U0001F600."));
        QCOMPARE(feld->text(), QStringLiteral("Straße ? €?."));
        QCOMPARE(feld->cursorPosition(), feld->text().size());
        qobject_cast<Objektdialog *>(w)->BtnOkClick();
    });
    (link ? f.BtnLink : f.BtnBild)->click();
    const std::string erwartet = "Stra\xDF" "e ? \x80?.";
    const Objekt &o = hilfen::objekt(f.Objekte(), 0);
    QCOMPARE(adresse ? o.Daten : o.Beschreibung, erwartet);
}

void TestBildLink::tasten()
{
    // Enter in a field is OK.
    Programm p;
    TFrmMarkwerk &f = *p.fenster;
    gui::beiModal([&](QWidget *w) {
        auto *d = qobject_cast<TFrmBild *>(w);
        QVERIFY(d);
        QVERIFY(d->BtnOk->isDefault());
        QVERIFY(!d->BtnAbbrechen->isDefault());
        d->Wahl->anwenden(pfad(QStringLiteral("bilder/urlaub/strand.bmp")));
        QTest::keyClicks(d->EdtBeschreibung, QStringLiteral("Strand"));
        QTest::keyClick(d->EdtBeschreibung, Qt::Key_Enter);
    });
    f.BtnBild->click();
    QCOMPARE(hilfen::objekt(f.Objekte(), 0), (Objekt{"Bild", "Strand", bytes(QStringLiteral("bilder/urlaub/strand.bmp"))}));

    gui::beiModal([&](QWidget *w) {
        auto *d = qobject_cast<TFrmLink *>(w);
        QVERIFY(d);
        QTest::keyClicks(d->EdtBeschreibung, QStringLiteral("a"));
        QTest::keyClick(d->EdtBeschreibung, Qt::Key_Tab);
        QTest::keyClicks(d->EdtAdresse, QStringLiteral("b"));
        QTest::keyClick(d->EdtAdresse, Qt::Key_Return);
    });
    f.BtnLink->click();
    QCOMPARE(hilfen::objekt(f.Objekte(), 1), (Objekt{"Link", "a", "b"}));
}

void TestBildLink::aufbau_data()
{
    QTest::addColumn<bool>("link");
    QTest::newRow("Bild") << false;
    QTest::newRow("Link") << true;
}

void TestBildLink::aufbau()
{
    QFETCH(bool, link);
    Programm p;
    TFrmMarkwerk &f = *p.fenster;
    struct Platz
    {
        QWidget *w;
        QRect r;
    };
    QList<Platz> plaetze;
    QList<QWidget *> folge;
    QList<QLabel *> beschriftungen;
    Objektdialog *dialog = nullptr;
    if (link) {
        auto *d = f.findChild<TFrmLink *>();
        dialog = d;
        plaetze = {{d->LblBeschreibung, {8, 8, 81, 17}},    {d->LblAdresse, {8, 32, 81, 17}},
                   {d->EdtBeschreibung, {96, 8, 321, 21}},  {d->EdtAdresse, {96, 32, 321, 21}},
                   {d->BtnOk, {296, 64, 121, 33}},          {d->BtnAbbrechen, {296, 104, 121, 33}}};
        folge = {d->EdtBeschreibung, d->EdtAdresse, d->BtnOk, d->BtnAbbrechen};
        beschriftungen = {d->LblBeschreibung, d->LblAdresse};
        QCOMPARE(d->windowTitle(), QStringLiteral("Link einfügen"));
    } else {
        auto *d = f.findChild<TFrmBild *>();
        dialog = d;
        plaetze = {{d->LblBeschreibung, {8, 8, 81, 17}},   {d->EdtBeschreibung, {96, 8, 321, 21}},
                   {d->LstDrive, {8, 40, 137, 19}},         {d->LstDir, {8, 64, 137, 153}},
                   {d->LstFilter, {152, 40, 137, 21}},      {d->LstFile, {152, 64, 137, 153}},
                   {d->BtnOk, {296, 40, 121, 33}},          {d->BtnAbbrechen, {296, 80, 121, 33}}};
        folge = {d->EdtBeschreibung, d->LstDrive, d->LstDir, d->LstFilter, d->LstFile, d->BtnOk, d->BtnAbbrechen};
        beschriftungen = {d->LblBeschreibung};
        QCOMPARE(d->windowTitle(), QStringLiteral("Bild einfügen"));
    }
    QVERIFY(dialog);
    QCOMPARE(dialog->size(), QSize(425, 225));
    QCOMPARE(dialog->minimumSize(), dialog->maximumSize());
    const Qt::WindowFlags flaggen = dialog->windowFlags();
    QVERIFY(!(flaggen & (Qt::WindowCloseButtonHint | Qt::WindowMinMaxButtonsHint | Qt::WindowSystemMenuHint)));
    for (const Platz &pl : plaetze)
        QCOMPARE(pl.w->geometry(), pl.r);
    for (QLabel *l : beschriftungen) {
        QCOMPARE(l->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
        QVERIFY2(l->fontMetrics().horizontalAdvance(l->text()) <= l->contentsRect().width(), qPrintable(l->text()));
    }
    const auto knoepfe = dialog->findChildren<QPushButton *>();
    for (QPushButton *k : knoepfe) {
        QVERIFY(!k->icon().isNull());
        QVERIFY2(k->sizeHint().width() <= k->width() && k->sizeHint().height() <= k->height(), qPrintable(k->text()));
    }
    QCOMPARE(knoepfe.at(0)->text(), QStringLiteral("OK"));
    QCOMPARE(knoepfe.at(1)->text(), QStringLiteral("Abbrechen"));

    // Tab goes through the controls in their order, and round again.
    gui::beiModal([&](QWidget *w) {
        QCOMPARE(w, dialog);
        QTRY_COMPARE(QApplication::focusWidget(), folge.first());
        for (int i = 1; i <= folge.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), folge.at(i % folge.size()));
        }
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    });
    (link ? f.BtnLink : f.BtnBild)->click();
}

void TestBildLink::lage()
{
    // Centred on the screen at first, the frame a window manager adds
    // included; afterwards where it was left.
    QCOMPARE(Fensterart::rahmenMitte(QSize(425, 225), QMargins(1, 20, 1, 1), QRect(0, 0, 1280, 1024)), QPoint(426, 389));
    Programm p;
    TFrmMarkwerk &f = *p.fenster;
    const QRect bildschirm = QGuiApplication::primaryScreen()->availableGeometry();
    for (QToolButton *knopf : {f.BtnBild, f.BtnLink}) {
        gui::beiModal([&](QWidget *w) {
            QRect mitte(QPoint(), w->frameGeometry().size());
            mitte.moveCenter(bildschirm.center());
            QCOMPARE(w->frameGeometry().topLeft(), mitte.topLeft());
            w->move(30, 40);
            QTest::keyClick(w, Qt::Key_Escape);
        });
        knopf->click();
        gui::beiModal([&](QWidget *w) {
            QCOMPARE(w->pos(), QPoint(30, 40));
            QTest::keyClick(w, Qt::Key_Escape);
        });
        knopf->click();
    }
}

MARKWERK_GUI_TEST(TestBildLink)
#include "tst_bild_link.moc"
