#include "FixedWindow.h"

#include "Fonts.h"

FixedWindow::FixedWindow(QWidget *parent, Qt::WindowType type, const QString &name,
                         const QString &title, QSize client)
    : QWidget(parent, type | border)
{
    setObjectName(name);
    setWindowTitle(title);
    setFont(Fonts::msSansSerif());
    setFixedSize(client);
}
