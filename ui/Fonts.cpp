#include "Fonts.h"

#include <QStringList>

namespace Fonts {

QFont verdana()
{
    QFont font;
    font.setFamilies({ QStringLiteral("Verdana"), QStringLiteral("DejaVu Sans") });
    font.setPointSizeF(15.75);
    font.setWeight(QFont::Normal);
    return font;
}

QFont msSansSerif()
{
    QFont font;
    font.setFamilies({ QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                       QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
                       QStringLiteral("DejaVu Sans") });
    font.setPointSizeF(8.25);
    font.setWeight(QFont::Normal);
    return font;
}

} // namespace Fonts
