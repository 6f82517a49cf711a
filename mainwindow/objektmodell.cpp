// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

#include "objektmodell.h"

#include "win1252.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QFontMetricsF>
#include <QPainter>
#include <QStyle>

#include <cmath>

namespace {

template<typename Schluessel>
void zaehle(std::map<Schluessel, int> &zaehler, Schluessel schluessel, int richtung)
{
    int &anzahl = zaehler[schluessel];
    anzahl += richtung;
    if (anzahl <= 0)
        zaehler.erase(schluessel);
}

} // namespace

Objektmodell::Objektmodell(QObject *parent)
    : QAbstractListModel(parent)
    , m_symbole{QIcon(QStringLiteral(":/bilder/symbol_bild.svg")), QIcon(QStringLiteral(":/bilder/symbol_linie.svg")),
                QIcon(QStringLiteral(":/bilder/symbol_link.svg")), QIcon(QStringLiteral(":/bilder/symbol_tabelle.svg")),
                QIcon(QStringLiteral(":/bilder/symbol_text.svg"))}
{
}

int Objektmodell::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_liste.Anzahl();
}

QVariant Objektmodell::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const Objekt &objekt = m_liste[index.row()];
    switch (role) {
    case Qt::DisplayRole:
        return einzeilig(Win1252::zuText(Kopfzeile(objekt)));
    case Qt::DecorationRole:
        return m_symbole[std::size_t(Symbolindex(objekt.Art))];
    default:
        return {};
    }
}

QString Objektmodell::einzeilig(QString kopfzeile)
{
    const QChar umbruch(0x21B5); // ↵
    const QChar tabulator(0x2192); // →
    kopfzeile.replace(QLatin1String("\r\n"), umbruch);
    for (QChar &c : kopfzeile) {
        if (c == u'\n' || c == u'\r')
            c = umbruch;
        else if (c == u'\t')
            c = tabulator;
    }
    return kopfzeile;
}

void Objektmodell::zaehlen(const Objekt &objekt, int richtung) const
{
    if (!m_schrift)
        return;
    qint64 breite = 0;
    for (const char b : Kopfzeile(objekt))
        breite += m_vorschub[static_cast<unsigned char>(b)];
    zaehle(m_breiten, breite, richtung);
}

qreal Objektmodell::breitesteKopfzeile(const QFont &schrift) const
{
    if (!m_schrift || *m_schrift != schrift) {
        m_schrift = schrift;
        const QFontMetricsF masse(schrift);
        for (int b = 0; b < 256; ++b) {
            // A line break of two bytes shows as one symbol; counting it
            // twice only overestimates.
            const QString zeichen = einzeilig(Win1252::zuText(std::string(1, char(b))));
            // A character the font lacks comes from another font; measured
            // alone and as a text, the larger of the two counts.
            const qreal vorschub = std::max(masse.horizontalAdvance(zeichen), masse.horizontalAdvance(zeichen[0]));
            m_vorschub[std::size_t(b)] = qint64(std::ceil(vorschub * 64));
        }
        m_breiten.clear();
        for (const Objekt &objekt : m_liste)
            zaehlen(objekt, +1);
    }
    return m_breiten.empty() ? 0 : qreal(m_breiten.rbegin()->first) / 64;
}

void Objektmodell::anhaengen(Objekt objekt)
{
    const int zeile = m_liste.Anzahl();
    zaehlen(objekt, +1);
    beginInsertRows(QModelIndex(), zeile, zeile);
    m_liste.anhaengen(std::move(objekt));
    endInsertRows();
}

void Objektmodell::loschen(int i)
{
    zaehlen(m_liste[i], -1);
    beginRemoveRows(QModelIndex(), i, i);
    m_liste.loschen(i);
    endRemoveRows();
}

void Objektmodell::setzen(int i, std::string beschreibung, std::string daten)
{
    zaehlen(m_liste[i], -1);
    m_liste.setzen(i, std::move(beschreibung), std::move(daten));
    zaehlen(m_liste[i], +1);
    const QModelIndex zeile = index(i);
    Q_EMIT dataChanged(zeile, zeile, {Qt::DisplayRole});
}

void Objektmodell::tauschen(int i, int j)
{
    m_liste.tauschen(i, j);
    const QModelIndex a = index(std::min(i, j));
    const QModelIndex b = index(std::max(i, j));
    if (b.row() - a.row() == 1) {
        Q_EMIT dataChanged(a, b, {Qt::DisplayRole, Qt::DecorationRole});
    } else {
        Q_EMIT dataChanged(a, a, {Qt::DisplayRole, Qt::DecorationRole});
        Q_EMIT dataChanged(b, b, {Qt::DisplayRole, Qt::DecorationRole});
    }
}

void Objektmodell::ersetzen(std::vector<Objekt> objekte)
{
    beginResetModel();
    m_liste.ersetzen(std::move(objekte));
    m_schrift.reset();
    endResetModel();
}

void Objektmodell::leeren()
{
    beginResetModel();
    m_liste.leeren();
    m_schrift.reset();
    endResetModel();
}

QSize Objektdelegat::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const auto *modell = qobject_cast<const Objektmodell *>(index.model());
    if (!modell)
        return QStyledItemDelegate::sizeHint(option, index);
    const qreal breite = modell->breitesteKopfzeile(option.font);

    // The style measures a stand-in "X", icon and margins included; the
    // widest caption's advance then takes the place of the X.
    QStyleOptionViewItem stellvertreter = option;
    initStyleOption(&stellvertreter, index);
    stellvertreter.features |= QStyleOptionViewItem::HasDisplay;
    stellvertreter.text = QStringLiteral("X");
    const QWidget *fenster = option.widget;
    const QStyle *stil = fenster ? fenster->style() : QApplication::style();
    QSize groesse = stil->sizeFromContents(QStyle::CT_ItemViewItem, &stellvertreter, QSize(), fenster);
    const qreal x = QFontMetricsF(stellvertreter.font).horizontalAdvance(QLatin1Char('X'));
    groesse.rwidth() += int(std::ceil(breite)) - int(std::floor(x));
    return groesse;
}

void Objektdelegat::paint(QPainter *maler, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    // Well below the width where Qt stops drawing; shorter captions the
    // style draws as it always does.
    constexpr int Stueckbreite = 8000;
    QStyleOptionViewItem o = option;
    initStyleOption(&o, index);
    const QWidget *fenster = o.widget;
    const QStyle *stil = fenster ? fenster->style() : QApplication::style();
    const int rand = stil->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, fenster) + 1;
    const QRect feld = stil->subElementRect(QStyle::SE_ItemViewItemText, &o, fenster).adjusted(rand, 0, -rand, 0);
    if (feld.width() <= Stueckbreite) {
        QStyledItemDelegate::paint(maler, option, index);
        return;
    }

    // Background, selection, icon and focus as the style draws them; then
    // the pieces of the text that fall into the visible part.
    const QString text = o.text;
    o.text.clear();
    stil->drawControl(QStyle::CE_ItemViewItem, &o, maler, fenster);
    const auto *flaeche = qobject_cast<const QAbstractScrollArea *>(fenster);
    const QRect sichtbar = flaeche ? flaeche->viewport()->rect() : o.rect;
    const QPalette::ColorGroup gruppe = !(o.state & QStyle::State_Enabled) ? QPalette::Disabled
                                        : (o.state & QStyle::State_Active)  ? QPalette::Active
                                                                            : QPalette::Inactive;
    maler->save();
    maler->setFont(o.font);
    maler->setPen(o.palette.color(gruppe, o.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text));
    const QFontMetricsF masse(o.font);
    // Pieces of characters few enough to stay far below Qt's limit.
    const qsizetype zeichen = std::max<qsizetype>(1, qsizetype(Stueckbreite / std::max(1.0, masse.maxWidth())));
    qreal x = feld.left();
    for (qsizetype anfang = 0; anfang < text.size() && x < sichtbar.right(); anfang += zeichen) {
        const QString stueck = text.mid(anfang, zeichen);
        const qreal breite = masse.horizontalAdvance(stueck);
        if (x + breite >= sichtbar.left())
            maler->drawText(QRectF(x, feld.top(), breite + 1, feld.height()),
                            Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, stueck);
        x += breite;
    }
    maler->restore();
}
