// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

#include <optional>

class QWidget;

// Everything the main window asks a person: file names, the question before
// changes are lost, and the error box. The program uses the real dialogs;
// tests put a scripted answerer in their place.
class Rueckfragen
{
public:
    virtual ~Rueckfragen() = default;

    // DlgOffnen, DlgSpeichern, DlgExport: the chosen file's full path, or
    // nothing when the dialog was cancelled.
    virtual std::optional<QString> dateiOffnen(QWidget *fenster) = 0;
    virtual std::optional<QString> dateiSpeichern(QWidget *fenster) = 0;
    virtual std::optional<QString> dateiGenerieren(QWidget *fenster) = 0;

    // "Daten wurden geändert. Änderungen speichern ?" - true for "Ja".
    virtual bool aenderungenSpeichern(QWidget *fenster) = 0;

    // Before Save writes over a file that another program has changed since
    // it was read or written here: true for "Ja".
    virtual bool trotzdemSpeichern(QWidget *fenster, const QString &datei) = 0;

    // The error box titled "Markwerk"; the text has its full stop already.
    virtual void fehler(QWidget *fenster, const QString &text) = 0;
};

// The standard dialogs and message boxes.
class Dialogrueckfragen : public Rueckfragen
{
public:
    std::optional<QString> dateiOffnen(QWidget *fenster) override;
    std::optional<QString> dateiSpeichern(QWidget *fenster) override;
    std::optional<QString> dateiGenerieren(QWidget *fenster) override;
    bool aenderungenSpeichern(QWidget *fenster) override;
    bool trotzdemSpeichern(QWidget *fenster, const QString &datei) override;
    void fehler(QWidget *fenster, const QString &text) override;
};
