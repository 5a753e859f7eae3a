#include "Message.h"

#include "Texts.h"

#include <QIcon>
#include <QMessageBox>
#include <QPushButton>

namespace Message {

void show(QWidget *parent, const QString &text)
{
    QMessageBox box(QMessageBox::NoIcon, Texts::programName, text, QMessageBox::Ok, parent);
    // A typed word is shown as typed, never read as markup.
    box.setTextFormat(Qt::PlainText);
    box.setWindowModality(Qt::ApplicationModal);
    // Some desktop themes put a picture on the button; this box has none.
    box.button(QMessageBox::Ok)->setIcon(QIcon());
    box.exec();
}

} // namespace Message
