// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

#include "aufabknopf.h"

#include <QAccessible>
#include <QAccessibleWidget>
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

// What a screen reader is told of the control: a spin button with its count,
// its limits and the two steps, which the arrows of a plain widget would not
// say.
class AufAbZugang : public QAccessibleWidget, public QAccessibleValueInterface
{
public:
    explicit AufAbZugang(AufAbKnopf *knopf)
        : QAccessibleWidget(knopf, QAccessible::SpinBox)
    {
    }

    void *interface_cast(QAccessible::InterfaceType art) override
    {
        if (art == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface *>(this);
        return QAccessibleWidget::interface_cast(art);
    }

    QString text(QAccessible::Text art) const override
    {
        if (art == QAccessible::Value)
            return QString::number(knopf()->Position());
        return QAccessibleWidget::text(art);
    }

    QVariant currentValue() const override { return knopf()->Position(); }
    QVariant minimumValue() const override { return knopf()->Minimum(); }
    QVariant maximumValue() const override { return knopf()->Maximum(); }
    QVariant minimumStepSize() const override { return 1; }
    // Step by step, as the user's clicks, so that what follows the count
    // follows it here too.
    void setCurrentValue(const QVariant &wert) override
    {
        const int ziel = wert.toInt();
        for (int p = knopf()->Position(); p < ziel && p < knopf()->Maximum(); p = knopf()->Position())
            knopf()->auf();
        for (int p = knopf()->Position(); p > ziel && p > knopf()->Minimum(); p = knopf()->Position())
            knopf()->ab();
    }

    QStringList actionNames() const override
    {
        return QAccessibleWidget::actionNames() << increaseAction() << decreaseAction();
    }
    void doAction(const QString &aktion) override
    {
        if (aktion == increaseAction())
            knopf()->auf();
        else if (aktion == decreaseAction())
            knopf()->ab();
        else
            QAccessibleWidget::doAction(aktion);
    }

private:
    AufAbKnopf *knopf() const { return static_cast<AufAbKnopf *>(widget()); }
};

QAccessibleInterface *zugang(const QString &klasse, QObject *objekt)
{
    if (klasse == u"AufAbKnopf" && objekt && objekt->isWidgetType())
        return new AufAbZugang(static_cast<AufAbKnopf *>(objekt));
    return nullptr;
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
    static const bool zugaenglich = (QAccessible::installFactory(zugang), true);
    Q_UNUSED(zugaenglich)
    setFocusPolicy(Qt::TabFocus);
    connect(BtnAuf, &QToolButton::clicked, this, &AufAbKnopf::auf);
    connect(BtnAb, &QToolButton::clicked, this, &AufAbKnopf::ab);
}

void AufAbKnopf::setzePosition(int position)
{
    m_position = std::clamp(position, m_minimum, m_maximum);
    meldeWert();
}

void AufAbKnopf::meldeWert()
{
    QAccessibleValueChangeEvent ereignis(this, m_position);
    QAccessible::updateAccessibility(&ereignis);
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
    meldeWert();
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
