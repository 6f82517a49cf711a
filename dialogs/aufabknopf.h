// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QWidget>

class QToolButton;

// An up/down control without a text field of its own: two arrow buttons that
// step a position between a minimum and a maximum, never wrapping round.
// Vertical, the upper arrow steps up; horizontal, the right one does. The
// arrow keys step it too while it has the focus. A screen reader knows it as
// a spin button with its value and limits.
class AufAbKnopf : public QWidget
{
    Q_OBJECT

public:
    AufAbKnopf(Qt::Orientation richtung, int minimum, int maximum, int position, QWidget *parent);

    int Minimum() const { return m_minimum; }
    int Maximum() const { return m_maximum; }
    int Position() const { return m_position; }
    // Sets the position from code, held within the limits; sends nothing.
    void setzePosition(int position);

    // Names the control and its two arrows for a screen reader.
    void benenne(const QString &name, const QString &auf, const QString &ab);

    // One step, as a click on that arrow makes it.
    void auf();
    void ab();

    QToolButton *const BtnAuf;
    QToolButton *const BtnAb;

Q_SIGNALS:
    // The user has moved the position by one step. Not sent at a limit,
    // where a click changes nothing.
    void geklickt();

protected:
    void keyPressEvent(QKeyEvent *ereignis) override;
    void focusInEvent(QFocusEvent *ereignis) override;
    void focusOutEvent(QFocusEvent *ereignis) override;
    void paintEvent(QPaintEvent *ereignis) override;
    void resizeEvent(QResizeEvent *ereignis) override;

private:
    void schritt(int weite);
    // Tells a screen reader the new count.
    void meldeWert();

    const Qt::Orientation m_richtung;
    const int m_minimum;
    const int m_maximum;
    int m_position;
};
