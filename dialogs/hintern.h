#pragma once

#include <QDialog>

#include <string>

class QCheckBox;
class QPushButton;

// The window that holds the background setting: the check box says whether
// the page has a background image, the file picker which file it is.
class TFrmHintergrund : public QDialog
{
    Q_OBJECT

public:
    explicit TFrmHintergrund(QWidget *parent = nullptr);

    bool HintergrundAktiv() const;
    // Changing the state runs ChkAktivierenClick, as a click does.
    void setzeHintergrundAktiv(bool aktiv);
    std::string Hintergrundpfad() const;
    void wendeHintergrundpfadAn(const std::string &pfad);

    void BtnSchliesenClick();
    void ChkAktivierenClick();

    QPushButton *const BtnSchliesen;
    QCheckBox *const ChkAktivieren;

private:
    std::string m_pfad;
};
