#include "Invul.h"

#include "Layout.h"
#include "Message.h"
#include "PushButton.h"
#include "Texts.h"
#include "Word.h"

#include <QLabel>
#include <QLineEdit>

// A plain window rather than a QDialog: no default button for Enter to
// press, no Escape to close it.
Invul::Invul(QWidget *parent)
    : FixedWindow(parent, Qt::Window, QStringLiteral("Invul"), Texts::invulCaption,
                  Layout::Invul::client.toPixels())
{
    setAttribute(Qt::WA_DeleteOnClose);

    txtInvul = new QLineEdit(this);
    txtInvul->setObjectName(QStringLiteral("txtInvul"));
    txtInvul->setGeometry(Layout::Invul::txtInvul.toPixels());
    txtInvul->setAccessibleName(Texts::invulPrompt);

    auto *label1 = new QLabel(Texts::invulPrompt, this);
    label1->setObjectName(QStringLiteral("Label1"));
    label1->setGeometry(Layout::Invul::label1.toPixels());
    label1->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label1->setWordWrap(true);
    label1->setBuddy(txtInvul);

    // Enter presses the button that has the focus; in the text box it does
    // nothing, since this window has no default button.
    auto *ok = new PushButton(Texts::invulOk, this);
    ok->setObjectName(QStringLiteral("cmd_ok"));
    ok->setGeometry(Layout::Invul::cmdOk.toPixels());
    connect(ok, &QPushButton::clicked, this, &Invul::cmd_ok_Click);

    auto *sluiten = new PushButton(Texts::invulSluiten, this);
    sluiten->setObjectName(QStringLiteral("cmd_sluiten"));
    sluiten->setGeometry(Layout::Invul::cmdSluiten.toPixels());
    connect(sluiten, &QPushButton::clicked, this, &Invul::cmd_sluiten_Click);

    setTabOrder(txtInvul, ok);
    setTabOrder(ok, sluiten);
    txtInvul->setFocus();
}

void Invul::cmd_ok_Click()
{
    const QString word = txtInvul->text();
    if (!Word::fits(word)) {
        // Refused before it becomes a game; the text stays for the player to shorten.
        Message::show(this, Texts::wordTooLong.arg(Word::maxLength));
        txtInvul->setFocus();
        return;
    }
    emit wordChosen(word);
    close();
}

void Invul::cmd_sluiten_Click()
{
    close();
    emit sluitenClicked();
}
