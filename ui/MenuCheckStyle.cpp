#include "MenuCheckStyle.h"

#include <QStyleOptionMenuItem>

void MenuCheckStyle::drawControl(ControlElement element, const QStyleOption *option,
                                 QPainter *painter, const QWidget *widget) const
{
    const auto *item = qstyleoption_cast<const QStyleOptionMenuItem *>(option);
    if (element == CE_MenuItem && item && item->checkType == QStyleOptionMenuItem::NonExclusive
        && !item->checked) {
        QStyleOptionMenuItem unmarked(*item);
        unmarked.checkType = QStyleOptionMenuItem::NotCheckable;
        QProxyStyle::drawControl(element, &unmarked, painter, widget);
        return;
    }
    QProxyStyle::drawControl(element, option, painter, widget);
}
