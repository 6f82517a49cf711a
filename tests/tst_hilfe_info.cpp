// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

// The help window beside the main window, and the info window.

#include "gui.h"
#include "hilfe.h"
#include "info.h"
#include "doku.h"
#include "hintern.h"
#include "objektmodell.h"

#include <QAction>
#include <QLabel>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QToolButton>

using gui::Programm;

class TestHilfeInfo : public QObject
{
    Q_OBJECT

private:
    static TFrmHilfe *hilfe(const Programm &p) { return p.fenster->findChild<TFrmHilfe *>(); }
    static int sichtbareHilfefenster()
    {
        int n = 0;
        for (QWidget *w : QApplication::topLevelWidgets())
            n += qobject_cast<TFrmHilfe *>(w) && w->isVisible();
        return n;
    }

private Q_SLOTS:
    void cleanup();

    void hilfeNebenDemHauptfenster();
    void hilfetext();
    void infoSchliesstMitEnter();
    void escSchliesstNicht();
    // Runs the application's own event loop; last, so nothing follows it.
    void hilfeEndetMitDemHauptfenster();
};

void TestHilfeInfo::cleanup()
{
    gui::keinFensterUebrig();
}

void TestHilfeInfo::hilfeNebenDemHauptfenster()
{
    Programm p;
    TFrmHilfe *h = hilfe(p);
    QVERIFY(h);
    QVERIFY(!h->isVisible());
    p.fenster->MnuIndex->trigger();
    QVERIFY(h->isVisible());
    QCOMPARE(h->windowTitle(), QStringLiteral("Hilfe"));
    QCOMPARE(h->size(), QSize(433, 385));
    QCOMPARE(h->frameGeometry().topLeft(), QPoint(136, 77));
    QCOMPARE(h->BtnSchliesen->text(), QStringLiteral("Schließen"));
    QVERIFY(!QApplication::activeModalWidget());
    QTRY_COMPARE(QApplication::activeWindow(), h);

    // The main window goes on working beside it.
    p.fenster->BtnLinie->click();
    p.fenster->BtnLinie->click();
    p.fenster->LstMarkwerk->selectionModel()->select(p.fenster->Modell()->index(0), QItemSelectionModel::ClearAndSelect);
    p.fenster->activateWindow();
    QTRY_COMPARE(QApplication::activeWindow(), p.fenster.get());
    QTest::keyClick(p.fenster->LstMarkwerk, Qt::Key_Delete);
    QCOMPARE(p.fenster->Objekte().Anzahl(), 1);
    QVERIFY(h->isVisible());

    // F1 while it is open brings the one help window to the front.
    QTest::keyClick(p.fenster->LstMarkwerk, Qt::Key_F1);
    QTRY_COMPARE(QApplication::activeWindow(), h);
    p.fenster->MnuIndex->trigger();
    QCOMPARE(sichtbareHilfefenster(), 1);

    // Enter closes it; the next showing finds it where it was.
    h->move(300, 200);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QVERIFY(!h->isVisible());
    p.fenster->MnuIndex->trigger();
    QCOMPARE(h->frameGeometry().topLeft(), QPoint(300, 200));
    h->BtnSchliesen->click();
    QVERIFY(!h->isVisible());
}

void TestHilfeInfo::hilfetext()
{
    Programm p;
    // It speaks of this program's buttons and menus by their names.
    const QString ganz = hilfe(p)->EdtHilfe->toPlainText();
    for (const QToolButton *b : p.fenster->findChildren<QToolButton *>()) {
        if (!b->toolTip().isEmpty())
            QVERIFY2(ganz.contains(b->toolTip()), qPrintable(b->toolTip()));
    }
    for (const QAction *a : {p.fenster->MnuGenerieren, p.fenster->MnuDokumenttitel, p.fenster->MnuHintergrundbild,
                             p.fenster->MnuKopieren, p.fenster->MnuAusschneiden, p.fenster->MnuEinfugen})
        QVERIFY2(ganz.contains(a->text()), qPrintable(a->text()));
    QVERIFY(ganz.contains(QStringLiteral("„Einstellungen“")));
    QVERIFY(ganz.contains(QStringLiteral("„htm“")));

    // The user cannot change it, but can scroll and select.
    TFrmHilfe *h = hilfe(p);
    p.fenster->MnuIndex->trigger();
    QTRY_COMPARE(QApplication::focusWidget(), h->EdtHilfe);
    QTest::keyClicks(h->EdtHilfe, QStringLiteral("xyz"));
    QTest::keyClick(h->EdtHilfe, Qt::Key_Delete);
    QCOMPARE(h->EdtHilfe->toPlainText(), ganz);
    QScrollBar *leiste = h->EdtHilfe->verticalScrollBar();
    QVERIFY(leiste->isVisible());
    QTest::keyClick(h->EdtHilfe, Qt::Key_End, Qt::ControlModifier);
    QVERIFY(leiste->value() > 0);
    QTest::keyClick(h->EdtHilfe, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(h->EdtHilfe->textCursor().selectedText().size(), ganz.size());
    h->close();
}

void TestHilfeInfo::hilfeEndetMitDemHauptfenster()
{
    // The open help window does not keep the program alive: the event loop
    // ends when the main window closes, as in the program.
    Programm p;
    p.fenster->MnuIndex->trigger();
    QSignalSpy zuletzt(qApp, &QGuiApplication::lastWindowClosed);
    QTimer::singleShot(0, p.fenster.get(), [&] { p.fenster->close(); });
    QTimer notbremse;
    notbremse.setSingleShot(true);
    connect(&notbremse, &QTimer::timeout, qApp, [] { QApplication::exit(1); });
    notbremse.start(5000);
    QCOMPARE(QApplication::exec(), 0);
    QCOMPARE(zuletzt.size(), 1);
    QVERIFY(!p.fenster->isVisible());
    hilfe(p)->close();
}

void TestHilfeInfo::infoSchliesstMitEnter()
{
    Programm p;
    bool geprueft = false;
    gui::beiModal([&](QWidget *w) {
        auto *info = qobject_cast<TFrmInfo *>(w);
        QVERIFY(info);
        QVERIFY(!info->windowTitle().isEmpty());
        QVERIFY(!info->windowTitle().contains(QLatin1Char('\n')));
        QCOMPARE(info->size(), QSize(353, 97));
        QCOMPARE(info->LblProgramm->text(), QStringLiteral("Markwerk 3"));
        for (const QLabel *l : {info->LblProgramm, info->LblAutor, info->LblKontakt}) {
            QVERIFY(!l->text().isEmpty());
            QVERIFY2(l->contentsRect().width() >= l->fontMetrics().horizontalAdvance(l->text()), qPrintable(l->text()));
            QVERIFY(l->alignment() & Qt::AlignHCenter);
        }
        // The button is the only control that takes the focus.
        QCOMPARE(QApplication::focusWidget(), info->BtnSchliesen);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), info->BtnSchliesen);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QVERIFY(!info->isVisible());
        geprueft = true;
    });
    p.fenster->MnuInfo->trigger();
    QVERIFY(geprueft);
    QVERIFY(!QApplication::activeModalWidget());
}

void TestHilfeInfo::escSchliesstNicht()
{
    // Windows whose only button is "Schließen" are left through it; Esc has
    // no cancel button to press.
    Programm p;
    TFrmMarkwerk &f = *p.fenster;
    for (QAction *menue : {f.MnuDokumenttitel, f.MnuHintergrundbild, f.MnuInfo}) {
        bool offen = false;
        gui::beiModal([&](QWidget *w) {
            QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : w, Qt::Key_Escape);
            offen = w->isVisible();
            QTest::keyClick(w, Qt::Key_Return);
        });
        menue->trigger();
        QVERIFY2(offen, qPrintable(menue->text()));
    }
    f.MnuIndex->trigger();
    auto *hilfe = f.findChild<TFrmHilfe *>();
    QVERIFY(hilfe && hilfe->isVisible());
    QTest::keyClick(hilfe, Qt::Key_Escape);
    QVERIFY(hilfe->isVisible());
    hilfe->BtnSchliesen->click();
    QVERIFY(!hilfe->isVisible());
}

MARKWERK_GUI_TEST(TestHilfeInfo)
#include "tst_hilfe_info.moc"
