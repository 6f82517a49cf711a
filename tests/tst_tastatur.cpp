// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

// The windows as a keyboard alone and a screen reader reach them.

#include "aufabknopf.h"
#include "bild.h"
#include "dateiwahl.h"
#include "gui.h"
#include "hintern.h"
#include "objektliste.h"
#include "tabelle.h"

#include <QAccessible>
#include <QComboBox>
#include <QLabel>
#include <QListView>
#include <QTableWidget>
#include <QToolButton>

class TestTastatur : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void leisteMitTab();
    void knopfMitTaste_data();
    void knopfMitTaste();
    void fokusSichtbar_data();
    void fokusSichtbar();
    void anzahlIstDrehfeld();
    void auswahlNachRolle();
};

void TestTastatur::leisteMitTab()
{
    // Tab walks the strip in its order, then into the list; and from the
    // list it comes round to the strip again.
    gui::Programm p;
    TFrmMarkwerk &f = *p.fenster;
    QApplication::setActiveWindow(&f);
    f.LstMarkwerk->setFocus(Qt::TabFocusReason);
    QWidget *start = QApplication::focusWidget();
    QCOMPARE(start, f.LstMarkwerk);
    int schritte = 0;
    while (QApplication::focusWidget() != f.BtnNeu && schritte++ < 20)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), f.BtnNeu);
    QStringList reihe;
    for (int i = 0; i < 14; ++i) {
        reihe << QApplication::focusWidget()->accessibleName();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QCOMPARE(reihe, (QStringList{QStringLiteral("Neu"), QStringLiteral("Öffnen"), QStringLiteral("Speichern"),
                                 QStringLiteral("Generieren"), QStringLiteral("Bild"), QStringLiteral("Linie"),
                                 QStringLiteral("Link"), QStringLiteral("Tabelle"), QStringLiteral("Text"),
                                 QStringLiteral("Entfernen"), QStringLiteral("Bearbeiten"), QStringLiteral("Aufwärts"),
                                 QStringLiteral("Abwärts"), QStringLiteral("Objekte")}));
    // A click leaves the focus where it was.
    f.LstMarkwerk->setFocus(Qt::TabFocusReason);
    QTest::mouseClick(f.BtnLinie, Qt::LeftButton);
    QCOMPARE(QApplication::focusWidget(), f.LstMarkwerk);
}

void TestTastatur::knopfMitTaste_data()
{
    QTest::addColumn<int>("taste");
    QTest::newRow("Leertaste") << int(Qt::Key_Space);
    QTest::newRow("Eingabe") << int(Qt::Key_Return);
    QTest::newRow("Enter im Ziffernblock") << int(Qt::Key_Enter);
}

void TestTastatur::knopfMitTaste()
{
    QFETCH(int, taste);
    gui::Programm p;
    TFrmMarkwerk &f = *p.fenster;
    QApplication::setActiveWindow(&f);
    f.BtnLinie->setFocus(Qt::TabFocusReason);
    QTest::keyClick(f.BtnLinie, Qt::Key(taste));
    QTRY_COMPARE(f.Objekte().Anzahl(), 1);
    QCOMPARE(QApplication::focusWidget(), f.BtnLinie);
}

void TestTastatur::fokusSichtbar_data()
{
    QTest::addColumn<bool>("dunkel");
    QTest::newRow("hell") << false;
    QTest::newRow("dunkel") << true;
}

void TestTastatur::fokusSichtbar()
{
    // The button with the focus has a frame in the highlight colour, at its
    // rim, around an unchanged picture.
    QFETCH(bool, dunkel);
    const QPalette vorher = QApplication::palette();
    if (dunkel) {
        QPalette farben(QColor(0x35, 0x35, 0x35), QColor(0x20, 0x20, 0x20));
        farben.setColor(QPalette::Highlight, QColor(0x2a, 0x82, 0xda));
        QApplication::setPalette(farben);
    }
    {
        gui::Programm p;
        TFrmMarkwerk &f = *p.fenster;
        QApplication::setActiveWindow(&f);
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        f.LstMarkwerk->setFocus(Qt::TabFocusReason);
        const QImage ohne = f.BtnBild->grab().toImage();
        f.BtnBild->setFocus(Qt::TabFocusReason);
        const QImage mit = f.BtnBild->grab().toImage();
        const QColor farbe = f.BtnBild->palette().color(QPalette::Active, QPalette::Highlight);
        const int r = int(mit.devicePixelRatio());
        for (const QPoint rand : {QPoint(0, 12), QPoint(12, 0), QPoint(24, 12), QPoint(12, 24)})
            QCOMPARE(mit.pixelColor(rand * r), farbe);
        QCOMPARE(mit.copy(3 * r, 3 * r, 19 * r, 19 * r), ohne.copy(3 * r, 3 * r, 19 * r, 19 * r));
        QCOMPARE(f.BtnBild->geometry(), QRect(133, 8, 25, 25));
    }
    QApplication::setPalette(vorher);
}

void TestTastatur::anzahlIstDrehfeld()
{
    // The row count is a spin button with its value and limits; setting its
    // value steps it as the arrows do, and the label and grid follow.
    gui::Programm p;
    auto *t = p.fenster->findChild<TFrmTabelle *>();
    QVERIFY(t);
    QAccessibleInterface *zeilen = QAccessible::queryAccessibleInterface(t->BtnZeilen);
    QVERIFY(zeilen);
    QCOMPARE(zeilen->role(), QAccessible::SpinBox);
    QCOMPARE(zeilen->text(QAccessible::Name), QStringLiteral("Zeilen"));
    QAccessibleValueInterface *wert = zeilen->valueInterface();
    QVERIFY(wert);
    QCOMPARE(wert->currentValue().toInt(), 6);
    QCOMPARE(wert->minimumValue().toInt(), 2);
    QCOMPARE(wert->maximumValue().toInt(), 20);
    wert->setCurrentValue(9);
    QCOMPARE(t->BtnZeilen->Position(), 9);
    QCOMPARE(t->LblZeilen->text(), QStringLiteral("Zeilen: 9"));
    QCOMPARE(t->GrdTabelle->rowCount(), 9);
    wert->setCurrentValue(99);
    QCOMPARE(t->GrdTabelle->rowCount(), 20);
    QCOMPARE(zeilen->text(QAccessible::Value), QStringLiteral("20"));
    zeilen->actionInterface()->doAction(QAccessibleActionInterface::decreaseAction());
    QCOMPARE(t->GrdTabelle->rowCount(), 19);
}

void TestTastatur::auswahlNachRolle()
{
    // The drive and filter boxes are named by what they are for; their
    // entry is their value.
    gui::Programm p;
    for (Dateiwahl *w : {p.fenster->findChild<TFrmBild *>()->Wahl, p.fenster->findChild<TFrmHintergrund *>()->Wahl}) {
        for (const auto &[box, name] : {std::pair{w->Laufwerke, QStringLiteral("Laufwerk")},
                                        std::pair{w->Filter, QStringLiteral("Dateityp")}}) {
            QAccessibleInterface *i = QAccessible::queryAccessibleInterface(box);
            QCOMPARE(i->role(), QAccessible::ComboBox);
            QCOMPARE(i->text(QAccessible::Name), name);
            QCOMPARE(i->text(QAccessible::Value), box->currentText());
            QCOMPARE(i->childCount(), 1);
        }
    }
}

MARKWERK_GUI_TEST(TestTastatur)
#include "tst_tastatur.moc"
