// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

#include "dateinamenfeld.h"

#include <QHelpEvent>
#include <QPainter>
#include <QStyle>
#include <QTextDocument>
#include <QToolTip>

Dateinamenfeld::Dateinamenfeld(const QString &text, QWidget *parent)
    : QLabel(text, parent)
{
    setTextFormat(Qt::PlainText);
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
}

QSize Dateinamenfeld::sizeHint() const
{
    return minimumSizeHint();
}

QSize Dateinamenfeld::minimumSizeHint() const
{
    const int rand = 2 * (frameWidth() + margin());
    return {fontMetrics().horizontalAdvance(QChar(0x2026)) + rand, fontMetrics().height() + rand};
}

QRect Dateinamenfeld::textflaeche() const
{
    // As QLabel indents a text in a frame: by half an "x".
    const int einzug = indent() >= 0 ? indent() : frameWidth() > 0 ? fontMetrics().horizontalAdvance(u'x') / 2 : 0;
    return contentsRect().adjusted(margin() + einzug, margin(), -margin(), -margin());
}

QString Dateinamenfeld::gezeigt() const
{
    // A line break in a file name would draw a second line.
    QString name = text();
    name.replace(QLatin1Char('\n'), QChar(0x21B5));
    return fontMetrics().elidedText(name, Qt::ElideMiddle, textflaeche().width());
}

bool Dateinamenfeld::event(QEvent *ereignis)
{
    if (ereignis->type() != QEvent::ToolTip)
        return QLabel::event(ereignis);
    // A name such as "<i>x.htd" is shown as it is, not as markup.
    QToolTip::showText(static_cast<QHelpEvent *>(ereignis)->globalPos(),
                       Qt::convertFromPlainText(text(), Qt::WhiteSpaceNoWrap), this, rect());
    return true;
}

void Dateinamenfeld::paintEvent(QPaintEvent *)
{
    QPainter maler(this);
    drawFrame(&maler);
    style()->drawItemText(&maler, textflaeche(), int(alignment()), palette(), isEnabled(), gezeigt(), foregroundRole());
}
