#pragma once

#include <QDialog>

class QPushButton;

class TFrmInfo : public QDialog
{
    Q_OBJECT

public:
    explicit TFrmInfo(QWidget *parent = nullptr);

    void BtnSchliesenClick();

    QPushButton *const BtnSchliesen;
};
