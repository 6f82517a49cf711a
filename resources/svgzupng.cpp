// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

// Build-time helper: renders a square SVG picture as a PNG of the given size,
// for the icon sizes that desktops look up as pixel pictures.
//   svgzupng BILD.svg GROESSE ZIEL.png

#include <QByteArray>
#include <QImage>
#include <QPainter>
#include <QString>
#include <QSvgRenderer>

#include <cstdio>

int main(int argc, char **argv)
{
    if (argc != 4) {
        std::fputs("Aufruf: svgzupng BILD.svg GROESSE ZIEL.png\n", stderr);
        return 2;
    }
    bool zahl = false;
    const int groesse = QByteArray(argv[2]).toInt(&zahl);
    if (!zahl || groesse < 1 || groesse > 4096) {
        std::fprintf(stderr, "svgzupng: ungültige Größe \"%s\"\n", argv[2]);
        return 2;
    }
    QSvgRenderer svg(QString::fromLocal8Bit(argv[1]));
    if (!svg.isValid()) {
        std::fprintf(stderr, "svgzupng: %s ist kein lesbares SVG-Bild\n", argv[1]);
        return 1;
    }
    QImage bild(groesse, groesse, QImage::Format_ARGB32_Premultiplied);
    bild.fill(Qt::transparent);
    {
        QPainter maler(&bild);
        svg.render(&maler);
    }
    if (!bild.save(QString::fromLocal8Bit(argv[3]), "PNG")) {
        std::fprintf(stderr, "svgzupng: %s kann nicht geschrieben werden\n", argv[3]);
        return 1;
    }
    return 0;
}
