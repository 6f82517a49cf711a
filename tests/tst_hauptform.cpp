// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

// The main window driven as a user would: start-up, file commands, list
// editing and the internal clipboard.

#include "dateinamenfeld.h"
#include "definitionsdatei.h"
#include "fehler.h"
#include "gui.h"
#include "hilfen.h"
#include "objektdialog.h"
#include "objektmodell.h"

#include <QAbstractItemModelTester>
#include <QAccessible>
#include <QAbstractProxyModel>
#include <QAction>
#include <QComboBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScopeGuard>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QToolButton>
#include <QTextDocument>
#include <QToolTip>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>

using namespace hilfen;
using gui::Programm;

class TestHauptform : public QObject
{
    Q_OBJECT

private:
    QString pfad(const QString &name) const { return m_dir.filePath(name); }
    // A definition file with the given objects.
    QString datei(const QString &name, const std::vector<Objekt> &objekte, const std::string &titel = "T")
    {
        Speichereinstellungen e;
        e.setzeTitel(titel);
        SchreibeDefinition(n(pfad(name)), titel, false, "", Objektliste(objekte));
        return pfad(name);
    }
    static QStringList zeilen(const TFrmMarkwerk &f)
    {
        QStringList z;
        for (int i = 0; i < f.Modell()->rowCount(); ++i)
            z << f.Modell()->index(i).data().toString();
        return z;
    }
    static void waehle(TFrmMarkwerk &f, int zeile)
    {
        f.LstMarkwerk->selectionModel()->select(f.Modell()->index(zeile), QItemSelectionModel::ClearAndSelect);
    }
    static std::vector<Objekt> abc()
    {
        return {{"Text", "A", "a"}, {"Text", "B", "b"}, {"Text", "C", "c"}};
    }

    QTemporaryDir m_dir;

private Q_SLOTS:
    void cleanup();

    void startOhneArgumente();
    void startMitEinerDatei();
    void startMitFehlenderDatei();
    void startMitZweiArgumenten();
    void aufbau();
    void menueUndKurzwahl();
    void dateinameImStatusfeld();

    void neuMitUndOhneRueckfrage();
    void offnenUndSpeichern();
    void speichernAlsAbbrechen();
    void jaOhneSpeichernBrichtAb();
    void neinVerwirftAenderungen();
    void offnenFehlerLaesstDokument();
    void speichernFehlerLaesstDokument();
    void schliessenFragtUndSpeichert();
    void schliessenBleibtOffenWennSpeichernScheitert();
    void generieren();
    void rueckfrageDialogEchtesFenster();
    void fehlerboxEchtesFenster();
    void dateidialogeEchteFenster();

    void linieEinfuegen();
    void loschen();
    void verschieben();
    void ohneAuswahlNichts();
    void tastenErreichenBefehle();
    void leisteMitTastatur();
    void ablage();
    void ablageLeereBeschreibung();
    void modellIstGesund();
    void pfeilNachLaden();
    void fokusInDialogen();
    void jedesBedienelementHatNamen();
};

void TestHauptform::cleanup()
{
    gui::keinFensterUebrig();
}

void TestHauptform::startOhneArgumente()
{
    Programm p;
    QCOMPARE(p.fenster->Modell()->rowCount(), 0);
    QCOMPARE(p.fenster->Dateiname(), QStringLiteral("- Kein Dateiname -"));
    QCOMPARE(p.fenster->Einstellungen().Titel(), std::string("HTML - Dokument"));
    QVERIFY(!p.fenster->Einstellungen().HintergrundAktiv());
    QVERIFY(!p.fenster->Geandert());
    QVERIFY(p.fenster->close());
    QCOMPARE(p.skript->gefragt, 0);
}

void TestHauptform::startMitEinerDatei()
{
    const QString d = datei(QStringLiteral("start.htd"), abc(), "Start");
    // A relative name stays as typed.
    const QString relativ = QDir::current().relativeFilePath(d);
    Programm p({relativ});
    QCOMPARE(zeilen(*p.fenster), (QStringList{QStringLiteral("Text: \"A\""), QStringLiteral("Text: \"B\""),
                                              QStringLiteral("Text: \"C\"")}));
    QCOMPARE(p.fenster->Dateiname(), relativ);
    QCOMPARE(p.fenster->Einstellungen().Titel(), std::string("Start"));
    QVERIFY(!p.fenster->Geandert());
    // Save writes back to the name as given.
    p.fenster->BtnLinie->click();
    p.fenster->BtnSpeichern->click();
    QCOMPARE(LeseDefinition(n(d)).Objekte.size(), std::size_t(4));
    QVERIFY(p.fenster->close());
    QCOMPARE(p.skript->gefragt, 0);
}

void TestHauptform::startMitFehlenderDatei()
{
    Programm p({pfad(QStringLiteral("fehlt.htd"))});
    QCOMPARE(p.skript->fehlermeldungen, QStringList{QStringLiteral("Datei nicht gefunden.")});
    QCOMPARE(p.fenster->Dateiname(), QStringLiteral("- Kein Dateiname -"));
    QCOMPARE(p.fenster->Modell()->rowCount(), 0);
    QVERIFY(p.fenster->isVisible());

    // A file that ends early: the document stays empty.
    QVERIFY(schreib(pfad(QStringLiteral("kurz.htd")), saetze({3, 65})));
    Programm q({pfad(QStringLiteral("kurz.htd"))});
    QCOMPARE(q.skript->fehlermeldungen, QStringList{QStringLiteral("Lesen nach Dateiende (EOF)")});
    QCOMPARE(q.fenster->Einstellungen().Titel(), std::string("HTML - Dokument"));
    QCOMPARE(q.fenster->Dateiname(), QStringLiteral("- Kein Dateiname -"));
}

void TestHauptform::startMitZweiArgumenten()
{
    const QString d = datei(QStringLiteral("zwei.htd"), abc());
    Programm p({d, d});
    QCOMPARE(p.fenster->Modell()->rowCount(), 0);
    QCOMPARE(p.fenster->Dateiname(), QStringLiteral("- Kein Dateiname -"));
}

void TestHauptform::aufbau()
{
    Programm p;
    TFrmMarkwerk &f = *p.fenster;
    QCOMPARE(f.windowTitle(), QStringLiteral("Markwerk"));
    // Client area: strip, list and status bar.
    QCOMPARE(f.centralWidget()->height() + f.PnlStatus->height(), 389);
    QCOMPARE(f.width(), 449);
    QCOMPARE(f.PnlButtons->height(), 41);
    QCOMPARE(f.PnlStatus->height(), 25);
    QCOMPARE(f.LstMarkwerk->height(), 389 - 41 - 25);

    const struct
    {
        QToolButton *knopf;
        const char *hinweis;
        int x;
    } knoepfe[] = {{f.BtnNeu, "Neu", 8},           {f.BtnOffnen, "Öffnen", 34},       {f.BtnSpeichern, "Speichern", 60},
                   {f.BtnGenerieren, "Generieren", 96}, {f.BtnBild, "Bild", 133},     {f.BtnLinie, "Linie", 159},
                   {f.BtnLink, "Link", 185},        {f.BtnTabelle, "Tabelle", 211},    {f.BtnText, "Text", 237},
                   {f.BtnLoschen, "Entfernen", 272}, {f.BtnBearbeiten, "Bearbeiten", 298},
                   {f.BtnRauf, "Aufwärts", 336},    {f.BtnRunter, "Abwärts", 362}};
    for (const auto &k : knoepfe) {
        QCOMPARE(k.knopf->toolTip(), QString::fromUtf8(k.hinweis));
        QCOMPARE(k.knopf->geometry(), QRect(k.x, 8, 25, 25));
        QVERIFY(k.knopf->autoRaise());
        QVERIFY(!k.knopf->icon().isNull());
        QVERIFY(k.knopf->text().isEmpty() || k.knopf->toolButtonStyle() == Qt::ToolButtonIconOnly);
    }

    // Enlarging the window enlarges the list; the buttons stay.
    f.resize(800, 600);
    QTRY_COMPARE(f.LstMarkwerk->width(), 800);
    QCOMPARE(f.BtnRunter->geometry(), QRect(362, 8, 25, 25));

    // The status text fits in its panel.
    const QLabel *panel = f.PnlStatus->findChild<QLabel *>();
    QVERIFY(panel);
    QVERIFY(panel->width() >= panel->fontMetrics().horizontalAdvance(panel->text()));
}

void TestHauptform::dateinameImStatusfeld()
{
    // A long name never widens the window: it is drawn as it is (no rich
    // text), shortened in the middle, and whole as the tooltip.
    const QString d = m_dir.filePath(QStringLiteral("<i>") + QString(150, u'x') + QStringLiteral(".htd"));
    Programm p;
    TFrmMarkwerk &f = *p.fenster;
    p.skript->speichern = {d};
    f.MnuSpeichernals->trigger();
    QTRY_COMPARE(f.width(), 449);
    QVERIFY(f.minimumSizeHint().width() < 449);
    auto *feld = f.PnlStatus->findChild<Dateinamenfeld *>();
    QVERIFY(feld && feld->gezeigt().contains(QStringLiteral("<i>")) && feld->gezeigt().contains(QChar(0x2026)));
    QHelpEvent hilfe(QEvent::ToolTip, QPoint(5, 5), feld->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(feld, &hilfe);
    // As plain text: the "<i>" shows, nothing is in italics.
    QTRY_COMPARE(QToolTip::text(), Qt::convertFromPlainText(d, Qt::WhiteSpaceNoWrap));
}

void TestHauptform::menueUndKurzwahl()
{
    Programm p;
    TFrmMarkwerk &f = *p.fenster;
    QStringList oben;
    for (QAction *a : f.menuBar()->actions())
        oben << a->text();
    QCOMPARE(oben, (QStringList{QStringLiteral("&Datei"), QStringLiteral("&Bearbeiten"), QStringLiteral("&Einstellungen"),
                                QStringLiteral("&Hilfe")}));
    const auto eintraege = [](QMenu *m) {
        QStringList e;
        for (QAction *a : m->actions())
            e << (a->isSeparator() ? QStringLiteral("-") : a->text() + QLatin1Char('|') + a->shortcut().toString(QKeySequence::NativeText));
        return e;
    };
    QCOMPARE(eintraege(f.MnuDatei),
             (QStringList{QStringLiteral("Neu|Strg+N"), QStringLiteral("Öffnen|Strg+O"), QStringLiteral("Speichern|Strg+S"),
                          QStringLiteral("Speichern als|"), QStringLiteral("-"), QStringLiteral("HTML - Datei generieren|"),
                          QStringLiteral("-"), QStringLiteral("Beenden|")}));
    QCOMPARE(eintraege(f.MnuBearbeiten),
             (QStringList{QStringLiteral("Kopieren|Strg+C"), QStringLiteral("Ausschneiden|Strg+X"),
                          QStringLiteral("Einfügen|Strg+V"), QStringLiteral("-"), QStringLiteral("Objekt bearbeiten|"),
                          QStringLiteral("Löschen|Entf"), QStringLiteral("-"), QStringLiteral("Nach oben verschieben|"),
                          QStringLiteral("Nach unten verschieben|")}));
    QCOMPARE(eintraege(f.MnuEinstellungen),
             (QStringList{QStringLiteral("Dokumenttitel|"), QStringLiteral("Hintergrundbild|")}));
    QCOMPARE(eintraege(f.MnuHilfe), (QStringList{QStringLiteral("Index|F1"), QStringLiteral("-"), QStringLiteral("Info|")}));
}

void TestHauptform::neuMitUndOhneRueckfrage()
{
    Programm p;
    TFrmMarkwerk &f = *p.fenster;
    f.MnuNeu->trigger();
    QCOMPARE(p.skript->gefragt, 0);
    QCOMPARE(f.Einstellungen().Titel(), std::string());

    f.Einstellungen().setzeTitel("Neu");
    f.Einstellungen().setzeHintergrundAktiv(true);
    f.BtnLinie->click();
    QVERIFY(f.Geandert());
    p.skript->fragen = {false};
    f.BtnNeu->click();
    QCOMPARE(p.skript->gefragt, 1);
    QCOMPARE(f.Modell()->rowCount(), 0);
    QCOMPARE(f.Einstellungen().Titel(), std::string());
    QVERIFY(!f.Einstellungen().HintergrundAktiv());
    QVERIFY(!f.Geandert());
}

void TestHauptform::offnenUndSpeichern()
{
    Programm p;
    TFrmMarkwerk &f = *p.fenster;
    const QString d = datei(QStringLiteral("offnen.htd"), abc(), "Offen");
    p.skript->offnen = {d};
    f.BtnOffnen->click();
    QCOMPARE(f.Dateiname(), d);
    QCOMPARE(f.Modell()->rowCount(), 3);
    QCOMPARE(f.Einstellungen().Titel(), std::string("Offen"));
    QVERIFY(!f.Geandert());

    // Save with a file name writes at once; the title alone changes nothing.
    f.Einstellungen().setzeTitel("Anders");
    QVERIFY(!f.Geandert());
    f.MnuSpeichern->trigger();
    QCOMPARE(p.skript->protokoll, (QStringList{QStringLiteral("offnen")}));
    QCOMPARE(LeseDefinition(n(d)).Titel, std::string("Anders"));

    // Save As asks for a name and makes it the current one.
    const QString neu = pfad(QStringLiteral("neu.htd"));
    p.skript->speichern = {neu};
    f.BtnLinie->click();
    f.MnuSpeichernals->trigger();
    QCOMPARE(f.Dateiname(), neu);
    QVERIFY(!f.Geandert());
    QCOMPARE(LeseDefinition(n(neu)).Objekte.size(), std::size_t(4));

    // Save of an unnamed document asks for a name.
    f.MnuNeu->trigger();
    f.BtnLinie->click();
    const QString unbenannt = pfad(QStringLiteral("unbenannt.htd"));
    p.skript->speichern = {unbenannt};
    f.MnuSpeichern->trigger();
    QCOMPARE(f.Dateiname(), unbenannt);
    QCOMPARE(lies(unbenannt).size(), qsizetype(12 + 3 * (4 + 4 + 4 * 5)));
}

void TestHauptform::speichernAlsAbbrechen()
{
    Programm p;
    TFrmMarkwerk &f = *p.fenster;
    f.BtnLinie->click();
    p.skript->speichern = {std::nullopt};
    f.MnuSpeichernals->trigger();
    QVERIFY(f.Geandert());
    QCOMPARE(f.Dateiname(), QStringLiteral("- Kein Dateiname -"));
}

void TestHauptform::jaOhneSpeichernBrichtAb()
{
    // "Ja", then the save dialog cancelled: nothing is lost and nothing goes on.
    Programm p;
    TFrmMarkwerk &f = *p.fenster;
    f.BtnLinie->click();
    p.skript->fragen = {true, true, true};
    p.skript->speichern = {std::nullopt, std::nullopt, std::nullopt};
    f.MnuNeu->trigger();
    QCOMPARE(f.Modell()->rowCount(), 1);
    f.MnuOffnen->trigger();
    QCOMPARE(p.skript->protokoll, (QStringList{QStringLiteral("frage"), QStringLiteral("speichern"), QStringLiteral("frage"),
                                               QStringLiteral("speichern")}));
    QVERIFY(!f.close());
    QVERIFY(f.isVisible());
    QVERIFY(f.Geandert());

    // "Ja" with a name: the save dialog, then the open dialog.
    const QString gespeichert = pfad(QStringLiteral("ja.htd"));
    const QString d = datei(QStringLiteral("andere.htd"), abc());
    p.skript->protokoll.clear();
    p.skript->fragen = {true};
    p.skript->speichern = {gespeichert};
    p.skript->offnen = {d};
    f.MnuOffnen->trigger();
    QCOMPARE(p.skript->protokoll, (QStringList{QStringLiteral("frage"), QStringLiteral("speichern"), QStringLiteral("offnen")}));
    QCOMPARE(LeseDefinition(n(gespeichert)).Objekte.size(), std::size_t(1));
    QCOMPARE(f.Dateiname(), d);
}

void TestHauptform::neinVerwirftAenderungen()
{
    Programm p;
    TFrmMarkwerk &f = *p.fenster;
    f.BtnLinie->click();
    // "Nein", then the open dialog cancelled: the document stays, changed.
    p.skript->fragen = {false};
    p.skript->offnen = {std::nullopt};
    f.BtnOffnen->click();
    QCOMPARE(f.Modell()->rowCount(), 1);
    QVERIFY(f.Geandert());
    // The next command asks again.
    p.skript->fragen = {false};
    QVERIFY(f.close());
    QCOMPARE(p.skript->gefragt, 2);
}

void TestHauptform::offnenFehlerLaesstDokument()
{
    Programm p;
    TFrmMarkwerk &f = *p.fenster;
    f.BtnLinie->click();
    const QString gut = datei(QStringLiteral("gut.htd"), abc(), "Gut");
    p.skript->fragen = {false};
    p.skript->offnen = {gut};
    f.BtnOffnen->click();

    f.BtnLinie->click();
    // A file that ends early, one that vanished, one with too few entries.
    QVERIFY(schreib(pfad(QStringLiteral("kurz.htd")), lies(gut).chopped(3)));
    QVERIFY(schreib(pfad(QStringLiteral("index.htd")), saetze({0, 0, 2, 1}) + zeichenkette("Linie") + saetze({1})
                                                           + zeichenkette("Linie") + saetze({1}) + zeichenkette("Linie")));
    const QStringList erwartet{QStringLiteral("Lesen nach Dateiende (EOF)"), QStringLiteral("Datei nicht gefunden."),
                               QStringLiteral("Der Index der Liste überschreitet das Maximum (1)")};
    const QStringList dateien{pfad(QStringLiteral("kurz.htd")), pfad(QStringLiteral("weg.htd")), pfad(QStringLiteral("index.htd"))};
    for (int i = 0; i < dateien.size(); ++i) {
        p.skript->fragen = {false};
        p.skript->offnen = {dateien[i]};
        f.BtnOffnen->click();
        QCOMPARE(p.skript->fehlermeldungen.last(), erwartet[i]);
        QCOMPARE(f.Modell()->rowCount(), 4);
        QCOMPARE(f.Einstellungen().Titel(), std::string("Gut"));
        QCOMPARE(f.Dateiname(), gut);
        QVERIFY(f.Geandert());
    }
}

void TestHauptform::speichernFehlerLaesstDokument()
{
    Programm p;
    TFrmMarkwerk &f = *p.fenster;
    f.BtnLinie->click();
    QVERIFY(schreib(pfad(QStringLiteral("datei")), "x"));
    p.skript->speichern = {pfad(QStringLiteral("fehlt/a.htd")), pfad(QStringLiteral("datei/a.htd"))};
    f.MnuSpeichernals->trigger();
    f.MnuSpeichernals->trigger();
    QCOMPARE(p.skript->fehlermeldungen,
             (QStringList{QStringLiteral("Ungültiger Dateiname."), QStringLiteral("Ungültiger Dateiname.")}));
    QVERIFY(f.Geandert());
    QCOMPARE(f.Dateiname(), QStringLiteral("- Kein Dateiname -"));

    // The prompt's save fails: New resets nothing.
    p.skript->fragen = {true};
    p.skript->speichern = {pfad(QStringLiteral("fehlt/b.htd"))};
    f.MnuNeu->trigger();
    QCOMPARE(f.Modell()->rowCount(), 1);
    QCOMPARE(p.skript->fehlermeldungen.size(), 3);
}

void TestHauptform::schliessenFragtUndSpeichert()
{
    Programm p;
    TFrmMarkwerk &f = *p.fenster;
    f.BtnLinie->click();
    const QString d = pfad(QStringLiteral("schluss.htd"));
    p.skript->fragen = {true};
    p.skript->speichern = {d};
    f.MnuBeenden->trigger();
    QVERIFY(!f.isVisible());
    QCOMPARE(LeseDefinition(n(d)).Objekte.size(), std::size_t(1));
}

void TestHauptform::schliessenBleibtOffenWennSpeichernScheitert()
{
    Programm p;
    TFrmMarkwerk &f = *p.fenster;
    f.BtnLinie->click();
    p.skript->fragen = {true};
    p.skript->speichern = {pfad(QStringLiteral("fehlt/x.htd"))};
    QVERIFY(!f.close());
    QVERIFY(f.isVisible());
    QCOMPARE(p.skript->fehlermeldungen, QStringList{QStringLiteral("Ungültiger Dateiname.")});
    QCOMPARE(f.Modell()->rowCount(), 1);
}

void TestHauptform::generieren()
{
    Programm p;
    TFrmMarkwerk &f = *p.fenster;
    f.BtnLinie->click();
    const QString seite = pfad(QStringLiteral("seite.htm"));
    p.skript->generieren = {seite, std::nullopt};
    f.BtnGenerieren->click();
    QCOMPARE(lies(seite), QByteArray("<HTML>\r\n<HEAD>\r\n<TITLE>HTML - Dokument</TITLE>\r\n</HEAD>\r\n<BODY>\r\n<HR>\r\n"
                                     "</BODY>\r\n</HTML>\r\n"));
    QVERIFY(f.Geandert());
    QCOMPARE(f.Dateiname(), QStringLiteral("- Kein Dateiname -"));
    // Cancelled: nothing written, also over an existing file.
    f.MnuGenerieren->trigger();
    QCOMPARE(lies(seite).count("\r\n"), 8);

    p.skript->generieren = {pfad(QStringLiteral("fehlt/s.htm"))};
    f.MnuGenerieren->trigger();
    QCOMPARE(p.skript->fehlermeldungen,
             QStringList{QStringLiteral("Datei %1 kann nicht erstellt werden.").arg(pfad(QStringLiteral("fehlt/s.htm")))});
}

void TestHauptform::rueckfrageDialogEchtesFenster()
{
    // The real confirmation box: caption, text, icon, buttons and their keys.
    Dialogrueckfragen echt;
    bool geprueft = false;
    gui::beiModal([&](QWidget *w) {
        auto *box = qobject_cast<QMessageBox *>(w);
        QVERIFY(box);
        QCOMPARE(box->windowTitle(), QStringLiteral("Bestätigen"));
        QCOMPARE(box->text(), QStringLiteral("Daten wurden geändert. Änderungen speichern ?"));
        QCOMPARE(box->icon(), QMessageBox::Question);
        QCOMPARE(box->buttons().size(), 2);
        QCOMPARE(box->defaultButton()->text(), QStringLiteral("&Ja"));
        QCOMPARE(box->escapeButton(), box->buttons().at(1) == box->defaultButton() ? box->buttons().at(0) : box->buttons().at(1));
        QCOMPARE(qobject_cast<QPushButton *>(box->escapeButton())->text(), QStringLiteral("&Nein"));
        geprueft = true;
        QTest::keyClick(box, Qt::Key_Escape);
    });
    QVERIFY(!echt.aenderungenSpeichern(nullptr));
    QVERIFY(geprueft);

    gui::beiModal([](QWidget *w) { QTest::keyClick(w, Qt::Key_Return); });
    QVERIFY(echt.aenderungenSpeichern(nullptr));
}

void TestHauptform::fehlerboxEchtesFenster()
{
    Dialogrueckfragen echt;
    bool geprueft = false;
    gui::beiModal([&](QWidget *w) {
        auto *box = qobject_cast<QMessageBox *>(w);
        QVERIFY(box);
        QCOMPARE(box->windowTitle(), QStringLiteral("Markwerk"));
        QCOMPARE(box->text(), QStringLiteral("Datei nicht gefunden."));
        QCOMPARE(box->icon(), QMessageBox::Critical);
        QCOMPARE(box->buttons().size(), 1);
        geprueft = true;
        QTest::keyClick(box, Qt::Key_Return);
    });
    echt.fehler(nullptr, QStringLiteral("Datei nicht gefunden."));
    QVERIFY(geprueft);
}

void TestHauptform::dateidialogeEchteFenster()
{
    // A file that never answers (as root, /proc/kmsg until the kernel
    // writes) would hang a dialog that reads files to tell their type: a
    // watch ends the test then.
    std::atomic<bool> fertig = false;
    std::thread wache([&fertig] {
        for (int i = 0; i < 300 && !fertig; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        if (!fertig && std::fputs("FAIL: Der Dateidialog antwortet nicht\n", stderr) >= 0)
            std::_Exit(1);
    });
    const auto ende = qScopeGuard([&] { fertig = true, wache.join(); });
    // The real file dialogs: title, filter, the extension added to a bare name.
    Dialogrueckfragen echt;
    const auto tippe = [](const QString &name, QString *titel, QStringList *filter) {
        gui::beiModal([=](QWidget *w) {
            auto *dialog = qobject_cast<QFileDialog *>(w);
            QVERIFY(dialog);
            *titel = dialog->windowTitle();
            *filter = dialog->nameFilters();
            auto *feld = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
            QVERIFY(feld);
            feld->setText(name);
            QTest::keyClick(feld, Qt::Key_Return);
        });
    };
    QString titel;
    QStringList filter;
    tippe(pfad(QStringLiteral("export")), &titel, &filter);
    QCOMPARE(echt.dateiGenerieren(nullptr), std::optional<QString>(pfad(QStringLiteral("export.htm"))));
    QCOMPARE(titel, QStringLiteral("Generieren"));
    QCOMPARE(filter, QStringList{QStringLiteral("Hypertext (*.htm)")});

    tippe(pfad(QStringLiteral("dokument")), &titel, &filter);
    QCOMPARE(echt.dateiSpeichern(nullptr), std::optional<QString>(pfad(QStringLiteral("dokument.htd"))));
    QCOMPARE(filter, QStringList{QStringLiteral("Hypertextdefinition (*.htd)")});

    // Replacing an existing file asks first.
    const QString d = datei(QStringLiteral("da.htd"), abc());
    bool gefragt = false;
    gui::beiModal([&](QWidget *w) {
        auto *feld = w->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        QVERIFY(feld);
        feld->setText(d);
        gui::beiModal([&](QWidget *frage) {
            auto *box = qobject_cast<QMessageBox *>(frage);
            QVERIFY(box);
            gefragt = true;
            box->button(QMessageBox::Yes)->click();
        });
        QTest::keyClick(feld, Qt::Key_Return);
    });
    QCOMPARE(echt.dateiSpeichern(nullptr), std::optional<QString>(d));
    QVERIFY(gefragt);

    // Opening needs an existing file.
    tippe(d, &titel, &filter);
    QCOMPARE(echt.dateiOffnen(nullptr), std::optional<QString>(d));

    // Sizes in German, whatever the system's language.
    gui::beiModal([&](QWidget *w) {
        auto *dialog = qobject_cast<QFileDialog *>(w);
        QVERIFY(dialog && dialog->proxyModel());
        const auto *dateien = qobject_cast<QFileSystemModel *>(dialog->proxyModel()->sourceModel());
        const QModelIndex groesse = dialog->proxyModel()->mapFromSource(dateien->index(d, 1));
        QTRY_COMPARE(groesse.data().toString(), QLocale(QLocale::German).formattedDataSize(QFileInfo(d).size()));
        // The type by the name alone, where reading the file would say "PCX-Bild".
        QTRY_COMPARE(dialog->proxyModel()->mapFromSource(dateien->index(d, 2)).data().toString(),
                     QStringLiteral("Hypertextdefinition"));
        auto *typ = dialog->findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
        QCOMPARE(QAccessible::queryAccessibleInterface(typ)->text(QAccessible::Name), QStringLiteral("Dateityp"));
        QTest::keyClick(w, Qt::Key_Escape);
    });
    QCOMPARE(echt.dateiOffnen(nullptr), std::nullopt);

    // A name in a folder that does not exist is refused with a message; the
    // dialog stays open.
    bool gewarnt = false;
    gui::beiModal([&](QWidget *w) {
        auto *feld = w->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        QVERIFY(feld);
        feld->setText(pfad(QStringLiteral("fehlt/x")));
        gui::beiModal([&](QWidget *warnung) {
            auto *box = qobject_cast<QMessageBox *>(warnung);
            QVERIFY(box);
            gewarnt = box->text().contains(QStringLiteral("existiert nicht"));
            box->accept();
        });
        QTest::keyClick(feld, Qt::Key_Return);
        QTRY_VERIFY(gewarnt);
        QVERIFY(w->isVisible());
    });
    QCOMPARE(echt.dateiSpeichern(nullptr), std::nullopt);
    QVERIFY(gewarnt);

    // Typed by a user as root; the watch above ends the test should it hang.
    gui::beiModal([&](QWidget *w) {
        auto *feld = w->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        feld->setText(QStringLiteral("/proc"));
        QTest::keyClick(feld, Qt::Key_Return);
        QTRY_COMPARE_WITH_TIMEOUT(qobject_cast<QFileDialog *>(w)->directory().path(), QStringLiteral("/proc"), 1000);
        const auto *dateien = w->findChild<QFileSystemModel *>();
        QTRY_VERIFY_WITH_TIMEOUT(!dateien->index(QStringLiteral("/proc/kmsg"), 2).data().toString().isEmpty(), 1000);
        // The dialog keeps its last folder for the next one, also of other
        // programs' tests: not this one.
        qobject_cast<QFileDialog *>(w)->setDirectory(QDir::tempPath());
    });
    QCOMPARE(echt.dateiOffnen(nullptr), std::nullopt);
}

void TestHauptform::linieEinfuegen()
{
    Programm p;
    TFrmMarkwerk &f = *p.fenster;
    p.skript->offnen = {datei(QStringLiteral("drei.htd"), abc())};
    f.MnuOffnen->trigger();
    waehle(f, 0);
    f.BtnLinie->click();
    QCOMPARE(f.Objekte().Anzahl(), 4);
    QCOMPARE(hilfen::objekt(f.Objekte(), 3), (Objekt{"Linie", "Linie", "Linie"}));
    QCOMPARE(zeilen(f).last(), QStringLiteral("Linie"));
    QCOMPARE(f.ausgewaehlt(), 0);
    QVERIFY(f.Geandert());
    f.BtnLinie->click();
    QCOMPARE(zeilen(f).mid(3), (QStringList{QStringLiteral("Linie"), QStringLiteral("Linie")}));
}

void TestHauptform::loschen()
{
    Programm p;
    TFrmMarkwerk &f = *p.fenster;
    f.BtnLinie->click();
    f.BtnLinie->click();
    waehle(f, 1);
    f.BtnLoschen->click();
    QCOMPARE(zeilen(f), QStringList{QStringLiteral("Linie")});
    p.skript->fragen = {false};
    f.MnuNeu->trigger();
    f.BtnLinie->click();
    p.skript->speichern = {pfad(QStringLiteral("l.htd"))};
    f.MnuSpeichern->trigger();
    waehle(f, 0);
    f.MnuLoschen->trigger();
    QCOMPARE(f.Objekte().Anzahl(), 0);
    QVERIFY(f.Geandert());
}

void TestHauptform::verschieben()
{
    Programm p;
    TFrmMarkwerk &f = *p.fenster;
    p.skript->offnen = {datei(QStringLiteral("abc.htd"), abc())};
    f.MnuOffnen->trigger();
    const auto reihe = [&] {
        QString s;
        for (const Objekt &o : f.Objekte())
            s += QString::fromStdString(o.Beschreibung);
        return s;
    };
    // C selected; up gives A C B with the selection on the third row (B).
    waehle(f, 2);
    f.BtnRauf->click();
    QCOMPARE(reihe(), QStringLiteral("ACB"));
    QCOMPARE(zeilen(f), (QStringList{QStringLiteral("Text: \"A\""), QStringLiteral("Text: \"C\""), QStringLiteral("Text: \"B\"")}));
    QCOMPARE(f.ausgewaehlt(), 2);
    QVERIFY(f.Geandert());
    f.MnuOben->trigger();
    QCOMPARE(reihe(), QStringLiteral("ABC"));

    // Down on the first: B A C, the first row still selected.
    waehle(f, 0);
    f.BtnRunter->click();
    QCOMPARE(reihe(), QStringLiteral("BAC"));
    QCOMPARE(f.ausgewaehlt(), 0);

    // At the ends nothing happens, and nothing counts as changed.
    p.skript->speichern = {pfad(QStringLiteral("v.htd"))};
    f.MnuSpeichern->trigger();
    waehle(f, 2);
    f.MnuUnten->trigger();
    waehle(f, 0);
    f.MnuOben->trigger();
    QCOMPARE(reihe(), QStringLiteral("BAC"));
    QVERIFY(!f.Geandert());
}

void TestHauptform::ohneAuswahlNichts()
{
    Programm p;
    TFrmMarkwerk &f = *p.fenster;
    for (QAction *a : {f.MnuObjektbearbeiten, f.MnuLoschen, f.MnuOben, f.MnuUnten, f.MnuKopieren,
                       f.MnuAusschneiden, f.MnuEinfugen})
        a->trigger();
    QCOMPARE(f.Objekte().Anzahl(), 0);
    QVERIFY(!f.Geandert());

    p.skript->offnen = {datei(QStringLiteral("ohne.htd"), abc())};
    f.MnuOffnen->trigger();
    for (QToolButton *b : {f.BtnBearbeiten, f.BtnLoschen, f.BtnRauf, f.BtnRunter})
        b->click();
    for (QAction *a : {f.MnuObjektbearbeiten, f.MnuLoschen, f.MnuOben, f.MnuUnten, f.MnuKopieren,
                       f.MnuAusschneiden, f.MnuEinfugen})
        a->trigger();
    QCOMPARE(f.Objekte().Anzahl(), 3);
    QVERIFY(!f.Geandert());
    QVERIFY(p.skript->fehlermeldungen.isEmpty());

    // Editing a line object shows nothing.
    f.BtnLinie->click();
    p.skript->speichern = {pfad(QStringLiteral("o.htd"))};
    f.MnuSpeichern->trigger();
    waehle(f, 3);
    f.BtnBearbeiten->click();
    QVERIFY(!QApplication::activeModalWidget());
    QVERIFY(!f.Geandert());
}

void TestHauptform::tastenErreichenBefehle()
{
    Programm p;
    TFrmMarkwerk &f = *p.fenster;
    f.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&f));
    f.BtnLinie->click();
    f.BtnLinie->click();
    f.LstMarkwerk->setFocus();
    waehle(f, 0);
    QTest::keyClick(f.LstMarkwerk, Qt::Key_Delete);
    QCOMPARE(f.Objekte().Anzahl(), 1);
    waehle(f, 0);
    QTest::keyClick(f.LstMarkwerk, Qt::Key_C, Qt::ControlModifier);
    QTest::keyClick(f.LstMarkwerk, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(f.Objekte().Anzahl(), 2);
    waehle(f, 0);
    QTest::keyClick(f.LstMarkwerk, Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(f.Objekte().Anzahl(), 1);

    const QString d = pfad(QStringLiteral("tasten.htd"));
    p.skript->speichern = {d};
    QTest::keyClick(&f, Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(f.Dateiname(), d);
    p.skript->offnen = {std::nullopt};
    QTest::keyClick(&f, Qt::Key_O, Qt::ControlModifier);
    QCOMPARE(p.skript->protokoll.last(), QStringLiteral("offnen"));
    QTest::keyClick(&f, Qt::Key_N, Qt::ControlModifier);
    QCOMPARE(f.Objekte().Anzahl(), 0);
    // Del without a selection does nothing.
    QTest::keyClick(f.LstMarkwerk, Qt::Key_Delete);
    QVERIFY(!f.Geandert());
}

void TestHauptform::leisteMitTastatur()
{
    // Tab walks the tool strip in its order into the list; Space, Return and
    // Enter press a button; the one with the focus has a frame in the
    // highlight colour at its rim, where no focus showed before.
    Programm p;
    TFrmMarkwerk &f = *p.fenster;
    f.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&f));
    QCOMPARE(QApplication::focusWidget(), f.LstMarkwerk);
    QTest::keyClick(f.LstMarkwerk, Qt::Key_Tab);
    QStringList reihe;
    for (int i = 0; i < 14; ++i, QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab))
        reihe << QApplication::focusWidget()->accessibleName();
    QCOMPARE(reihe.join(QLatin1Char(' ')), QStringLiteral("Neu Öffnen Speichern Generieren Bild Linie Link Tabelle Text "
                                                          "Entfernen Bearbeiten Aufwärts Abwärts Objekte"));
    const QImage ohne = f.BtnLinie->grab().toImage();
    f.BtnLinie->setFocus(Qt::TabFocusReason);
    const QImage mit = f.BtnLinie->grab().toImage();
    const QColor farbe = f.BtnLinie->palette().color(QPalette::Active, QPalette::Highlight);
    QVERIFY(ohne.pixelColor(0, 12) != farbe && mit.pixelColor(0, 12) == farbe && mit.pixelColor(24, 12) == farbe);
    int anzahl = 0;
    for (const Qt::Key taste : {Qt::Key_Space, Qt::Key_Return, Qt::Key_Enter}) {
        QTest::keyClick(f.BtnLinie, taste);
        ++anzahl;
        QTRY_COMPARE(f.Objekte().Anzahl(), anzahl);
    }
}

void TestHauptform::ablage()
{
    Programm p;
    TFrmMarkwerk &f = *p.fenster;
    p.skript->offnen = {datei(QStringLiteral("ablage.htd"), abc())};
    f.MnuOffnen->trigger();

    // Paste before anything was copied does nothing.
    f.MnuEinfugen->trigger();
    QCOMPARE(f.Objekte().Anzahl(), 3);
    QVERIFY(!f.Geandert());

    // Copy leaves the document unchanged; paste appends, again and again.
    waehle(f, 1);
    f.MnuKopieren->trigger();
    QVERIFY(!f.Geandert());
    f.MnuEinfugen->trigger();
    f.MnuEinfugen->trigger();
    QCOMPARE(f.Objekte().Anzahl(), 5);
    QCOMPARE(hilfen::objekt(f.Objekte(), 3), hilfen::objekt(f.Objekte(), 1));
    QCOMPARE(hilfen::objekt(f.Objekte(), 4), hilfen::objekt(f.Objekte(), 1));
    QCOMPARE(zeilen(f)[4], QStringLiteral("Text: \"B\""));
    QVERIFY(f.Geandert());

    // Copy without a selection keeps the earlier content.
    f.LstMarkwerk->clearSelection();
    f.MnuKopieren->trigger();
    f.MnuEinfugen->trigger();
    QCOMPARE(hilfen::objekt(f.Objekte(), 5).Beschreibung, std::string("B"));

    // Cut of the first, paste: it has moved to the end.
    waehle(f, 0);
    f.MnuAusschneiden->trigger();
    QCOMPARE(hilfen::objekt(f.Objekte(), 0).Beschreibung, std::string("B"));
    f.MnuEinfugen->trigger();
    QCOMPARE(hilfen::objekt(f.Objekte(), f.Objekte().Anzahl() - 1).Beschreibung, std::string("A"));

    // The clipboard survives New and Open.
    p.skript->fragen = {false};
    f.MnuNeu->trigger();
    f.MnuEinfugen->trigger();
    QCOMPARE(f.Objekte().Anzahl(), 1);
    QCOMPARE(hilfen::objekt(f.Objekte(), 0), (Objekt{"Text", "A", "a"}));

    // A line pastes as a line.
    f.BtnLinie->click();
    waehle(f, 1);
    f.MnuKopieren->trigger();
    f.MnuEinfugen->trigger();
    QCOMPARE(zeilen(f).last(), QStringLiteral("Linie"));
    QCOMPARE(f.Modell()->index(2).data(Qt::DecorationRole).value<QIcon>().cacheKey(),
             f.Modell()->index(1).data(Qt::DecorationRole).value<QIcon>().cacheKey());
}

void TestHauptform::ablageLeereBeschreibung()
{
    // An object with an empty description survives cut and paste.
    Programm p;
    TFrmMarkwerk &f = *p.fenster;
    p.skript->offnen = {datei(QStringLiteral("leer.htd"), {{"Bild", "", ""}, {"Text", "ohne Text", ""}})};
    f.MnuOffnen->trigger();
    waehle(f, 0);
    f.MnuAusschneiden->trigger();
    f.MnuEinfugen->trigger();
    QCOMPARE(f.Objekte().Anzahl(), 2);
    QCOMPARE(hilfen::objekt(f.Objekte(), 1), (Objekt{"Bild", "", ""}));
    QCOMPARE(zeilen(f)[1], QStringLiteral("Bild: \"\" "));
}

void TestHauptform::modellIstGesund()
{
    Programm p;
    TFrmMarkwerk &f = *p.fenster;
    QAbstractItemModelTester pruefer(f.Modell(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    p.skript->offnen = {datei(QStringLiteral("m.htd"), abc())};
    f.MnuOffnen->trigger();
    f.BtnLinie->click();
    waehle(f, 1);
    f.BtnRunter->click();
    f.BtnRauf->click();
    f.MnuKopieren->trigger();
    f.MnuEinfugen->trigger();
    f.BtnLoschen->click();
    p.skript->fragen = {false};
    f.MnuNeu->trigger();
    QCOMPARE(f.Modell()->rowCount(), 0);
}

void TestHauptform::pfeilNachLaden()
{
    // After a load the first Down selects the first row, though the list
    // gets the focus only afterwards.
    Programm p({datei(QStringLiteral("pfeil.htd"), abc(), "Start")});
    p.fenster->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(p.fenster.get()));
    QTest::keyClick(p.fenster->LstMarkwerk, Qt::Key_Down);
    QCOMPARE(p.fenster->ausgewaehlt(), 0);
}

void TestHauptform::fokusInDialogen()
{
    // Every showing starts in the description, whichever button had the
    // focus last; Enter on a focused "Abbrechen" cancels, else it is OK.
    Programm p;
    TFrmMarkwerk &f = *p.fenster;
    for (QToolButton *einfuegen : {f.BtnBild, f.BtnLink, f.BtnTabelle, f.BtnText}) {
        for (const bool abbrechen : {true, false, false}) {
            gui::beiModal([&](QWidget *w) {
                auto *d = qobject_cast<Objektdialog *>(w);
                QVERIFY(d);
                QTRY_COMPARE(QApplication::focusWidget(), w->findChildren<QLineEdit *>(Qt::FindDirectChildrenOnly).value(0));
                QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("x"));
                (abbrechen ? d->BtnAbbrechen : d->BtnOk)->setFocus();
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            });
            einfuegen->click();
        }
    }
    QCOMPARE(f.Objekte().Anzahl(), 8);
}

void TestHauptform::jedesBedienelementHatNamen()
{
    // What a screen reader reaches in every window has a name to read out.
    Programm p;
    const QList<QAccessible::Role> bedienbar = {QAccessible::PushButton, QAccessible::CheckBox,  QAccessible::ComboBox,
                                                QAccessible::EditableText, QAccessible::List,  QAccessible::Tree,
                                                QAccessible::Table,      QAccessible::StatusBar};
    QStringList namenlos;
    const std::function<void(QAccessibleInterface *)> gehe = [&](QAccessibleInterface *i) {
        if (bedienbar.contains(i->role()) && i->text(QAccessible::Name).trimmed().isEmpty())
            namenlos << QString::fromLatin1(i->object()->metaObject()->className()) + QLatin1Char(' ')
                            + qobject_cast<QWidget *>(i->object())->window()->windowTitle();
        for (int k = 0; k < i->childCount(); ++k)
            gehe(i->child(k));
    };
    gehe(QAccessible::queryAccessibleInterface(p.fenster.get()));
    for (QDialog *d : p.fenster->findChildren<QDialog *>())
        gehe(QAccessible::queryAccessibleInterface(d));
    QVERIFY2(namenlos.isEmpty(), qPrintable(namenlos.join(QLatin1Char('\n'))));
}

MARKWERK_GUI_TEST(TestHauptform)
#include "tst_hauptform.moc"
