// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

// The title and background windows, reached through the settings menu, as
// the storage of the two document settings: save, load, New and the page.

#include "bild.h"
#include "dateiwahl.h"
#include "definitionsdatei.h"
#include "doku.h"
#include "gui.h"
#include "hilfen.h"
#include "hintern.h"
#include "objektmodell.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QToolButton>
#include <QScopeGuard>
#include <QTreeWidget>

#include <filesystem>
#include <fstream>

using gui::Programm;
using hilfen::lies;
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

QList<QWidget *> picker(const TFrmHintergrund *h)
{
    return {h->LstLaufwerk, h->LstVerzeichnis, h->LstDateityp, h->LstDatei};
}

bool pickerAn(const TFrmHintergrund *h)
{
    for (QWidget *w : picker(h)) {
        if (!w->isEnabled())
            return false;
    }
    return true;
}

bool pickerAus(const TFrmHintergrund *h)
{
    for (QWidget *w : picker(h)) {
        if (w->isEnabled())
            return false;
    }
    return true;
}

void klickeDatei(QListWidget *liste, const QString &name)
{
    const QList<QListWidgetItem *> treffer = liste->findItems(name, Qt::MatchExactly | Qt::MatchCaseSensitive);
    QVERIFY(!treffer.isEmpty());
    QTest::mouseClick(liste->viewport(), Qt::LeftButton, {}, liste->visualItemRect(treffer.first()).center());
}

} // namespace

class TestEinstellungsfenster : public QObject
{
    Q_OBJECT

private:
    QString pfad(const QString &name) const { return m_dir.filePath(name); }
    static TFrmTitel *titel(const Programm &p) { return p.fenster->findChild<TFrmTitel *>(); }
    static TFrmHintergrund *hintergrund(const Programm &p) { return p.fenster->findChild<TFrmHintergrund *>(); }
    QByteArray seite(Programm &p)
    {
        const QString s = pfad(QStringLiteral("seite.htm"));
        p.skript->generieren = {s};
        p.fenster->MnuGenerieren->trigger();
        return lies(s);
    }

    QTemporaryDir m_dir;

private Q_SLOTS:
    void initTestCase();
    void cleanup();

    void titelFenster();
    void titelAufbau();
    void hintergrundAufbau();
    void hintergrundFenster();
    void hakenAusCode();
    void speichernLadenNeu();
    void hintergrundOhneDatei();
    void hintergrundFehlt_data();
    void hintergrundFehlt();
    void speichernAlsAnderswohin_data();
    void speichernAlsAnderswohin();
    void ordnerNichtUtf8();
};

void TestEinstellungsfenster::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY(QDir().mkpath(pfad(QStringLiteral("bilder"))));
    for (const char *f : {"bilder/hinter.bmp", "bilder/muster.jpg", "bilder/mustjpg", "bilder/papier.png"})
        QVERIFY(hilfen::schreib(pfad(QString::fromUtf8(f)), "x"));
}

void TestEinstellungsfenster::cleanup()
{
    gui::keinFensterUebrig();
}

void TestEinstellungsfenster::titelFenster()
{
    Programm p;
    TFrmMarkwerk &f = *p.fenster;
    bool gezeigt = false;
    gui::beiModal([&](QWidget *w) {
        auto *t = qobject_cast<TFrmTitel *>(w);
        QVERIFY(t);
        gezeigt = true;
        QCOMPARE(t->EdtTitel->text(), QStringLiteral("HTML - Dokument"));
        QTRY_COMPARE(QApplication::focusWidget(), t->EdtTitel);
        t->EdtTitel->selectAll();
        tippe(t->EdtTitel, QStringLiteral("Preisliste – Ω"));
        // Enter presses "Schließen".
        QTest::keyClick(t->EdtTitel, Qt::Key_Return);
        QVERIFY(!t->isVisible());
    });
    f.MnuDokumenttitel->trigger();
    QVERIFY(gezeigt);
    // In effect at once; a title alone is no change of the document.
    QCOMPARE(f.Einstellungen().Titel(), std::string("Preisliste \x96 ?"));
    QVERIFY(!f.Geandert());
    QVERIFY(seite(p).contains("<TITLE>Preisliste \x96 ?</TITLE>"));
    const QString d = pfad(QStringLiteral("titel.htd"));
    p.skript->speichern = {d};
    f.MnuSpeichern->trigger();
    QCOMPARE(LeseDefinition(n(d)).Titel, std::string("Preisliste \x96 ?"));

    // Esc closes too and keeps what was typed; an empty title is a title.
    gui::beiModal([&](QWidget *w) {
        auto *t = qobject_cast<TFrmTitel *>(w);
        t->EdtTitel->clear();
        QTest::keyClick(t->EdtTitel, Qt::Key_Escape);
    });
    f.MnuDokumenttitel->trigger();
    QCOMPARE(f.Einstellungen().Titel(), std::string());
    QVERIFY(seite(p).contains("<TITLE></TITLE>"));

    // Loading sets it; closing the program asks nothing.
    p.skript->offnen = {d};
    f.MnuOffnen->trigger();
    QCOMPARE(titel(p)->EdtTitel->text(), QStringLiteral("Preisliste – ?"));
    QVERIFY(f.close());
    QCOMPARE(p.skript->gefragt, 0);
}

void TestEinstellungsfenster::titelAufbau()
{
    Programm p;
    const TFrmTitel *t = titel(p);
    QCOMPARE(t->windowTitle(), QStringLiteral("Dokumenttitel"));
    QCOMPARE(t->size(), QSize(425, 81));
    QCOMPARE(t->minimumSize(), t->maximumSize());
    QVERIFY(!(t->windowFlags() & (Qt::WindowCloseButtonHint | Qt::WindowMinMaxButtonsHint | Qt::WindowSystemMenuHint)));
    QCOMPARE(t->LblTitel->geometry(), QRect(8, 8, 81, 17));
    QCOMPARE(t->LblTitel->text(), QStringLiteral("Titel:"));
    QCOMPARE(t->LblTitel->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    QCOMPARE(t->EdtTitel->geometry(), QRect(96, 8, 321, 21));
    // Any length: a long title from a file is not cut.
    const std::string lang(40000, 'a');
    titel(p)->setzeTitel(lang);
    QCOMPARE(t->Titel(), lang);
    QCOMPARE(t->BtnSchliesen->geometry(), QRect(296, 40, 121, 33));
    QCOMPARE(t->BtnSchliesen->text(), QStringLiteral("Schließen"));
    QVERIFY(!t->BtnSchliesen->icon().isNull());
    QVERIFY(t->BtnSchliesen->isDefault());
    QVERIFY(t->BtnSchliesen->sizeHint().width() <= t->BtnSchliesen->width());
    QCOMPARE(t->EdtTitel->nextInFocusChain(), t->BtnSchliesen);

    // Centred at first; afterwards where it was left.
    const QRect bildschirm = QGuiApplication::primaryScreen()->availableGeometry();
    gui::beiModal([&](QWidget *w) {
        QRect mitte(QPoint(), w->frameGeometry().size());
        mitte.moveCenter(bildschirm.center());
        QCOMPARE(w->frameGeometry().topLeft(), mitte.topLeft());
        QTRY_COMPARE(QApplication::focusWidget(), t->EdtTitel);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), t->BtnSchliesen);
        w->move(50, 60);
        t->BtnSchliesen->click();
    });
    p.fenster->MnuDokumenttitel->trigger();
    gui::beiModal([&](QWidget *w) {
        QCOMPARE(w->pos(), QPoint(50, 60));
        QTest::keyClick(w, Qt::Key_Return);
        QVERIFY(!w->isVisible());
    });
    p.fenster->MnuDokumenttitel->trigger();
}

void TestEinstellungsfenster::hintergrundAufbau()
{
    Programm p;
    const TFrmHintergrund *h = hintergrund(p);
    QCOMPARE(h->windowTitle(), QStringLiteral("Dokumentenhintergrund"));
    QCOMPARE(h->size(), QSize(425, 337));
    QCOMPARE(h->minimumSize(), h->maximumSize());
    QVERIFY(!(h->windowFlags() & (Qt::WindowCloseButtonHint | Qt::WindowMinMaxButtonsHint | Qt::WindowSystemMenuHint)));
    QCOMPARE(h->BtnSchliesen->geometry(), QRect(296, 296, 121, 33));
    QCOMPARE(h->BtnSchliesen->text(), QStringLiteral("Schließen"));
    QVERIFY(!h->BtnSchliesen->icon().isNull());
    QVERIFY(h->BtnSchliesen->isDefault());
    QCOMPARE(h->LstLaufwerk->geometry().topLeft(), QPoint(8, 32));
    QCOMPARE(h->LstLaufwerk->width(), 201);
    QCOMPARE(h->LstVerzeichnis->geometry(), QRect(8, 56, 201, 233));
    QCOMPARE(h->LstDateityp->geometry().topLeft(), QPoint(216, 32));
    QCOMPARE(h->LstDateityp->width(), 201);
    QCOMPARE(h->LstDatei->geometry(), QRect(216, 56, 201, 233));
    QCOMPARE(h->ChkAktivieren->geometry(), QRect(8, 8, 201, 17));
    QCOMPARE(h->ChkAktivieren->text(), QStringLiteral("Hintergrundbild verwenden"));
    QVERIFY(h->ChkAktivieren->sizeHint().width() <= h->ChkAktivieren->width());
    QVERIFY(h->LstLaufwerk->geometry().bottom() < h->LstVerzeichnis->y());

    // At start: unticked, the picker off, in the working directory, "Bitmap"
    // with the mask "*.bmp", nothing selected.
    QVERIFY(!h->ChkAktivieren->isChecked());
    QVERIFY(pickerAus(h));
    QCOMPARE(h->Wahl->verzeichnis(), QDir::toNativeSeparators(QDir::currentPath()));
    QCOMPARE(h->LstDateityp->currentText(), QStringLiteral("Bitmap"));
    QStringList masken;
    for (int i = 0; i < h->LstDateityp->count(); ++i)
        masken << h->LstDateityp->itemText(i) + QLatin1Char('|') + h->LstDateityp->itemData(i).toString();
    QCOMPARE(masken, (QStringList{QStringLiteral("Bitmap|*.bmp"), QStringLiteral("Ping|*.png"), QStringLiteral("JPEG|*.jpg")}));
    QCOMPARE(h->Wahl->maske(), QStringLiteral("*.bmp"));
    QCOMPARE(h->Wahl->wert(), QString());

    // Tab order: the button, the four picker controls, the check box.
    const QList<QWidget *> folge{h->BtnSchliesen, h->LstLaufwerk,  h->LstVerzeichnis,
                                 h->LstDateityp,  h->LstDatei,     h->ChkAktivieren};
    QList<QWidget *> kette{h->BtnSchliesen};
    for (QWidget *w = h->BtnSchliesen->nextInFocusChain(); w != h->BtnSchliesen; w = w->nextInFocusChain()) {
        if (folge.contains(w))
            kette << w;
    }
    QCOMPARE(kette, folge);

    // First at its own place, not centred; afterwards where it was left.
    gui::beiModal([&](QWidget *w) {
        QCOMPARE(w->pos(), QPoint(348, 183));
        QTRY_COMPARE(QApplication::focusWidget(), h->BtnSchliesen);
        w->move(70, 80);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QVERIFY(!w->isVisible());
    });
    p.fenster->MnuHintergrundbild->trigger();
    gui::beiModal([&](QWidget *w) {
        QCOMPARE(w->pos(), QPoint(70, 80));
        QTest::keyClick(w, Qt::Key_Escape);
    });
    p.fenster->MnuHintergrundbild->trigger();
}

void TestEinstellungsfenster::hintergrundFenster()
{
    Programm p;
    TFrmMarkwerk &f = *p.fenster;
    TFrmHintergrund *h = hintergrund(p);
    const QString hinter = pfad(QStringLiteral("bilder/hinter.bmp"));

    // Ticking enables the picker; the file chosen is the background at once.
    gui::beiModal([&](QWidget *w) {
        QCOMPARE(w, h);
        QTest::mouseClick(h->ChkAktivieren, Qt::LeftButton);
        QVERIFY(h->ChkAktivieren->isChecked());
        QVERIFY(pickerAn(h));
        h->Wahl->oeffneVerzeichnis(pfad(QStringLiteral("bilder")));
        // The background's "JPEG" mask has its dot.
        QTest::keyClick(h->LstDateityp, Qt::Key_End);
        QCOMPARE(h->LstDatei->count(), 1);
        QCOMPARE(h->LstDatei->item(0)->text(), QStringLiteral("muster.jpg"));
        QTest::keyClick(h->LstDateityp, Qt::Key_Home);
        klickeDatei(h->LstDatei, QStringLiteral("hinter.bmp"));
        h->BtnSchliesen->click();
    });
    f.MnuHintergrundbild->trigger();
    QVERIFY(f.Einstellungen().HintergrundAktiv());
    QCOMPARE(f.Einstellungen().Hintergrundpfad(), hinter.toStdString());
    QVERIFY(!f.Geandert());
    QVERIFY(seite(p).contains("<BODY BACKGROUND=\"" + hinter.toUtf8() + "\">"));

    // Unticking disables the picker but keeps its file; ticking again brings
    // the same background back.
    gui::beiModal([&](QWidget *w) {
        QTest::keyClick(h->ChkAktivieren, Qt::Key_Space);
        QVERIFY(pickerAus(h));
        QCOMPARE(h->Wahl->wert(), hinter);
        QTest::keyClick(w, Qt::Key_Escape);
    });
    f.MnuHintergrundbild->trigger();
    QVERIFY(!f.Einstellungen().HintergrundAktiv());
    QVERIFY(seite(p).contains("<BODY>"));
    gui::beiModal([&](QWidget *) {
        QTest::mouseClick(h->ChkAktivieren, Qt::LeftButton);
        QVERIFY(pickerAn(h));
        h->BtnSchliesen->click();
    });
    f.MnuHintergrundbild->trigger();
    QVERIFY(seite(p).contains("<BODY BACKGROUND=\"" + hinter.toUtf8() + "\">"));
    QVERIFY(!f.Geandert());
}

void TestEinstellungsfenster::hakenAusCode()
{
    // Setting the box from code runs its click handler only when the state
    // changes, so a state set twice leaves the picker alone the second time.
    Programm p;
    TFrmHintergrund *h = hintergrund(p);
    Dokumenteinstellungen &e = p.fenster->Einstellungen();
    e.setzeHintergrundAktiv(true);
    QVERIFY(pickerAn(h));
    h->LstDatei->setEnabled(false);
    e.setzeHintergrundAktiv(true);
    QVERIFY(!h->LstDatei->isEnabled());
    e.setzeHintergrundAktiv(false);
    QVERIFY(pickerAus(h));
    h->LstDatei->setEnabled(true);
    e.setzeHintergrundAktiv(false);
    QVERIFY(h->LstDatei->isEnabled());
}

void TestEinstellungsfenster::speichernLadenNeu()
{
    Programm p;
    TFrmMarkwerk &f = *p.fenster;
    TFrmHintergrund *h = hintergrund(p);
    const QString papier = pfad(QStringLiteral("bilder/papier.png"));
    f.Einstellungen().setzeTitel("Mit Bild");
    f.Einstellungen().setzeHintergrundAktiv(true);
    h->Wahl->anwenden(papier);
    f.BtnLinie->click();
    const QString mit = pfad(QStringLiteral("mit.htd"));
    p.skript->speichern = {mit};
    f.MnuSpeichern->trigger();
    const Definition gelesen = LeseDefinition(n(mit));
    QVERIFY(gelesen.Hintergrund);
    QCOMPARE(gelesen.Hintergrundpfad, papier.toStdString());

    // New: no title, box off, picker off but still on its file.
    f.MnuNeu->trigger();
    QCOMPARE(titel(p)->EdtTitel->text(), QString());
    QVERIFY(!h->ChkAktivieren->isChecked());
    QVERIFY(pickerAus(h));
    QCOMPARE(h->Wahl->wert(), papier);

    // Another place, then the file with background: ticked, on, selected.
    h->Wahl->oeffneVerzeichnis(m_dir.path());
    p.skript->offnen = {mit};
    f.MnuOffnen->trigger();
    QCOMPARE(titel(p)->EdtTitel->text(), QStringLiteral("Mit Bild"));
    QVERIFY(h->ChkAktivieren->isChecked());
    QVERIFY(pickerAn(h));
    QCOMPARE(h->Wahl->wert(), papier);
    QCOMPARE(h->LstDateityp->currentText(), QStringLiteral("Bitmap"));
    QVERIFY(p.skript->fehlermeldungen.isEmpty());

    // A file without background while the box is ticked: unticked, off,
    // the selection kept.
    const QString ohne = pfad(QStringLiteral("ohne.htd"));
    SchreibeDefinition(n(ohne), "Ohne", false, "", Objektliste());
    p.skript->offnen = {ohne};
    f.MnuOffnen->trigger();
    QVERIFY(!h->ChkAktivieren->isChecked());
    QVERIFY(pickerAus(h));
    QCOMPARE(h->Wahl->wert(), papier);
    QVERIFY(seite(p).contains("<BODY>"));
}

void TestEinstellungsfenster::hintergrundOhneDatei()
{
    // Ticked without a file: written as the flag 1 and an empty path; read
    // back, the box is ticked and the picker's selection stays as it was.
    Programm p;
    TFrmMarkwerk &f = *p.fenster;
    TFrmHintergrund *h = hintergrund(p);
    f.Einstellungen().setzeTitel("");
    f.Einstellungen().setzeHintergrundAktiv(true);
    QCOMPARE(f.Einstellungen().Hintergrundpfad(), std::string());
    const QString d = pfad(QStringLiteral("leer.htd"));
    p.skript->speichern = {d};
    f.MnuSpeichern->trigger();
    QCOMPARE(lies(d), hilfen::saetze({0, 1, 0, 0, 0, 0, 0}));

    f.MnuNeu->trigger();
    h->Wahl->anwenden(pfad(QStringLiteral("bilder/hinter.bmp")));
    p.skript->offnen = {d};
    f.MnuOffnen->trigger();
    QVERIFY(h->ChkAktivieren->isChecked());
    QCOMPARE(h->Wahl->wert(), pfad(QStringLiteral("bilder/hinter.bmp")));
}

void TestEinstellungsfenster::hintergrundFehlt_data()
{
    QTest::addColumn<bool>("ordnerWeg");
    QTest::addColumn<bool>("beimStart");
    QTest::newRow("Datei weg, Öffnen") << false << false;
    QTest::newRow("Ordner weg, Öffnen") << true << false;
    QTest::newRow("Datei weg, beim Start") << false << true;
    QTest::newRow("Ordner weg, beim Start") << true << true;
}

void TestEinstellungsfenster::hintergrundFehlt()
{
    // A document whose background picture has gone still opens: everything
    // else is loaded, the box is ticked, the picker keeps its place with no
    // file selected, and the error is shown once.
    QFETCH(bool, ordnerWeg);
    QFETCH(bool, beimStart);
    const QString ordner = pfad(QStringLiteral("vergaenglich"));
    QVERIFY(QDir().mkpath(ordner));
    const QString bild = ordner + QStringLiteral("/wolke.bmp");
    QVERIFY(hilfen::schreib(bild, "x"));
    const QString d = pfad(QStringLiteral("wolke.htd"));
    SchreibeDefinition(n(d), "Wolken", true, bild.toStdString(),
                       Objektliste({{"Linie", "Linie", "Linie"}, {"Link", "Start", "index.htm"}}));
    QVERIFY(ordnerWeg ? QDir(ordner).removeRecursively() : QFile::remove(bild));

    std::unique_ptr<Programm> p;
    TFrmHintergrund *h = nullptr;
    QString ort;
    if (beimStart) {
        p = std::make_unique<Programm>(QStringList{d});
        h = hintergrund(*p);
        ort = QDir::toNativeSeparators(QDir::currentPath());
    } else {
        p = std::make_unique<Programm>();
        h = hintergrund(*p);
        // Something else selected before: it must not become the background.
        h->Wahl->anwenden(pfad(QStringLiteral("bilder/hinter.bmp")));
        ort = h->Wahl->verzeichnis();
        p->fenster->BtnLinie->click();
        p->skript->fragen = {false};
        p->skript->offnen = {d};
        p->fenster->MnuOffnen->trigger();
    }
    TFrmMarkwerk &f = *p->fenster;
    QCOMPARE(p->skript->fehlermeldungen, QStringList{QStringLiteral("Ungültiger Dateiname.")});
    QCOMPARE(f.Objekte().Anzahl(), 2);
    QCOMPARE(f.Modell()->index(1).data().toString(), QStringLiteral("Link: \"Start\" index.htm"));
    QCOMPARE(f.Einstellungen().Titel(), std::string("Wolken"));
    QVERIFY(h->ChkAktivieren->isChecked());
    QVERIFY(pickerAn(h));
    QCOMPARE(h->Wahl->verzeichnis(), ort);
    QCOMPARE(h->Wahl->wert(), QString());
    QCOMPARE(f.Dateiname(), d);
    QVERIFY(!f.Geandert());

    // The stored path stays the background until the user chooses anew:
    // the page uses it, and Save writes the file back byte for byte.
    const QByteArray vorher = lies(d);
    QVERIFY(seite(*p).contains("<BODY BACKGROUND=\"" + QFile::encodeName(bild) + "\">"));
    f.MnuSpeichern->trigger();
    QCOMPARE(lies(d), vorher);
    h->ChkAktivieren->click();
    h->ChkAktivieren->click();
    QCOMPARE(f.Einstellungen().Hintergrundpfad(), bild.toStdString());
}

void TestEinstellungsfenster::speichernAlsAnderswohin_data()
{
    QTest::addColumn<QString>("ordner");
    QTest::addColumn<QByteArray>("bild");
    QTest::addColumn<QByteArray>("hinter");
    QTest::newRow("derselbe Ordner") << QString() << QByteArray("bilder/muster.jpg") << QByteArray("bilder/hinter.bmp");
    QTest::newRow("Unterordner") << QStringLiteral("unter/tief") << QByteArray("../../bilder/muster.jpg") << QByteArray("../../bilder/hinter.bmp");
    QTest::newRow("Bilderordner") << QStringLiteral("bilder") << QByteArray("muster.jpg") << QByteArray("hinter.bmp");
    // "LINK>FOLDER": saved through a link to a folder two levels down.
    QTest::newRow("Verknüpfung") << QStringLiteral("verweis>unter/zwei") << QByteArray("../../bilder/muster.jpg") << QByteArray("../../bilder/hinter.bmp");
}

void TestEinstellungsfenster::speichernAlsAnderswohin()
{
    // After Save As into another folder the relative paths still name the
    // same files; the background window and the picture's picker follow.
    QFETCH(QString, ordner);
    QFETCH(QByteArray, bild);
    QFETCH(QByteArray, hinter);
    const QString d = pfad(QStringLiteral("wandert.htd"));
    const std::string fest = n(pfad(QStringLiteral("bilder/papier.png")));
    SchreibeDefinition(n(d), "W", true, "bilder/hinter.bmp", Objektliste({{"Bild", "M", "bilder/muster.jpg"}, {"Bild", "F", fest}}));
    if (ordner.contains(QLatin1Char('>'))) {
        const QStringList teile = ordner.split(QLatin1Char('>'));
        QVERIFY(QDir().mkpath(pfad(teile[1])));
        QVERIFY(QFile::link(pfad(teile[1]), pfad(teile[0])));
        ordner = teile[0];
    }
    QVERIFY(QDir().mkpath(pfad(ordner)));
    const QString neu = QDir(pfad(ordner)).filePath(QStringLiteral("gewandert.htd"));
    Programm p({d});
    TFrmMarkwerk &f = *p.fenster;
    // Unticking and ticking the box again keeps the path as stored.
    hintergrund(p)->ChkAktivieren->click();
    hintergrund(p)->ChkAktivieren->click();
    p.skript->speichern = {neu};
    f.MnuSpeichernals->trigger();
    if (ordner.isEmpty())
        QCOMPARE(lies(neu), lies(d));
    const Definition gelesen = LeseDefinition(n(neu));
    QCOMPARE(QByteArray::fromStdString(gelesen.Hintergrundpfad), hinter);
    QCOMPARE(QByteArray::fromStdString(gelesen.Objekte[0].Daten.str()), bild);
    QCOMPARE(gelesen.Objekte[1].Daten.str(), fest);
    QCOMPARE(hintergrund(p)->Wahl->wert(), pfad(QStringLiteral("bilder/hinter.bmp")));
    f.LstMarkwerk->selectionModel()->select(f.Modell()->index(0), QItemSelectionModel::ClearAndSelect);
    gui::beiModal([&](QWidget *w) {
        QCOMPARE(qobject_cast<TFrmBild *>(w)->Wahl->wert(), pfad(QStringLiteral("bilder/muster.jpg")));
        QTest::keyClick(w, Qt::Key_Return);
    });
    f.MnuObjektbearbeiten->trigger();
    QCOMPARE(QByteArray::fromStdString(f.Objekte()[0].Daten.str()), bild);
    QCOMPARE(p.skript->fehlermeldungen, QStringList());
}

void TestEinstellungsfenster::ordnerNichtUtf8()
{
    // A document in a folder named in Latin-1, its pictures beside it: the
    // start-up load says nothing, and the image can be edited.
    const std::string ordner = n(m_dir.path()) + "/B\xFCro";
    QVERIFY(std::filesystem::create_directory(ordner));
    const auto weg = qScopeGuard([&] { std::filesystem::remove_all(ordner); });
    std::ofstream(ordner + "/hinter.bmp") << "x";
    std::ofstream(ordner + "/logo.bmp") << "x";
    const std::string d = ordner + "/preise.htd";
    SchreibeDefinition(d, "Preise", true, "hinter.bmp", Objektliste({{"Bild", "Logo", "logo.bmp"}}));
    Programm p;
    TFrmMarkwerk &f = *p.fenster;
    f.FormShow(std::vector<std::string>{d});
    QCOMPARE(f.Einstellungen().Hintergrundpfad(), std::string("hinter.bmp"));
    f.LstMarkwerk->selectionModel()->select(f.Modell()->index(0), QItemSelectionModel::ClearAndSelect);
    gui::beiModal([&](QWidget *w) { QTest::keyClick(w, Qt::Key_Return); });
    f.MnuObjektbearbeiten->trigger();
    QCOMPARE(f.Objekte()[0].Daten.str(), std::string("logo.bmp"));
    QVERIFY(f.Geandert());
    QCOMPARE(p.skript->fehlermeldungen, QStringList());
}

MARKWERK_GUI_TEST(TestEinstellungsfenster)
#include "tst_einstellungsfenster.moc"
