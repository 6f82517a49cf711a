// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

// One whole session as a user works: the price list built through the
// windows, saved, closed with New, opened again and turned into a page.

#include "bild.h"
#include "dateiwahl.h"
#include "doku.h"
#include "gui.h"
#include "hilfen.h"
#include "hintern.h"
#include "link.h"
#include "tabelle.h"
#include "text.h"
#include "aufabknopf.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QToolButton>

using gui::Programm;

class TestSitzung : public QObject
{
    Q_OBJECT

private:
    // Goes to a folder and picks a file of the "Ping" type, as a user does.
    static void waehleBild(Dateiwahl *wahl, QComboBox *filter, QListWidget *dateien, const QString &ordner,
                           const QString &name)
    {
        wahl->oeffneVerzeichnis(ordner);
        const int ping = filter->findText(QStringLiteral("Ping"));
        filter->setCurrentIndex(ping);
        Q_EMIT filter->activated(ping); // what choosing it with the mouse sends
        const QList<QListWidgetItem *> treffer = dateien->findItems(name, Qt::MatchExactly);
        QCOMPARE(treffer.size(), 1);
        dateien->setCurrentItem(treffer.constFirst());
    }

private Q_SLOTS:
    void cleanup();
    void preislisteVonAnfangBisEnde();
};

void TestSitzung::cleanup()
{
    gui::keinFensterUebrig();
}

void TestSitzung::preislisteVonAnfangBisEnde()
{
    QTemporaryDir dir;
    const QString bilder = dir.filePath(QStringLiteral("BILDER"));
    QVERIFY(QDir().mkpath(bilder));
    QVERIFY(hilfen::schreib(bilder + QStringLiteral("/HINTER.PNG"), "png"));
    QVERIFY(hilfen::schreib(bilder + QStringLiteral("/LOGO.PNG"), "png"));

    Programm p;
    TFrmMarkwerk &f = *p.fenster;

    gui::beiModal([&](QWidget *w) {
        auto *titel = qobject_cast<TFrmTitel *>(w);
        QVERIFY(titel);
        titel->EdtTitel->selectAll();
        QTest::keyClicks(titel->EdtTitel, QStringLiteral("Preisliste"));
        QTest::keyClick(titel->EdtTitel, Qt::Key_Return);
    });
    f.MnuDokumenttitel->trigger();

    gui::beiModal([&](QWidget *w) {
        auto *h = qobject_cast<TFrmHintergrund *>(w);
        QVERIFY(h);
        h->ChkAktivieren->click();
        waehleBild(h->Wahl, h->LstDateityp, h->LstDatei, bilder, QStringLiteral("HINTER.PNG"));
        h->BtnSchliesen->click();
    });
    f.MnuHintergrundbild->trigger();

    gui::beiModal([&](QWidget *w) {
        auto *b = qobject_cast<TFrmBild *>(w);
        QVERIFY(b);
        QTest::keyClicks(b->EdtBeschreibung, QStringLiteral("Logo"));
        waehleBild(b->Wahl, b->LstFilter, b->LstFile, bilder, QStringLiteral("LOGO.PNG"));
        b->BtnOk->click();
    });
    f.BtnBild->click();

    gui::beiModal([&](QWidget *w) {
        auto *t = qobject_cast<TFrmText *>(w);
        QVERIFY(t);
        QTest::keyClicks(t->EdtBeschreibung, QStringLiteral("Einleitung"));
        QTest::keyClicks(t->EdtText, QStringLiteral("Unsere Preise:"));
        t->BtnOk->click();
    });
    f.BtnText->click();

    gui::beiModal([&](QWidget *w) {
        auto *t = qobject_cast<TFrmTabelle *>(w);
        QVERIFY(t);
        QTest::keyClicks(t->EdtBeschreibung, QStringLiteral("Preise"));
        for (int i = 0; i < 4; ++i)
            t->BtnZeilen->BtnAb->click();
        for (int i = 0; i < 2; ++i)
            t->BtnSpalten->BtnAb->click();
        QCOMPARE(t->GrdTabelle->rowCount(), 2);
        QCOMPARE(t->GrdTabelle->columnCount(), 2);
        t->GrdTabelle->setFocus();
        t->GrdTabelle->setCurrentCell(0, 0);
        for (const QString &zelle : {QStringLiteral("Name"), QStringLiteral("Preis"), QStringLiteral("Brot")}) {
            // The first key opens the cell's editor, which takes the rest.
            for (const QChar c : zelle)
                QTest::keyClicks(QApplication::focusWidget(), QString(c));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        t->BtnOk->click();
    });
    f.BtnTabelle->click();

    f.BtnLinie->click();

    gui::beiModal([&](QWidget *w) {
        auto *l = qobject_cast<TFrmLink *>(w);
        QVERIFY(l);
        QTest::keyClicks(l->EdtBeschreibung, QStringLiteral("Startseite"));
        QTest::keyClicks(l->EdtAdresse, QStringLiteral("index.htm"));
        l->BtnOk->click();
    });
    f.BtnLink->click();
    QCOMPARE(f.Objekte().Anzahl(), 5);

    const QString definition = dir.filePath(QStringLiteral("preisliste.htd"));
    const QString seite = dir.filePath(QStringLiteral("preisliste.htm"));
    p.skript->speichern = {definition};
    f.BtnSpeichern->click();
    f.BtnNeu->click();
    QCOMPARE(f.Objekte().Anzahl(), 0);
    p.skript->offnen = {definition};
    f.BtnOffnen->click();
    p.skript->generieren = {seite};
    f.BtnGenerieren->click();
    QVERIFY(p.skript->fehlermeldungen.isEmpty());
    QCOMPARE(p.skript->gefragt, 0);

    QByteArray erwartet = hilfen::preislistenSeite;
    erwartet.replace("C:\\BILDER\\HINTER.GIF", QFile::encodeName(bilder + QStringLiteral("/HINTER.PNG")))
        .replace("C:\\BILDER\\LOGO.GIF", QFile::encodeName(bilder + QStringLiteral("/LOGO.PNG")));
    QCOMPARE(hilfen::lies(seite), erwartet);
    QCOMPARE(hilfen::lies(seite).count("\r\n"), 21);
}

MARKWERK_GUI_TEST(TestSitzung)
#include "tst_sitzung.moc"
