// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "fehler.h"

#include <QDialog>
#include <QString>

#include <new>
#include <string>

class QAbstractItemView;
class QLabel;
class QLineEdit;
class QPushButton;

// What an object dialog hands back to the main window: the Ok flag and two
// strings, description and data (Windows-1252 bytes). The strings keep the
// values of the last OK when the dialog is cancelled.
struct Dialogergebnis
{
    bool Ok = false;
    std::string Beschreibung;
    std::string Daten;
};

// Base of the four object dialogs (image, link, table, text). Each is created
// once and shown modally again and again; its fields keep their contents
// between showings.
class Objektdialog : public QDialog
{
    Q_OBJECT

public:
    const Dialogergebnis &Ergebnis() const { return m_ergebnis; }

    // Shows the dialog modally and returns when it has closed, with the
    // focus in its first field whatever had it when the dialog was last
    // left. Any close other than OK (Esc, the window manager) counts as
    // "Abbrechen".
    void zeigeModal();

    // Prepares the fields for inserting a new object of this kind.
    virtual void fuerEinfuegen() = 0;
    // Fills the fields from an object for editing; may throw (the image
    // dialog when the stored file cannot be chosen).
    virtual void fuellen(const std::string &beschreibung, const std::string &daten) = 0;

    void BtnOkClick();
    void BtnAbbrechenClick();

    QPushButton *const BtnOk;
    QPushButton *const BtnAbbrechen;

protected:
    explicit Objektdialog(QWidget *parent);

    // The description and data the fields hold now.
    virtual std::string beschreibung() const = 0;
    virtual std::string daten() const = 0;
    // Whether the fields may be taken as they are; a dialog that refuses
    // says why and stays open.
    virtual bool pruefen() { return true; }

    void done(int ergebnis) override;
    // The field every showing starts in.
    void setzeStartfeld(QWidget *feld);

private:
    Dialogergebnis m_ergebnis;
    QWidget *m_startfeld = nullptr;
};

namespace Fensterart {

// Runs a command where it meets Qt's event loop, which no exception may
// cross: an error the command raises goes to `melden` as the text of the
// error box, full stop added. Returns whether the command ran to its end.
template<typename Befehl, typename Melden>
bool ohneAusnahme(Befehl &&befehl, Melden &&melden)
{
    try {
        befehl();
        return true;
    } catch (const Fehler &f) {
        melden(QString::fromStdString(mitPunkt(f.what())));
    } catch (const std::bad_alloc &) {
        melden(QStringLiteral("Nicht genügend Arbeitsspeicher."));
    } catch (const std::exception &e) {
        melden(QStringLiteral("Interner Fehler: %1").arg(QString::fromLocal8Bit(e.what())));
    }
    return false;
}

// The error box: titled "Markwerk", a stop icon and OK.
void zeigeFehler(QWidget *fenster, const QString &text);

// A dialog frame without buttons in its title bar, of a fixed client size
// (or resizable, for the text dialog).
void dialograhmen(QWidget *fenster, int breite, int hoehe, bool groesseFest = true);

// For a window whose only button is "Schließen": it is left through that
// button, as Esc has no cancel button to press.
void ohneEsc(QWidget *fenster);

// Where a window appears the first time: its frame centred on the screen.
// Afterwards it reappears where it was when it closed.
void zentriereAufBildschirm(QWidget *fenster);
// The frame's top left corner that centres a frame around a client area of
// `innen` in `flaeche`.
QPoint rahmenMitte(const QSize &innen, const QMargins &rahmen, const QRect &flaeche);

// Push buttons with pictures: a green tick for "OK" and "Schließen", a red
// cross for "Abbrechen". "OK" stays the window's default button; Enter on a
// focused "Abbrechen" is "Abbrechen".
QPushButton *okKnopf(const QString &text, QWidget *parent);
QPushButton *abbrechenKnopf(QWidget *parent);

// Gives a field the name of the label beside it, for a screen reader.
void beschrifte(QLabel *beschriftung, QWidget *feld);
// The name a screen reader reads for a control without a label; a combo
// box's list of choices gets the same.
void benenne(QWidget *feld, const QString &name);

// Shows an entry of the view whose text is cut off whole as its tooltip.
void volleTexteAlsTipp(QAbstractItemView *ansicht);

// Lets an edit field hold what a definition file can store: text of any
// length, and only characters of the code page; any other shows as "?" as
// soon as it is typed or pasted.
void nurWin1252(QLineEdit *feld);

} // namespace Fensterart
