// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// The info window: the program's name and version, who makes it and where
// to reach them. Shown modally.
class TFrmInfo : public QDialog
{
    Q_OBJECT

public:
    explicit TFrmInfo(QWidget *parent = nullptr);

    void BtnSchliesenClick();

    QPushButton *const BtnSchliesen;
    QLabel *const LblProgramm;
    QLabel *const LblAutor;
    QLabel *const LblKontakt;
};
