// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

#include "text.h"

#include "win1252.h"

#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextDocumentLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QTextLayout>

#include <cmath>

namespace {

// What a text may hold of some text that comes in: line breaks of any kind
// become line breaks, characters a definition file cannot store become "?".
QString sauber(const QString &text)
{
    QString t = text;
    t.replace(QChar::LineSeparator, QLatin1Char('\n')).replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return Win1252::bereinigt(t);
}

// The text field takes only characters a definition file can store. They
// are mended on their way in (typed, composed, pasted or dropped), so the
// field shows at once what will be stored, and undo never brings back what
// was replaced.
class Textfeld : public QPlainTextEdit
{
public:
    using QPlainTextEdit::QPlainTextEdit;

protected:
    void keyPressEvent(QKeyEvent *ereignis) override
    {
        const bool zeilenende = ereignis->key() == Qt::Key_Return || ereignis->key() == Qt::Key_Enter;
        // Shift+Enter would break the line only on the screen; the text is
        // made of lines, so it is an Enter like any other.
        const Qt::KeyboardModifiers tasten =
            zeilenende ? ereignis->modifiers() & ~Qt::ShiftModifier : ereignis->modifiers();
        if (tasten == ereignis->modifiers() && Win1252::darstellbar(ereignis->text())) {
            QPlainTextEdit::keyPressEvent(ereignis);
            return;
        }
        QKeyEvent ersatz(ereignis->type(), ereignis->key(), tasten, sauber(ereignis->text()), ereignis->isAutoRepeat(),
                         quint16(ereignis->count()));
        QPlainTextEdit::keyPressEvent(&ersatz);
        ereignis->setAccepted(ersatz.isAccepted());
    }

    void inputMethodEvent(QInputMethodEvent *ereignis) override
    {
        if (Win1252::darstellbar(ereignis->commitString())) {
            QPlainTextEdit::inputMethodEvent(ereignis);
            return;
        }
        QInputMethodEvent ersatz(ereignis->preeditString(), ereignis->attributes());
        ersatz.setCommitString(sauber(ereignis->commitString()), ereignis->replacementStart(),
                               ereignis->replacementLength());
        QPlainTextEdit::inputMethodEvent(&ersatz);
        ereignis->setAccepted(ersatz.isAccepted());
    }

    void insertFromMimeData(const QMimeData *quelle) override
    {
        QMimeData ersatz;
        ersatz.setText(sauber(quelle->text()));
        QPlainTextEdit::insertFromMimeData(&ersatz);
    }
};

// Lays out the text field's lines at blanks only; a word wider than the
// whole line is split where it must be. Qt's own rule would also break
// after "-" and "/", and the text, made of the lines, would get blanks
// inside words and addresses. Every block gets this layout before Qt would
// lay it out by its own rule: after each change, and after the width has
// changed and all layouts were cleared.
class Umbruch : public QPlainTextDocumentLayout
{
public:
    // `ansicht`: the viewport whose width the field gives its lines. While
    // it is hidden nothing is laid out: a text of megabytes would be laid
    // out twice, once more when the window shows.
    Umbruch(QTextDocument *dokument, QWidget *ansicht)
        : QPlainTextDocumentLayout(dokument)
        , m_ansicht(ansicht)
    {
        connect(this, &QAbstractTextDocumentLayout::update, this, [this] {
            if (m_ansicht->isVisible())
                alleSicherstellen();
        });
        ansicht->installEventFilter(this);
    }

    void sicherstellen(const QTextBlock &absatz)
    {
        const QTextLayout *layout = absatz.layout();
        if (layout->lineCount() == 0 || layout->textOption().wrapMode() != EigeneArt)
            umbrechen(absatz);
    }

    void documentChanged(int von, int entfernt, int hinzu) override
    {
        QPlainTextDocumentLayout::documentChanged(von, entfernt, hinzu);
        if (!m_ansicht->isVisible())
            return;
        const int vorher = document()->lineCount();
        const QTextBlock ende = document()->findBlock(std::max(0, von + hinzu - 1));
        for (QTextBlock absatz = document()->findBlock(von); absatz.isValid(); absatz = absatz.next()) {
            umbrechen(absatz);
            if (absatz == ende)
                break;
        }
        if (document()->lineCount() != vorher)
            Q_EMIT documentSizeChanged(documentSize());
        Q_EMIT update();
    }

    // Where the field asks for a block's place, Qt's own rule would lay it
    // out first.
    QRectF blockBoundingRect(const QTextBlock &absatz) const override
    {
        const_cast<Umbruch *>(this)->sicherstellen(absatz);
        return QPlainTextDocumentLayout::blockBoundingRect(absatz);
    }

protected:
    bool eventFilter(QObject *, QEvent *ereignis) override
    {
        if (ereignis->type() == QEvent::Show) {
            alleSicherstellen();
            Q_EMIT documentSizeChanged(documentSize());
        }
        return false;
    }

private:
    // Qt's rule breaks at blanks and after hyphens and slashes, and splits
    // a word wider than the line; a line it ends after a hyphen or slash is
    // then cut back to its last blank. Qt's own layouts of the field use
    // another mode, so that they are told from these.
    static constexpr QTextOption::WrapMode EigeneArt = QTextOption::WrapAtWordBoundaryOrAnywhere;

    void alleSicherstellen()
    {
        for (QTextBlock absatz = document()->begin(); absatz.isValid(); absatz = absatz.next())
            sicherstellen(absatz);
    }

    void umbrechen(const QTextBlock &absatz)
    {
        QTextLayout *layout = absatz.layout();
        QTextOption option = document()->defaultTextOption();
        option.setWrapMode(EigeneArt);
        layout->setTextOption(option);
        // The layout's own text is empty for a block; it lays out the block's
        // text with what an input method is composing.
        QString text = absatz.text();
        if (!layout->preeditAreaText().isEmpty())
            text.insert(layout->preeditAreaPosition(), layout->preeditAreaText());
        const qreal rand = document()->documentMargin();
        const qreal breite = m_ansicht->width() - 2 * rand;
        const auto leer = [&text](int i) { return text.at(i) == u' ' || text.at(i) == u'\t'; };
        qreal hoehe = 0;
        layout->beginLayout();
        for (;;) {
            QTextLine zeile = layout->createLine();
            if (!zeile.isValid())
                break;
            zeile.setLeadingIncluded(true);
            zeile.setLineWidth(breite);
            const int anfang = zeile.textStart();
            const int ende = anfang + zeile.textLength();
            if (ende < text.size() && !leer(ende - 1) && !leer(ende)) {
                int nach = ende - 1;
                while (nach > anfang && !leer(nach - 1))
                    --nach;
                if (nach > anfang)
                    zeile.setNumColumns(nach - anfang, breite);
            }
            zeile.setPosition(QPointF(rand, hoehe));
            hoehe += zeile.height();
            if (zeile.leading() < 0)
                hoehe += std::ceil(zeile.leading());
        }
        layout->endLayout();
        QTextBlock(absatz).setLineCount(absatz.isVisible() ? layout->lineCount() : 0);
    }

    QWidget *const m_ansicht;
};

} // namespace

TFrmText::TFrmText(QWidget *parent)
    : Objektdialog(parent)
    , LblBeschreibung(new QLabel(QStringLiteral("Beschreibung:"), this))
    , EdtBeschreibung(new QLineEdit(this))
    , EdtText(new Textfeld(this))
{
    setWindowTitle(QStringLiteral("Text einfügen"));
    Fensterart::dialograhmen(this, 425, 225, false);

    LblBeschreibung->setGeometry(8, 8, 81, 17);
    LblBeschreibung->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    EdtBeschreibung->setGeometry(96, 8, 321, 21);
    Fensterart::nurWin1252(EdtBeschreibung);
    Fensterart::beschrifte(LblBeschreibung, EdtBeschreibung);
    Fensterart::benenne(EdtText, QStringLiteral("Text"));

    EdtText->setGeometry(8, 40, 281, 177);
    auto *dokument = new QTextDocument(EdtText);
    dokument->setDocumentLayout(new Umbruch(dokument, EdtText->viewport()));
    EdtText->setDocument(dokument);
    EdtText->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    // Only Qt's own layouts use this mode; what is shown is Umbruch's.
    EdtText->setWordWrapMode(QTextOption::WordWrap);
    EdtText->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    EdtText->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Tab goes on to the buttons; Enter starts a new line.
    EdtText->setTabChangesFocus(true);

    BtnOk->setGeometry(296, 40, 121, 33);
    BtnAbbrechen->setGeometry(296, 80, 121, 33);

    setTabOrder(EdtBeschreibung, EdtText);
    setTabOrder(EdtText, BtnOk);
    setTabOrder(BtnOk, BtnAbbrechen);
    setzeStartfeld(EdtBeschreibung);

    // Smaller, the buttons would be cut off; the controls never move.
    setMinimumSize(size());

    // The outer frame's corner, not the client area's.
    move(162, 136);
}

void TFrmText::fuerEinfuegen()
{
    EdtBeschreibung->clear();
    EdtText->clear();
}

void TFrmText::fuellen(const std::string &beschreibung, const std::string &daten)
{
    EdtBeschreibung->setText(Win1252::zuText(beschreibung));
    EdtText->setPlainText(Win1252::zuText(daten) + QLatin1Char('\n'));
}

std::vector<TFrmText::Zeile> TFrmText::zeilenMitUmbruch() const
{
    const QTextDocument *dokument = EdtText->document();
    auto *anordnung = dynamic_cast<Umbruch *>(dokument->documentLayout());
    const auto leer = [](QChar c) { return c == u' ' || c == u'\t'; };
    std::vector<Zeile> zeilen;
    for (QTextBlock absatz = dokument->begin(); absatz.isValid(); absatz = absatz.next()) {
        const QString text = absatz.text();
        if (!absatz.next().isValid() && text.isEmpty())
            break;
        // The field lays out only what it has shown so far.
        if (anordnung)
            anordnung->sicherstellen(absatz);
        const QTextLayout *layout = absatz.layout();
        if (!layout || layout->lineCount() == 0) {
            zeilen.push_back({text, false});
            continue;
        }
        for (int i = 0; i < layout->lineCount(); ++i) {
            const QTextLine zeile = layout->lineAt(i);
            const int ende = zeile.textStart() + zeile.textLength();
            // The field breaks at blanks, which stay at the end of their
            // line; a line that ends without one, before more of the same
            // word, was cut inside the word.
            const bool imWort = i + 1 < layout->lineCount() && ende > zeile.textStart() && ende < text.size()
                                && !leer(text.at(ende - 1)) && !leer(text.at(ende));
            zeilen.push_back({text.mid(zeile.textStart(), zeile.textLength()), imWort});
        }
    }
    return zeilen;
}

QStringList TFrmText::Zeilen() const
{
    QStringList zeilen;
    for (const Zeile &z : zeilenMitUmbruch())
        zeilen << z.text;
    return zeilen;
}

std::string TFrmText::beschreibung() const
{
    return Win1252::zuBytes(EdtBeschreibung->text());
}

std::string TFrmText::daten() const
{
    QString text;
    for (const Zeile &zeile : zeilenMitUmbruch()) {
        text += zeile.text;
        if (!zeile.imWort)
            text += QLatin1Char(' ');
    }
    return Win1252::zuBytes(text);
}
