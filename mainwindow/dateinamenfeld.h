// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QLabel>

// The status bar's panel with the current file name. It never asks for the
// width of its text, so a long name cannot widen the window for good: a
// name that does not fit is shortened in the middle, and the whole name is
// its tooltip. A name is shown as it is, never as rich text.
class Dateinamenfeld : public QLabel
{
    Q_OBJECT

public:
    explicit Dateinamenfeld(const QString &text, QWidget *parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    // The name as it is drawn now.
    QString gezeigt() const;

protected:
    bool event(QEvent *ereignis) override;
    void paintEvent(QPaintEvent *ereignis) override;

private:
    QRect textflaeche() const;
};
