#pragma once

#include "objektdialog.h"

class QLabel;
class QLineEdit;

// The link dialog: the link text and its address.
class TFrmLink : public Objektdialog
{
    Q_OBJECT

public:
    explicit TFrmLink(QWidget *parent = nullptr);

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
