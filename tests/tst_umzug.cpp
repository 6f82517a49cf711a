// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

// Picture paths of a document saved into another folder.

#include "umzug.h"

#include <QTest>

class TestUmzug : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void umgezogen_data();
    void umgezogen();
};

void TestUmzug::umgezogen_data()
{
    QTest::addColumn<QByteArray>("pfad");
    QTest::addColumn<QByteArray>("alt");
    QTest::addColumn<QByteArray>("neu");
    QTest::addColumn<QByteArray>("ergebnis");
    const QByteArray a = "/home/anna/seiten";
    QTest::newRow("derselbe Ordner") << QByteArray("bilder/../x.png") << a << QByteArray("/home/anna/seiten/") << QByteArray("bilder/../x.png");
    QTest::newRow("Unterordner") << QByteArray("bilder/logo.gif") << a << QByteArray("/home/anna/seiten/alt") << QByteArray("../bilder/logo.gif");
    QTest::newRow("darüber") << QByteArray("bilder/logo.gif") << a << QByteArray("/home/anna") << QByteArray("seiten/bilder/logo.gif");
    QTest::newRow("daneben") << QByteArray("./logo.gif") << a << QByteArray("/home/anna/neu") << QByteArray("../seiten/logo.gif");
    QTest::newRow("in den Bilderordner") << QByteArray("bilder/logo.gif") << a << QByteArray("/home/anna/seiten/bilder") << QByteArray("logo.gif");
    QTest::newRow("aus dem Ordner hinauf") << QByteArray("../gemeinsam/x.bmp") << a << QByteArray("/home/bert") << QByteArray("../anna/gemeinsam/x.bmp");
    QTest::newRow("nur die Wurzel gemeinsam") << QByteArray("bilder/logo.gif") << a << QByteArray("/tmp") << QByteArray("/home/anna/seiten/bilder/logo.gif");
    QTest::newRow("Wurzel") << QByteArray("logo.gif") << QByteArray("/") << QByteArray("/tmp") << QByteArray("/logo.gif");
    QTest::newRow("über die Wurzel hinaus") << QByteArray("../../../x.png") << QByteArray("/a") << QByteArray("/b") << QByteArray("/x.png");
    QTest::newRow("Windows-1252") << QByteArray("B\xFC" "ro/gr\xFC\xDF" "e.bmp") << QByteArray("/d/Sch\xF6n") << QByteArray("/d")
                                  << QByteArray("Sch\xF6n/B\xFC" "ro/gr\xFC\xDF" "e.bmp");
    QTest::newRow("Doppelpunkt im Namen") << QByteArray("bilder/a:b.png") << a << QByteArray("/home") << QByteArray("anna/seiten/bilder/a:b.png");
    QTest::newRow("absolut") << QByteArray("/srv/bilder/x.png") << a << QByteArray("/tmp") << QByteArray("/srv/bilder/x.png");
    QTest::newRow("Laufwerk") << QByteArray("C:\\BILDER\\LOGO.GIF") << a << QByteArray("/tmp") << QByteArray("C:\\BILDER\\LOGO.GIF");
    QTest::newRow("Laufwerk mit /") << QByteArray("c:/x.png") << a << QByteArray("/tmp") << QByteArray("c:/x.png");
    QTest::newRow("Freigabe") << QByteArray("\\\\server\\x.png") << a << QByteArray("/tmp") << QByteArray("\\\\server\\x.png");
    QTest::newRow("Adresse") << QByteArray("https://example.org/x.png") << a << QByteArray("/tmp") << QByteArray("https://example.org/x.png");
    QTest::newRow("file:") << QByteArray("file:x.png") << a << QByteArray("/tmp") << QByteArray("file:x.png");
    QTest::newRow("leer") << QByteArray() << a << QByteArray("/tmp") << QByteArray();
}

void TestUmzug::umgezogen()
{
    QFETCH(QByteArray, pfad);
    QFETCH(QByteArray, alt);
    QFETCH(QByteArray, neu);
    QFETCH(QByteArray, ergebnis);
    QCOMPARE(QByteArray::fromStdString(Umzug::umgezogen(pfad.toStdString(), alt.toStdString(), neu.toStdString())), ergebnis);
}

QTEST_APPLESS_MAIN(TestUmzug)
#include "tst_umzug.moc"
