// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

// Table and text objects, inserted and edited through the main window as a
// user does it.

#include "aufabknopf.h"
#include "definitionsdatei.h"
#include "gui.h"
#include "hilfen.h"
#include "objektmodell.h"
#include "tabellendaten.h"
#include "tabelle.h"
#include "text.h"
#include "win1252.h"

#include <QAccessible>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPlainTextDocumentLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextLayout>
#include <QToolButton>

using namespace hilfen;
using gui::Programm;

namespace {

// 6 rows x 4 columns of empty cells, the table a first insert gives.
std::string leereTabelle()
{
    std::string d = "6\xF0" "4\xF0";
    for (int i = 0; i < 24; ++i)
        d += " \xF0";
    return d;
}

const std::string preise = "2\xF0" "2\xF0" "Name\xF0" "Preis\xF0" "Brot\xF0" " \xF0";

// Keys as the user types them: each goes to the widget that has the focus
// at that moment (a cell's editor opens with the first key).
void tippe(const QString &text)
{
    for (const QChar zeichen : text) {
        QWidget *ziel = QApplication::focusWidget();
        QVERIFY(ziel);
        QTest::keyClick(ziel, zeichen.toLatin1() ? zeichen.toLatin1() : '?');
    }
}

void taste(Qt::Key key, Qt::KeyboardModifiers mod = Qt::NoModifier)
{
    QWidget *ziel = QApplication::focusWidget();
    QVERIFY(ziel);
    QTest::keyClick(ziel, key, mod);
}

// Text with characters beyond Latin-1 goes in as an input method would.
void tippeUnicode(const QString &text)
{
    QWidget *ziel = QApplication::focusWidget();
    QVERIFY(ziel);
    QKeyEvent druck(QEvent::KeyPress, 0, Qt::NoModifier, text);
    QApplication::sendEvent(ziel, &druck);
}

// Whether a label shows its whole text.
bool passt(const QLabel *l)
{
    return l->contentsRect().width() >= l->fontMetrics().horizontalAdvance(l->text());
}

// A dialog's button by its caption, as the user finds it.
QPushButton *knopf(QWidget *dialog, const QString &text)
{
    for (QPushButton *b : dialog->findChildren<QPushButton *>()) {
        if (b->text() == text)
            return b;
    }
    QTest::qFail(qPrintable(QStringLiteral("kein Knopf ") + text), __FILE__, __LINE__);
    return nullptr;
}
QPushButton *ok(QWidget *dialog) { return knopf(dialog, QStringLiteral("OK")); }
QPushButton *abbrechen(QWidget *dialog) { return knopf(dialog, QStringLiteral("Abbrechen")); }

QString zellen(const QTableWidget *g)
{
    QStringList z;
    for (int r = 0; r < g->rowCount(); ++r) {
        for (int c = 0; c < g->columnCount(); ++c)
            z << (g->item(r, c) ? g->item(r, c)->text() : QString());
    }
    return z.join(QLatin1Char('|'));
}

} // namespace

class TestTabelleText : public QObject
{
    Q_OBJECT

private:
    QString pfad(const QString &name) const { return m_dir.filePath(name); }
    // Opens a document of the given objects and selects object `auswahl`.
    void offne(Programm &p, const std::vector<Objekt> &objekte, int auswahl = 0)
    {
        const QString d = pfad(QStringLiteral("dokument.htd"));
        SchreibeDefinition(n(d), "T", false, "", Objektliste(objekte));
        p.skript->fragen = {false};
        p.skript->offnen = {d};
        p.fenster->MnuOffnen->trigger();
        p.skript->fragen.clear();
        QCOMPARE(p.fenster->Objekte().Anzahl(), int(objekte.size()));
        p.fenster->LstMarkwerk->selectionModel()->select(p.fenster->Modell()->index(auswahl),
                                                          QItemSelectionModel::ClearAndSelect);
    }
    static QString zeile(const Programm &p, int i) { return p.fenster->Modell()->index(i).data().toString(); }
    static TFrmTabelle *tabelle(QWidget *w)
    {
        auto *t = qobject_cast<TFrmTabelle *>(w);
        if (!t)
            QTest::qFail("kein Tabellendialog", __FILE__, __LINE__);
        return t;
    }
    static TFrmText *text(QWidget *w)
    {
        auto *t = qobject_cast<TFrmText *>(w);
        if (!t)
            QTest::qFail("kein Textdialog", __FILE__, __LINE__);
        return t;
    }

    QTemporaryDir m_dir;

private Q_SLOTS:
    void cleanup();

    void tabelleErsteEinfuegung();
    void tabelleGroesseUndZellen();
    void tabelleGroesseBleibt();
    void tabelleGrenzen();
    void tabelleBearbeiten();
    void tabelleBeschaedigt_data();
    void tabelleBeschaedigt();
    void tabelleAusserhalbDerGrenzen_data();
    void tabelleAusserhalbDerGrenzen();
    void tabelleTrennzeichenInZelle();
    void tabelleSchliessenUndZeichensatz();

    void textZeilen_data();
    void textZeilen();
    void textTippen();
    void textLangeZeileBrichtUm();
    void textNurAnLeerzeichen();
    void textBearbeitenFuegtLeerzeichenAn();
    void textAbbrechenUndZeichensatz();
};

void TestTabelleText::cleanup()
{
    gui::keinFensterUebrig();
}

// ------------------------------------------------------------ tables

void TestTabelleText::tabelleErsteEinfuegung()
{
    Programm p;
    bool geprueft = false;
    gui::beiModal([&](QWidget *w) {
        TFrmTabelle *t = tabelle(w);
        QVERIFY(t);
        QCOMPARE(t->windowTitle(), QStringLiteral("Tabelle einfügen"));
        QCOMPARE(t->size(), QSize(425, 225));
        QCOMPARE(t->GrdTabelle->rowCount(), 6);
        QCOMPARE(t->GrdTabelle->columnCount(), 4);
        QCOMPARE(t->LblZeilen->text(), QStringLiteral("Zeilen: 6"));
        QCOMPARE(t->LblSpalten->text(), QStringLiteral("Spalten: 4"));
        QCOMPARE(t->BtnZeilen->Position(), 6);
        QCOMPARE(t->BtnSpalten->Position(), 4);
        for (const QLabel *l : {t->LblBeschreibung, t->LblZeilen, t->LblSpalten})
            QVERIFY2(passt(l), qPrintable(l->text()));
        // The description has the focus; Enter is OK.
        QCOMPARE(QApplication::focusWidget(), t->EdtBeschreibung);
        taste(Qt::Key_Return);
        QVERIFY(!t->isVisible());
        geprueft = true;
    });
    p.fenster->BtnTabelle->click();
    QVERIFY(geprueft);
    QCOMPARE(p.fenster->Objekte().Anzahl(), 1);
    QCOMPARE(hilfen::objekt(p.fenster->Objekte(), 0), (Objekt{"Tabelle", "", leereTabelle()}));
    QCOMPARE(leereTabelle().size(), std::size_t(52));
    QCOMPARE(zeile(p, 0), QStringLiteral("Tabelle: \"\""));
    QVERIFY(p.fenster->Geandert());
}

void TestTabelleText::tabelleGroesseUndZellen()
{
    Programm p;
    gui::beiModal([&](QWidget *w) {
        TFrmTabelle *t = tabelle(w);
        QVERIFY(t);
        tippe(QStringLiteral("Preise"));
        for (int i = 0; i < 3; ++i)
            t->BtnZeilen->BtnAb->click();
        t->BtnSpalten->BtnAuf->click();
        QCOMPARE(t->LblZeilen->text(), QStringLiteral("Zeilen: 3"));
        QCOMPARE(t->LblSpalten->text(), QStringLiteral("Spalten: 5"));
        QCOMPARE(t->GrdTabelle->rowCount(), 3);
        QCOMPARE(t->GrdTabelle->columnCount(), 5);

        // Tab goes from the description into the grid, then from cell to
        // cell, also into the next row; at either end it leaves the grid.
        taste(Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), t->GrdTabelle);
        taste(Qt::Key_Backtab);
        QCOMPARE(QApplication::focusWidget(), t->EdtBeschreibung);
        taste(Qt::Key_Tab);
        for (const char *z : {"Name", "Preis", "", "", "Gewicht", "Brot"}) {
            tippe(QString::fromLatin1(z));
            taste(Qt::Key_Tab);
        }
        QCOMPARE(t->GrdTabelle->currentRow(), 1);
        QCOMPARE(t->GrdTabelle->currentColumn(), 1);
        tippe(QStringLiteral(" 2,50 "));
        t->GrdTabelle->setCurrentCell(2, 4);
        tippe(QStringLiteral("Ende"));
        taste(Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), t->GrdTabelle);
        taste(Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), ok(t));
        taste(Qt::Key_Return);
        QVERIFY(!t->isVisible());
    });
    p.fenster->BtnTabelle->click();
    QCOMPARE(p.fenster->Objekte().Anzahl(), 1);
    std::string erwartet = "3\xF0" "5\xF0" "Name\xF0" "Preis\xF0" " \xF0" " \xF0" "Gewicht\xF0"
                           "Brot\xF0" " 2,50 \xF0" " \xF0" " \xF0" " \xF0";
    for (int i = 0; i < 4; ++i)
        erwartet += " \xF0";
    erwartet += "Ende\xF0";
    QCOMPARE(hilfen::objekt(p.fenster->Objekte(), 0).Daten, erwartet);
    QCOMPARE(zeile(p, 0), QStringLiteral("Tabelle: \"Preise\""));
}

void TestTabelleText::tabelleGroesseBleibt()
{
    // The next insert opens with an empty grid of the size the dialog was
    // left with, after OK and after Abbrechen, after inserts and edits.
    Programm p;
    offne(p, {{"Tabelle", "Preise", preise}});

    const auto groesse = [&](int zeilen, int spalten, bool bestaetigen) {
        gui::beiModal([&, zeilen, spalten, bestaetigen](QWidget *w) {
            TFrmTabelle *t = tabelle(w);
            QVERIFY(t);
            t->EdtBeschreibung->setText(QStringLiteral("Neu"));
            while (t->GrdTabelle->rowCount() != zeilen)
                (t->GrdTabelle->rowCount() < zeilen ? t->BtnZeilen->BtnAuf : t->BtnZeilen->BtnAb)->click();
            while (t->GrdTabelle->columnCount() != spalten)
                (t->GrdTabelle->columnCount() < spalten ? t->BtnSpalten->BtnAuf : t->BtnSpalten->BtnAb)->click();
            t->GrdTabelle->setItem(0, 0, new QTableWidgetItem(QStringLiteral("alt")));
            (bestaetigen ? ok(t) : abbrechen(t))->click();
        });
    };
    const auto pruefeLeer = [&](int zeilen, int spalten) {
        bool geprueft = false;
        gui::beiModal([&](QWidget *w) {
            TFrmTabelle *t = tabelle(w);
            QVERIFY(t);
            QCOMPARE(t->EdtBeschreibung->text(), QString());
            QCOMPARE(t->GrdTabelle->rowCount(), zeilen);
            QCOMPARE(t->GrdTabelle->columnCount(), spalten);
            QCOMPARE(t->LblZeilen->text(), QStringLiteral("Zeilen: %1").arg(zeilen));
            QCOMPARE(t->LblSpalten->text(), QStringLiteral("Spalten: %1").arg(spalten));
            QCOMPARE(t->BtnZeilen->Position(), zeilen);
            QCOMPARE(t->BtnSpalten->Position(), spalten);
            QCOMPARE(zellen(t->GrdTabelle), QString(zeilen * spalten - 1, QLatin1Char('|')));
            geprueft = true;
            abbrechen(t)->click();
        });
        p.fenster->BtnTabelle->click();
        QVERIFY(geprueft);
    };

    // Edit confirmed: 3 x 5.
    groesse(3, 5, true);
    p.fenster->BtnBearbeiten->click();
    pruefeLeer(3, 5);
    // Edit cancelled: the stored table is 3 x 5, the dialog left at 4 x 2.
    groesse(4, 2, false);
    p.fenster->MnuObjektbearbeiten->trigger();
    pruefeLeer(4, 2);
    QCOMPARE(hilfen::objekt(p.fenster->Objekte(), 0).Daten.substr(0, 4), std::string("3\xF0" "5\xF0"));
    // Insert cancelled: nothing added, nothing changed.
    p.fenster->MnuSpeichern->trigger();
    groesse(7, 3, false);
    p.fenster->BtnTabelle->click();
    QCOMPARE(p.fenster->Objekte().Anzahl(), 1);
    QVERIFY(!p.fenster->Geandert());
    pruefeLeer(7, 3);
    // Insert confirmed.
    groesse(2, 9, true);
    p.fenster->BtnTabelle->click();
    QCOMPARE(p.fenster->Objekte().Anzahl(), 2);
    QCOMPARE(hilfen::objekt(p.fenster->Objekte(), 1).Daten.substr(0, 4), std::string("2\xF0" "9\xF0"));
    pruefeLeer(2, 9);
}

void TestTabelleText::tabelleGrenzen()
{
    Programm p;
    gui::beiModal([&](QWidget *w) {
        TFrmTabelle *t = tabelle(w);
        QVERIFY(t);
        QSignalSpy zeilenSchritte(t->BtnZeilen, &AufAbKnopf::geklickt);
        for (int i = 0; i < 20; ++i)
            t->BtnZeilen->BtnAuf->click();
        QCOMPARE(zeilenSchritte.size(), 14);
        QCOMPARE(t->GrdTabelle->rowCount(), 20);
        QCOMPARE(t->LblZeilen->text(), QStringLiteral("Zeilen: 20"));
        for (int i = 0; i < 25; ++i)
            t->BtnZeilen->BtnAb->click();
        QCOMPARE(zeilenSchritte.size(), 14 + 18);
        QCOMPARE(t->GrdTabelle->rowCount(), 2);
        QCOMPARE(t->LblZeilen->text(), QStringLiteral("Zeilen: 2"));

        // The arrow keys step the focused control, within the same limits.
        t->BtnSpalten->setFocus();
        for (int i = 0; i < 20; ++i)
            taste(Qt::Key_Right);
        QCOMPARE(t->GrdTabelle->columnCount(), 20);
        QCOMPARE(t->LblSpalten->text(), QStringLiteral("Spalten: 20"));
        for (int i = 0; i < 25; ++i)
            taste(Qt::Key_Left);
        QCOMPARE(t->GrdTabelle->columnCount(), 2);
        QCOMPARE(t->LblSpalten->text(), QStringLiteral("Spalten: 2"));
        taste(Qt::Key_Up);
        QCOMPARE(t->GrdTabelle->columnCount(), 3);

        // A screen reader knows the count as a spin button; a value set there
        // steps as the arrows do, within the same limits.
        QAccessibleInterface *zugang = QAccessible::queryAccessibleInterface(t->BtnSpalten);
        QCOMPARE(zugang->role(), QAccessible::SpinBox);
        QAccessibleValueInterface *wert = zugang->valueInterface();
        QCOMPARE(QVariantList({wert->currentValue(), wert->minimumValue(), wert->maximumValue()}), QVariantList({3, 2, 20}));
        wert->setCurrentValue(25);
        QCOMPARE(t->LblSpalten->text(), QStringLiteral("Spalten: 20"));
        zugang->actionInterface()->doAction(QAccessibleActionInterface::decreaseAction());
        QCOMPARE(zugang->text(QAccessible::Value), QStringLiteral("19"));
        wert->setCurrentValue(3);
        QCOMPARE(t->GrdTabelle->columnCount(), 3);
        ok(t)->click();
    });
    p.fenster->BtnTabelle->click();
    // Only the cells still in the grid are stored.
    QCOMPARE(hilfen::objekt(p.fenster->Objekte(), 0).Daten, std::string("2\xF0" "3\xF0" " \xF0 \xF0 \xF0 \xF0 \xF0 \xF0"));
}

void TestTabelleText::tabelleBearbeiten()
{
    Programm p;
    const std::string mitTrenner = "2\xF0" "2\xF0" "\xF0" "a\xF0" "\xF0\xF0" " x \xF0" "  \xF0";
    offne(p, {{"Tabelle", "Preise", preise}, {"Linie", "Linie", "Linie"}, {"Tabelle", "T", mitTrenner}});
    QVERIFY(!p.fenster->Geandert());

    bool geprueft = false;
    gui::beiModal([&](QWidget *w) {
        TFrmTabelle *t = tabelle(w);
        QVERIFY(t);
        QCOMPARE(t->EdtBeschreibung->text(), QStringLiteral("Preise"));
        QCOMPARE(t->LblZeilen->text(), QStringLiteral("Zeilen: 2"));
        QCOMPARE(t->LblSpalten->text(), QStringLiteral("Spalten: 2"));
        QCOMPARE(t->BtnZeilen->Position(), 2);
        QCOMPARE(t->BtnSpalten->Position(), 2);
        // The empty cell was stored as one space and comes back as one.
        QCOMPARE(zellen(t->GrdTabelle), QStringLiteral("Name|Preis|Brot| "));
        geprueft = true;
        ok(t)->click();
    });
    p.fenster->BtnBearbeiten->click();
    QVERIFY(geprueft);
    QCOMPARE(hilfen::objekt(p.fenster->Objekte(), 0), (Objekt{"Tabelle", "Preise", preise}));
    QVERIFY(p.fenster->Geandert());

    // Cells that begin with the separator, and blanks, go back unchanged.
    p.fenster->LstMarkwerk->selectionModel()->select(p.fenster->Modell()->index(2), QItemSelectionModel::ClearAndSelect);
    gui::beiModal([&](QWidget *w) {
        TFrmTabelle *t = tabelle(w);
        QVERIFY(t);
        QCOMPARE(zellen(t->GrdTabelle), QStringLiteral("ða|ð| x |  "));
        t->EdtBeschreibung->setText(QStringLiteral("Mit \"Zitat\""));
        ok(t)->click();
    });
    p.fenster->BtnBearbeiten->click();
    QCOMPARE(hilfen::objekt(p.fenster->Objekte(), 2), (Objekt{"Tabelle", "Mit \"Zitat\"", mitTrenner}));
    QCOMPARE(zeile(p, 2), QStringLiteral("Tabelle: \"Mit \"Zitat\"\""));
}

void TestTabelleText::tabelleBeschaedigt_data()
{
    QTest::addColumn<QByteArray>("daten");
    QTest::addColumn<QString>("meldung");
    QTest::newRow("Zeilen") << QByteArray("x\xF0" "2\xF0" "a\xF0" "b\xF0" "c\xF0" "d\xF0")
                            << QStringLiteral("'x' ist kein gültiger Integerwert.");
    QTest::newRow("Spalten") << QByteArray("2\xF0" "2a\xF0" "a\xF0" "b\xF0" "c\xF0" "d\xF0")
                             << QStringLiteral("'2a' ist kein gültiger Integerwert.");
    QTest::newRow("leer") << QByteArray("\xF0" "2\xF0" "a\xF0")
                          << QStringLiteral("'' ist kein gültiger Integerwert.");
    QTest::newRow("zu groß") << QByteArray("400\xF0" "400\xF0") + QByteArray("x\xF0").repeated(400 * 400)
                             << QStringLiteral("Die Tabelle hat 400 Zeilen und 400 Spalten; das Tabellenfenster kann "
                                               "höchstens 100.000 Zellen zeigen.");
}

void TestTabelleText::tabelleBeschaedigt()
{
    QFETCH(QByteArray, daten);
    QFETCH(QString, meldung);
    Programm p;
    const Objekt kaputt{"Tabelle", "Kaputt", daten.toStdString()};
    offne(p, {kaputt});

    // What the dialog held before stays: a failed fill changes nothing.
    gui::beiModal([&](QWidget *w) {
        TFrmTabelle *t = tabelle(w);
        QVERIFY(t);
        t->EdtBeschreibung->setText(QStringLiteral("Vorher"));
        t->BtnZeilen->BtnAb->click();
        abbrechen(t)->click();
    });
    p.fenster->BtnTabelle->click();

    gui::Wache wache;
    p.fenster->BtnBearbeiten->click();
    QTest::qWait(50);
    QVERIFY(!wache.gezeigt);
    QCOMPARE(p.skript->fehlermeldungen, QStringList{meldung});
    QCOMPARE(hilfen::objekt(p.fenster->Objekte(), 0), kaputt);
    QCOMPARE(zeile(p, 0), QStringLiteral("Tabelle: \"Kaputt\""));
    QVERIFY(!p.fenster->Geandert());

    auto *t = p.fenster->findChild<TFrmTabelle *>();
    QCOMPARE(t->EdtBeschreibung->text(), QStringLiteral("Vorher"));
    QCOMPARE(t->GrdTabelle->rowCount(), 5);
    QCOMPARE(t->LblZeilen->text(), QStringLiteral("Zeilen: 5"));
}

void TestTabelleText::tabelleAusserhalbDerGrenzen_data()
{
    QTest::addColumn<QByteArray>("kopf");
    QTest::addColumn<int>("zeilen");
    QTest::addColumn<int>("spalten");
    QTest::addColumn<int>("zeilenKnopf");
    QTest::addColumn<int>("spaltenKnopf");
    QTest::addColumn<QString>("zeilenText");
    QTest::addColumn<QString>("spaltenText");
    QTest::newRow("1 x 25") << QByteArray("1\xF0" "25\xF0") << 1 << 25 << 2 << 20 << QStringLiteral("Zeilen: 1")
                            << QStringLiteral("Spalten: 25");
    QTest::newRow("21 x 1") << QByteArray("21\xF0" "1\xF0") << 21 << 1 << 20 << 2 << QStringLiteral("Zeilen: 21")
                            << QStringLiteral("Spalten: 1");
    // The labels show the count as stored.
    QTest::newRow("führende Null") << QByteArray("03\xF0" "+2\xF0") << 3 << 2 << 3 << 2 << QStringLiteral("Zeilen: 03")
                                   << QStringLiteral("Spalten: +2");
}

void TestTabelleText::tabelleAusserhalbDerGrenzen()
{
    QFETCH(QByteArray, kopf);
    QFETCH(int, zeilen);
    QFETCH(int, spalten);
    QFETCH(int, zeilenKnopf);
    QFETCH(int, spaltenKnopf);
    QFETCH(QString, zeilenText);
    QFETCH(QString, spaltenText);

    std::string daten = kopf.toStdString();
    for (int i = 0; i < zeilen * spalten; ++i)
        daten += std::to_string(i) + "\xF0";
    Programm p;
    offne(p, {{"Tabelle", "Gross", daten}});
    gui::beiModal([&](QWidget *w) {
        TFrmTabelle *t = tabelle(w);
        QVERIFY(t);
        QCOMPARE(t->GrdTabelle->rowCount(), zeilen);
        QCOMPARE(t->GrdTabelle->columnCount(), spalten);
        QCOMPARE(t->BtnZeilen->Position(), zeilenKnopf);
        QCOMPARE(t->BtnSpalten->Position(), spaltenKnopf);
        QCOMPARE(t->LblZeilen->text(), zeilenText);
        QCOMPARE(t->LblSpalten->text(), spaltenText);
        QCOMPARE(t->GrdTabelle->item(zeilen - 1, spalten - 1)->text(), QString::number(zeilen * spalten - 1));
        ok(t)->click();
    });
    p.fenster->BtnBearbeiten->click();
    // Stored again in the size it had, the counts now written plainly.
    std::string erwartet = std::to_string(zeilen) + "\xF0" + std::to_string(spalten) + "\xF0";
    erwartet += daten.substr(kopf.size());
    QCOMPARE(hilfen::objekt(p.fenster->Objekte(), 0).Daten, erwartet);

    // From there a click steps from the control's position.
    gui::beiModal([&](QWidget *w) {
        TFrmTabelle *t = tabelle(w);
        QVERIFY(t);
        t->BtnZeilen->BtnAb->click();
        const int neu = std::max(2, zeilenKnopf - 1);
        QCOMPARE(t->BtnZeilen->Position(), neu);
        QCOMPARE(t->GrdTabelle->rowCount(), neu == zeilenKnopf ? zeilen : neu);
        abbrechen(t)->click();
    });
    p.fenster->BtnBearbeiten->click();

    // A new table starts from a size the controls can show.
    gui::beiModal([&](QWidget *w) {
        TFrmTabelle *t = tabelle(w);
        QVERIFY(t && t->GrdTabelle->rowCount() == t->BtnZeilen->Position()
                && t->GrdTabelle->columnCount() == t->BtnSpalten->Position());
        abbrechen(t)->click();
    });
    p.fenster->BtnTabelle->click();
}

void TestTabelleText::tabelleTrennzeichenInZelle()
{
    Programm p;
    bool gemeldet = false;
    gui::beiModal([&](QWidget *w) {
        TFrmTabelle *t = tabelle(w);
        QVERIFY(t);
        // At the start of a cell the separator can be stored.
        t->GrdTabelle->setItem(0, 0, new QTableWidgetItem(QStringLiteral("ðx")));
        t->GrdTabelle->setItem(2, 3, new QTableWidgetItem(QStringLiteral("1ð2")));
        t->GrdTabelle->setCurrentCell(0, 1);

        gui::beiModal([&](QWidget *box) {
            auto *m = qobject_cast<QMessageBox *>(box);
            QVERIFY(m);
            QCOMPARE(m->windowTitle(), QStringLiteral("Markwerk"));
            QCOMPARE(m->icon(), QMessageBox::Critical);
            QVERIFY2(m->text().contains(QStringLiteral("Zeile 3, Spalte 4")), qPrintable(m->text()));
            QVERIFY(m->text().contains(QStringLiteral("ð")));
            gemeldet = true;
            QTest::keyClick(m, Qt::Key_Return);
        });
        ok(t)->click();
        QVERIFY(gemeldet);
        // The dialog stays, on the cell at fault.
        QVERIFY(t->isVisible());
        QCOMPARE(t->GrdTabelle->currentRow(), 2);
        QCOMPARE(t->GrdTabelle->currentColumn(), 3);
        QVERIFY(t->GrdTabelle->item(2, 3)->isSelected());

        t->GrdTabelle->item(2, 3)->setText(QStringLiteral("1/2"));
        ok(t)->click();
        QVERIFY(!t->isVisible());
    });
    p.fenster->BtnTabelle->click();
    QVERIFY(gemeldet);
    QCOMPARE(p.fenster->Objekte().Anzahl(), 1);
    const Tabelle t = DatenZuTabelle(hilfen::objekt(p.fenster->Objekte(), 0).Daten);
    QCOMPARE(t.zelle(0, 0), std::string("\xF0x"));
    QCOMPARE(t.zelle(2, 3), std::string("1/2"));
}

void TestTabelleText::tabelleSchliessenUndZeichensatz()
{
    Programm p;
    gui::beiModal([&](QWidget *w) {
        TFrmTabelle *t = tabelle(w);
        QVERIFY(t);
        // Characters the code page lacks show as "?" while typing, in the
        // description and in a cell.
        tippeUnicode(QStringLiteral("Ω€"));
        QCOMPARE(t->EdtBeschreibung->text(), QStringLiteral("?€"));
        t->GrdTabelle->setFocus();
        t->GrdTabelle->setCurrentCell(0, 0);
        tippe(QStringLiteral("a"));
        tippeUnicode(QStringLiteral("Ωé"));
        auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
        QVERIFY(editor);
        QCOMPARE(editor->text(), QStringLiteral("a?é"));
        // OK while the cell is still being edited keeps what was typed.
        ok(t)->click();
    });
    p.fenster->BtnTabelle->click();
    QCOMPARE(hilfen::objekt(p.fenster->Objekte(), 0).Beschreibung, std::string("?\x80"));
    QCOMPARE(DatenZuTabelle(hilfen::objekt(p.fenster->Objekte(), 0).Daten).zelle(0, 0), std::string("a?\xE9"));

    // Closed any other way than with OK, after an OK before: Abbrechen.
    p.skript->speichern = {pfad(QStringLiteral("s.htd"))};
    p.fenster->MnuSpeichern->trigger();
    gui::beiModal([](QWidget *w) {
        QVERIFY(tabelle(w));
        w->close();
    });
    p.fenster->BtnTabelle->click();
    gui::beiModal([](QWidget *w) {
        QVERIFY(tabelle(w));
        QTest::keyClick(w, Qt::Key_Escape);
    });
    p.fenster->BtnTabelle->click();
    QCOMPARE(p.fenster->Objekte().Anzahl(), 1);
    QVERIFY(!p.fenster->Geandert());
}

// ------------------------------------------------------------ text

void TestTabelleText::textZeilen_data()
{
    QTest::addColumn<QString>("eingabe");
    QTest::addColumn<QByteArray>("daten");
    QTest::newRow("zwei Zeilen") << QStringLiteral("Hallo\nWelt") << QByteArray("Hallo Welt ");
    QTest::newRow("letzter Umbruch zählt nicht") << QStringLiteral("Hallo\nWelt\n") << QByteArray("Hallo Welt ");
    QTest::newRow("Leerzeile dazwischen") << QStringLiteral("Hallo\n\nWelt") << QByteArray("Hallo  Welt ");
    QTest::newRow("zwei Umbrüche am Ende") << QStringLiteral("Hallo\n\n") << QByteArray("Hallo  ");
    QTest::newRow("leer") << QString() << QByteArray();
    QTest::newRow("nur ein Umbruch") << QStringLiteral("\n") << QByteArray(" ");
    QTest::newRow("Leerzeichen bleiben") << QStringLiteral(" a  \n b") << QByteArray(" a    b ");
    QTest::newRow("Sonderzeichen") << QStringLiteral("Grüße & <b>€</b>") << QByteArray("Gr\xFC\xDF" "e & <b>\x80</b> ");
}

void TestTabelleText::textZeilen()
{
    QFETCH(QString, eingabe);
    QFETCH(QByteArray, daten);
    Programm p;
    gui::beiModal([&](QWidget *w) {
        TFrmText *t = text(w);
        QVERIFY(t);
        t->EdtBeschreibung->setText(QStringLiteral("Absatz"));
        t->EdtText->setPlainText(eingabe);
        ok(t)->click();
    });
    p.fenster->BtnText->click();
    QCOMPARE(p.fenster->Objekte().Anzahl(), 1);
    QCOMPARE(hilfen::objekt(p.fenster->Objekte(), 0), (Objekt{"Text", "Absatz", daten.toStdString()}));
    QCOMPARE(zeile(p, 0), QStringLiteral("Text: \"Absatz\""));
    QVERIFY(p.fenster->Geandert());
}

void TestTabelleText::textTippen()
{
    Programm p;
    gui::beiModal([&](QWidget *w) {
        TFrmText *t = text(w);
        QVERIFY(t);
        QCOMPARE(QApplication::focusWidget(), t->EdtBeschreibung);
        tippe(QStringLiteral("Gruss"));
        taste(Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), t->EdtText);
        // Enter in the text is a new line, not OK.
        tippe(QStringLiteral("Hallo"));
        taste(Qt::Key_Return);
        tippe(QStringLiteral("Welt"));
        taste(Qt::Key_Return);
        QVERIFY(t->isVisible());
        QCOMPARE(t->EdtText->toPlainText(), QStringLiteral("Hallo\nWelt\n"));
        // Tab leaves the text for the buttons.
        taste(Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), ok(t));
        taste(Qt::Key_Backtab);
        taste(Qt::Key_Backtab);
        QCOMPARE(QApplication::focusWidget(), t->EdtBeschreibung);
        // Enter in the description is OK.
        taste(Qt::Key_Return);
        QVERIFY(!t->isVisible());
    });
    p.fenster->BtnText->click();
    QCOMPARE(p.fenster->Objekte().Anzahl(), 1);
    QCOMPARE(hilfen::objekt(p.fenster->Objekte(), 0), (Objekt{"Text", "Gruss", "Hallo Welt "}));
}

void TestTabelleText::textLangeZeileBrichtUm()
{
    Programm p;
    const QString adresse = QStringLiteral("http://www.baeckerei-example.de/angebote/wochenangebote/"
                                           "wochenangebot-roggenmischbrot-und-brezeln.htm");
    const QString wort = QStringLiteral("Donaudampfschifffahrtsgesellschaftskapitänsmützenabzeichenhersteller");
    const QString lang = QStringLiteral("Ein Absatz ohne Umbruch, der viel breiter ist als das Textfeld und darum "
                                        "auf mehrere Zeilen verteilt wird, wo das Feld ihn umbricht: <a href=\"")
                         + adresse + QStringLiteral("\">Angebot</a> ") + wort + QStringLiteral(" und ein Ende.");
    QStringList stuecke;
    gui::beiModal([&](QWidget *w) {
        TFrmText *t = text(w);
        QVERIFY(t);
        // A larger window changes nothing: the field keeps its size.
        const QRect feld = t->EdtText->geometry();
        t->resize(700, 400);
        QTRY_COMPARE(t->size(), QSize(700, 400));
        QCOMPARE(t->EdtText->geometry(), feld);
        QCOMPARE(ok(t)->geometry(), QRect(296, 40, 121, 33));
        // Never smaller than its controls.
        t->resize(100, 100);
        QCOMPARE(t->size(), QSize(425, 225));

        t->EdtText->setPlainText(lang);
        stuecke = t->Zeilen();
        const QFontMetricsF masse(t->EdtText->font());
        const qreal breite = t->EdtText->viewport()->width() - 2 * t->EdtText->document()->documentMargin();
        // Every piece fits the field, and the field breaks no earlier than
        // it must: the next word would not have fitted.
        for (int i = 0; i < stuecke.size(); ++i) {
            QVERIFY2(masse.horizontalAdvance(stuecke[i].trimmed()) <= breite, qPrintable(stuecke[i]));
            const QString weiter = stuecke[i] + stuecke.value(i + 1).section(QLatin1Char(' '), 0, 0);
            QVERIFY2(i + 1 == stuecke.size() || !stuecke[i].endsWith(u' ') || masse.horizontalAdvance(weiter) > breite, qPrintable(weiter));
        }
        ok(t)->click();
    });
    p.fenster->BtnText->click();
    QCOMPARE(stuecke.join(QString()), lang);
    // One blank after each piece as the field wraps it, none where it had
    // to split a word: the address and the long word come back as typed.
    QString erwartet;
    for (const QString &s : std::as_const(stuecke))
        erwartet += s + (s.endsWith(u' ') || &s == &stuecke.constLast() ? QStringLiteral(" ") : QString());
    QVERIFY2(erwartet.size() <= lang.size() + stuecke.size() - 2, qPrintable(stuecke.join(u'|')));
    QCOMPARE(Win1252::zuText(hilfen::objekt(p.fenster->Objekte(), 0).Daten), erwartet);
    QVERIFY(erwartet.contains(QLatin1Char('"') + adresse + QLatin1Char('"')) && erwartet.contains(wort));

    // Opened again and confirmed, the text still has no blank inside a word.
    p.fenster->LstMarkwerk->selectionModel()->select(p.fenster->Modell()->index(0), QItemSelectionModel::ClearAndSelect);
    gui::beiModal([&](QWidget *w) { ok(w)->click(); });
    p.fenster->BtnBearbeiten->click();
    QCOMPARE(Win1252::zuText(hilfen::objekt(p.fenster->Objekte(), 0).Daten).split(u' ', Qt::SkipEmptyParts),
             lang.split(u' ', Qt::SkipEmptyParts));
}

void TestTabelleText::textNurAnLeerzeichen()
{
    // A word that fits on a line is never split, hyphens and slashes or
    // not: the text gets no blank inside it.
    QStringList woerter;
    for (int i = 0; i < 15; ++i)
        woerter << QStringLiteral("Weizen-Roggen-Mischbrot") << QStringLiteral("href=\"http://example.com/a/b/c.htm\"");
    Programm p;
    gui::beiModal([&](QWidget *w) {
        QVERIFY(text(w));
        text(w)->EdtText->setPlainText(woerter.join(QLatin1Char(' ')));
        ok(text(w))->click();
    });
    p.fenster->BtnText->click();
    QCOMPARE(Win1252::zuText(hilfen::objekt(p.fenster->Objekte(), 0).Daten).split(QLatin1Char(' '), Qt::SkipEmptyParts), woerter);
}

void TestTabelleText::textBearbeitenFuegtLeerzeichenAn()
{
    Programm p;
    offne(p, {{"Text", "Gruss", "Hallo Welt "}, {"Text", "Leer", ""}});
    for (const char *erwartet : {"Hallo Welt  ", "Hallo Welt   "}) {
        gui::beiModal([&](QWidget *w) {
            TFrmText *t = text(w);
            QVERIFY(t);
            QCOMPARE(t->EdtBeschreibung->text(), QStringLiteral("Gruss"));
            QCOMPARE(t->Zeilen().size(), 1);
            ok(t)->click();
        });
        p.fenster->BtnBearbeiten->click();
        QCOMPARE(hilfen::objekt(p.fenster->Objekte(), 0).Daten, std::string(erwartet));
        QVERIFY(p.fenster->Geandert());
    }

    // The stored text followed by a line break, then the empty last line.
    p.fenster->LstMarkwerk->selectionModel()->select(p.fenster->Modell()->index(1), QItemSelectionModel::ClearAndSelect);
    gui::beiModal([&](QWidget *w) {
        TFrmText *t = text(w);
        QVERIFY(t);
        QCOMPARE(t->EdtText->toPlainText(), QStringLiteral("\n"));
        t->EdtBeschreibung->setText(QStringLiteral("Nicht mehr leer"));
        ok(t)->click();
    });
    p.fenster->MnuObjektbearbeiten->trigger();
    QCOMPARE(hilfen::objekt(p.fenster->Objekte(), 1), (Objekt{"Text", "Nicht mehr leer", " "}));
    QCOMPARE(zeile(p, 1), QStringLiteral("Text: \"Nicht mehr leer\""));
}

void TestTabelleText::textAbbrechenUndZeichensatz()
{
    Programm p;
    gui::beiModal([&](QWidget *w) {
        TFrmText *t = text(w);
        QVERIFY(t);
        t->EdtText->setFocus();
        tippe(QStringLiteral("ab"));
        tippeUnicode(QStringLiteral("Ω"));
        tippe(QStringLiteral("c"));
        QCOMPARE(t->EdtText->toPlainText(), QStringLiteral("ab?c"));
        // Undo never brings back a character that was replaced.
        for (int i = 0; i < 4; ++i) {
            taste(Qt::Key_Z, Qt::ControlModifier);
            QVERIFY2(!t->EdtText->toPlainText().contains(QStringLiteral("Ω")), qPrintable(t->EdtText->toPlainText()));
        }
        QCOMPARE(t->EdtText->toPlainText(), QString());
        tippe(QStringLiteral("ab"));
        // Pasted text: a soft line break is a line break, a pair of
        // surrogates one "?".
        QApplication::clipboard()->setText(QStringLiteral("1") + QChar(QChar::LineSeparator) + QStringLiteral("2😀3"));
        taste(Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(t->EdtText->toPlainText(), QStringLiteral("ab1\n2?3"));
        QCOMPARE(t->EdtText->textCursor().position(), 7);
        // Shift+Enter breaks the line like Enter.
        taste(Qt::Key_Return, Qt::ShiftModifier);
        QCOMPARE(t->EdtText->toPlainText(), QStringLiteral("ab1\n2?3\n"));
        QCOMPARE(t->EdtText->document()->blockCount(), 3);
        QVERIFY(t->isVisible());
        ok(t)->click();
    });
    p.fenster->BtnText->click();
    QCOMPARE(hilfen::objekt(p.fenster->Objekte(), 0).Daten, std::string("ab1 2?3 "));

    // Abbrechen, Esc and any other close add nothing.
    p.skript->speichern = {pfad(QStringLiteral("t.htd"))};
    p.fenster->MnuSpeichern->trigger();
    gui::beiModal([](QWidget *w) {
        QVERIFY(text(w));
        QCOMPARE(qobject_cast<TFrmText *>(w)->EdtText->toPlainText(), QString());
        tippe(QStringLiteral("weg"));
        abbrechen(w)->click();
    });
    p.fenster->BtnText->click();
    gui::beiModal([](QWidget *w) { QTest::keyClick(w, Qt::Key_Escape); });
    p.fenster->BtnText->click();
    gui::beiModal([](QWidget *w) { w->close(); });
    p.fenster->BtnText->click();
    QCOMPARE(p.fenster->Objekte().Anzahl(), 1);
    QVERIFY(!p.fenster->Geandert());
}

MARKWERK_GUI_TEST(TestTabelleText)
#include "tst_tabelle_text.moc"
