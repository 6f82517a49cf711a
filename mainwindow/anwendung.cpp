// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

#include "anwendung.h"

#include "bild.h"
#include "doku.h"
#include "hilfe.h"
#include "hintern.h"
#include "info.h"
#include "link.h"
#include "markwerk_version.h"
#include "tabelle.h"
#include "text.h"

#include <QApplication>
#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <algorithm>

void richteAnwendungEin(QApplication &anwendung)
{
    // The pictures sit in a static library; this pulls them in.
    Q_INIT_RESOURCE(markwerk);

    QApplication::setApplicationName(QStringLiteral("Markwerk"));
    // No display name: Qt would append it to every window's caption.
    QApplication::setApplicationVersion(QStringLiteral(MARKWERK_VERSION));
    // Wayland desktops match the windows to the installed desktop entry by this;
    // on X11 the entry's StartupWMClass matches the class Qt takes from the name.
    QApplication::setDesktopFileName(QStringLiteral(MARKWERK_ID));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/bilder/markwerk.svg")));

    // German whatever the system says (CI runs with the C locale).
    const QLocale deutsch(QLocale::German, QLocale::Germany);
    QLocale::setDefault(deutsch);
    auto *qtTexte = new QTranslator(&anwendung);
    if (qtTexte->load(deutsch, QStringLiteral("qtbase"), QStringLiteral("_"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(qtTexte);

    // The windows are laid out for MS Sans Serif at 8 points; where it is
    // missing a close sans takes its place.
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               {QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Tahoma"),
                                QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
                                QStringLiteral("DejaVu Sans")});
    QFont schrift(QStringLiteral("MS Sans Serif"));
    schrift.setPointSize(8);
    QApplication::setFont(schrift);
}

std::vector<std::string> programmargumente(int argc, char *argv[])
{
    return std::vector<std::string>(argv + std::min(argc, 1), argv + argc);
}

std::unique_ptr<TFrmMarkwerk> erzeugeFenster()
{
    auto FrmMarkwerk = std::make_unique<TFrmMarkwerk>();
    Fenster f;
    f.FrmBild = new TFrmBild(FrmMarkwerk.get());
    f.FrmLink = new TFrmLink(FrmMarkwerk.get());
    f.FrmTabelle = new TFrmTabelle(FrmMarkwerk.get());
    f.FrmText = new TFrmText(FrmMarkwerk.get());
    f.FrmTitel = new TFrmTitel(FrmMarkwerk.get());
    f.FrmHilfe = new TFrmHilfe(FrmMarkwerk.get());
    f.FrmInfo = new TFrmInfo(FrmMarkwerk.get());
    f.FrmHintergrund = new TFrmHintergrund(FrmMarkwerk.get());
    FrmMarkwerk->setzeFenster(f);
    return FrmMarkwerk;
}
