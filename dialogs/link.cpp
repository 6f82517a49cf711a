// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

#include "link.h"

#include "win1252.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>


TFrmLink::TFrmLink(QWidget *parent)
    : Objektdialog(parent)
    , LblBeschreibung(new QLabel(QStringLiteral("Beschreibung:"), this))
    , LblAdresse(new QLabel(QStringLiteral("Adresse:"), this))
    , EdtBeschreibung(new QLineEdit(this))
    , EdtAdresse(new QLineEdit(this))
{
    setWindowTitle(QStringLiteral("Link einfügen"));
    Fensterart::dialograhmen(this, 425, 225);
    LblBeschreibung->setGeometry(8, 8, 81, 17);
    LblBeschreibung->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    LblAdresse->setGeometry(8, 32, 81, 17);
    LblAdresse->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    EdtBeschreibung->setGeometry(96, 8, 321, 21);
    EdtAdresse->setGeometry(96, 32, 321, 21);
    Fensterart::nurWin1252(EdtBeschreibung);
    Fensterart::nurWin1252(EdtAdresse);
    Fensterart::beschrifte(LblBeschreibung, EdtBeschreibung);
    Fensterart::beschrifte(LblAdresse, EdtAdresse);
    BtnOk->setGeometry(296, 64, 121, 33);
    BtnAbbrechen->setGeometry(296, 104, 121, 33);

    setTabOrder(EdtBeschreibung, EdtAdresse);
    setTabOrder(EdtAdresse, BtnOk);
    setTabOrder(BtnOk, BtnAbbrechen);
    setzeStartfeld(EdtBeschreibung);

    Fensterart::zentriereAufBildschirm(this);
}

void TFrmLink::fuerEinfuegen()
{
    EdtBeschreibung->clear();
    EdtAdresse->clear();
}

void TFrmLink::fuellen(const std::string &beschreibung, const std::string &daten)
{
    EdtBeschreibung->setText(Win1252::zuText(beschreibung));
    EdtAdresse->setText(Win1252::zuText(daten));
}

std::string TFrmLink::beschreibung() const
{
    return Win1252::zuBytes(EdtBeschreibung->text());
}

std::string TFrmLink::daten() const
{
    return Win1252::zuBytes(EdtAdresse->text());
}
