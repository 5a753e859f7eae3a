#pragma once

#include <QKeyEvent>
#include <QPushButton>

/// A push button that Enter presses as well as Space while it has the
/// focus, as the focused button does on Windows. Qt ties this to
/// autoDefault, which some styles (Windows among them) answer by drawing
/// the button a pixel smaller on every side to leave room for a default
/// frame: the letter buttons, laid edge to edge, would stand apart.
class PushButton : public QPushButton
{
    Q_OBJECT

public:
    using QPushButton::QPushButton;

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
        if (enter && !event->isAutoRepeat()) {
            click();
            return;
        }
        QPushButton::keyPressEvent(event);
    }
};
