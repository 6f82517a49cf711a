// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "objektdialog.h"

class QLabel;
class QLineEdit;

// The link dialog: the link text and its address, taken as typed.
class TFrmLink : public Objektdialog
{
    Q_OBJECT

public:
    explicit TFrmLink(QWidget *parent = nullptr);

    void fuerEinfuegen() override;
    void fuellen(const std::string &beschreibung, const std::string &daten) override;

    QLabel *const LblBeschreibung;
    QLabel *const LblAdresse;
    QLineEdit *const EdtBeschreibung;
    QLineEdit *const EdtAdresse;

protected:
    std::string beschreibung() const override;
    std::string daten() const override;
};
