#include "Info.h"

#include "Layout.h"
#include "Texts.h"

#include <QLabel>

Info::Info(QWidget *parent)
    : FixedWindow(parent, Qt::Window, QStringLiteral("Info"), Texts::infoCaption,
                  Layout::Info::client.toPixels())
{
    setAttribute(Qt::WA_DeleteOnClose);

    auto *credit = new QLabel(Texts::infoCredit.arg(QStringLiteral(WIRLEP_DISPLAY_VERSION)), this);
    credit->setObjectName(QStringLiteral("Label1"));
    credit->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    credit->setGeometry(Layout::Info::label1.toPixels());
}
