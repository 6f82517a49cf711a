// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QDialog>

#include <string>

class Dateiwahl;
class QCheckBox;
class QCloseEvent;
class QComboBox;
class QListWidget;
class QPushButton;
class QTreeWidget;

// The window that holds the background setting: the check box says whether
// the page has a background image, the file picker which file it is. The
// picker can be used exactly while the box is ticked; unticking keeps its
// place and selection.
class TFrmHintergrund : public QDialog
{
    Q_OBJECT

public:
    explicit TFrmHintergrund(QWidget *parent = nullptr);

    bool HintergrundAktiv() const;
    // Changing the state runs ChkAktivierenClick, as a click does.
    void setzeHintergrundAktiv(bool aktiv);
    // The path last applied, exactly as it came (unticking and ticking the
    // box keep it), until the user chooses in the picker; then the file
    // selected in the picker, empty when none is.
    std::string Hintergrundpfad() const;
    // Moves the picker to the file and selects it. When the file or its
    // folder is gone, the picker keeps its place with no file selected,
    // the path stays the background, and the error is passed on.
    void wendeHintergrundpfadAn(const std::string &pfad);

    void BtnSchliesenClick();
    void ChkAktivierenClick();

    QPushButton *const BtnSchliesen;
    Dateiwahl *const Wahl;
    QComboBox *const LstLaufwerk;
    QTreeWidget *const LstVerzeichnis;
    QComboBox *const LstDateityp;
    QListWidget *const LstDatei;
    QCheckBox *const ChkAktivieren;

protected:
    void closeEvent(QCloseEvent *ereignis) override;
};
