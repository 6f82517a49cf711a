// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

#include "doku.h"

#include "objektdialog.h"
#include "win1252.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>


TFrmTitel::TFrmTitel(QWidget *parent)
    : QDialog(parent)
    , LblTitel(new QLabel(QStringLiteral("Titel:"), this))
    , EdtTitel(new QLineEdit(QStringLiteral("HTML - Dokument"), this))
    , BtnSchliesen(Fensterart::okKnopf(QStringLiteral("Schließen"), this))
{
    setWindowTitle(QStringLiteral("Dokumenttitel"));
    Fensterart::dialograhmen(this, 425, 81);
    Fensterart::ohneEsc(this);
    LblTitel->setGeometry(8, 8, 81, 17);
    LblTitel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    EdtTitel->setGeometry(96, 8, 321, 21);
    Fensterart::nurWin1252(EdtTitel);
    Fensterart::beschrifte(LblTitel, EdtTitel);
    BtnSchliesen->setGeometry(296, 40, 121, 33);
    BtnSchliesen->setDefault(true);
    setTabOrder(EdtTitel, BtnSchliesen);
    EdtTitel->setFocus();
    connect(BtnSchliesen, &QPushButton::clicked, this, &TFrmTitel::BtnSchliesenClick);

    Fensterart::zentriereAufBildschirm(this);
}

std::string TFrmTitel::Titel() const
{
    return Win1252::zuBytes(EdtTitel->text());
}

void TFrmTitel::setzeTitel(const std::string &titel)
{
    EdtTitel->setText(Win1252::zuText(titel));
}

void TFrmTitel::BtnSchliesenClick()
{
    close();
}
