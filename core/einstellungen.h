// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <string>

// The two document settings, title and background image. In the program the
// settings windows hold them; the file reader and writer and the page
// generator reach them only through this interface, at the moment they need
// them. All strings are Windows-1252 bytes.
class Dokumenteinstellungen
{
public:
    virtual ~Dokumenteinstellungen() = default;

    virtual std::string Titel() const = 0;
    virtual void setzeTitel(const std::string &titel) = 0;

    virtual bool HintergrundAktiv() const = 0;
    // Also enables or disables the choice of the background file.
    virtual void setzeHintergrundAktiv(bool aktiv) = 0;

    // The chosen background file, empty when none is chosen.
    virtual std::string Hintergrundpfad() const = 0;
    // Makes the named file the chosen one; an empty path changes nothing.
    // May throw when the file cannot be chosen.
    virtual void wendeHintergrundpfadAn(const std::string &pfad) = 0;
};

// The settings held in memory, for the command-line tool and the tests.
class Speichereinstellungen : public Dokumenteinstellungen
{
public:
    std::string Titel() const override { return m_titel; }
    void setzeTitel(const std::string &titel) override { m_titel = titel; }
    bool HintergrundAktiv() const override { return m_aktiv; }
    void setzeHintergrundAktiv(bool aktiv) override { m_aktiv = aktiv; }
    std::string Hintergrundpfad() const override { return m_pfad; }
    void wendeHintergrundpfadAn(const std::string &pfad) override
    {
        if (!pfad.empty())
            m_pfad = pfad;
    }

private:
    std::string m_titel = "HTML - Dokument";
    bool m_aktiv = false;
    std::string m_pfad;
};
