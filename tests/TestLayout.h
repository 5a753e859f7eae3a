#pragma once

#include <QFontInfo>
#include <QRect>
#include <QStringList>

/// A box given as Left, Top, Width and Height in twips, in pixels: the
/// tests write the layout out again, apart from the program's own tables.
inline QRect twips(int left, int top, int width, int height)
{
    return {left / 15, top / 15, width / 15, height / 15};
}

/// Whether \a font is, on screen, "MS Sans Serif" or one of the free fonts
/// close to it.
inline bool looksLikeMsSansSerif(const QFont &font)
{
    static const QStringList likeIt {"MS Sans Serif", "Microsoft Sans Serif", "Liberation Sans",
                                     "Arial", "DejaVu Sans"};
    return likeIt.contains(QFontInfo(font).family()) && font.pointSizeF() == 8.25;
}

/// Whether \a font is, on screen, "Verdana" 15.75 or DejaVu Sans in its place.
inline bool looksLikeVerdana(const QFont &font)
{
    static const QStringList likeIt {"Verdana", "DejaVu Sans"};
    return likeIt.contains(QFontInfo(font).family()) && font.pointSizeF() == 15.75;
}
