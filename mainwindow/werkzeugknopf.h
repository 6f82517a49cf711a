// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QToolButton>

// A flat tool button of the strip that the keyboard reaches: Tab gives it
// the focus (a click leaves the focus where it was), a frame in the
// highlight colour shows it, and Space, Enter or Return press it.
class Werkzeugknopf : public QToolButton
{
    Q_OBJECT

public:
    explicit Werkzeugknopf(QWidget *parent);

protected:
    void keyPressEvent(QKeyEvent *ereignis) override;
    void paintEvent(QPaintEvent *ereignis) override;
};
