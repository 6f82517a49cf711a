#pragma once

#include <QDialog>

class QPushButton;

class TFrmHilfe : public QDialog
{
    Q_OBJECT

public:
    explicit TFrmHilfe(QWidget *parent = nullptr);

    void BtnSchliesenClick();

    QPushButton *const BtnSchliesen;
};
