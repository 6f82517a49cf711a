#include "text.h"

#include "win1252.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TFrmText::TFrmText(QWidget *parent)
    : Objektdialog(parent)
    , LblBeschreibung(new QLabel(QStringLiteral("Beschreibung:"), this))
    , EdtBeschreibung(new QLineEdit(this))
{
    setWindowTitle(QStringLiteral("Text"));
    Fensterart::dialograhmen(this, 425, 225);
    LblBeschreibung->setGeometry(8, 8, 81, 17);
    LblBeschreibung->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    EdtBeschreibung->setGeometry(96, 8, 321, 21);
    Fensterart::nurWin1252(EdtBeschreibung);
    BtnOk->setGeometry(296, 40, 121, 33);
    BtnAbbrechen->setGeometry(296, 80, 121, 33);
}

void TFrmText::fuerEinfuegen()
{
    EdtBeschreibung->clear();
}

void TFrmText::fuellen(const std::string &beschreibung, const std::string &daten)
{
    EdtBeschreibung->setText(Win1252::zuText(beschreibung));
    m_daten = daten;
}

std::string TFrmText::beschreibung() const
{
    return Win1252::zuBytes(EdtBeschreibung->text());
}

std::string TFrmText::daten() const
{
    return m_daten;
}
