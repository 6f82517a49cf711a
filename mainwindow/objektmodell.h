// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "objektliste.h"

#include <QAbstractListModel>
#include <QFont>
#include <QIcon>
#include <QStyledItemDelegate>

#include <array>
#include <map>
#include <optional>

// Presents the document's object list to LstMarkwerk: row i shows object i
// with its caption and the icon of its kind. Every change goes through this
// model and touches only the rows it concerns.
class Objektmodell : public QAbstractListModel
{
    Q_OBJECT

public:
    explicit Objektmodell(QObject *parent = nullptr);

    const Objektliste &liste() const { return m_liste; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    void anhaengen(Objekt objekt);
    void loschen(int i);
    void setzen(int i, std::string beschreibung, std::string daten);
    // Exchanges two objects. The rows keep their places and change their
    // content, so a selection stays on its row.
    void tauschen(int i, int j);
    void ersetzen(std::vector<Objekt> objekte);
    void leeren();

    // A caption as the list shows it, on one line: a line break or a tab
    // shows as a symbol that no document character can be. The stored text
    // stays as it is.
    static QString einzeilig(QString kopfzeile);

    // What the widest caption takes in a font: the sum of the advances of
    // the characters shown, in pixels. The sum is never less than the drawn
    // width (kerning and ligatures only narrow a text).
    // Constant time after the first call for a font: every change keeps the
    // count of captions per width up to date.
    qreal breitesteKopfzeile(const QFont &schrift) const;

private:
    // Adds (+1) or removes (-1) an object's caption to or from the counts.
    void zaehlen(const Objekt &objekt, int richtung) const;

    Objektliste m_liste;
    std::array<QIcon, 5> m_symbole;

    // The font the counts are for; none until a view asks, and none again
    // after a reset, so that loading a document measures nothing until the
    // view lays it out.
    mutable std::optional<QFont> m_schrift;
    // The advance of each byte's character in 1/64 pixel, rounded up.
    mutable std::array<qint64, 256> m_vorschub{};
    mutable std::map<qint64, int> m_breiten; // caption width -> captions
};

// Draws the rows like the standard delegate and gives all of them one size,
// big enough for the widest caption. With it the list view can take every
// row's size as the same (uniform item sizes, which lays out 100,000 rows in
// milliseconds) and still shows every caption whole.
//
// Qt draws a text only up to about 32,767 pixels from where it starts; a
// caption wider than that is drawn in pieces, only those that can be seen.
class Objektdelegat : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    void paint(QPainter *maler, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
};
