#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

/// The help window: a fixed text on the menus, opened modally over the main
/// window. Only its button closes it: Escape does nothing.
class Help : public QDialog
{
    Q_OBJECT

public:
    explicit Help(QWidget *owner);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    QLabel *addPicture(const QPixmap &picture, const QRect &box);
    QLabel *addText(const QString &text, const QRect &box, const char *name);
    void cmd_sluithelp_Click();
};
