#include "Info.h"

#include "Fonts.h"
#include "Layout.h"
#include "Texts.h"

#include <QLabel>

Info::Info(QWidget *parent)
    : QWidget(parent,
              Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                  | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("Info"));
    setWindowTitle(Texts::infoCaption);
    setAttribute(Qt::WA_DeleteOnClose);
    setFont(Fonts::msSansSerif());
    setFixedSize(Layout::Info::client.toPixels());

    auto *credit = new QLabel(Texts::infoCredit.arg(QStringLiteral(WIRLEP_DISPLAY_VERSION)), this);
    credit->setObjectName(QStringLiteral("Label1"));
    credit->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    credit->setGeometry(Layout::Info::label1.toPixels());
}
