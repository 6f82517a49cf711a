// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

#include "bild.h"

#include "dateiwahl.h"
#include "win1252.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>

TFrmBild::TFrmBild(QWidget *parent)
    : Objektdialog(parent)
    , LblBeschreibung(new QLabel(QStringLiteral("Beschreibung:"), this))
    , EdtBeschreibung(new QLineEdit(this))
    , Wahl(new Dateiwahl(this, QStringLiteral("Bitmap|*.bmp|Ping|*.png|JPEG|*jpg")))
    , LstDrive(Wahl->Laufwerke)
    , LstDir(Wahl->Verzeichnisse)
    , LstFilter(Wahl->Filter)
    , LstFile(Wahl->Dateien)
{
    setWindowTitle(QStringLiteral("Bild einfügen"));
    Fensterart::dialograhmen(this, 425, 225);
    LblBeschreibung->setGeometry(8, 8, 81, 17);
    LblBeschreibung->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    EdtBeschreibung->setGeometry(96, 8, 321, 21);
    Fensterart::nurWin1252(EdtBeschreibung);
    Fensterart::beschrifte(LblBeschreibung, EdtBeschreibung);
    LstDrive->setGeometry(8, 40, 137, 19);
    LstDir->setGeometry(8, 64, 137, 153);
    LstFilter->setGeometry(152, 40, 137, 21);
    LstFile->setGeometry(152, 64, 137, 153);
    BtnOk->setGeometry(296, 40, 121, 33);
    BtnAbbrechen->setGeometry(296, 80, 121, 33);

    setTabOrder(EdtBeschreibung, LstDrive);
    setTabOrder(LstDrive, LstDir);
    setTabOrder(LstDir, LstFilter);
    setTabOrder(LstFilter, LstFile);
    setTabOrder(LstFile, BtnOk);
    setTabOrder(BtnOk, BtnAbbrechen);
    setzeStartfeld(EdtBeschreibung);

    Fensterart::zentriereAufBildschirm(this);
}

void TFrmBild::fuerEinfuegen()
{
    EdtBeschreibung->clear();
    // A path kept from an edit may be relative to another document.
    Wahl->vergiss();
}

void TFrmBild::fuellen(const std::string &beschreibung, const std::string &daten)
{
    EdtBeschreibung->setText(Win1252::zuText(beschreibung));
    Wahl->vergiss();
    Wahl->anwenden(Win1252::zuText(daten));
}

std::string TFrmBild::beschreibung() const
{
    return Win1252::zuBytes(EdtBeschreibung->text());
}

std::string TFrmBild::daten() const
{
    return Win1252::zuBytes(Wahl->ergebnis());
}

bool TFrmBild::pruefen()
{
    return Wahl->pruefeWahl();
}
