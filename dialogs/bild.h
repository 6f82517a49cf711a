// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "objektdialog.h"

class Dateiwahl;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QTreeWidget;

// The image dialog: a description and an image file. The file picker keeps
// its drive, directory, mask and selection from one use to the next.
class TFrmBild : public Objektdialog
{
    Q_OBJECT

public:
    explicit TFrmBild(QWidget *parent = nullptr);

    void fuerEinfuegen() override;
    // Moves the picker to the image's file; throws when its folder or the
    // file is gone, before the dialog is shown. Until the user chooses
    // another file, OK hands back the path exactly as it was stored.
    void fuellen(const std::string &beschreibung, const std::string &daten) override;

    QLabel *const LblBeschreibung;
    QLineEdit *const EdtBeschreibung;
    Dateiwahl *const Wahl;
    QComboBox *const LstDrive;
    QTreeWidget *const LstDir;
    QComboBox *const LstFilter;
    QListWidget *const LstFile;

protected:
    std::string beschreibung() const override;
    std::string daten() const override;
    bool pruefen() override;
};
