#pragma once

#include "objektliste.h"

#include <QAbstractListModel>
#include <QIcon>

#include <array>

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

private:
    Objektliste m_liste;
    std::array<QIcon, 5> m_symbole;
};
