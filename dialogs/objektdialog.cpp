// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

#include "objektdialog.h"

#include "win1252.h"

#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>

#include <limits>

Objektdialog::Objektdialog(QWidget *parent)
    : QDialog(parent)
    , BtnOk(Fensterart::okKnopf(QStringLiteral("OK"), this))
    , BtnAbbrechen(Fensterart::abbrechenKnopf(this))
{
    BtnOk->setDefault(true);
    connect(BtnOk, &QPushButton::clicked, this, &Objektdialog::BtnOkClick);
    connect(BtnAbbrechen, &QPushButton::clicked, this, &Objektdialog::BtnAbbrechenClick);
}

void Objektdialog::zeigeModal()
{
    // Else the focus stays on the button last pressed: typing would go
    // nowhere, and Enter would add an empty object.
    if (m_startfeld)
        m_startfeld->setFocus();
    exec();
}

void Objektdialog::setzeStartfeld(QWidget *feld)
{
    m_startfeld = feld;
    feld->setFocus();
}

void Objektdialog::BtnOkClick()
{
    if (!pruefen())
        return;
    m_ergebnis.Ok = true;
    m_ergebnis.Beschreibung = beschreibung();
    m_ergebnis.Daten = daten();
    accept();
}

void Objektdialog::BtnAbbrechenClick()
{
    reject();
}

void Objektdialog::done(int ergebnis)
{
    // Esc and the window manager's close arrive here as a rejection.
    if (ergebnis != QDialog::Accepted)
        m_ergebnis.Ok = false;
    QDialog::done(ergebnis);
}

namespace {

class EscSperre : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *, QEvent *ereignis) override
    {
        if (ereignis->type() != QEvent::KeyPress)
            return false;
        const auto *taste = static_cast<QKeyEvent *>(ereignis);
        return taste->key() == Qt::Key_Escape && taste->modifiers() == Qt::NoModifier;
    }
};

} // namespace

namespace Fensterart {

void ohneEsc(QWidget *fenster)
{
    fenster->installEventFilter(new EscSperre(fenster));
}

void zeigeFehler(QWidget *fenster, const QString &text)
{
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Markwerk"), text, QMessageBox::Ok, fenster);
    box.exec();
}

void dialograhmen(QWidget *fenster, int breite, int hoehe, bool groesseFest)
{
    fenster->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    if (groesseFest)
        fenster->setFixedSize(breite, hoehe);
    else
        fenster->resize(breite, hoehe);
}

void zentriereAufBildschirm(QWidget *fenster)
{
    const QScreen *bildschirm = QGuiApplication::primaryScreen();
    if (!bildschirm)
        return;
    QRect rahmen(QPoint(0, 0), fenster->size());
    rahmen.moveCenter(bildschirm->availableGeometry().center());
    fenster->move(rahmen.topLeft());
}

QPushButton *okKnopf(const QString &text, QWidget *parent)
{
    auto *knopf = new QPushButton(QIcon(QStringLiteral(":/bilder/ok.svg")), text, parent);
    knopf->setAutoDefault(false);
    return knopf;
}

QPushButton *abbrechenKnopf(QWidget *parent)
{
    auto *knopf = new QPushButton(QIcon(QStringLiteral(":/bilder/abbrechen.svg")), QStringLiteral("Abbrechen"), parent);
    // The default while it has the focus, and only then.
    knopf->setAutoDefault(true);
    return knopf;
}

void nurWin1252(QLineEdit *feld)
{
    // QLineEdit cuts text at 32767 characters; a long string from a file
    // must come back whole.
    feld->setMaxLength(std::numeric_limits<int>::max());
    QObject::connect(feld, &QLineEdit::textChanged, feld, [feld](const QString &text) {
        if (Win1252::darstellbar(text))
            return;
        const int cursor = feld->cursorPosition();
        const int vorher = int(text.size());
        const QString sauber = Win1252::bereinigt(text);
        feld->setText(sauber);
        // A pair of surrogates became one "?".
        feld->setCursorPosition(std::max(0, cursor - (vorher - int(sauber.size()))));
    });
}

} // namespace Fensterart
