#include "rueckfragen.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace {

std::optional<QString> frageDatei(QWidget *fenster, QFileDialog::AcceptMode modus, const QString &titel,
                                  const QString &filter, const QString &endung)
{
    QFileDialog dialog(fenster, titel, QString(), filter);
    dialog.setAcceptMode(modus);
    dialog.setFileMode(modus == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setDefaultSuffix(endung);
    // QFileDialog asks before replacing a file and refuses a missing folder by itself.
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

} // namespace

std::optional<QString> Dialogrueckfragen::dateiOffnen(QWidget *fenster)
{
    return frageDatei(fenster, QFileDialog::AcceptOpen, QString(), QStringLiteral("Hypertextdefinition (*.htd)"),
                      QStringLiteral("htd"));
}

std::optional<QString> Dialogrueckfragen::dateiSpeichern(QWidget *fenster)
{
    return frageDatei(fenster, QFileDialog::AcceptSave, QString(), QStringLiteral("Hypertextdefinition (*.htd)"),
                      QStringLiteral("htd"));
}

std::optional<QString> Dialogrueckfragen::dateiGenerieren(QWidget *fenster)
{
    return frageDatei(fenster, QFileDialog::AcceptSave, QStringLiteral("Generieren"),
                      QStringLiteral("Hypertext (*.htm)"), QStringLiteral("htm"));
}

bool Dialogrueckfragen::aenderungenSpeichern(QWidget *fenster)
{
    QMessageBox box(QMessageBox::Question, QStringLiteral("Bestätigen"),
                    QStringLiteral("Daten wurden geändert. Änderungen speichern ?"), QMessageBox::NoButton, fenster);
    QPushButton *ja = box.addButton(QStringLiteral("&Ja"), QMessageBox::YesRole);
    QPushButton *nein = box.addButton(QStringLiteral("&Nein"), QMessageBox::NoRole);
    box.setDefaultButton(ja);
    box.setEscapeButton(nein);
    box.exec();
    return box.clickedButton() == ja;
}

void Dialogrueckfragen::fehler(QWidget *fenster, const QString &text)
{
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Markwerk"), text, QMessageBox::Ok, fenster);
    box.exec();
}
