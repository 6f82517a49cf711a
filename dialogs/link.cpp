#include "link.h"

#include "win1252.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TFrmLink::TFrmLink(QWidget *parent)
    : Objektdialog(parent)
    , LblBeschreibung(new QLabel(QStringLiteral("Beschreibung:"), this))
    , EdtBeschreibung(new QLineEdit(this))
{
    setWindowTitle(QStringLiteral("Link einfügen"));
    Fensterart::dialograhmen(this, 425, 225);
    LblBeschreibung->setGeometry(8, 8, 81, 17);
    LblBeschreibung->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    EdtBeschreibung->setGeometry(96, 8, 321, 21);
    Fensterart::nurWin1252(EdtBeschreibung);
    BtnOk->setGeometry(296, 40, 121, 33);
    BtnAbbrechen->setGeometry(296, 80, 121, 33);
}

void TFrmLink::fuerEinfuegen()
{
    EdtBeschreibung->clear();
}

void TFrmLink::fuellen(const std::string &beschreibung, const std::string &daten)
{
    EdtBeschreibung->setText(Win1252::zuText(beschreibung));
    m_daten = daten;
}

std::string TFrmLink::beschreibung() const
{
    return Win1252::zuBytes(EdtBeschreibung->text());
}

std::string TFrmLink::daten() const
{
    return m_daten;
}
