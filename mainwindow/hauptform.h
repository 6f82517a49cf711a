// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "datei.h"
#include "einstellungen.h"
#include "objektliste.h"

#include <QMainWindow>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class Objektmodell;
class QAction;
class QFrame;
class QLabel;
class QListView;
class QMenu;
class QStatusBar;
class QToolButton;
class Rueckfragen;
class TFrmBild;
class TFrmHilfe;
class TFrmHintergrund;
class TFrmInfo;
class TFrmLink;
class TFrmTabelle;
class TFrmText;
class TFrmTitel;
class Objektdialog;

// The windows besides the main window, created once at start-up.
struct Fenster
{
    TFrmBild *FrmBild = nullptr;
    TFrmLink *FrmLink = nullptr;
    TFrmTabelle *FrmTabelle = nullptr;
    TFrmText *FrmText = nullptr;
    TFrmTitel *FrmTitel = nullptr;
    TFrmHilfe *FrmHilfe = nullptr;
    TFrmInfo *FrmInfo = nullptr;
    TFrmHintergrund *FrmHintergrund = nullptr;
};

// The main window: the tool strip, the object list, the status bar with the
// current file name, the menu, and every command on the document.
class TFrmMarkwerk : public QMainWindow
{
    Q_OBJECT

public:
    explicit TFrmMarkwerk(QWidget *parent = nullptr);
    ~TFrmMarkwerk() override;

    // Hands over the other windows; the title and background windows hold
    // the document settings from then on.
    void setzeFenster(const Fenster &fenster);
    // Puts another answerer in place of the real dialogs (for tests).
    void setzeRueckfragen(std::unique_ptr<Rueckfragen> rueckfragen);

    // Starts the document before the window first appears; with exactly one
    // argument, that definition file is loaded. The arguments are the
    // command line's bytes as they are: a file name need not be UTF-8.
    void FormShow(const std::vector<std::string> &argumente);
    void FormShow(const QStringList &argumente);

    // The document, for those who look at it from outside (tests, benchmarks).
    const Objektliste &Objekte() const;
    Dokumenteinstellungen &Einstellungen() const { return *m_einstellungen; }
    bool Geandert() const { return m_geandert; }
    QString Dateiname() const;
    Objektmodell *Modell() const { return m_modell; }

    // The file commands.
    void Neu();
    void Offnen();
    bool Speichern();
    bool Speichernals();
    void Generation();
    // The unsaved-changes prompt; false when the user wanted to save and
    // the save did not happen, so the caller must not go on.
    bool Vorherfragen();
    // Both return the state of the file as written or read.
    Dateistand Sichern(const std::string &dateiname);
    Dateistand Laden(const std::string &dateiname);

    // Editing the object list.
    void BtnBildClick();
    void BtnLinieClick();
    void BtnLinkClick();
    void BtnTabelleClick();
    void BtnTextClick();
    void Bearbeiten();
    void Loschen();
    void Aufwarts();
    void Abwarts();

    // Transfers between object i and its kind's dialog for the edit command.
    void BildZuDialog(int i);
    void DialogZuBild(int i);
    void LinkZuDialog(int i);
    void DialogZuLink(int i);
    void TabelleZuDialog(int i);
    void DialogZuTabelle(int i);
    void TextZuDialog(int i);
    void DialogZuText(int i);

    // The internal clipboard.
    void MnuKopierenClick();
    void MnuAusschneidenClick();
    void MnuEinfugenClick();

    // Settings, help and info.
    void MnuDokumenttitelClick();
    void MnuHintergrundbildClick();
    void MnuIndexClick();
    void MnuInfoClick();

    // The position of the selected row, -1 when none is selected.
    int ausgewaehlt() const;

    QFrame *const PnlButtons;
    QToolButton *const BtnNeu;
    QToolButton *const BtnOffnen;
    QToolButton *const BtnSpeichern;
    QToolButton *const BtnGenerieren;
    QToolButton *const BtnBild;
    QToolButton *const BtnLinie;
    QToolButton *const BtnLink;
    QToolButton *const BtnTabelle;
    QToolButton *const BtnText;
    QToolButton *const BtnLoschen;
    QToolButton *const BtnBearbeiten;
    QToolButton *const BtnRauf;
    QToolButton *const BtnRunter;
    QListView *const LstMarkwerk;
    QStatusBar *const PnlStatus;

    QMenu *MnuDatei = nullptr;
    QMenu *MnuBearbeiten = nullptr;
    QMenu *MnuEinstellungen = nullptr;
    QMenu *MnuHilfe = nullptr;
    QAction *MnuNeu = nullptr;
    QAction *MnuOffnen = nullptr;
    QAction *MnuSpeichern = nullptr;
    QAction *MnuSpeichernals = nullptr;
    QAction *MnuGenerieren = nullptr;
    QAction *MnuBeenden = nullptr;
    QAction *MnuKopieren = nullptr;
    QAction *MnuAusschneiden = nullptr;
    QAction *MnuEinfugen = nullptr;
    QAction *MnuObjektbearbeiten = nullptr;
    QAction *MnuLoschen = nullptr;
    QAction *MnuOben = nullptr;
    QAction *MnuUnten = nullptr;
    QAction *MnuDokumenttitel = nullptr;
    QAction *MnuHintergrundbild = nullptr;
    QAction *MnuIndex = nullptr;
    QAction *MnuInfo = nullptr;

    static const QString KeinDateiname;

protected:
    void closeEvent(QCloseEvent *ereignis) override;
    bool eventFilter(QObject *objekt, QEvent *ereignis) override;

private:
    QToolButton *werkzeugknopf(const QString &bild, const QString &hinweis, int x);
    void baueMenue();
    // Runs a command; an error it raises is shown in the error box.
    // Returns whether the command ran to its end.
    template<typename Befehl>
    bool sicher(Befehl &&befehl);
    void melde(const QString &text);
    // Rows stand in columns, all as wide as the widest caption; where those
    // columns together would pass the range of the view's coordinates, in
    // one column.
    void passeSpaltenAn();
    // The definition file the document now belongs to, as the file system
    // names it (empty: none), and the state it had when it was read or
    // written.
    void setzeDatei(const std::string &pfad, std::optional<Dateistand> stand);
    // Whether Save may write over the document's file: when another program
    // has changed it since, the user is asked first.
    bool darfUeberschreiben();
    // Rewrites the relative picture and background paths of a document
    // that moves from the folder `alt` to `neu` (file system bytes), then
    // runs `sichern`; when that fails, the paths are as they were. Returns
    // the paths that could not be rewritten.
    std::vector<std::string> ziehePfadeUm(const std::string &alt, const std::string &neu,
                                          const std::function<void()> &sichern);

    // Appends an object: a row at the end, and the document counts as changed.
    void anhaengen(Objekt objekt);
    // Shows an object dialog for a new object and appends what it returns.
    void einfuegen(Objektdialog *dialog, std::string_view art);
    void zuDialog(Objektdialog *dialog, int i);
    void dialogZu(const Objektdialog *dialog, int i);

    Objektmodell *const m_modell;
    QLabel *const m_dateiname;
    Fenster m_fenster;
    std::unique_ptr<Dokumenteinstellungen> m_einstellungen;
    std::unique_ptr<Rueckfragen> m_rueckfragen;
    bool m_geandert = false;
    // The document's definition file, empty while it has none.
    std::string m_pfad;
    std::optional<Dateistand> m_stand;

    // The internal clipboard: empty until the first copy or cut.
    bool m_ablageGefuellt = false;
    Objekt m_ablage;
};
