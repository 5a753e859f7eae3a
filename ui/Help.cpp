#include "Help.h"

#include "Layout.h"
#include "PushButton.h"
#include "Texts.h"

#include <QEventLoop>
#include <QLabel>
#include <QPixmap>

Help::Help(QWidget *owner)
    : FixedWindow(owner, Qt::Dialog, QStringLiteral("Help"), Texts::helpCaption,
                  Layout::Help::client.toPixels())
{
    setWindowModality(Qt::ApplicationModal);

    // Decoded when help is asked for, never at start-up.
    const QPixmap questionMark(QStringLiteral(":/pictures/vraagteken.jpg"));
    addPicture(questionMark, Layout::Help::image1.toPixels())
        ->setObjectName(QStringLiteral("Image1"));
    addPicture(questionMark, Layout::Help::image2.toPixels())
        ->setObjectName(QStringLiteral("Image2"));

    QLabel *title = addText(Texts::helpTitle, Layout::Help::label1.toPixels(), "Label1");
    QFont bold = font();
    bold.setWeight(QFont::Bold);
    title->setFont(bold);
    title->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

    for (const auto &[text, box, name] :
         {std::tuple {Texts::helpBestand, Layout::Help::label2, "Label2"},
          std::tuple {Texts::helpNiveau, Layout::Help::label3, "Label3"},
          std::tuple {Texts::helpWoord, Layout::Help::label4, "Label4"}}) {
        QLabel *paragraph = addText(text, box.toPixels(), name);
        paragraph->setWordWrap(true);
    }

    // Enter presses the button that has the focus, as Space does.
    auto *sluiten = new PushButton(Texts::helpSluiten, this);
    sluiten->setObjectName(QStringLiteral("cmd_sluithelp"));
    sluiten->setGeometry(Layout::Help::cmdSluithelp.toPixels());
    connect(sluiten, &QPushButton::clicked, this, &Help::cmd_sluithelp_Click);
    sluiten->setFocus();
}

QLabel *Help::addPicture(const QPixmap &picture, const QRect &box)
{
    auto *label = new QLabel(this);
    label->setPixmap(picture);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop); // natural size, never stretched
    label->setGeometry(box);
    label->setAccessibleName(Texts::helpPictureDescription);
    return label;
}

QLabel *Help::addText(const QString &text, const QRect &box, const char *name)
{
    auto *label = new QLabel(text, this);
    label->setObjectName(QLatin1StringView(name));
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setGeometry(box);
    return label;
}

void Help::exec()
{
    QEventLoop loop;
    connect(this, &Help::closed, &loop, &QEventLoop::quit);
    show();
    loop.exec(QEventLoop::DialogExec);
}

void Help::closeEvent(QCloseEvent *event)
{
    QWidget::closeEvent(event);
    emit closed();
}

void Help::cmd_sluithelp_Click()
{
    close();
    if (QWidget *owner = parentWidget())
        owner->show();
}
