// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

#include "rueckfragen.h"

#include "objektdialog.h"

#include <QAbstractFileIconProvider>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QMap>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QLocale>
#include <QMessageBox>
#include <QMimeDatabase>
#include <QPushButton>
#include <QStyle>
#include <QTreeView>

namespace {

// A file dialog that also refuses a name in a folder that does not exist,
// which Qt's own dialog accepts when saving.
class Dateidialog : public QFileDialog
{
public:
    using QFileDialog::QFileDialog;

    void accept() override
    {
        const QStringList dateien = selectedFiles();
        if (!dateien.isEmpty() && !QFileInfo(dateien.constFirst()).isDir()) {
            const QDir ordner = QFileInfo(dateien.constFirst()).absoluteDir();
            if (!ordner.exists()) {
                QMessageBox::warning(this, windowTitle(),
                                     QStringLiteral("Der Ordner „%1“ existiert nicht.")
                                         .arg(QDir::toNativeSeparators(ordner.path())));
                return;
            }
        }
        QFileDialog::accept();
    }
};

// Qt's file dialog writes sizes and dates in the system's language ("200
// bytes", "8 Dec" where the system is not German); the program speaks
// German whatever the system says.
class DeutscheAngaben : public QIdentityProxyModel
{
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex &index, int role) const override
    {
        const auto *dateien = qobject_cast<const QFileSystemModel *>(sourceModel());
        if (role != Qt::DisplayRole || !dateien || (index.column() != 1 && index.column() != 3))
            return QIdentityProxyModel::data(index, role);
        const QModelIndex quelle = mapToSource(index);
        if (index.column() == 3)
            return QLocale().toString(dateien->lastModified(quelle), QLocale::ShortFormat);
        return dateien->isDir(quelle) ? QString() : QLocale().formattedDataSize(dateien->size(quelle));
    }
};

// Describes a file by its name alone. Qt's own provider reads the start of
// every file listed to tell its type and picture, on the window's thread: a
// file that never answers (/proc/kmsg as root, a hung network share) stops
// the program for good, and a definition file read that way passes for a
// PCX picture.
class Dateiarten : public QAbstractFileIconProvider
{
public:
    // The pictures are taken here, on the window's thread; the dialog asks
    // for them from its own reading thread too.
    Dateiarten()
    {
        const QStyle *stil = QApplication::style();
        for (const QStyle::StandardPixmap welches :
             {QStyle::SP_ComputerIcon, QStyle::SP_DriveHDIcon, QStyle::SP_DriveNetIcon, QStyle::SP_TrashIcon,
              QStyle::SP_DesktopIcon, QStyle::SP_DirIcon, QStyle::SP_DirLinkIcon, QStyle::SP_FileIcon,
              QStyle::SP_FileLinkIcon})
            m_bilder.insert(welches, stil->standardIcon(welches));
    }

    QIcon icon(IconType art) const override
    {
        switch (art) {
        case Computer:
            return m_bilder.value(QStyle::SP_ComputerIcon);
        case Drive:
            return m_bilder.value(QStyle::SP_DriveHDIcon);
        case Network:
            return m_bilder.value(QStyle::SP_DriveNetIcon);
        case Trashcan:
            return m_bilder.value(QStyle::SP_TrashIcon);
        case Desktop:
            return m_bilder.value(QStyle::SP_DesktopIcon);
        case Folder:
            return m_bilder.value(QStyle::SP_DirIcon);
        case File:
            break;
        }
        return m_bilder.value(QStyle::SP_FileIcon);
    }

    // QFileInfo answers these from the file's status, never its content.
    QIcon icon(const QFileInfo &info) const override
    {
        if (info.isRoot())
            return icon(Drive);
        if (info.isDir())
            return m_bilder.value(info.isSymLink() ? QStyle::SP_DirLinkIcon : QStyle::SP_DirIcon);
        return m_bilder.value(info.isSymLink() ? QStyle::SP_FileLinkIcon : QStyle::SP_FileIcon);
    }

    QString type(const QFileInfo &info) const override
    {
        if (info.isRoot())
            return QStringLiteral("Laufwerk");
        if (info.isDir())
            return QStringLiteral("Ordner");
        const QString endung = info.suffix();
        if (endung.compare(u"htd", Qt::CaseInsensitive) == 0)
            return QStringLiteral("Hypertextdefinition");
        const QMimeType art = m_arten.mimeTypeForFile(info.fileName(), QMimeDatabase::MatchExtension);
        if (!art.isDefault() && !art.comment().isEmpty())
            return art.comment();
        return endung.isEmpty() ? QStringLiteral("Datei") : QStringLiteral("%1-Datei").arg(endung);
    }

private:
    QMap<QStyle::StandardPixmap, QIcon> m_bilder;
    QMimeDatabase m_arten;
};

std::optional<QString> frageDatei(QWidget *fenster, QFileDialog::AcceptMode modus, const QString &titel,
                                  const QString &filter, const QString &endung)
{
    // Lives longer than the dialog that uses it.
    Dateiarten arten;
    Dateidialog dialog(fenster, titel, QString(), filter);
    dialog.setAcceptMode(modus);
    dialog.setFileMode(modus == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setDefaultSuffix(endung);
    // The filter box shows the type's name alone, the pattern is implied.
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setIconProvider(&arten);
    dialog.setProxyModel(new DeutscheAngaben(&dialog));
    // The name takes the room the size, type and date leave; they are read
    // whole at the dialog's first size.
    if (auto *liste = dialog.findChild<QTreeView *>()) {
        QHeaderView *kopf = liste->header();
        kopf->setStretchLastSection(false);
        kopf->setSectionResizeMode(QHeaderView::ResizeToContents);
        kopf->setSectionResizeMode(0, QHeaderView::Stretch);
    }
    // A screen reader names Qt's two boxes by their current entry.
    if (auto *ort = dialog.findChild<QComboBox *>(QStringLiteral("lookInCombo")))
        Fensterart::benenne(ort, QStringLiteral("Suchen in"));
    if (auto *typ = dialog.findChild<QComboBox *>(QStringLiteral("fileTypeCombo")))
        Fensterart::benenne(typ, QStringLiteral("Dateityp"));
    // Qt's dialog asks before replacing a file by itself.
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

// A question titled "Bestätigen" with "Ja" and "Nein"; Esc is "Nein".
bool jaOderNein(QWidget *fenster, const QString &frage, bool jaVorgegeben)
{
    QMessageBox box(QMessageBox::Question, QStringLiteral("Bestätigen"), frage, QMessageBox::NoButton, fenster);
    QPushButton *ja = box.addButton(QStringLiteral("&Ja"), QMessageBox::YesRole);
    QPushButton *nein = box.addButton(QStringLiteral("&Nein"), QMessageBox::NoRole);
    box.setDefaultButton(jaVorgegeben ? ja : nein);
    box.setEscapeButton(nein);
    box.exec();
    return box.clickedButton() == ja;
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
    return jaOderNein(fenster, QStringLiteral("Daten wurden geändert. Änderungen speichern ?"), true);
}

bool Dialogrueckfragen::trotzdemSpeichern(QWidget *fenster, const QString &datei)
{
    // Losing the other program's changes takes a deliberate choice.
    return jaOderNein(fenster,
                      QStringLiteral("Die Datei „%1“ wurde inzwischen von einem anderen Programm geändert. "
                                     "Trotzdem speichern?")
                          .arg(datei),
                      false);
}

void Dialogrueckfragen::fehler(QWidget *fenster, const QString &text)
{
    Fensterart::zeigeFehler(fenster, text);
}
