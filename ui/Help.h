#pragma once

#include "FixedWindow.h"

class QLabel;
class QPushButton;

/// The help window: a fixed text on the menus, modal and owned by the main
/// window. Only its button closes it: there is no Escape to cancel it.
///
/// A plain window rather than a QDialog, which centres itself over its owner:
/// where the help window opens is left to the window system.
class Help : public FixedWindow
{
    Q_OBJECT

public:
    explicit Help(QWidget *owner);

    /// Shows the window and returns once it has closed.
    void exec();

signals:
    void closed();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QLabel *addPicture(const QPixmap &picture, const QRect &box);
    QLabel *addText(const QString &text, const QRect &box, const char *name);
    void cmd_sluithelp_Click();
};
