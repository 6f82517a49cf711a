#include "objektmodell.h"

#include "win1252.h"

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
        return Win1252::zuText(Kopfzeile(objekt));
    case Qt::DecorationRole:
        return m_symbole[std::size_t(Symbolindex(objekt.Art))];
    default:
        return {};
    }
}

void Objektmodell::anhaengen(Objekt objekt)
{
    const int zeile = m_liste.Anzahl();
    beginInsertRows(QModelIndex(), zeile, zeile);
    m_liste.anhaengen(std::move(objekt));
    endInsertRows();
}

void Objektmodell::loschen(int i)
{
    beginRemoveRows(QModelIndex(), i, i);
    m_liste.loschen(i);
    endRemoveRows();
}

void Objektmodell::setzen(int i, std::string beschreibung, std::string daten)
{
    m_liste.setzen(i, std::move(beschreibung), std::move(daten));
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
    endResetModel();
}

void Objektmodell::leeren()
{
    beginResetModel();
    m_liste.leeren();
    endResetModel();
}
