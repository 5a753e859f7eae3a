#include "Fonts.h"

#include <QFontMetrics>
#include <QStringList>

namespace Fonts {

QFont verdana()
{
    QFont font;
    font.setFamilies({QStringLiteral("Verdana"), QStringLiteral("DejaVu Sans")});
    font.setPointSizeF(15.75);
    font.setWeight(QFont::Normal);
    return font;
}

QFont msSansSerif()
{
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                      QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
                      QStringLiteral("DejaVu Sans")});
    font.setPointSizeF(8.25);
    font.setWeight(QFont::Normal);
    return font;
}

QFont fitting(QFont font, const QString &text, int width)
{
    constexpr qreal smallest = 6.0;
    constexpr qreal step = 0.75; // one pixel at 96 dots per inch
    while (QFontMetrics(font).horizontalAdvance(text) > width && font.pointSizeF() > smallest)
        font.setPointSizeF(std::max(smallest, font.pointSizeF() - step));
    return font;
}

} // namespace Fonts
