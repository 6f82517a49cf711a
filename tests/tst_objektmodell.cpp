// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

// The object list's model and delegate: every row gets one size, which still
// holds every caption whole and follows every change of the list.

#include "definitionsdatei.h"
#include "gui.h"
#include "objektmodell.h"

#include <QAbstractItemModelTester>
#include <QListView>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTemporaryDir>
#include <QToolButton>

#include <random>

namespace {

// A list view as the main window sets it up, with the options it hands to
// its delegate within reach.
class Ansicht : public QListView
{
public:
    explicit Ansicht(Objektmodell *modell)
    {
        setModel(modell);
        setIconSize(QSize(16, 16));
        setWordWrap(false);
        setTextElideMode(Qt::ElideNone);
    }
    QStyleOptionViewItem optionen() const
    {
        QStyleOptionViewItem o;
        initViewItemOption(&o);
        return o;
    }
};

std::string alleBytes()
{
    std::string s;
    for (int b = 0; b < 256; ++b)
        s += char(b);
    return s;
}

// Captions that are hard to measure: every byte of the code page (tab and
// line feed among them), kerning pairs, tabs at odd places, nothing at all.
std::vector<Objekt> schwierigeObjekte()
{
    std::vector<Objekt> o = {
        {"Bild", alleBytes(), "C:\\BILDER\\LOGO.GIF"},
        {"Link", "AVAVAVAV To Ty Wa LT", "WAVE.htm"},
        {"Text", "a\tb\t\tc", ""},
        {"Tabelle", "\t", ""},
        {"Text", "", ""},
        {"unbekannt", "kein Text", "ohne Zeile"},
        {"Linie", "Linie", "Linie"},
        {"Text", std::string(300, 'W') + "\x80\xE4\xDF", ""},
        {"Bild", "zwei\nZeilen", "drei\nZeilen\n"},
    };
    std::mt19937 z(7);
    for (int i = 0; i < 40; ++i) {
        std::string s;
        const std::size_t laenge = 1 + z() % 60;
        for (std::size_t k = 0; k < laenge; ++k)
            s += char(0x20 + z() % 0xE0);
        o.push_back({"Link", s, s});
    }
    return o;
}

} // namespace

class TestObjektmodell : public QObject
{
    Q_OBJECT

private:
    // The size the standard delegate gives one row on its own.
    static QSize natuerlich(const Ansicht &a, const QModelIndex &zeile)
    {
        return QStyledItemDelegate().sizeHint(a.optionen(), zeile);
    }
    static QSize einheitlich(const Ansicht &a, const QModelIndex &zeile)
    {
        return Objektdelegat().sizeHint(a.optionen(), zeile);
    }

    QTemporaryDir m_dir;

private Q_SLOTS:
    void cleanup();
    void jedeKopfzeilePasst();
    void groesseFolgtJederAenderung();
    void kopfzeilenEinzeilig();
    void andereSchrift();
    void modellBleibtGesund();
    void hauptfensterZeigtJedeKopfzeileGanz();
    void langeKopfzeileBisZumEnde_data();
    void langeKopfzeileBisZumEnde();
};

void TestObjektmodell::cleanup()
{
    gui::keinFensterUebrig();
}

void TestObjektmodell::jedeKopfzeilePasst()
{
    Objektmodell m;
    m.ersetzen(schwierigeObjekte());
    Ansicht a(&m);
    int breiteste = 0;
    for (int i = 0; i < m.rowCount(); ++i) {
        const QSize n = natuerlich(a, m.index(i));
        const QSize e = einheitlich(a, m.index(i));
        QVERIFY2(n.width() <= e.width() && n.height() <= e.height(),
                 qPrintable(QStringLiteral("Zeile %1: %2x%3 > %4x%5")
                                .arg(i)
                                .arg(n.width())
                                .arg(n.height())
                                .arg(e.width())
                                .arg(e.height())));
        // Every row asks for the same size.
        QCOMPARE(e, einheitlich(a, m.index(0)));
        breiteste = std::max(breiteste, n.width());
    }
    QVERIFY(breiteste > 0);
}

void TestObjektmodell::groesseFolgtJederAenderung()
{
    Objektmodell m;
    Ansicht a(&m);
    const Objekt schmal{"Text", "kurz", ""};
    const Objekt breit{"Text", std::string(80, 'W'), ""};
    const auto groesse = [&] { return einheitlich(a, m.index(0)); };

    m.anhaengen(schmal);
    const QSize klein = groesse();
    QVERIFY(klein.width() >= natuerlich(a, m.index(0)).width());
    m.anhaengen(breit);
    const QSize gross = groesse();
    QVERIFY(gross.width() > klein.width() + 300);

    // The widest caption gone, the size shrinks back.
    m.loschen(1);
    QCOMPARE(groesse(), klein);
    m.setzen(0, breit.Beschreibung, "");
    QCOMPARE(groesse(), gross);
    m.setzen(0, schmal.Beschreibung, "");
    QCOMPARE(groesse(), klein);

    m.anhaengen(breit);
    m.anhaengen(breit);
    m.tauschen(0, 2);
    QCOMPARE(groesse(), gross);
    m.loschen(0);
    QCOMPARE(groesse(), gross);
    m.loschen(0);
    QCOMPARE(groesse(), klein);

    m.ersetzen({schmal, breit});
    QCOMPARE(groesse(), gross);
    m.leeren();
    m.anhaengen(schmal);
    QCOMPARE(groesse(), klein);
}

void TestObjektmodell::kopfzeilenEinzeilig()
{
    // Line breaks and tabs show as symbols: every row stays one line high,
    // and the stored text is unchanged.
    Objektmodell m;
    Ansicht a(&m);
    m.anhaengen({"Text", "eine", ""});
    const int eineZeile = einheitlich(a, m.index(0)).height();
    const Objekt mehrzeilig{"Bild", "eins\nzwei\r\ndrei\rvier\tf\xFCnf", "x"};
    m.anhaengen(mehrzeilig);
    QCOMPARE(m.index(1).data().toString(), QStringLiteral("Bild: \"eins↵zwei↵drei↵vier→fünf\" x"));
    QCOMPARE(einheitlich(a, m.index(0)).height(), eineZeile);
    QVERIFY(natuerlich(a, m.index(1)).height() <= eineZeile);
    QCOMPARE(m.liste()[1], mehrzeilig);
}

void TestObjektmodell::andereSchrift()
{
    Objektmodell m;
    m.ersetzen(schwierigeObjekte());
    Ansicht a(&m);
    const QSize vorher = einheitlich(a, m.index(0));
    QFont gross = a.font();
    gross.setPointSize(gross.pointSize() * 3);
    a.setFont(gross);
    QVERIFY(einheitlich(a, m.index(0)).width() > 2 * vorher.width());
    for (int i = 0; i < m.rowCount(); ++i)
        QVERIFY(natuerlich(a, m.index(i)).width() <= einheitlich(a, m.index(i)).width());
}

void TestObjektmodell::modellBleibtGesund()
{
    Objektmodell m;
    QAbstractItemModelTester pruefer(&m, QAbstractItemModelTester::FailureReportingMode::QtTest);
    Ansicht a(&m);
    const auto messen = [&] {
        if (m.rowCount() > 0)
            einheitlich(a, m.index(0));
    };
    m.ersetzen(schwierigeObjekte());
    messen();
    m.anhaengen({"Linie", "Linie", "Linie"});
    m.loschen(0);
    messen();
    m.setzen(1, "neu", "neu");
    m.tauschen(1, 2);
    m.tauschen(5, 3);
    messen();
    m.leeren();
    messen();
    QCOMPARE(m.rowCount(), 0);
}

void TestObjektmodell::hauptfensterZeigtJedeKopfzeileGanz()
{
    const std::string datei = m_dir.filePath(QStringLiteral("schwierig.htd")).toStdString();
    const std::vector<Objekt> objekte = schwierigeObjekte();
    SchreibeDefinition(datei, "T", false, "", Objektliste(objekte));
    gui::Programm p({QString::fromStdString(datei)});
    QListView *liste = p.fenster->LstMarkwerk;
    Objektmodell *m = p.fenster->Modell();
    QCOMPARE(m->rowCount(), int(objekte.size()));

    // The look of the list: small icons, top to bottom and then the next
    // column, re-arranged on every change, captions on one line and whole.
    QCOMPARE(liste->viewMode(), QListView::ListMode);
    QCOMPARE(liste->iconSize(), QSize(16, 16));
    QCOMPARE(liste->flow(), QListView::TopToBottom);
    QVERIFY(liste->isWrapping());
    QCOMPARE(liste->resizeMode(), QListView::Adjust);
    QVERIFY(!liste->wordWrap());
    QCOMPARE(liste->textElideMode(), Qt::ElideNone);
    QCOMPARE(liste->selectionMode(), QAbstractItemView::SingleSelection);

    p.fenster->BtnLinie->click();
    const QModelIndex letzte = m->index(m->rowCount() - 1);
    QTRY_VERIFY(liste->visualRect(letzte).isValid());

    Ansicht a(m);
    a.setFont(liste->font());
    QRect vorige;
    for (int i = 0; i < m->rowCount(); ++i) {
        const QRect r = liste->visualRect(m->index(i));
        const QSize n = natuerlich(a, m->index(i));
        QVERIFY2(r.width() >= n.width() && r.height() >= n.height(), qPrintable(QString::number(i)));
        if (i > 0) {
            // Below the previous row, or at the top of a column further right.
            QVERIFY((r.left() == vorige.left() && r.top() > vorige.top())
                    || (r.left() > vorige.left() && r.top() < vorige.top()));
        }
        vorige = r;
    }
    // The widest caption can be read to its end: the list scrolls sideways
    // by pixels, not by whole columns.
    QVERIFY(liste->horizontalScrollBar()->maximum() >= vorige.right() - liste->viewport()->width());
    QVERIFY(liste->horizontalScrollBar()->singleStep() < vorige.width() / 4);
}

void TestObjektmodell::langeKopfzeileBisZumEnde_data()
{
    QTest::addColumn<int>("zeilen");
    QTest::addColumn<int>("laenge");
    QTest::newRow("eine Zeile, 20.000 Zeichen") << 1 << 20000;
    QTest::newRow("100.000 Zeilen, eine mit 100.000 Zeichen") << 100000 << 100000;
}

void TestObjektmodell::langeKopfzeileBisZumEnde()
{
    // Every row can be scrolled to, and the long caption read to its end.
    QFETCH(int, zeilen);
    QFETCH(int, laenge);
    std::vector<Objekt> objekte(std::size_t(zeilen), Objekt{"Linie", "Linie", "Linie"});
    const int lang = zeilen / 2;
    objekte[std::size_t(lang)] = {"Text", QByteArray("Wort ").repeated(laenge / 5).toStdString(), ""};
    const std::string datei = m_dir.filePath(QStringLiteral("lang.htd")).toStdString();
    SchreibeDefinition(datei, "T", false, "", Objektliste(objekte));
    gui::Programm p({QString::fromStdString(datei)});
    QListView *liste = p.fenster->LstMarkwerk;
    const QRect sicht = liste->viewport()->rect();
    for (const int i : {0, zeilen - 1, lang}) {
        liste->scrollTo(p.fenster->Modell()->index(i));
        QVERIFY2(sicht.intersects(liste->visualRect(p.fenster->Modell()->index(i))), qPrintable(QString::number(i)));
    }
    // Scrolled to where the caption's last word ends, something is drawn there.
    const QModelIndex zeile = p.fenster->Modell()->index(lang);
    QScrollBar *quer = liste->horizontalScrollBar();
    QTRY_VERIFY(quer->isVisible());
    const int ende = liste->visualRect(zeile).left() + qRound(QFontMetricsF(liste->font()).horizontalAdvance(zeile.data().toString()));
    quer->setValue(quer->value() + ende - sicht.width() + 30);
    const QImage bild = liste->viewport()->grab().toImage().scaled(sicht.size());
    int gezeichnet = 0;
    for (int y = liste->visualRect(zeile).top(); y <= liste->visualRect(zeile).bottom(); ++y) {
        for (int x = sicht.width() - 200; x < sicht.width() - 30; ++x)
            gezeichnet += bild.pixel(x, y) != liste->palette().color(QPalette::Base).rgb();
    }
    QVERIFY2(gezeichnet > 50, qPrintable(QString::number(gezeichnet)));
    // Selected, the row shows so there too.
    liste->setFocus();
    liste->selectionModel()->select(zeile, QItemSelectionModel::ClearAndSelect);
    const auto markiert = [&] {
        const QImage g = liste->viewport()->grab().toImage().scaled(sicht.size());
        int n = 0;
        for (int x = 0; x < sicht.width(); ++x)
            n += g.pixel(x, liste->visualRect(zeile).top() + 1) == liste->palette().color(QPalette::Active, QPalette::Highlight).rgb();
        return n;
    };
    QTRY_VERIFY2(markiert() > sicht.width() / 2, qPrintable(QString::number(markiert())));
}

MARKWERK_GUI_TEST(TestObjektmodell)
#include "tst_objektmodell.moc"
