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

    EdtText->setGeometry(8, 40, 281, 177);
    EdtText->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    EdtText->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    EdtText->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    EdtText->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Tab goes on to the buttons; Enter starts a new line.
    EdtText->setTabChangesFocus(true);

    BtnOk->setGeometry(296, 40, 121, 33);
    BtnAbbrechen->setGeometry(296, 80, 121, 33);

    setTabOrder(EdtBeschreibung, EdtText);
    setTabOrder(EdtText, BtnOk);
    setTabOrder(BtnOk, BtnAbbrechen);
    // The buttons are the first children, so the focus would start there;
    // the first showing starts in the description instead.
    EdtBeschreibung->setFocus();

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

QStringList TFrmText::Zeilen() const
{
    const QTextDocument *dokument = EdtText->document();
    const auto *anordnung = qobject_cast<QPlainTextDocumentLayout *>(dokument->documentLayout());
    QStringList zeilen;
    for (QTextBlock absatz = dokument->begin(); absatz.isValid(); absatz = absatz.next()) {
        const QString text = absatz.text();
        if (!absatz.next().isValid() && text.isEmpty())
            break;
        // The field lays out only what it has shown so far.
        if (anordnung)
            anordnung->ensureBlockLayout(absatz);
        const QTextLayout *layout = absatz.layout();
        if (!layout || layout->lineCount() == 0) {
            zeilen << text;
            continue;
        }
        for (int i = 0; i < layout->lineCount(); ++i) {
            const QTextLine zeile = layout->lineAt(i);
            zeilen << text.mid(zeile.textStart(), zeile.textLength());
        }
    }
    return zeilen;
}

std::string TFrmText::beschreibung() const
{
    return Win1252::zuBytes(EdtBeschreibung->text());
}

std::string TFrmText::daten() const
{
    QString text;
    for (const QString &zeile : Zeilen())
        text += zeile + QLatin1Char(' ');
    return Win1252::zuBytes(text);
}
