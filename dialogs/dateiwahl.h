// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QHash>
#include <QObject>
#include <QString>

#include <memory>
#include <optional>

class QComboBox;
class QListWidget;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

// A file picker made of four linked controls that its window places: a drive
// box, a directory list, a filter box and a file list. The drive box moves the
// directory list, the directory list and the filter box reload the file list.
// Its value is the full native path of the selected file.
//
// Directories are read at once whenever they change, so what the controls
// show after a call is settled; the process's working directory is never
// touched. Errors of the user's own choices are shown in the error box, as
// the main window shows its own; the operations called by code throw.
class Dateiwahl : public QObject
{
    Q_OBJECT

public:
    // `filter` holds pairs of a name shown in the filter box and its mask,
    // separated by "|"; the first pair is chosen at start. The picker starts
    // in the process's working directory.
    Dateiwahl(QWidget *fenster, const QString &filter);
    ~Dateiwahl() override;

    QComboBox *const Laufwerke;
    QTreeWidget *const Verzeichnisse;
    QComboBox *const Filter;
    QListWidget *const Dateien;

    // The directory, a separator and the selected name; empty when no file
    // is selected.
    QString wert() const;

    // Moves to a path's directory and selects its file. A name that names an
    // existing file selects exactly that file, whatever characters it holds;
    // a name that is a sub-directory is entered; only a name that names
    // nothing and holds "*" or "?" becomes the mask. Throws EAFehler when the
    // directory, or the file and a sub-directory of that name, do not exist
    // (3) or may not be entered (5); the picker is then unchanged. A path
    // with backslashes that names nothing as it stands is tried with "/".
    void anwenden(const QString &pfad);

    // The folder a relative path is taken from; without one, the picker's
    // own directory.
    void setzeBezugsordner(const QString &ordner);

    // The path to store for the choice: the path last applied, exactly as
    // it was given (relative, a mask, or naming a file that has gone),
    // while the choice has not changed since; else the value.
    QString ergebnis() const;
    // Keeps a path as the result without applying it, until the choice
    // changes.
    void behalte(const QString &pfad);
    void vergiss();

    // The current directory, native.
    QString verzeichnis() const;
    QString maske() const;
    // No file selected; the place stays.
    void keineAuswahl();

    // What the controls do for the user. Opening a directory and choosing a
    // drive throw the I/O error of a directory that cannot be read; the
    // picker then stays where it was.
    void oeffneVerzeichnis(const QString &pfad);
    void waehleLaufwerk(int index);
    void setzeMaske(const QString &maske);

    // Whether the choice may be taken: a path a definition file cannot hold
    // is refused in the error box.
    bool pruefeWahl();

    // The drives offered: the roots of the volumes that can be reached.
    static QStringList laufwerke();

protected:
    bool eventFilter(QObject *objekt, QEvent *ereignis) override;

private:
    class Muster;

    // Runs a user's choice; an error is shown, never passed on to Qt.
    template<typename Handlung>
    void sicher(Handlung &&handlung);

    QString laufwerkVon(const QString &verzeichnis) const;
    void fuelleLaufwerke();
    void zeigeLaufwerk();
    // Moves to an existing directory; the lists reload only when it is
    // another one than the current.
    void setzeVerzeichnis(const QString &verzeichnis);
    void ladeVerzeichnisse();
    void ladeDateien();
    QStringList dateinamen() const;
    // Reads the current directory again, keeping place and choice.
    void auffrischen();
    // Applies `pfad`; `behalten` is the path the result keeps.
    void anwendenWie(const QString &pfad, const QString &behalten);
    // Lists exactly the file of that name, wildcards and ";" included.
    void setzeNamensmaske(const QString &name);
    void oeffne(const QTreeWidgetItem *eintrag);

    QWidget *const m_fenster;
    QString m_verzeichnis; // absolute, with "/" separators
    QString m_maske;
    std::unique_ptr<const Muster> m_muster;
    QString m_bezugsordner;
    std::optional<QString> m_behalten;
    // Each drive's last directory, where choosing the drive returns to.
    QHash<QString, QString> m_letztesVerzeichnis;
};
