// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

#include "objektdialog.h"

#include "win1252.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTextDocument>
#include <QToolTip>
#include <QWindow>

#include <limits>

Objektdialog::Objektdialog(QWidget *parent)
    : QDialog(parent)
    , BtnOk(Fensterart::okKnopf(QStringLiteral("OK"), this))
    , BtnAbbrechen(Fensterart::abbrechenKnopf(this))
{
    BtnOk->setDefault(true);
    connect(BtnOk, &QPushButton::clicked, this, &Objektdialog::BtnOkClick);
    connect(BtnAbbrechen, &QPushButton::clicked, this, &Objektdialog::BtnAbbrechenClick);
}

void Objektdialog::zeigeModal()
{
    // Else the focus stays on the button last pressed: typing would go
    // nowhere, and Enter would add an empty object.
    if (m_startfeld)
        m_startfeld->setFocus();
    exec();
}

void Objektdialog::setzeStartfeld(QWidget *feld)
{
    m_startfeld = feld;
    feld->setFocus();
}

void Objektdialog::BtnOkClick()
{
    if (!pruefen())
        return;
    m_ergebnis.Ok = true;
    m_ergebnis.Beschreibung = beschreibung();
    m_ergebnis.Daten = daten();
    accept();
}

void Objektdialog::BtnAbbrechenClick()
{
    reject();
}

void Objektdialog::done(int ergebnis)
{
    // Esc and the window manager's close arrive here as a rejection.
    if (ergebnis != QDialog::Accepted)
        m_ergebnis.Ok = false;
    QDialog::done(ergebnis);
}

namespace {

class EscSperre : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *, QEvent *ereignis) override
    {
        if (ereignis->type() != QEvent::KeyPress)
            return false;
        const auto *taste = static_cast<QKeyEvent *>(ereignis);
        return taste->key() == Qt::Key_Escape && taste->modifiers() == Qt::NoModifier;
    }
};

// Centres a window's frame at its first showing. Its frame's size is known
// once a window manager has framed it; until then it is taken to be the
// frame of the window it belongs to, which is already on the screen, and
// corrected when the window becomes active.
class Zentrierer : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *objekt, QEvent *ereignis) override
    {
        auto *fenster = qobject_cast<QWidget *>(objekt);
        if (!fenster)
            return false;
        if (ereignis->type() == QEvent::Show) {
            m_rahmen = rahmen(fenster);
            if (m_rahmen.isNull()) {
                const QWidget *eigner = fenster->parentWidget() ? fenster->parentWidget()->window() : nullptr;
                if (eigner && eigner->windowHandle())
                    m_rahmen = eigner->windowHandle()->frameMargins();
            }
            zentriere(fenster);
        } else if (ereignis->type() == QEvent::WindowActivate || ereignis->type() == QEvent::Hide) {
            if (ereignis->type() == QEvent::WindowActivate && !rahmen(fenster).isNull() && rahmen(fenster) != m_rahmen) {
                m_rahmen = rahmen(fenster);
                zentriere(fenster);
            }
            fenster->removeEventFilter(this);
            deleteLater();
        }
        return false;
    }

private:
    static QMargins rahmen(const QWidget *fenster)
    {
        return fenster->windowHandle() ? fenster->windowHandle()->frameMargins() : QMargins();
    }
    void zentriere(QWidget *fenster) const
    {
        const QScreen *bildschirm = QGuiApplication::primaryScreen();
        if (!bildschirm)
            return;
        // The window exists by now: its geometry is the client area's.
        const QPoint ecke = Fensterart::rahmenMitte(fenster->size(), m_rahmen, bildschirm->availableGeometry());
        fenster->setGeometry(QRect(ecke + QPoint(m_rahmen.left(), m_rahmen.top()), fenster->size()));
    }

    QMargins m_rahmen;
};

// Shows the whole text of an entry that its view cuts off as its tooltip.
class Volltext : public QObject
{
public:
    explicit Volltext(QAbstractItemView *ansicht)
        : QObject(ansicht)
        , m_ansicht(ansicht)
    {
        ansicht->viewport()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *, QEvent *ereignis) override
    {
        if (ereignis->type() != QEvent::ToolTip)
            return false;
        const auto *hilfe = static_cast<QHelpEvent *>(ereignis);
        const QModelIndex eintrag = m_ansicht->indexAt(hilfe->pos());
        const QRect platz = m_ansicht->visualRect(eintrag).intersected(m_ansicht->viewport()->rect());
        QStyleOptionViewItem option;
        option.initFrom(m_ansicht);
        option.rect = platz;
        option.decorationSize = m_ansicht->iconSize();
        option.widget = m_ansicht;
        const QAbstractItemDelegate *delegat = m_ansicht->itemDelegateForIndex(eintrag);
        QString text = eintrag.data().toString();
        if (!eintrag.isValid() || !delegat || delegat->sizeHint(option, eintrag).width() <= platz.width()) {
            QToolTip::hideText();
            return true;
        }
        // A cell from a damaged file may hold a megabyte.
        if (text.size() > 1000)
            text = text.left(1000) + QChar(0x2026);
        // Markup in a cell or a name is shown as it is written.
        QToolTip::showText(hilfe->globalPos(), Qt::convertFromPlainText(text, Qt::WhiteSpaceNoWrap),
                           m_ansicht->viewport(), platz);
        return true;
    }

private:
    QAbstractItemView *const m_ansicht;
};

// A combo box that a screen reader names by what it is for ("Laufwerk"),
// where Qt on Linux names it by its current entry, which changes with every
// choice. Its entry is its value; its list of choices is its one child.
class BenannteAuswahl : public QAccessibleWidget
{
public:
    explicit BenannteAuswahl(QComboBox *auswahl)
        : QAccessibleWidget(auswahl, QAccessible::ComboBox)
    {
    }

    QString text(QAccessible::Text art) const override
    {
        if (art == QAccessible::Name)
            return widget()->accessibleName();
        if (art == QAccessible::Value)
            return auswahl()->currentText();
        return QAccessibleWidget::text(art);
    }

    int childCount() const override { return 1; }
    QAccessibleInterface *child(int index) const override
    {
        return index == 0 ? QAccessible::queryAccessibleInterface(auswahl()->view()) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface *kind) const override
    {
        return kind && kind->object() == auswahl()->view() ? 0 : -1;
    }

    QStringList actionNames() const override { return {showMenuAction(), pressAction()}; }
    void doAction(const QString &aktion) override
    {
        if (aktion == showMenuAction() || aktion == pressAction())
            auswahl()->showPopup();
    }

private:
    QComboBox *auswahl() const { return static_cast<QComboBox *>(widget()); }
};

constexpr char Rollenname[] = "markwerk-rollenname";

QAccessibleInterface *benannteAuswahl(const QString &klasse, QObject *objekt)
{
    if (klasse == u"QComboBox" && objekt && objekt->property(Rollenname).toBool())
        return new BenannteAuswahl(static_cast<QComboBox *>(objekt));
    return nullptr;
}

} // namespace

namespace Fensterart {

void beschrifte(QLabel *beschriftung, QWidget *feld)
{
    beschriftung->setBuddy(feld);
    QString name = beschriftung->text();
    if (name.endsWith(QLatin1Char(':')))
        name.chop(1);
    feld->setAccessibleName(name);
}

void benenne(QWidget *feld, const QString &name)
{
    if (auto *auswahl = qobject_cast<QComboBox *>(feld)) {
        static const bool eingerichtet = (QAccessible::installFactory(benannteAuswahl), true);
        Q_UNUSED(eingerichtet)
        auswahl->setProperty(Rollenname, true);
        auswahl->view()->setAccessibleName(name);
        // A box that a screen reader has already been told of (Qt's own
        // dialogs make theirs long before they are shown) gets its new
        // interface at the next question.
        QAccessibleInterface *alt = QAccessible::queryAccessibleInterface(auswahl);
        if (alt && !dynamic_cast<BenannteAuswahl *>(alt))
            QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(alt));
    }
    feld->setAccessibleName(name);
}

void volleTexteAlsTipp(QAbstractItemView *ansicht)
{
    new Volltext(ansicht);
}

QPoint rahmenMitte(const QSize &innen, const QMargins &rahmen, const QRect &flaeche)
{
    QRect aussen(QPoint(0, 0), innen.grownBy(rahmen));
    aussen.moveCenter(flaeche.center());
    return aussen.topLeft();
}

void ohneEsc(QWidget *fenster)
{
    fenster->installEventFilter(new EscSperre(fenster));
}

void zeigeFehler(QWidget *fenster, const QString &text)
{
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Markwerk"), text, QMessageBox::Ok, fenster);
    box.exec();
}

void dialograhmen(QWidget *fenster, int breite, int hoehe, bool groesseFest)
{
    fenster->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    if (groesseFest)
        fenster->setFixedSize(breite, hoehe);
    else
        fenster->resize(breite, hoehe);
}

void zentriereAufBildschirm(QWidget *fenster)
{
    if (const QScreen *bildschirm = QGuiApplication::primaryScreen())
        fenster->move(rahmenMitte(fenster->size(), QMargins(), bildschirm->availableGeometry()));
    fenster->installEventFilter(new Zentrierer(fenster));
}

QPushButton *okKnopf(const QString &text, QWidget *parent)
{
    auto *knopf = new QPushButton(QIcon(QStringLiteral(":/bilder/ok.svg")), text, parent);
    knopf->setAutoDefault(false);
    return knopf;
}

QPushButton *abbrechenKnopf(QWidget *parent)
{
    auto *knopf = new QPushButton(QIcon(QStringLiteral(":/bilder/abbrechen.svg")), QStringLiteral("Abbrechen"), parent);
    // The default while it has the focus, and only then.
    knopf->setAutoDefault(true);
    return knopf;
}

void nurWin1252(QLineEdit *feld)
{
    // QLineEdit cuts text at 32767 characters; a long string from a file
    // must come back whole.
    feld->setMaxLength(std::numeric_limits<int>::max());
    QObject::connect(feld, &QLineEdit::textChanged, feld, [feld](const QString &text) {
        if (Win1252::darstellbar(text))
            return;
        const int cursor = feld->cursorPosition();
        const int vorher = int(text.size());
        const QString sauber = Win1252::bereinigt(text);
        feld->setText(sauber);
        // A pair of surrogates became one "?".
        feld->setCursorPosition(std::max(0, cursor - (vorher - int(sauber.size()))));
    });
}

} // namespace Fensterart
