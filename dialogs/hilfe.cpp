#include "hilfe.h"

#include "objektdialog.h"

#include <QPushButton>

TFrmHilfe::TFrmHilfe(QWidget *parent)
    : QDialog(parent)
    , BtnSchliesen(Fensterart::okKnopf(QStringLiteral("Schließen"), this))
{
    setWindowTitle(QStringLiteral("Hilfe"));
    BtnSchliesen->setDefault(true);
    connect(BtnSchliesen, &QPushButton::clicked, this, &TFrmHilfe::BtnSchliesenClick);
}

void TFrmHilfe::BtnSchliesenClick()
{
    close();
}
