#pragma once

#include <QAccessible>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

/// Answers the program's message boxes as a player would, pressing OK, and
/// remembers what each one said. Boxes block inside the click that opens
/// them, so the catcher watches from a timer.
class MessageCatcher
{
public:
    struct Seen
    {
        QString title;
        QString text;
        QMessageBox::Icon icon;
        int buttons;
        Qt::WindowModality modality;
        Qt::TextFormat format;
        QString accessibleText;
    };

    MessageCatcher()
    {
        m_timer.setInterval(5);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { answer(); });
        m_timer.start();
    }

    QList<Seen> seen;
    /// Runs while a box is open, before OK is pressed.
    std::function<void(QMessageBox *)> whileOpen;

    QStringList texts() const
    {
        QStringList result;
        for (const Seen &box : seen)
            result << box.text;
        return result;
    }

private:
    void answer()
    {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        seen.append({box->windowTitle(), box->text(), box->icon(), int(box->buttons().size()),
                     box->windowModality(), box->textFormat(), accessibleText(box)});
        if (whileOpen)
            whileOpen(box);
        box->button(QMessageBox::Ok)->click();
    }

    /// What a screen reader finds in the box: the names of its texts.
    static QString accessibleText(QMessageBox *box)
    {
        QStringList parts;
        collectTexts(QAccessible::queryAccessibleInterface(box), parts);
        return parts.join(u'|');
    }

    static void collectTexts(QAccessibleInterface *node, QStringList &parts)
    {
        if (!node)
            return;
        if (node->role() == QAccessible::StaticText)
            parts << node->text(QAccessible::Name);
        for (int i = 0; i < node->childCount(); ++i)
            collectTexts(node->child(i), parts);
    }

    QTimer m_timer;
};
