#pragma once

#include <QProxyStyle>

/// Draws a menu's checkable items as the game's menus show them: a check
/// mark beside the chosen item and nothing beside the others, where styles
/// such as Fusion and Breeze would draw an empty box. The text stays where
/// it is, in line with the checked item's.
class MenuCheckStyle : public QProxyStyle
{
    Q_OBJECT

public:
    using QProxyStyle::QProxyStyle;

    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget = nullptr) const override;
};
