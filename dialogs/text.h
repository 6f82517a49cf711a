#pragma once

#include "objektdialog.h"

class QLabel;
class QLineEdit;

// The text dialog: a description and a paragraph of running text.
class TFrmText : public Objektdialog
{
    Q_OBJECT

public:
    explicit TFrmText(QWidget *parent = nullptr);

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
