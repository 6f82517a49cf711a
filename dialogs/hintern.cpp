// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

#include "hintern.h"

#include "dateiwahl.h"
#include "fehler.h"
#include "objektdialog.h"
#include "win1252.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>

TFrmHintergrund::TFrmHintergrund(QWidget *parent)
    : QDialog(parent)
    , BtnSchliesen(Fensterart::okKnopf(QStringLiteral("Schließen"), this))
    , Wahl(new Dateiwahl(this, QStringLiteral("Bitmap|*.bmp|Ping|*.png|JPEG|*.jpg")))
    , LstLaufwerk(Wahl->Laufwerke)
    , LstVerzeichnis(Wahl->Verzeichnisse)
    , LstDateityp(Wahl->Filter)
    , LstDatei(Wahl->Dateien)
    , ChkAktivieren(new QCheckBox(QStringLiteral("Hintergrundbild verwenden"), this))
{
    setWindowTitle(QStringLiteral("Dokumentenhintergrund"));
    Fensterart::dialograhmen(this, 425, 337);
    Fensterart::ohneEsc(this);
    BtnSchliesen->setGeometry(296, 296, 121, 33);
    BtnSchliesen->setDefault(true);
    LstLaufwerk->setGeometry(8, 32, 201, 21);
    LstVerzeichnis->setGeometry(8, 56, 201, 233);
    LstDateityp->setGeometry(216, 32, 201, 21);
    LstDatei->setGeometry(216, 56, 201, 233);
    ChkAktivieren->setGeometry(8, 8, 201, 17);

    setTabOrder(BtnSchliesen, LstLaufwerk);
    setTabOrder(LstLaufwerk, LstVerzeichnis);
    setTabOrder(LstVerzeichnis, LstDateityp);
    setTabOrder(LstDateityp, LstDatei);
    setTabOrder(LstDatei, ChkAktivieren);

    connect(BtnSchliesen, &QPushButton::clicked, this, &TFrmHintergrund::BtnSchliesenClick);
    // toggled comes with every change of state, from a click or from code,
    // and never without one.
    connect(ChkAktivieren, &QCheckBox::toggled, this, &TFrmHintergrund::ChkAktivierenClick);
    ChkAktivierenClick();

    // Not centred: this window first appears at a place of its own.
    move(348, 183);
}

bool TFrmHintergrund::HintergrundAktiv() const
{
    return ChkAktivieren->isChecked();
}

void TFrmHintergrund::setzeHintergrundAktiv(bool aktiv)
{
    ChkAktivieren->setChecked(aktiv);
}

std::string TFrmHintergrund::Hintergrundpfad() const
{
    return Win1252::zuBytes(Wahl->ergebnis());
}

void TFrmHintergrund::wendeHintergrundpfadAn(const std::string &pfad)
{
    if (pfad.empty()) {
        Wahl->vergiss();
        return;
    }
    try {
        Wahl->anwenden(Win1252::zuText(pfad));
    } catch (const Fehler &) {
        // The document names a picture that cannot be chosen here (gone, or
        // on a drive not mounted now): no other file may take its place, and
        // its path stays the document's until the user chooses anew.
        Wahl->keineAuswahl();
        Wahl->behalte(Win1252::zuText(pfad));
        throw;
    }
}

void TFrmHintergrund::BtnSchliesenClick()
{
    close();
}

void TFrmHintergrund::closeEvent(QCloseEvent *ereignis)
{
    // A file whose path the document could not hold is not taken with the
    // window, however it is closed; an unticked box takes no file at all.
    if (isVisible() && ChkAktivieren->isChecked() && !Wahl->pruefeWahl()) {
        ereignis->ignore();
        return;
    }
    QDialog::closeEvent(ereignis);
}

void TFrmHintergrund::ChkAktivierenClick()
{
    // The picker keeps its choice while it is off, the path as it was
    // stored included: ticking again brings the same background back.
    const bool an = ChkAktivieren->isChecked();
    LstLaufwerk->setEnabled(an);
    LstVerzeichnis->setEnabled(an);
    LstDatei->setEnabled(an);
    LstDateityp->setEnabled(an);
}
