#include "Fonts.h"

#include <QFontDatabase>
#include <QStringList>

namespace Fonts {

namespace {

/// The first of \a families that is installed. Naming just that one spares
/// the font system a fruitless search for each missing name, which would
/// cost more than the rest of the window's start-up.
QString firstInstalled(const QStringList &families)
{
    const QStringList installed = QFontDatabase::families();
    for (const QString &family : families) {
        if (installed.contains(family, Qt::CaseInsensitive))
            return family;
    }
    return families.last();
}

QFont font(const QString &family, qreal pointSize)
{
    QFont font(family);
    font.setPointSizeF(pointSize);
    font.setWeight(QFont::Normal);
    return font;
}

} // namespace

QFont verdana()
{
    static const QString family
        = firstInstalled({QStringLiteral("Verdana"), QStringLiteral("DejaVu Sans")});
    return font(family, 15.75);
}

QFont msSansSerif()
{
    static const QString family
        = firstInstalled({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                          QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
                          QStringLiteral("DejaVu Sans")});
    return font(family, 8.25);
}

} // namespace Fonts
