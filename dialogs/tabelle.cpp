// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tabelle.h"

#include "aufabknopf.h"
#include "fehler.h"
#include "tabellendaten.h"
#include "win1252.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableWidget>

namespace {

// More cells than this a grid of items cannot hold in reasonable time and
// memory (3000 x 3000 took 15 s and 2.4 GB); only a damaged file has them,
// as the controls stop at 20 x 20.
constexpr long long HoechstensZellen = 100000;
// A cell shows at most this many characters: a cell of a megabyte would
// take seconds to draw, each time, and its beginning fills the cell.
constexpr qsizetype HoechstensGezeigt = 1000;

// The cells take only characters a definition file can store, like every
// other field of the program.
class Zellendelegat : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        if (option->text.size() > HoechstensGezeigt)
            option->text = option->text.left(HoechstensGezeigt) + QChar(0x2026);
    }

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QWidget *editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto *feld = qobject_cast<QLineEdit *>(editor))
            Fensterart::nurWin1252(feld);
        return editor;
    }
};

// The grid. Tab goes from cell to cell, row after row, and after the last
// cell on to the next control instead of round to the first cell, so the
// keyboard can leave it; Shift+Tab likewise backwards.
class Gitter : public QTableWidget
{
public:
    using QTableWidget::QTableWidget;

protected:
    QModelIndex moveCursor(CursorAction wohin, Qt::KeyboardModifiers tasten) override
    {
        const QModelIndex jetzt = currentIndex();
        if (wohin == MoveNext && jetzt.row() == rowCount() - 1 && jetzt.column() == columnCount() - 1)
            return {};
        if (wohin == MovePrevious && jetzt.row() == 0 && jetzt.column() == 0)
            return {};
        return QTableWidget::moveCursor(wohin, tasten);
    }
};

QString zeilenText(const QString &anzahl)
{
    return QStringLiteral("Zeilen: ") + anzahl;
}

QString spaltenText(const QString &anzahl)
{
    return QStringLiteral("Spalten: ") + anzahl;
}

// The text of field `nummer` (0 or 1) of table data, as stored.
QString zahlfeld(std::string_view daten, int nummer)
{
    std::size_t anfang = 0;
    for (int i = 0; i < nummer; ++i)
        anfang = daten.find(Trennzeichen, anfang) + 1;
    return Win1252::zuText(daten.substr(anfang, daten.find(Trennzeichen, anfang) - anfang));
}

} // namespace

TFrmTabelle::TFrmTabelle(QWidget *parent)
    : Objektdialog(parent)
    , LblBeschreibung(new QLabel(QStringLiteral("Beschreibung:"), this))
    , EdtBeschreibung(new QLineEdit(this))
    , GrdTabelle(new Gitter(6, 4, this))
    , LblZeilen(new QLabel(zeilenText(QStringLiteral("6")), this))
    , BtnZeilen(new AufAbKnopf(Qt::Vertical, 2, 20, 6, this))
    , LblSpalten(new QLabel(spaltenText(QStringLiteral("4")), this))
    , BtnSpalten(new AufAbKnopf(Qt::Horizontal, 2, 20, 4, this))
{
    setWindowTitle(QStringLiteral("Tabelle einfügen"));
    Fensterart::dialograhmen(this, 425, 225);

    LblBeschreibung->setGeometry(8, 8, 81, 17);
    LblBeschreibung->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    EdtBeschreibung->setGeometry(96, 8, 321, 21);
    Fensterart::nurWin1252(EdtBeschreibung);
    Fensterart::beschrifte(LblBeschreibung, EdtBeschreibung);
    Fensterart::benenne(GrdTabelle, QStringLiteral("Zellen"));

    GrdTabelle->setGeometry(8, 40, 281, 177);
    GrdTabelle->horizontalHeader()->hide();
    GrdTabelle->verticalHeader()->hide();
    GrdTabelle->horizontalHeader()->setDefaultSectionSize(64);
    GrdTabelle->verticalHeader()->setDefaultSectionSize(24);
    GrdTabelle->setShowGrid(true);
    GrdTabelle->setSelectionMode(QAbstractItemView::ContiguousSelection);
    GrdTabelle->setSelectionBehavior(QAbstractItemView::SelectItems);
    GrdTabelle->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                                | QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked);
    GrdTabelle->setTabKeyNavigation(true);
    GrdTabelle->setWordWrap(false);
    GrdTabelle->setItemDelegate(new Zellendelegat(GrdTabelle));
    Fensterart::volleTexteAlsTipp(GrdTabelle);

    BtnOk->setGeometry(296, 40, 121, 33);
    BtnAbbrechen->setGeometry(296, 80, 121, 33);

    LblZeilen->setGeometry(296, 160, 89, 25);
    LblZeilen->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    BtnZeilen->setGeometry(392, 160, 25, 25);
    LblSpalten->setGeometry(296, 192, 89, 25);
    LblSpalten->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    BtnSpalten->setGeometry(392, 192, 25, 25);

    setTabOrder(EdtBeschreibung, GrdTabelle);
    setTabOrder(GrdTabelle, BtnOk);
    setTabOrder(BtnOk, BtnAbbrechen);
    setTabOrder(BtnAbbrechen, BtnZeilen);
    setTabOrder(BtnZeilen, BtnSpalten);
    setzeStartfeld(EdtBeschreibung);

    BtnZeilen->benenne(QStringLiteral("Zeilen"), QStringLiteral("Eine Zeile mehr"), QStringLiteral("Eine Zeile weniger"));
    BtnSpalten->benenne(QStringLiteral("Spalten"), QStringLiteral("Eine Spalte mehr"),
                        QStringLiteral("Eine Spalte weniger"));

    connect(BtnZeilen, &AufAbKnopf::geklickt, this, &TFrmTabelle::BtnZeilenClick);
    connect(BtnSpalten, &AufAbKnopf::geklickt, this, &TFrmTabelle::BtnSpaltenClick);

    Fensterart::zentriereAufBildschirm(this);
}

void TFrmTabelle::setzeZeilen(int anzahl, const QString &anzeige)
{
    LblZeilen->setText(zeilenText(anzeige));
    GrdTabelle->setRowCount(anzahl);
}

void TFrmTabelle::setzeSpalten(int anzahl, const QString &anzeige)
{
    LblSpalten->setText(spaltenText(anzeige));
    GrdTabelle->setColumnCount(anzahl);
}

void TFrmTabelle::BtnZeilenClick()
{
    setzeZeilen(BtnZeilen->Position(), QString::number(BtnZeilen->Position()));
}

void TFrmTabelle::BtnSpaltenClick()
{
    setzeSpalten(BtnSpalten->Position(), QString::number(BtnSpalten->Position()));
}

void TFrmTabelle::beendeZellbearbeitung()
{
    // Leaving the current cell commits and closes its editor, wherever the
    // focus is; the selection stays as it is.
    QItemSelectionModel *auswahl = GrdTabelle->selectionModel();
    const QModelIndex aktuell = auswahl->currentIndex();
    auswahl->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
    auswahl->setCurrentIndex(aktuell, QItemSelectionModel::NoUpdate);
}

void TFrmTabelle::fuerEinfuegen()
{
    beendeZellbearbeitung();
    // After the edit of a damaged table the grid may have a size the
    // controls cannot show; a new table starts from theirs.
    if (GrdTabelle->rowCount() != BtnZeilen->Position())
        setzeZeilen(BtnZeilen->Position(), QString::number(BtnZeilen->Position()));
    if (GrdTabelle->columnCount() != BtnSpalten->Position())
        setzeSpalten(BtnSpalten->Position(), QString::number(BtnSpalten->Position()));
    EdtBeschreibung->clear();
    GrdTabelle->clearContents();
    GrdTabelle->setCurrentCell(0, 0);
}

void TFrmTabelle::fuellen(const std::string &beschreibung, const std::string &daten)
{
    // Decoded first, so that data which cannot be shown changes nothing.
    pruefeGroesse(daten);
    const Tabelle tabelle = DatenZuTabelle(daten);

    beendeZellbearbeitung();
    EdtBeschreibung->setText(Win1252::zuText(beschreibung));
    // A damaged file may hold counts beyond the controls' range: the grid
    // and the labels take them as stored, the controls stop at their limit.
    BtnZeilen->setzePosition(tabelle.Zeilen);
    setzeZeilen(tabelle.Zeilen, zahlfeld(daten, 0));
    BtnSpalten->setzePosition(tabelle.Spalten);
    setzeSpalten(tabelle.Spalten, zahlfeld(daten, 1));
    for (int r = 0; r < tabelle.Zeilen; ++r) {
        for (int c = 0; c < tabelle.Spalten; ++c)
            GrdTabelle->setItem(r, c, new QTableWidgetItem(Win1252::zuText(tabelle.zelle(r, c))));
    }
    GrdTabelle->setCurrentCell(0, 0);
}

void TFrmTabelle::pruefeGroesse(std::string_view daten)
{
    const std::size_t erster = daten.find(Trennzeichen);
    const std::size_t zweiter = erster == std::string_view::npos ? erster : daten.find(Trennzeichen, erster + 1);
    if (zweiter == std::string_view::npos)
        return;
    const long long zeilen = alsGanzzahl(daten.substr(0, erster));
    const long long spalten = alsGanzzahl(daten.substr(erster + 1, zweiter - erster - 1));
    if (zeilen > 0 && spalten > 0 && zeilen * spalten > HoechstensZellen)
        throw Fehler(QStringLiteral("Die Tabelle hat %1 Zeilen und %2 Spalten; das Tabellenfenster kann höchstens "
                                    "%3 Zellen zeigen")
                         .arg(zeilen)
                         .arg(spalten)
                         .arg(QLocale().toString(HoechstensZellen))
                         .toStdString());
}

std::string TFrmTabelle::zelle(int zeile, int spalte) const
{
    const QTableWidgetItem *eintrag = GrdTabelle->item(zeile, spalte);
    return eintrag ? Win1252::zuBytes(eintrag->text()) : std::string();
}

bool TFrmTabelle::pruefen()
{
    beendeZellbearbeitung();
    for (int r = 0; r < GrdTabelle->rowCount(); ++r) {
        for (int c = 0; c < GrdTabelle->columnCount(); ++c) {
            if (unzulaessigesTrennzeichen(zelle(r, c)) == std::string_view::npos)
                continue;
            GrdTabelle->setCurrentCell(r, c);
            GrdTabelle->setFocus();
            Fensterart::zeigeFehler(this, QString::fromStdString(mitPunkt(TrennzeichenFehler(r + 1, c + 1).what()))
                                              + QStringLiteral("\n\nBitte ändern Sie den Text dieser Zelle."));
            return false;
        }
    }
    return true;
}

std::string TFrmTabelle::beschreibung() const
{
    return Win1252::zuBytes(EdtBeschreibung->text());
}

std::string TFrmTabelle::daten() const
{
    const int zeilen = GrdTabelle->rowCount();
    const int spalten = GrdTabelle->columnCount();
    std::vector<std::string> zellen;
    zellen.reserve(std::size_t(zeilen) * std::size_t(spalten));
    for (int r = 0; r < zeilen; ++r) {
        for (int c = 0; c < spalten; ++c)
            zellen.push_back(zelle(r, c));
    }
    return TabelleZuDaten(zeilen, spalten, zellen);
}
