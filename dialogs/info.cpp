#include "info.h"

#include "objektdialog.h"

#include <QPushButton>

TFrmInfo::TFrmInfo(QWidget *parent)
    : QDialog(parent)
    , BtnSchliesen(Fensterart::okKnopf(QStringLiteral("Schließen"), this))
{
    setWindowTitle(QStringLiteral("Markwerk - Info"));
    BtnSchliesen->setDefault(true);
    connect(BtnSchliesen, &QPushButton::clicked, this, &TFrmInfo::BtnSchliesenClick);
}

void TFrmInfo::BtnSchliesenClick()
{
    close();
}
