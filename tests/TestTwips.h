#pragma once

#include <QRect>

/// A box from the window designs, Left, Top, Width and Height in twips, in
/// pixels: written out here apart from the program's own tables.
inline QRect twips(int left, int top, int width, int height)
{
    return {left / 15, top / 15, width / 15, height / 15};
}
