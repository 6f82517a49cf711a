#pragma once

#include "objektdialog.h"

class QLabel;
class QLineEdit;

// The image dialog: a description and an image file.
class TFrmBild : public Objektdialog
{
    Q_OBJECT

public:
    explicit TFrmBild(QWidget *parent = nullptr);

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
