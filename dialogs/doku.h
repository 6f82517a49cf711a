// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QDialog>

#include <string>

class QLabel;
class QLineEdit;
class QPushButton;

// The window that holds the document title: what its field shows is the
// title, at once; there is nothing to confirm or cancel.
class TFrmTitel : public QDialog
{
    Q_OBJECT

public:
    explicit TFrmTitel(QWidget *parent = nullptr);

    std::string Titel() const;
    void setzeTitel(const std::string &titel);

    void BtnSchliesenClick();

    QLabel *const LblTitel;
    QLineEdit *const EdtTitel;
    QPushButton *const BtnSchliesen;
};
