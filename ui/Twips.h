#pragma once

#include <QRect>
#include <QSize>

/// Window layouts are kept in twips: 1440 to the inch, 15 to a pixel at 96
/// dots per inch. Qt's logical pixels are those pixels;
/// Qt scales them on high-density screens by itself.
namespace Twips {

inline constexpr int perPixel = 15;

constexpr int toPixels(int twips)
{
    return twips / perPixel;
}

/// A control's place: Left, Top, Width and Height in twips.
struct Box
{
    int left;
    int top;
    int width;
    int height;

    constexpr QRect toPixels() const
    {
        return {Twips::toPixels(left), Twips::toPixels(top), Twips::toPixels(width),
                Twips::toPixels(height)};
    }
};

/// A window's client area in twips.
struct Area
{
    int width;
    int height;

    constexpr QSize toPixels() const { return {Twips::toPixels(width), Twips::toPixels(height)}; }
};

} // namespace Twips
