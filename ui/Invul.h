#pragma once

#include "FixedWindow.h"

class QLineEdit;

/// "Woord invullen": a second player types the word to be guessed. Modeless
/// and without an owner; Enter does not confirm and Escape does not close.
class Invul : public FixedWindow
{
    Q_OBJECT

public:
    explicit Invul(QWidget *parent = nullptr);

    QLineEdit *textBox() const { return txtInvul; }

signals:
    /// "OK" with a word that fits: the word, exactly as typed.
    void wordChosen(const QString &word);
    /// "Sluiten": the dialog has closed without a word.
    void sluitenClicked();

private:
    void cmd_ok_Click();
    void cmd_sluiten_Click();

    QLineEdit *txtInvul = nullptr;
};
