#include "hintern.h"

#include "objektdialog.h"

#include <QCheckBox>
#include <QPushButton>

TFrmHintergrund::TFrmHintergrund(QWidget *parent)
    : QDialog(parent)
    , BtnSchliesen(Fensterart::okKnopf(QStringLiteral("Schließen"), this))
    , ChkAktivieren(new QCheckBox(QStringLiteral("Hintergrundbild verwenden"), this))
{
    setWindowTitle(QStringLiteral("Dokumentenhintergrund"));
    Fensterart::dialograhmen(this, 425, 337);
    BtnSchliesen->setGeometry(296, 296, 121, 33);
    BtnSchliesen->setDefault(true);
    ChkAktivieren->setGeometry(8, 8, 201, 17);
    connect(BtnSchliesen, &QPushButton::clicked, this, &TFrmHintergrund::BtnSchliesenClick);
    connect(ChkAktivieren, &QCheckBox::toggled, this, &TFrmHintergrund::ChkAktivierenClick);
}

bool TFrmHintergrund::HintergrundAktiv() const
{
    return ChkAktivieren->isChecked();
}

void TFrmHintergrund::setzeHintergrundAktiv(bool aktiv)
{
    ChkAktivieren->setChecked(aktiv);
}

std::string TFrmHintergrund::Hintergrundpfad() const
{
    return m_pfad;
}

void TFrmHintergrund::wendeHintergrundpfadAn(const std::string &pfad)
{
    if (!pfad.empty())
        m_pfad = pfad;
}

void TFrmHintergrund::BtnSchliesenClick()
{
    close();
}

void TFrmHintergrund::ChkAktivierenClick()
{
}
