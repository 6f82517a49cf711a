// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "objektdialog.h"

#include <string_view>

class AufAbKnopf;
class QLabel;
class QLineEdit;
class QTableWidget;

// The table dialog: a description and a grid of 2 to 20 rows and columns
// whose cells are edited in place.
class TFrmTabelle : public Objektdialog
{
    Q_OBJECT

public:
    explicit TFrmTabelle(QWidget *parent = nullptr);

    // Empties the description and the cells; the size stays as it was last.
    void fuerEinfuegen() override;
    // Takes the size and the cells from table data. Data that cannot be
    // decoded, or of more cells than the grid can hold, throws
    // (KonvertierungsFehler, TabellenFehler, Fehler) and leaves the dialog
    // as it was.
    void fuellen(const std::string &beschreibung, const std::string &daten) override;

    void BtnZeilenClick();
    void BtnSpaltenClick();

    QLabel *const LblBeschreibung;
    QLineEdit *const EdtBeschreibung;
    QTableWidget *const GrdTabelle;
    QLabel *const LblZeilen;
    AufAbKnopf *const BtnZeilen;
    QLabel *const LblSpalten;
    AufAbKnopf *const BtnSpalten;

protected:
    std::string beschreibung() const override;
    std::string daten() const override;
    // Refuses a cell whose text the table data could not carry.
    bool pruefen() override;

private:
    // Refuses data of more cells than the grid can hold, before anything
    // is decoded; throws KonvertierungsFehler as decoding would.
    static void pruefeGroesse(std::string_view daten);
    // Takes over what an open cell editor holds and closes it.
    void beendeZellbearbeitung();
    std::string zelle(int zeile, int spalte) const;
    void setzeZeilen(int anzahl, const QString &anzeige);
    void setzeSpalten(int anzahl, const QString &anzeige);
};
