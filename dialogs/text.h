// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "objektdialog.h"

#include <QStringList>

#include <vector>

class QLabel;
class QLineEdit;
class QPlainTextEdit;

// The text dialog: a description and a paragraph of running text. The
// window may be resized; its controls keep their place and size.
class TFrmText : public Objektdialog
{
    Q_OBJECT

public:
    explicit TFrmText(QWidget *parent = nullptr);

    void fuerEinfuegen() override;
    // The stored text goes into the field as one line, followed by a line
    // break.
    void fuellen(const std::string &beschreibung, const std::string &daten) override;

    // The lines of the text field as it shows them, top to bottom: a line
    // the field wraps gives one line per piece; the empty line after a
    // final line break is none.
    QStringList Zeilen() const;

    QLabel *const LblBeschreibung;
    QLineEdit *const EdtBeschreibung;
    QPlainTextEdit *const EdtText;

protected:
    std::string beschreibung() const override;
    // The lines, each followed by one blank, except where the field had to
    // split a word wider than itself: the word comes back as typed.
    std::string daten() const override;

private:
    struct Zeile
    {
        QString text;
        bool imWort; // the field split a word after it
    };
    std::vector<Zeile> zeilenMitUmbruch() const;
};
