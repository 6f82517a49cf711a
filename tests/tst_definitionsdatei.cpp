// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

#include "definitionsdatei.h"
#include "einstellungen.h"
#include "fehler.h"
#include "hilfen.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace hilfen;
using namespace std::string_literals;

class TestDefinitionsdatei : public QObject
{
    Q_OBJECT

private:
    QString pfad(const QString &name) const { return m_dir.filePath(name); }
    // Writes bytes to a file and reads it as a definition; returns the error
    // text or an empty string.
    QString ladefehler(const QByteArray &inhalt, Definition *ergebnis = nullptr);

    QTemporaryDir m_dir;

private Q_SLOTS:
    void beispielAbLinie();
    void leeresDokument();
    void hintergrundOhneDatei();
    void umlauteUndHoheSaetze();
    void hintergrundflagAndererWert();
    void kuerzereOderLaengereListen();
    void ueberzaehligeSaetzeAmEnde();
    void abgeschnittenAnJederStelle();
    void riesigeLaengenfelder_data();
    void riesigeLaengenfelder();
    void unbekannteArtBleibt();
    void speichernUndLadenGleich();
    void uebernehmeEinstellungenReihenfolge();

    void ladenFehlendeDatei();
    void ladenSchreibgeschuetzteDatei();
    void ladenVerzeichnis();
    void ladenRohrUndGeraet();
    void speichernBehaeltEigentuemer();
    void speichernOrdnerFehlt();
    void speichernUnterDatei();
    void speichernVollePlatteLaesstAlteDatei();
    void speichernErhaeltRechteUndVerknuepfung();
    void speichernNichtBeschreibbarerOrdner();
};

QString TestDefinitionsdatei::ladefehler(const QByteArray &inhalt, Definition *ergebnis)
{
    const QString datei = pfad(QStringLiteral("test.htd"));
    if (!schreib(datei, inhalt))
        return QStringLiteral("nicht geschrieben");
    try {
        Definition d = LeseDefinition(n(datei));
        if (ergebnis)
            *ergebnis = std::move(d);
        return {};
    } catch (const Fehler &f) {
        return QString::fromUtf8(f.what());
    }
}

void TestDefinitionsdatei::beispielAbLinie()
{
    Speichereinstellungen e;
    e.setzeTitel("Ab");
    Objektliste l;
    l.anhaengen({"Linie", "Linie", "Linie"});
    const QString datei = pfad(QStringLiteral("ab.htd"));
    Sichern(n(datei), e, l);

    const QByteArray linie = zeichenkette("Linie");
    const QByteArray erwartet = zeichenkette("Ab") + saetze({0, 1}) + saetze({1}) + linie + saetze({1}) + linie
                                + saetze({1}) + linie;
    QCOMPARE(erwartet.size(), 104);
    QCOMPARE(lies(datei), erwartet);

    const Definition d = LeseDefinition(n(datei));
    QCOMPARE(d.Titel, "Ab"s);
    QVERIFY(!d.Hintergrund);
    QCOMPARE(d.Objekte, (std::vector<Objekt>{{"Linie", "Linie", "Linie"}}));
}

void TestDefinitionsdatei::leeresDokument()
{
    Speichereinstellungen e;
    e.setzeTitel("");
    const QString datei = pfad(QStringLiteral("leer.htd"));
    Sichern(n(datei), e, Objektliste());
    QCOMPARE(lies(datei), QByteArray(24, '\0'));
}

void TestDefinitionsdatei::hintergrundOhneDatei()
{
    Speichereinstellungen e;
    e.setzeTitel("");
    e.setzeHintergrundAktiv(true);
    const QString datei = pfad(QStringLiteral("hg.htd"));
    Sichern(n(datei), e, Objektliste());
    QCOMPARE(lies(datei), saetze({0, 1, 0, 0, 0, 0, 0}));

    // Loading it switches the background on and leaves the chosen file.
    Speichereinstellungen ziel;
    ziel.wendeHintergrundpfadAn("vorher.png");
    uebernehmeEinstellungen(LeseDefinition(n(datei)), ziel);
    QVERIFY(ziel.HintergrundAktiv());
    QCOMPARE(ziel.Hintergrundpfad(), "vorher.png"s);

    // The path is written only while the background is on.
    e.setzeHintergrundAktiv(false);
    e.wendeHintergrundpfadAn("x.png");
    Sichern(n(datei), e, Objektliste());
    QCOMPARE(lies(datei), QByteArray(24, '\0'));
}

void TestDefinitionsdatei::umlauteUndHoheSaetze()
{
    Speichereinstellungen e;
    e.setzeTitel("\xE4");
    const QString datei = pfad(QStringLiteral("u.htd"));
    Sichern(n(datei), e, Objektliste());
    QCOMPARE(lies(datei).left(8), QByteArray::fromHex("01000000E4000000"));

    // Only the lowest eight bits of a character record count.
    Definition d;
    QCOMPARE(ladefehler(saetze({2, 0x141, -0x100 + 0x42, 0, 0, 0, 0, 0}), &d), QString());
    QCOMPARE(d.Titel, "AB"s);
}

void TestDefinitionsdatei::hintergrundflagAndererWert()
{
    for (const qint32 flag : {2, -1}) {
        Definition d;
        QCOMPARE(ladefehler(saetze({0, flag, 1, 1}) + zeichenkette("Linie") + saetze({1}) + zeichenkette("Linie")
                                + saetze({1}) + zeichenkette("Linie"),
                            &d),
                 QString());
        QVERIFY(!d.Hintergrund);
        QCOMPARE(d.Objekte.size(), std::size_t(1));
    }
}

void TestDefinitionsdatei::kuerzereOderLaengereListen()
{
    const QByteArray liste = saetze({2}) + zeichenkette("Linie") + zeichenkette("Text");
    Definition d;

    // A count of zero (or less) keeps no objects, although the lists are read.
    QCOMPARE(ladefehler(saetze({0, 0, 0}) + liste + liste + liste, &d), QString());
    QVERIFY(d.Objekte.empty());
    QCOMPARE(ladefehler(saetze({0, 0, -5}) + liste + liste + liste, &d), QString());
    QVERIFY(d.Objekte.empty());

    // A count below the list lengths keeps that many.
    QCOMPARE(ladefehler(saetze({0, 0, 1}) + liste + liste + liste, &d), QString());
    QCOMPARE(d.Objekte, (std::vector<Objekt>{{"Linie", "Linie", "Linie"}}));

    // A count above one list's length fails at that list's end; nothing is
    // handed out.
    const QByteArray kurz = saetze({1}) + zeichenkette("Linie");
    QCOMPARE(ladefehler(saetze({0, 0, 2}) + liste + kurz + liste),
             QStringLiteral("Der Index der Liste überschreitet das Maximum (1)"));
    QCOMPARE(ladefehler(saetze({0, 0, 3}) + liste + liste + liste),
             QStringLiteral("Der Index der Liste überschreitet das Maximum (2)"));
}

void TestDefinitionsdatei::ueberzaehligeSaetzeAmEnde()
{
    Definition d;
    QCOMPARE(ladefehler(QByteArray(24, '\0') + saetze({7, 8, 9}) + "x", &d), QString());
    QVERIFY(d.Objekte.empty());
}

void TestDefinitionsdatei::abgeschnittenAnJederStelle()
{
    Speichereinstellungen e;
    hilfen::preislistenEinstellungen(e);
    const QString datei = pfad(QStringLiteral("voll.htd"));
    Sichern(n(datei), e, hilfen::preisliste());
    const QByteArray voll = lies(datei);
    QVERIFY(!voll.isEmpty());

    for (qsizetype laenge = 0; laenge < voll.size(); ++laenge) {
        const QString fehler = ladefehler(voll.left(laenge));
        if (fehler != QStringLiteral("Lesen nach Dateiende (EOF)"))
            QFAIL(qPrintable(QStringLiteral("Länge %1: %2").arg(laenge).arg(fehler)));
    }
    QCOMPARE(ladefehler(voll), QString());
}

void TestDefinitionsdatei::riesigeLaengenfelder_data()
{
    QTest::addColumn<QByteArray>("inhalt");
    const qint32 riesig = 2000000000;
    QTest::newRow("Titel") << saetze({riesig}) + QByteArray(96, 'a');
    QTest::newRow("Pfad") << saetze({0, 1, riesig}) + QByteArray(88, 'a');
    QTest::newRow("Objektanzahl") << saetze({0, 0, riesig, riesig}) + QByteArray(84, 'a');
    QTest::newRow("Listenlaenge") << saetze({0, 0, 1, riesig, riesig}) + QByteArray(80, 'a');
    QTest::newRow("Eintrag hinter Anzahl") << saetze({0, 0, 0, 2, 0, riesig}) + QByteArray(76, 'a');
}

void TestDefinitionsdatei::riesigeLaengenfelder()
{
    QFETCH(QByteArray, inhalt);
    QCOMPARE(ladefehler(inhalt), QStringLiteral("Lesen nach Dateiende (EOF)"));
}

void TestDefinitionsdatei::unbekannteArtBleibt()
{
    Objektliste l;
    l.anhaengen({"bild", "klein", "x"});
    l.anhaengen({"", "", ""});
    Speichereinstellungen e;
    const QString datei = pfad(QStringLiteral("art.htd"));
    Sichern(n(datei), e, l);
    const Definition d = LeseDefinition(n(datei));
    QCOMPARE(d.Objekte, (std::vector<Objekt>(l.begin(), l.end())));
}

void TestDefinitionsdatei::speichernUndLadenGleich()
{
    Objektliste l = hilfen::preisliste();
    std::string alleBytes;
    for (int b = 0; b < 256; ++b)
        alleBytes += char(b);
    l.anhaengen({"Text", alleBytes, alleBytes + alleBytes});
    Speichereinstellungen e;
    e.setzeTitel(alleBytes);
    e.setzeHintergrundAktiv(true);
    e.wendeHintergrundpfadAn("/bilder/hinter.png");

    const QString a = pfad(QStringLiteral("a.htd"));
    const QString b = pfad(QStringLiteral("b.htd"));
    Sichern(n(a), e, l);
    const Definition d = LeseDefinition(n(a));
    QCOMPARE(d.Titel, alleBytes);
    QCOMPARE(d.Hintergrundpfad, "/bilder/hinter.png"s);
    QCOMPARE(d.Objekte, (std::vector<Objekt>(l.begin(), l.end())));
    SchreibeDefinition(n(b), d.Titel, d.Hintergrund, d.Hintergrundpfad, Objektliste(d.Objekte));
    QCOMPARE(lies(b), lies(a));
}

void TestDefinitionsdatei::uebernehmeEinstellungenReihenfolge()
{
    // The path is applied after the box is switched on, and only then.
    class Protokoll : public Speichereinstellungen
    {
    public:
        std::string schritte;
        void setzeTitel(const std::string &t) override { schritte += "T" + t; }
        void setzeHintergrundAktiv(bool a) override { schritte += a ? "+" : "-"; }
        void wendeHintergrundpfadAn(const std::string &p) override { schritte += "P" + p; }
    };
    Protokoll p;
    uebernehmeEinstellungen({"x", true, "y", {}}, p);
    uebernehmeEinstellungen({"z", false, "", {}}, p);
    QCOMPARE(p.schritte, "Tx+PyTz-"s);
}

void TestDefinitionsdatei::ladenFehlendeDatei()
{
    const auto fehler = [](const QString &datei) {
        try {
            LeseDefinition(n(datei));
        } catch (const EAFehler &f) {
            return f.code();
        }
        return 0;
    };
    QCOMPARE(fehler(pfad(QStringLiteral("gibtsnicht.htd"))), 2);
    QCOMPARE(fehler(pfad(QStringLiteral("ordner/gibtsnicht.htd"))), 3);
    QVERIFY(schreib(pfad(QStringLiteral("datei")), "x"));
    QCOMPARE(fehler(pfad(QStringLiteral("datei/x.htd"))), 3);
}

void TestDefinitionsdatei::ladenSchreibgeschuetzteDatei()
{
    // A file that may only be read still opens.
    const QString datei = pfad(QStringLiteral("nurlesen.htd"));
    QVERIFY(schreib(datei, QByteArray(24, '\0')));
    QVERIFY(QFile::setPermissions(datei, QFile::ReadOwner));
    LeseDefinition(n(datei));
    QFile::setPermissions(datei, QFile::ReadOwner | QFile::WriteOwner);

    if (geteuid() == 0)
        QSKIP("root may read every file");
    QVERIFY(QFile::setPermissions(datei, QFile::WriteOwner));
    try {
        LeseDefinition(n(datei));
        QFAIL("keine Ausnahme");
    } catch (const EAFehler &f) {
        QCOMPARE(f.code(), 5);
    }
}

void TestDefinitionsdatei::ladenVerzeichnis()
{
    QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("ordner.htd")));
    try {
        LeseDefinition(n(pfad(QStringLiteral("ordner.htd"))));
        QFAIL("keine Ausnahme");
    } catch (const EAFehler &f) {
        QCOMPARE(f.code(), 5);
    }
}

void TestDefinitionsdatei::ladenRohrUndGeraet()
{
    // A pipe without a writer would block the open forever, a device never
    // end: both are refused at once.
    const QString rohr = pfad(QStringLiteral("rohr.htd"));
    QVERIFY(::mkfifo(QFile::encodeName(rohr).constData(), 0600) == 0);
    const Frist frist(60);
    for (const QString &datei : {rohr, QStringLiteral("/dev/zero")}) {
        try {
            LeseDefinition(n(datei));
            QFAIL("keine Ausnahme");
        } catch (const EAFehler &f) {
            QCOMPARE(f.code(), 5);
        }
    }
}

void TestDefinitionsdatei::speichernBehaeltEigentuemer()
{
    if (geteuid() != 0)
        QSKIP("only root may give a file to another user");
    const QString datei = pfad(QStringLiteral("fremd.htd"));
    Speichereinstellungen e;
    Sichern(n(datei), e, Objektliste());
    QVERIFY(::chown(QFile::encodeName(datei).constData(), 65534, 65534) == 0);
    Sichern(n(datei), e, hilfen::preisliste());
    struct stat st;
    QVERIFY(::stat(QFile::encodeName(datei).constData(), &st) == 0);
    QCOMPARE(st.st_uid, uid_t(65534));
    QCOMPARE(st.st_gid, gid_t(65534));
}

void TestDefinitionsdatei::speichernOrdnerFehlt()
{
    Speichereinstellungen e;
    try {
        Sichern(n(pfad(QStringLiteral("fehlt/x.htd"))), e, Objektliste());
        QFAIL("keine Ausnahme");
    } catch (const EAFehler &f) {
        QCOMPARE(QString::fromUtf8(f.what()), QStringLiteral("Ungültiger Dateiname"));
    }
}

void TestDefinitionsdatei::speichernUnterDatei()
{
    QVERIFY(schreib(pfad(QStringLiteral("eine_datei")), "x"));
    Speichereinstellungen e;
    try {
        Sichern(n(pfad(QStringLiteral("eine_datei/x.htd"))), e, Objektliste());
        QFAIL("keine Ausnahme");
    } catch (const EAFehler &f) {
        QCOMPARE(f.code(), 3);
    }
    // A folder where the file should be is refused as access.
    QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("ziel.htd")));
    try {
        Sichern(n(pfad(QStringLiteral("ziel.htd"))), e, Objektliste());
        QFAIL("keine Ausnahme");
    } catch (const EAFehler &f) {
        QCOMPARE(f.code(), 5);
    }
}

void TestDefinitionsdatei::speichernVollePlatteLaesstAlteDatei()
{
    const QString datei = pfad(QStringLiteral("alt.htd"));
    Speichereinstellungen e;
    Sichern(n(datei), e, hilfen::preisliste());
    const QByteArray vorher = lies(datei);
    const QStringList vorherImOrdner = QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden);

    Objektliste gross;
    for (int i = 0; i < 1000; ++i)
        gross.anhaengen({"Text", "Absatz", std::string(300, 'x')});
    try {
        Dateigrenze grenze(64 * 1024);
        Sichern(n(datei), e, gross);
        QFAIL("keine Ausnahme");
    } catch (const EAFehler &f) {
        QCOMPARE(QString::fromUtf8(f.what()), QStringLiteral("Kapazität der Diskette/Festplatte erschöpft"));
    }
    QCOMPARE(lies(datei), vorher);
    // No half-written file is left beside it.
    QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden), vorherImOrdner);
}

void TestDefinitionsdatei::speichernErhaeltRechteUndVerknuepfung()
{
    const QString echt = pfad(QStringLiteral("echt.htd"));
    const QString verweis = pfad(QStringLiteral("verweis.htd"));
    Speichereinstellungen e;
    Sichern(n(echt), e, Objektliste());
    QVERIFY(::chmod(QFile::encodeName(echt).constData(), 0640) == 0);
    QVERIFY(QFile::link(echt, verweis));

    Sichern(n(verweis), e, hilfen::preisliste());
    QVERIFY(QFileInfo(verweis).isSymLink());
    QCOMPARE(lies(echt), lies(verweis));
    QCOMPARE(LeseDefinition(n(echt)).Objekte.size(), std::size_t(5));
    struct stat st;
    QVERIFY(::stat(QFile::encodeName(echt).constData(), &st) == 0);
    QCOMPARE(st.st_mode & 07777, mode_t(0640));
}

void TestDefinitionsdatei::speichernNichtBeschreibbarerOrdner()
{
    if (geteuid() == 0)
        QSKIP("root may write into every folder");
    const QString ordner = pfad(QStringLiteral("geschuetzt"));
    QVERIFY(QDir().mkpath(ordner));
    const QString datei = ordner + QStringLiteral("/a.htd");
    Speichereinstellungen e;
    Sichern(n(datei), e, Objektliste());
    const QByteArray vorher = lies(datei);
    QVERIFY(QFile::setPermissions(ordner, QFile::ReadOwner | QFile::ExeOwner));
    try {
        Sichern(n(datei), e, hilfen::preisliste());
        QFAIL("keine Ausnahme");
    } catch (const EAFehler &f) {
        QCOMPARE(f.code(), 5);
    }
    QFile::setPermissions(ordner, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QCOMPARE(lies(datei), vorher);
}

QTEST_GUILESS_MAIN(TestDefinitionsdatei)
#include "tst_definitionsdatei.moc"
