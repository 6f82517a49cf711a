// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

#include "info.h"

#include "markwerk_version.h"
#include "objektdialog.h"

#include <QLabel>
#include <QPushButton>

namespace {

QLabel *zeile(const QString &text, int y, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setGeometry(8, y, 209, 17);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

} // namespace

TFrmInfo::TFrmInfo(QWidget *parent)
    : QDialog(parent)
    , BtnSchliesen(Fensterart::okKnopf(QStringLiteral("Schließen"), this))
    , LblProgramm(zeile(QStringLiteral("Markwerk " MARKWERK_VERSION_MAJOR), 8, this))
    , LblAutor(zeile(QStringLiteral("vom Markwerk-Entwicklerteam"), 40, this))
    , LblKontakt(zeile(QStringLiteral("Kontakt: Issue-Tracker des Projekts"), 72, this))
{
    setWindowTitle(QStringLiteral("Über Markwerk"));
    Fensterart::dialograhmen(this, 353, 97);
    Fensterart::ohneEsc(this);
    BtnSchliesen->setGeometry(224, 8, 121, 33);
    BtnSchliesen->setDefault(true);
    connect(BtnSchliesen, &QPushButton::clicked, this, &TFrmInfo::BtnSchliesenClick);
    Fensterart::zentriereAufBildschirm(this);
}

void TFrmInfo::BtnSchliesenClick()
{
    accept();
}
