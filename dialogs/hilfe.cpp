// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

#include "hilfe.h"

#include "objektdialog.h"

#include <QPlainTextEdit>
#include <QPushButton>

namespace {

// One entry per line of the field; long lines wrap at its width.
const char *const Hilfetext[] = {
    "HTML - Dokument erstellen",
    "",
    "Markwerk zeigt Ihr Dokument als Liste: Jede Zeile der Liste ist ein Objekt der Seite – ein Bild, eine "
    "Linie, ein Link, eine Tabelle oder ein Textabsatz –, von oben nach unten in der Reihenfolge, in der es "
    "später auf der Seite steht. Wie die fertige Seite aussieht, beurteilen Sie am besten nach dem Generieren "
    "in einem Web-Browser, denn jeder Browser stellt sie ein wenig anders dar.",
    "",
    "Ein Bild fügen Sie mit der Schaltfläche mit dem gerahmten Bild ein (Hinweis „Bild“). Im folgenden Dialog "
    "geben Sie eine Beschreibung ein, wählen die Bilddatei aus und bestätigen mit „OK“.",
    "",
    "Die Beschreibung hilft Ihnen, die Objekte in der Liste auseinanderzuhalten. Bei einem Bild ist sie außerdem "
    "der Text, den ein Browser an Stelle des Bildes zeigt, wenn er keine Bilder lädt. Bei einem Link ist sie der "
    "unterstrichene, hervorgehobene Text, den man auf der Seite anklickt.",
    "",
    "Die Schaltfläche „Linie“ fügt eine schlichte Trennlinie ein. Die Schaltfläche daneben („Link“) fügt einen "
    "Link ein: Im folgenden Dialog tippen Sie seinen Text und die Adresse ein, zu der er führt.",
    "",
    "Für eine Tabelle klicken Sie auf die Schaltfläche mit dem Gitter („Tabelle“). Die Zahl der Zeilen und "
    "Spalten stellen Sie mit den Pfeilknöpfen rechts unten im Dialog ein, jeweils von 2 bis 20. Die Zellen "
    "beschreiben Sie direkt im Gitter; mit der Tab-Taste kommen Sie zur nächsten Zelle. „OK“ beendet die Eingabe.",
    "",
    "Textabsätze fügen Sie genauso ein, mit der Schaltfläche „Text“. Zeilenumbrüche im Textfeld werden auf der "
    "Seite zu Leerzeichen; den Absatz bricht der Browser selbst um.",
    "",
    "Neue Objekte kommen immer ans Ende der Liste. Um einen Eintrag zu entfernen, markieren Sie ihn und klicken "
    "auf „Entfernen“ (Papierkorb). Um ihn zu ändern, markieren Sie ihn und klicken auf „Bearbeiten“ "
    "(Schraubenschlüssel); der passende Dialog öffnet sich dann mit seinen Angaben.",
    "",
    "Die Schaltflächen der Leiste von links nach rechts:",
    "Neu – ein neues, leeres Dokument beginnen",
    "Öffnen – eine Hypertextdefinition (*.htd) laden",
    "Speichern – das Dokument als Hypertextdefinition sichern",
    "Generieren – die HTML-Datei erzeugen",
    "Bild, Linie, Link, Tabelle, Text – ein Objekt am Ende anfügen",
    "Entfernen – den markierten Eintrag löschen",
    "Bearbeiten – den markierten Eintrag ändern",
    "Aufwärts, Abwärts – den markierten Eintrag um einen Platz verschieben",
    "",
    "Im Menü „Bearbeiten“ finden Sie „Objekt bearbeiten“, „Löschen“ und das Verschieben ebenfalls, dazu "
    "„Kopieren“ (Strg+C), „Ausschneiden“ (Strg+X) und „Einfügen“ (Strg+V); eingefügt wird am Ende der Liste. "
    "„Löschen“ erreichen Sie auch mit der Taste Entf, diese Hilfe mit F1.",
    "",
    "Haben Sie Änderungen noch nicht gespeichert, fragt Markwerk vor „Neu“, „Öffnen“ und „Beenden“, ob sie "
    "gespeichert werden sollen.",
    "",
    "",
    "",
    "Erzeugung des Hypertextdokuments",
    "",
    "Ist die Definition vollständig, klicken Sie auf „Generieren“ (die graue Walze mit dem roten Pfeil) oder "
    "wählen im Menü „Datei“ den Eintrag „HTML - Datei generieren“.",
    "",
    "Wie beim Speichern geben Sie in einem Dateidialog den Namen der neuen Datei an. Die Endung „htm“ hängt "
    "Markwerk selbst an, wenn Sie keine angeben.",
    "",
    "Das Ergebnis ist eine vollständige Web-Seite, die Sie mit jedem Browser ansehen und auf einen Web-Server "
    "stellen können. Den Titel der Seite, den der Browser in seiner Titelleiste zeigt, legen Sie im Menü "
    "„Einstellungen“ unter „Dokumenttitel“ fest; unter „Hintergrundbild“ wählen Sie dort auch ein Bild als "
    "Hintergrund der Seite.",
    "",
    "Alle Texte kommen so in die Seite, wie Sie sie eingeben. Zeichen wie „<“ und „&“ werden nicht umgewandelt; "
    "so können Sie auch eigene HTML-Befehle in einen Text schreiben.",
    "",
    "Bilder und Hintergrundbild nennt die Seite mit dem Pfad, unter dem Sie sie ausgewählt haben. Geben Sie die "
    "Seite weiter, so gehören die Bilder dazu.",
    "",
    "Das Generieren ändert Ihr Dokument nicht. Speichern Sie die Hypertextdefinition, wenn Sie die Seite später "
    "weiter bearbeiten wollen.",
    "",
    "Viel Freude mit Markwerk!",
};

QString hilfetext()
{
    QStringList zeilen;
    for (const char *zeile : Hilfetext)
        zeilen << QString::fromUtf8(zeile);
    return zeilen.join(QLatin1Char('\n'));
}

} // namespace

TFrmHilfe::TFrmHilfe(QWidget *parent)
    : QDialog(parent)
    , EdtHilfe(new QPlainTextEdit(hilfetext(), this))
    , BtnSchliesen(Fensterart::okKnopf(QStringLiteral("Schließen"), this))
{
    setWindowTitle(QStringLiteral("Hilfe"));
    Fensterart::dialograhmen(this, 433, 385);
    Fensterart::ohneEsc(this);

    EdtHilfe->setGeometry(8, 8, 417, 321);
    EdtHilfe->setReadOnly(true);
    Fensterart::benenne(EdtHilfe, QStringLiteral("Hilfe"));
    // Read-only, but the keyboard still scrolls and selects.
    EdtHilfe->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    EdtHilfe->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    EdtHilfe->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    EdtHilfe->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    EdtHilfe->setTabChangesFocus(true);

    BtnSchliesen->setGeometry(8, 336, 417, 41);
    BtnSchliesen->setDefault(true);
    connect(BtnSchliesen, &QPushButton::clicked, this, &TFrmHilfe::BtnSchliesenClick);

    setTabOrder(EdtHilfe, BtnSchliesen);
    move(136, 77);
}

void TFrmHilfe::BtnSchliesenClick()
{
    close();
}
