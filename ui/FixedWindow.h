#pragma once

#include <QWidget>

/// A secondary window: the program's fixed border, its name and title, and
/// a client area of a fixed size in the buttons' font.
class FixedWindow : public QWidget
{
public:
    /// The border of every window of the program: fixed, with a title, a
    /// system menu and a close button, and no button to minimize or maximize.
    static constexpr Qt::WindowFlags border = Qt::CustomizeWindowHint | Qt::WindowTitleHint
        | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint;

protected:
    /// \a type is Qt::Window or, for a window with an owner, Qt::Dialog.
    FixedWindow(QWidget *parent, Qt::WindowType type, const QString &name, const QString &title,
                QSize client);
};
