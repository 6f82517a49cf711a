// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QDialog>

class QPlainTextEdit;
class QPushButton;

// The help window: a fixed German text beside the main window, not modal.
// Closing hides it; the next showing finds it where it was.
class TFrmHilfe : public QDialog
{
    Q_OBJECT

public:
    explicit TFrmHilfe(QWidget *parent = nullptr);

    void BtnSchliesenClick();

    QPlainTextEdit *const EdtHilfe;
    QPushButton *const BtnSchliesen;
};
