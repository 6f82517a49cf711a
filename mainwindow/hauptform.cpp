// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

#include "hauptform.h"

#include "bild.h"
#include "dateinamenfeld.h"
#include "dateiwahl.h"
#include "datei.h"
#include "definitionsdatei.h"
#include "doku.h"
#include "fehler.h"
#include "generation.h"
#include "hilfe.h"
#include "hintern.h"
#include "info.h"
#include "link.h"
#include "objektdialog.h"
#include "objektmodell.h"
#include "rueckfragen.h"
#include "tabelle.h"
#include "text.h"
#include "umzug.h"
#include "werkzeugknopf.h"
#include "win1252.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QListView>
#include <QMenuBar>
#include <QScrollBar>
#include <QStatusBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <filesystem>
#include <limits>

#include <sys/stat.h>

const QString TFrmMarkwerk::KeinDateiname = QStringLiteral("- Kein Dateiname -");

namespace {

std::string dateipfad(const QString &name)
{
    return QFile::encodeName(name).toStdString();
}

// The settings as the two settings windows hold them.
class Fenstereinstellungen : public Dokumenteinstellungen
{
public:
    Fenstereinstellungen(TFrmTitel *titel, TFrmHintergrund *hintergrund)
        : m_titel(titel)
        , m_hintergrund(hintergrund)
    {
    }
    std::string Titel() const override { return m_titel->Titel(); }
    void setzeTitel(const std::string &titel) override { m_titel->setzeTitel(titel); }
    bool HintergrundAktiv() const override { return m_hintergrund->HintergrundAktiv(); }
    void setzeHintergrundAktiv(bool aktiv) override { m_hintergrund->setzeHintergrundAktiv(aktiv); }
    std::string Hintergrundpfad() const override { return m_hintergrund->Hintergrundpfad(); }
    void wendeHintergrundpfadAn(const std::string &pfad) override { m_hintergrund->wendeHintergrundpfadAn(pfad); }

private:
    TFrmTitel *const m_titel;
    TFrmHintergrund *const m_hintergrund;
};

// Relative picture paths of a document start from its definition file's
// folder, as a browser takes them from the page's; without a file, from the
// working folder. Absolute, as the file system's bytes: the name a file was
// opened by, not what the status bar shows of it.
std::string ordnerVon(const std::string &dateiname)
{
    std::string pfad = dateiname;
    if (pfad.empty() || pfad.front() != '/') {
        std::error_code fehler;
        const std::filesystem::path hier = std::filesystem::current_path(fehler);
        if (fehler)
            throw EAFehler::ausErrno(fehler.value(), false);
        pfad = hier.native() + (pfad.empty() ? "" : "/" + pfad);
    }
    if (dateiname.empty())
        return pfad;
    const std::size_t schraeg = pfad.rfind('/');
    return schraeg == 0 ? std::string("/") : pfad.substr(0, schraeg);
}

// A folder as the kernel resolves it: a relative path's ".." leaves the
// folder a link leads to, not the one that holds the link.
std::string wirklicherOrdner(const std::string &ordner)
{
    return echterPfad(ordner).value_or(ordner);
}

QString bezugsordner(const std::string &dateiname)
{
    return QFile::decodeName(QByteArray::fromStdString(wirklicherOrdner(ordnerVon(dateiname))));
}

// A stored picture path (Windows-1252) as it must read from the folder
// `neu`; nothing when the new path cannot be stored in Windows-1252 (a
// folder name in another character set).
std::optional<std::string> umgezogen(const std::string &pfad, const std::string &alt, const std::string &neu)
{
    if (!Umzug::istRelativ(pfad))
        return pfad;
    const QByteArray name = QFile::encodeName(Win1252::zuText(pfad));
    const QByteArray ergebnis = QByteArray::fromStdString(Umzug::umgezogen(name.toStdString(), alt, neu));
    const QString text = QFile::decodeName(ergebnis);
    if (QFile::encodeName(text) != ergebnis || !Win1252::darstellbar(text))
        return std::nullopt;
    return Win1252::zuBytes(text);
}

// Whether a stored picture path names a file that is there although the
// pickers cannot show it: they name folders in Unicode, and a folder whose
// name is not UTF-8 (Latin-1 "B\xFCro" from an old disk) has no such name.
bool nurAlsBytesDa(const std::string &pfad, const std::string &ordner)
{
    if (QFile::encodeName(QFile::decodeName(QByteArray::fromStdString(ordner))).toStdString() == ordner)
        return false;
    std::string datei = QFile::encodeName(Win1252::zuText(pfad)).toStdString();
    if (Umzug::istRelativ(pfad))
        datei = ordner + "/" + datei;
    struct stat st;
    return ::stat(datei.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

} // namespace

TFrmMarkwerk::TFrmMarkwerk(QWidget *parent)
    : QMainWindow(parent)
    , PnlButtons(new QFrame)
    , BtnNeu(werkzeugknopf(QStringLiteral("neu"), QStringLiteral("Neu"), 8))
    , BtnOffnen(werkzeugknopf(QStringLiteral("offnen"), QStringLiteral("Öffnen"), 34))
    , BtnSpeichern(werkzeugknopf(QStringLiteral("speichern"), QStringLiteral("Speichern"), 60))
    , BtnGenerieren(werkzeugknopf(QStringLiteral("generieren"), QStringLiteral("Generieren"), 96))
    , BtnBild(werkzeugknopf(QStringLiteral("bild"), QStringLiteral("Bild"), 133))
    , BtnLinie(werkzeugknopf(QStringLiteral("linie"), QStringLiteral("Linie"), 159))
    , BtnLink(werkzeugknopf(QStringLiteral("link"), QStringLiteral("Link"), 185))
    , BtnTabelle(werkzeugknopf(QStringLiteral("tabelle"), QStringLiteral("Tabelle"), 211))
    , BtnText(werkzeugknopf(QStringLiteral("text"), QStringLiteral("Text"), 237))
    , BtnLoschen(werkzeugknopf(QStringLiteral("loschen"), QStringLiteral("Entfernen"), 272))
    , BtnBearbeiten(werkzeugknopf(QStringLiteral("bearbeiten"), QStringLiteral("Bearbeiten"), 298))
    , BtnRauf(werkzeugknopf(QStringLiteral("rauf"), QStringLiteral("Aufwärts"), 336))
    , BtnRunter(werkzeugknopf(QStringLiteral("runter"), QStringLiteral("Abwärts"), 362))
    , LstMarkwerk(new QListView)
    , PnlStatus(new QStatusBar)
    , m_modell(new Objektmodell(this))
    , m_dateiname(new Dateinamenfeld(KeinDateiname))
    , m_einstellungen(std::make_unique<Speichereinstellungen>())
    , m_rueckfragen(std::make_unique<Dialogrueckfragen>())
{
    setWindowTitle(QStringLiteral("Markwerk"));

    PnlButtons->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    PnlButtons->setFixedHeight(41);

    LstMarkwerk->setModel(m_modell);
    LstMarkwerk->setAccessibleName(QStringLiteral("Objekte"));
    // A view given the focus after a reset makes the first row current
    // without selecting it, and the first Down then selects the second.
    connect(m_modell, &QAbstractItemModel::modelReset, LstMarkwerk,
            [this] { LstMarkwerk->setCurrentIndex(QModelIndex()); });
    LstMarkwerk->setViewMode(QListView::ListMode);
    LstMarkwerk->setIconSize(QSize(16, 16));
    LstMarkwerk->setFlow(QListView::TopToBottom);
    LstMarkwerk->setWrapping(true);
    LstMarkwerk->setResizeMode(QListView::Adjust);
    // One size for every row, wide enough for the widest caption: the view
    // then lays out 100,000 rows in a few milliseconds, in one pass after
    // every change, instead of measuring each caption each time.
    LstMarkwerk->setItemDelegate(new Objektdelegat(LstMarkwerk));
    LstMarkwerk->setUniformItemSizes(true);
    LstMarkwerk->setLayoutMode(QListView::SinglePass);
    LstMarkwerk->setWordWrap(false);
    LstMarkwerk->setTextElideMode(Qt::ElideNone);
    // A caption wider than the list can be read to its end, also with the
    // scroll bar's arrows: the view would make their step a whole column.
    LstMarkwerk->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    LstMarkwerk->horizontalScrollBar()->setSingleStep(3 * LstMarkwerk->fontMetrics().averageCharWidth());
    LstMarkwerk->setEditTriggers(QAbstractItemView::NoEditTriggers);
    LstMarkwerk->setSelectionMode(QAbstractItemView::SingleSelection);
    LstMarkwerk->setSelectionBehavior(QAbstractItemView::SelectRows);
    // The selection is not shown while the list lacks the focus.
    QPalette farben = LstMarkwerk->palette();
    farben.setColor(QPalette::Inactive, QPalette::Highlight, farben.color(QPalette::Active, QPalette::Base));
    farben.setColor(QPalette::Inactive, QPalette::HighlightedText, farben.color(QPalette::Active, QPalette::Text));
    LstMarkwerk->setPalette(farben);
    for (const auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
        connect(m_modell, signal, this, &TFrmMarkwerk::passeSpaltenAn);
    connect(m_modell, &QAbstractItemModel::modelReset, this, &TFrmMarkwerk::passeSpaltenAn);
    connect(m_modell, &QAbstractItemModel::dataChanged, this, &TFrmMarkwerk::passeSpaltenAn);
    LstMarkwerk->viewport()->installEventFilter(this);

    auto *mitte = new QWidget;
    auto *spalte = new QVBoxLayout(mitte);
    spalte->setContentsMargins(0, 0, 0, 0);
    spalte->setSpacing(0);
    spalte->addWidget(PnlButtons);
    spalte->addWidget(LstMarkwerk, 1);
    setCentralWidget(mitte);

    PnlStatus->setSizeGripEnabled(true);
    PnlStatus->setAccessibleName(QStringLiteral("Dateiname"));
    PnlStatus->setFixedHeight(25);
    PnlStatus->addWidget(m_dateiname, 1);
    setStatusBar(PnlStatus);

    baueMenue();

    // Tab walks the strip from left to right, then into the list below it;
    // the window still opens with the focus in the list, as the arrow keys
    // and Del expect.
    const QList<QWidget *> reihe{BtnNeu, BtnOffnen, BtnSpeichern, BtnGenerieren, BtnBild,
                                 BtnLinie, BtnLink, BtnTabelle, BtnText, BtnLoschen,
                                 BtnBearbeiten, BtnRauf, BtnRunter, LstMarkwerk};
    for (qsizetype i = 0; i + 1 < reihe.size(); ++i)
        setTabOrder(reihe[i], reihe[i + 1]);
    LstMarkwerk->setFocus();

    const auto knopf = [this](QToolButton *b, void (TFrmMarkwerk::*befehl)()) {
        connect(b, &QToolButton::clicked, this, [this, befehl] { sicher([&] { (this->*befehl)(); }); });
    };
    knopf(BtnNeu, &TFrmMarkwerk::Neu);
    knopf(BtnOffnen, &TFrmMarkwerk::Offnen);
    connect(BtnSpeichern, &QToolButton::clicked, this, [this] { sicher([&] { Speichern(); }); });
    knopf(BtnGenerieren, &TFrmMarkwerk::Generation);
    knopf(BtnBild, &TFrmMarkwerk::BtnBildClick);
    knopf(BtnLinie, &TFrmMarkwerk::BtnLinieClick);
    knopf(BtnLink, &TFrmMarkwerk::BtnLinkClick);
    knopf(BtnTabelle, &TFrmMarkwerk::BtnTabelleClick);
    knopf(BtnText, &TFrmMarkwerk::BtnTextClick);
    knopf(BtnLoschen, &TFrmMarkwerk::Loschen);
    knopf(BtnBearbeiten, &TFrmMarkwerk::Bearbeiten);
    knopf(BtnRauf, &TFrmMarkwerk::Aufwarts);
    knopf(BtnRunter, &TFrmMarkwerk::Abwarts);

    // The client area (strip, list and status bar) is 449 x 389 pixels.
    move(116, 28);
    resize(449, 389 + menuBar()->sizeHint().height());
}

TFrmMarkwerk::~TFrmMarkwerk() = default;

QToolButton *TFrmMarkwerk::werkzeugknopf(const QString &bild, const QString &hinweis, int x)
{
    auto *knopf = new Werkzeugknopf(PnlButtons);
    knopf->setIcon(QIcon(QStringLiteral(":/bilder/%1.svg").arg(bild)));
    knopf->setIconSize(QSize(21, 21));
    knopf->setToolTip(hinweis);
    knopf->setAccessibleName(hinweis);
    knopf->setGeometry(x, 8, 25, 25);
    return knopf;
}

void TFrmMarkwerk::baueMenue()
{
    const auto eintrag = [this](QMenu *menue, const QString &text, void (TFrmMarkwerk::*befehl)(),
                                QKeySequence kurz = {}) {
        QAction *a = menue->addAction(text);
        a->setShortcut(kurz);
        connect(a, &QAction::triggered, this, [this, befehl] { sicher([&] { (this->*befehl)(); }); });
        return a;
    };

    MnuDatei = menuBar()->addMenu(QStringLiteral("&Datei"));
    MnuNeu = eintrag(MnuDatei, QStringLiteral("Neu"), &TFrmMarkwerk::Neu, QKeySequence(Qt::CTRL | Qt::Key_N));
    MnuOffnen = eintrag(MnuDatei, QStringLiteral("Öffnen"), &TFrmMarkwerk::Offnen, QKeySequence(Qt::CTRL | Qt::Key_O));
    MnuSpeichern = MnuDatei->addAction(QStringLiteral("Speichern"));
    MnuSpeichern->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    connect(MnuSpeichern, &QAction::triggered, this, [this] { sicher([&] { Speichern(); }); });
    MnuSpeichernals = MnuDatei->addAction(QStringLiteral("Speichern als"));
    connect(MnuSpeichernals, &QAction::triggered, this, [this] { sicher([&] { Speichernals(); }); });
    MnuDatei->addSeparator();
    MnuGenerieren = eintrag(MnuDatei, QStringLiteral("HTML - Datei generieren"), &TFrmMarkwerk::Generation);
    MnuDatei->addSeparator();
    MnuBeenden = MnuDatei->addAction(QStringLiteral("Beenden"));
    connect(MnuBeenden, &QAction::triggered, this, &QWidget::close);

    MnuBearbeiten = menuBar()->addMenu(QStringLiteral("&Bearbeiten"));
    MnuKopieren = eintrag(MnuBearbeiten, QStringLiteral("Kopieren"), &TFrmMarkwerk::MnuKopierenClick,
                          QKeySequence(Qt::CTRL | Qt::Key_C));
    MnuAusschneiden = eintrag(MnuBearbeiten, QStringLiteral("Ausschneiden"), &TFrmMarkwerk::MnuAusschneidenClick,
                              QKeySequence(Qt::CTRL | Qt::Key_X));
    MnuEinfugen = eintrag(MnuBearbeiten, QStringLiteral("Einfügen"), &TFrmMarkwerk::MnuEinfugenClick,
                          QKeySequence(Qt::CTRL | Qt::Key_V));
    MnuBearbeiten->addSeparator();
    MnuObjektbearbeiten = eintrag(MnuBearbeiten, QStringLiteral("Objekt bearbeiten"), &TFrmMarkwerk::Bearbeiten);
    MnuLoschen = eintrag(MnuBearbeiten, QStringLiteral("Löschen"), &TFrmMarkwerk::Loschen, QKeySequence(Qt::Key_Delete));
    MnuBearbeiten->addSeparator();
    MnuOben = eintrag(MnuBearbeiten, QStringLiteral("Nach oben verschieben"), &TFrmMarkwerk::Aufwarts);
    MnuUnten = eintrag(MnuBearbeiten, QStringLiteral("Nach unten verschieben"), &TFrmMarkwerk::Abwarts);

    MnuEinstellungen = menuBar()->addMenu(QStringLiteral("&Einstellungen"));
    MnuDokumenttitel = eintrag(MnuEinstellungen, QStringLiteral("Dokumenttitel"), &TFrmMarkwerk::MnuDokumenttitelClick);
    MnuHintergrundbild =
        eintrag(MnuEinstellungen, QStringLiteral("Hintergrundbild"), &TFrmMarkwerk::MnuHintergrundbildClick);

    MnuHilfe = menuBar()->addMenu(QStringLiteral("&Hilfe"));
    MnuIndex = eintrag(MnuHilfe, QStringLiteral("Index"), &TFrmMarkwerk::MnuIndexClick, QKeySequence(Qt::Key_F1));
    MnuHilfe->addSeparator();
    MnuInfo = eintrag(MnuHilfe, QStringLiteral("Info"), &TFrmMarkwerk::MnuInfoClick);
}

void TFrmMarkwerk::setzeFenster(const Fenster &fenster)
{
    m_fenster = fenster;
    if (fenster.FrmTitel && fenster.FrmHintergrund)
        m_einstellungen = std::make_unique<Fenstereinstellungen>(fenster.FrmTitel, fenster.FrmHintergrund);
}

void TFrmMarkwerk::setzeRueckfragen(std::unique_ptr<Rueckfragen> rueckfragen)
{
    m_rueckfragen = std::move(rueckfragen);
}

template<typename Befehl>
bool TFrmMarkwerk::sicher(Befehl &&befehl)
{
    return Fensterart::ohneAusnahme(befehl, [this](const QString &text) { m_rueckfragen->fehler(this, text); });
}

void TFrmMarkwerk::melde(const QString &text)
{
    m_rueckfragen->fehler(this, QString::fromStdString(mitPunkt(text.toStdString())));
}

const Objektliste &TFrmMarkwerk::Objekte() const
{
    return m_modell->liste();
}

QString TFrmMarkwerk::Dateiname() const
{
    return m_dateiname->text();
}

void TFrmMarkwerk::setzeDatei(const std::string &pfad, std::optional<Dateistand> stand)
{
    m_pfad = pfad;
    m_stand = stand;
    m_dateiname->setText(pfad.empty() ? KeinDateiname : QFile::decodeName(QByteArray::fromStdString(pfad)));
}

void TFrmMarkwerk::FormShow(const std::vector<std::string> &argumente)
{
    m_modell->leeren();
    m_ablageGefuellt = false;
    m_ablage = {};
    m_geandert = false;
    if (argumente.size() != 1)
        return;
    // An error here is shown before the window appears; the window then
    // opens with the empty document.
    sicher([&] { setzeDatei(argumente.front(), Laden(argumente.front())); });
}

void TFrmMarkwerk::FormShow(const QStringList &argumente)
{
    std::vector<std::string> bytes;
    for (const QString &a : argumente)
        bytes.push_back(dateipfad(a));
    FormShow(bytes);
}

// ------------------------------------------------------------ file commands

bool TFrmMarkwerk::Vorherfragen()
{
    if (!m_geandert)
        return true;
    if (!m_rueckfragen->aenderungenSpeichern(this))
        return true;
    // The user wants the changes kept: without a save nothing may go on.
    return Speichern();
}

void TFrmMarkwerk::Neu()
{
    if (!Vorherfragen())
        return;
    m_modell->leeren();
    setzeDatei({}, std::nullopt);
    m_einstellungen->setzeTitel({});
    m_einstellungen->setzeHintergrundAktiv(false);
    // The picker keeps its file; a path kept as the old document stored it
    // would name another file for the new one.
    if (m_fenster.FrmHintergrund)
        m_fenster.FrmHintergrund->Wahl->vergiss();
    m_geandert = false;
}

void TFrmMarkwerk::Offnen()
{
    if (!Vorherfragen())
        return;
    const std::optional<QString> datei = m_rueckfragen->dateiOffnen(this);
    if (!datei)
        return;
    const std::string pfad = dateipfad(*datei);
    setzeDatei(pfad, Laden(pfad));
    m_geandert = false;
}

bool TFrmMarkwerk::darfUeberschreiben()
{
    // Only a file that is there and is another one than this window read or
    // wrote last: a file that has gone is simply written again, and a folder
    // or a pipe in its place fails the save with its own message.
    const std::optional<Dateistand> jetzt = dateistand(m_pfad);
    if (!m_stand || !jetzt || *jetzt == *m_stand)
        return true;
    return m_rueckfragen->trotzdemSpeichern(this, Dateiname());
}

bool TFrmMarkwerk::Speichern()
{
    if (m_pfad.empty())
        return Speichernals();
    if (!darfUeberschreiben())
        return false;
    m_stand = Sichern(m_pfad);
    m_geandert = false;
    return true;
}

bool TFrmMarkwerk::Speichernals()
{
    const std::optional<QString> datei = m_rueckfragen->dateiSpeichern(this);
    if (!datei)
        return false;
    const std::string pfad = dateipfad(*datei);
    const std::string alt = ordnerVon(m_pfad);
    const std::string neu = ordnerVon(pfad);
    if (Umzug::gleicherOrdner(alt, neu) || dieselbeDatei(alt, neu)) {
        setzeDatei(pfad, Sichern(pfad));
    } else {
        const std::vector<std::string> unverstellbar =
            ziehePfadeUm(wirklicherOrdner(alt), wirklicherOrdner(neu), [&] { setzeDatei(pfad, Sichern(pfad)); });
        if (!unverstellbar.empty())
            melde(QStringLiteral("Der Pfad „%1“ nennt vom neuen Ordner aus keine Datei mehr: der Weg dorthin enthält "
                                 "Zeichen, die eine Definitionsdatei nicht speichern kann")
                      .arg(Win1252::zuText(unverstellbar.front())));
    }
    m_geandert = false;
    return true;
}

std::vector<std::string> TFrmMarkwerk::ziehePfadeUm(const std::string &alt, const std::string &neu,
                                                    const std::function<void()> &sichern)
{
    // Rewritten before the save, which writes them; taken back when it fails,
    // since the document then stays where it was.
    std::vector<std::pair<int, std::string>> vorher;
    std::vector<std::string> unverstellbar;
    const Objektliste &liste = m_modell->liste();
    for (int i = 0; i < liste.Anzahl(); ++i) {
        const Objekt &o = liste[i];
        if (o.Art != Arten::Bild)
            continue;
        const std::string daten = o.Daten.str();
        const std::optional<std::string> jetzt = umgezogen(daten, alt, neu);
        if (!jetzt) {
            unverstellbar.push_back(daten);
        } else if (*jetzt != daten) {
            vorher.emplace_back(i, daten);
            m_modell->setzen(i, o.Beschreibung.str(), *jetzt);
        }
    }
    // The picker's own value is always absolute; a relative path is the one
    // the document stored, kept as it was.
    Dateiwahl *hintergrund = m_fenster.FrmHintergrund ? m_fenster.FrmHintergrund->Wahl : nullptr;
    const QString hintergrundVorher = hintergrund ? hintergrund->ergebnis() : QString();
    const bool hintergrundRelativ = Umzug::istRelativ(Win1252::zuBytes(hintergrundVorher));
    if (hintergrundRelativ) {
        const std::optional<std::string> jetzt = umgezogen(Win1252::zuBytes(hintergrundVorher), alt, neu);
        if (jetzt)
            hintergrund->behalte(Win1252::zuText(*jetzt));
        else
            unverstellbar.push_back(Win1252::zuBytes(hintergrundVorher));
    }
    try {
        sichern();
    } catch (...) {
        for (const auto &[i, daten] : vorher)
            m_modell->setzen(i, m_modell->liste()[i].Beschreibung.str(), daten);
        if (hintergrundRelativ)
            hintergrund->behalte(hintergrundVorher);
        throw;
    }
    if (hintergrund)
        hintergrund->setzeBezugsordner(bezugsordner(m_pfad));
    return unverstellbar;
}

void TFrmMarkwerk::Generation()
{
    const std::optional<QString> datei = m_rueckfragen->dateiGenerieren(this);
    if (!datei)
        return;
    const std::string seite = dateipfad(*datei);
    // The page would take the place of the document's own file, which then
    // is lost as soon as the window closes: generating never marks the
    // document changed.
    if (!m_pfad.empty() && dieselbeDatei(seite, m_pfad))
        throw Fehler(QStringLiteral("Die Seite kann nicht in die Datei „%1“ geschrieben werden: sie ist die "
                                    "Definitionsdatei des geöffneten Dokuments")
                         .arg(*datei)
                         .toStdString());
    Generieren(seite, *m_einstellungen, m_modell->liste());
}

Dateistand TFrmMarkwerk::Sichern(const std::string &dateiname)
{
    return ::Sichern(dateiname, *m_einstellungen, m_modell->liste());
}

Dateistand TFrmMarkwerk::Laden(const std::string &dateiname)
{
    // The whole file is read before anything changes; a file that cannot be
    // read, or holds a text too long to be shown, leaves the document as it
    // was.
    Dateistand stand;
    Definition definition = LeseDefinition(dateiname, &stand, Fenstergrenzen);
    if (m_fenster.FrmHintergrund) {
        m_fenster.FrmHintergrund->Wahl->setzeBezugsordner(bezugsordner(dateiname));
        // Only this document's own path is kept as it was stored.
        m_fenster.FrmHintergrund->Wahl->vergiss();
    }
    std::optional<QString> hintergrundfehler;
    try {
        uebernehmeEinstellungen(definition, *m_einstellungen);
    } catch (const Fehler &f) {
        // A background picture that has gone does not keep the document shut;
        // one the picker cannot show is kept without a word.
        if (!nurAlsBytesDa(definition.Hintergrundpfad, ordnerVon(dateiname)))
            hintergrundfehler = QString::fromUtf8(f.what());
    }
    m_modell->ersetzen(std::move(definition.Objekte));
    if (hintergrundfehler)
        melde(*hintergrundfehler);
    return stand;
}

bool TFrmMarkwerk::eventFilter(QObject *objekt, QEvent *ereignis)
{
    if (objekt == LstMarkwerk->viewport() && ereignis->type() == QEvent::Resize)
        passeSpaltenAn();
    return QMainWindow::eventFilter(objekt, ereignis);
}

void TFrmMarkwerk::passeSpaltenAn()
{
    if (m_modell->rowCount() == 0) {
        LstMarkwerk->setWrapping(true);
        return;
    }
    // The view adds up the columns' widths in int; with 100,000 rows and
    // one caption of 100,000 characters they would pass it, and the view
    // would lose its horizontal scroll bar and most of its rows. In columns
    // it also takes a row as at most 32,767 pixels wide when it repaints a
    // selection. One column of any width, and rows as many as there are,
    // stays far within both.
    const QSize zeile = LstMarkwerk->sizeHintForIndex(m_modell->index(0));
    const qint64 proSpalte = std::max(1, LstMarkwerk->viewport()->height() / std::max(1, zeile.height()));
    const qint64 spalten = (m_modell->rowCount() + proSpalte - 1) / proSpalte;
    const bool passt = zeile.width() < std::numeric_limits<qint16>::max()
                       && spalten * (qint64(zeile.width()) + 2 * LstMarkwerk->spacing() + 1)
                              < std::numeric_limits<int>::max() / 4;
    if (LstMarkwerk->isWrapping() != passt)
        LstMarkwerk->setWrapping(passt);
}

void TFrmMarkwerk::closeEvent(QCloseEvent *ereignis)
{
    bool weiter = false;
    if (!sicher([&] { weiter = Vorherfragen(); }) || !weiter) {
        ereignis->ignore();
        return;
    }
    ereignis->accept();
}

// ------------------------------------------------------------ object list

int TFrmMarkwerk::ausgewaehlt() const
{
    int erste = -1;
    for (const QModelIndex &zeile : LstMarkwerk->selectionModel()->selectedIndexes()) {
        if (erste < 0 || zeile.row() < erste)
            erste = zeile.row();
    }
    return erste;
}

void TFrmMarkwerk::anhaengen(Objekt objekt)
{
    m_modell->anhaengen(std::move(objekt));
    m_geandert = true;
}

void TFrmMarkwerk::einfuegen(Objektdialog *dialog, std::string_view art)
{
    dialog->fuerEinfuegen();
    dialog->zeigeModal();
    const Dialogergebnis &e = dialog->Ergebnis();
    if (e.Ok)
        anhaengen({std::string(art), e.Beschreibung, e.Daten});
}

void TFrmMarkwerk::BtnBildClick()
{
    einfuegen(m_fenster.FrmBild, Arten::Bild);
}

void TFrmMarkwerk::BtnLinieClick()
{
    anhaengen({std::string(Arten::Linie), std::string(Arten::Linie), std::string(Arten::Linie)});
}

void TFrmMarkwerk::BtnLinkClick()
{
    einfuegen(m_fenster.FrmLink, Arten::Link);
}

void TFrmMarkwerk::BtnTabelleClick()
{
    einfuegen(m_fenster.FrmTabelle, Arten::Tabelle);
}

void TFrmMarkwerk::BtnTextClick()
{
    einfuegen(m_fenster.FrmText, Arten::Text);
}

void TFrmMarkwerk::zuDialog(Objektdialog *dialog, int i)
{
    const Objekt &o = m_modell->liste()[i];
    dialog->fuellen(o.Beschreibung.str(), o.Daten.str());
}

void TFrmMarkwerk::dialogZu(const Objektdialog *dialog, int i)
{
    m_modell->setzen(i, dialog->Ergebnis().Beschreibung, dialog->Ergebnis().Daten);
}

void TFrmMarkwerk::BildZuDialog(int i)
{
    m_fenster.FrmBild->Wahl->setzeBezugsordner(bezugsordner(m_pfad));
    try {
        zuDialog(m_fenster.FrmBild, i);
    } catch (const Fehler &) {
        // The file is there, in a folder the picker cannot show: the object
        // keeps its path unless the user picks another file.
        const std::string daten = m_modell->liste()[i].Daten.str();
        if (!nurAlsBytesDa(daten, ordnerVon(m_pfad)))
            throw;
        m_fenster.FrmBild->Wahl->keineAuswahl();
        m_fenster.FrmBild->Wahl->behalte(Win1252::zuText(daten));
    }
}

void TFrmMarkwerk::DialogZuBild(int i) { dialogZu(m_fenster.FrmBild, i); }
void TFrmMarkwerk::LinkZuDialog(int i) { zuDialog(m_fenster.FrmLink, i); }
void TFrmMarkwerk::DialogZuLink(int i) { dialogZu(m_fenster.FrmLink, i); }
void TFrmMarkwerk::TabelleZuDialog(int i) { zuDialog(m_fenster.FrmTabelle, i); }
void TFrmMarkwerk::DialogZuTabelle(int i) { dialogZu(m_fenster.FrmTabelle, i); }
void TFrmMarkwerk::TextZuDialog(int i) { zuDialog(m_fenster.FrmText, i); }
void TFrmMarkwerk::DialogZuText(int i) { dialogZu(m_fenster.FrmText, i); }

void TFrmMarkwerk::Bearbeiten()
{
    const int i = ausgewaehlt();
    if (i < 0)
        return;
    struct Weg
    {
        std::string_view art;
        Objektdialog *dialog;
        void (TFrmMarkwerk::*hin)(int);
        void (TFrmMarkwerk::*zurueck)(int);
    };
    const Weg wege[] = {
        {Arten::Bild, m_fenster.FrmBild, &TFrmMarkwerk::BildZuDialog, &TFrmMarkwerk::DialogZuBild},
        {Arten::Link, m_fenster.FrmLink, &TFrmMarkwerk::LinkZuDialog, &TFrmMarkwerk::DialogZuLink},
        {Arten::Tabelle, m_fenster.FrmTabelle, &TFrmMarkwerk::TabelleZuDialog, &TFrmMarkwerk::DialogZuTabelle},
        {Arten::Text, m_fenster.FrmText, &TFrmMarkwerk::TextZuDialog, &TFrmMarkwerk::DialogZuText},
    };
    for (const Weg &weg : wege) {
        if (m_modell->liste()[i].Art != weg.art)
            continue;
        (this->*weg.hin)(i);
        weg.dialog->zeigeModal();
        if (weg.dialog->Ergebnis().Ok) {
            (this->*weg.zurueck)(i);
            m_geandert = true;
        }
        return;
    }
}

void TFrmMarkwerk::Loschen()
{
    const int i = ausgewaehlt();
    if (i < 0)
        return;
    m_modell->loschen(i);
    m_geandert = true;
}

void TFrmMarkwerk::Aufwarts()
{
    const int i = ausgewaehlt();
    if (i <= 0)
        return;
    // The selection stays on the row position, so a second move undoes the first.
    m_modell->tauschen(i, i - 1);
    m_geandert = true;
}

void TFrmMarkwerk::Abwarts()
{
    const int i = ausgewaehlt();
    if (i < 0 || i >= m_modell->rowCount() - 1)
        return;
    m_modell->tauschen(i, i + 1);
    m_geandert = true;
}

// ------------------------------------------------------------ clipboard

void TFrmMarkwerk::MnuKopierenClick()
{
    const int i = ausgewaehlt();
    if (i < 0)
        return;
    m_ablage = m_modell->liste()[i];
    m_ablageGefuellt = true;
}

void TFrmMarkwerk::MnuAusschneidenClick()
{
    const int i = ausgewaehlt();
    if (i < 0)
        return;
    MnuKopierenClick();
    Loschen();
}

void TFrmMarkwerk::MnuEinfugenClick()
{
    // Any object once copied or cut can be pasted, also one with an empty
    // description or data.
    if (!m_ablageGefuellt)
        return;
    anhaengen(m_ablage);
}

// ------------------------------------------------------------ other windows

void TFrmMarkwerk::MnuDokumenttitelClick()
{
    if (m_fenster.FrmTitel)
        m_fenster.FrmTitel->exec();
}

void TFrmMarkwerk::MnuHintergrundbildClick()
{
    if (m_fenster.FrmHintergrund)
        m_fenster.FrmHintergrund->exec();
}

void TFrmMarkwerk::MnuIndexClick()
{
    if (!m_fenster.FrmHilfe)
        return;
    m_fenster.FrmHilfe->show();
    m_fenster.FrmHilfe->raise();
    m_fenster.FrmHilfe->activateWindow();
}

void TFrmMarkwerk::MnuInfoClick()
{
    if (m_fenster.FrmInfo)
        m_fenster.FrmInfo->exec();
}
