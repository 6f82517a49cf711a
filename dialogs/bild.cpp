#include "bild.h"

#include "win1252.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TFrmBild::TFrmBild(QWidget *parent)
    : Objektdialog(parent)
    , LblBeschreibung(new QLabel(QStringLiteral("Beschreibung:"), this))
    , EdtBeschreibung(new QLineEdit(this))
{
    setWindowTitle(QStringLiteral("Bild einfügen"));
    Fensterart::dialograhmen(this, 425, 225);
    LblBeschreibung->setGeometry(8, 8, 81, 17);
    LblBeschreibung->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    EdtBeschreibung->setGeometry(96, 8, 321, 21);
    Fensterart::nurWin1252(EdtBeschreibung);
    BtnOk->setGeometry(296, 40, 121, 33);
    BtnAbbrechen->setGeometry(296, 80, 121, 33);
}

void TFrmBild::fuerEinfuegen()
{
    EdtBeschreibung->clear();
}

void TFrmBild::fuellen(const std::string &beschreibung, const std::string &daten)
{
    EdtBeschreibung->setText(Win1252::zuText(beschreibung));
    m_daten = daten;
}

std::string TFrmBild::beschreibung() const
{
    return Win1252::zuBytes(EdtBeschreibung->text());
}

std::string TFrmBild::daten() const
{
    return m_daten;
}
