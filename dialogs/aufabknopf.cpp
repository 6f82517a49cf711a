// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

#include "aufabknopf.h"

#include <QKeyEvent>
#include <QStyleOptionFocusRect>
#include <QStylePainter>
#include <QToolButton>

#include <algorithm>

namespace {

QToolButton *pfeil(Qt::ArrowType art, QWidget *parent)
{
    auto *knopf = new QToolButton(parent);
    knopf->setArrowType(art);
    // Held down, an arrow keeps stepping, like any spin button.
    knopf->setAutoRepeat(true);
    knopf->setFocusPolicy(Qt::NoFocus);
    return knopf;
}

} // namespace

AufAbKnopf::AufAbKnopf(Qt::Orientation richtung, int minimum, int maximum, int position, QWidget *parent)
    : QWidget(parent)
    , BtnAuf(pfeil(richtung == Qt::Vertical ? Qt::UpArrow : Qt::RightArrow, this))
    , BtnAb(pfeil(richtung == Qt::Vertical ? Qt::DownArrow : Qt::LeftArrow, this))
    , m_richtung(richtung)
    , m_minimum(minimum)
    , m_maximum(maximum)
    , m_position(std::clamp(position, minimum, maximum))
{
    setFocusPolicy(Qt::TabFocus);
    connect(BtnAuf, &QToolButton::clicked, this, &AufAbKnopf::auf);
    connect(BtnAb, &QToolButton::clicked, this, &AufAbKnopf::ab);
}

void AufAbKnopf::setzePosition(int position)
{
    m_position = std::clamp(position, m_minimum, m_maximum);
}

void AufAbKnopf::benenne(const QString &name, const QString &auf, const QString &ab)
{
    setAccessibleName(name);
    BtnAuf->setAccessibleName(auf);
    BtnAb->setAccessibleName(ab);
}

void AufAbKnopf::auf()
{
    schritt(1);
}

void AufAbKnopf::ab()
{
    schritt(-1);
}

void AufAbKnopf::schritt(int weite)
{
    const int neu = std::clamp(m_position + weite, m_minimum, m_maximum);
    if (neu == m_position)
        return;
    m_position = neu;
    Q_EMIT geklickt();
}

void AufAbKnopf::keyPressEvent(QKeyEvent *ereignis)
{
    switch (ereignis->key()) {
    case Qt::Key_Up:
    case Qt::Key_Right:
        auf();
        break;
    case Qt::Key_Down:
    case Qt::Key_Left:
        ab();
        break;
    default:
        QWidget::keyPressEvent(ereignis);
        return;
    }
    ereignis->accept();
}

void AufAbKnopf::focusInEvent(QFocusEvent *ereignis)
{
    QWidget::focusInEvent(ereignis);
    update();
}

void AufAbKnopf::focusOutEvent(QFocusEvent *ereignis)
{
    QWidget::focusOutEvent(ereignis);
    update();
}

void AufAbKnopf::paintEvent(QPaintEvent *)
{
    // The arrows leave a one-pixel rim free, where the focus shows.
    if (!hasFocus())
        return;
    QStylePainter maler(this);
    QStyleOptionFocusRect option;
    option.initFrom(this);
    // Only the keyboard gives it the focus, and some styles draw the frame
    // only then.
    option.state |= QStyle::State_KeyboardFocusChange;
    maler.drawPrimitive(QStyle::PE_FrameFocusRect, option);
}

void AufAbKnopf::resizeEvent(QResizeEvent *ereignis)
{
    QWidget::resizeEvent(ereignis);
    const QRect innen = rect().adjusted(1, 1, -1, -1);
    if (m_richtung == Qt::Vertical) {
        const int h = (innen.height() - 1) / 2;
        BtnAuf->setGeometry(innen.left(), innen.top(), innen.width(), h);
        BtnAb->setGeometry(innen.left(), innen.bottom() - h + 1, innen.width(), h);
    } else {
        const int b = (innen.width() - 1) / 2;
        BtnAb->setGeometry(innen.left(), innen.top(), b, innen.height());
        BtnAuf->setGeometry(innen.right() - b + 1, innen.top(), b, innen.height());
    }
}
