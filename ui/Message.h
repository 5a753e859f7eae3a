#pragma once

class QString;
class QWidget;

namespace Message {

/// Shows \a text in a box titled "Wirlep" with one OK button and no icon,
/// blocking every window of the program until OK is pressed.
void show(QWidget *parent, const QString &text);

} // namespace Message
