#pragma once

#include "objektdialog.h"

class QLabel;
class QLineEdit;

// The table dialog: a description and a grid of 2 to 20 rows and columns.
class TFrmTabelle : public Objektdialog
{
    Q_OBJECT

public:
    explicit TFrmTabelle(QWidget *parent = nullptr);

    void fuerEinfuegen() override;
    void fuellen(const std::string &beschreibung, const std::string &daten) override;

    QLabel *const LblBeschreibung;
    QLineEdit *const EdtBeschreibung;

protected:
    std::string beschreibung() const override;
    std::string daten() const override;

private:
    std::string m_daten;
};
