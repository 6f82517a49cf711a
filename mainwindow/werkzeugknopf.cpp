// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

#include "werkzeugknopf.h"

#include <QKeyEvent>
#include <QPainter>

Werkzeugknopf::Werkzeugknopf(QWidget *parent)
    : QToolButton(parent)
{
    setAutoRaise(true);
    setFocusPolicy(Qt::TabFocus);
}

void Werkzeugknopf::keyPressEvent(QKeyEvent *ereignis)
{
    // A tool button answers Space only; a keyboard user expects Enter too.
    if ((ereignis->key() == Qt::Key_Return || ereignis->key() == Qt::Key_Enter) && !ereignis->isAutoRepeat()) {
        animateClick();
        ereignis->accept();
        return;
    }
    QToolButton::keyPressEvent(ereignis);
}

void Werkzeugknopf::paintEvent(QPaintEvent *ereignis)
{
    QToolButton::paintEvent(ereignis);
    if (!hasFocus())
        return;
    // A flat button has no frame of its own where the style's dotted focus
    // line would show; two pixels at its rim, around the picture, in the
    // colour of a selection, show on light and dark palettes alike.
    QPainter maler(this);
    QPen stift(palette().color(QPalette::Active, QPalette::Highlight), 2);
    stift.setJoinStyle(Qt::MiterJoin);
    maler.setPen(stift);
    maler.setBrush(Qt::NoBrush);
    maler.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
}
