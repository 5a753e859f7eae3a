#pragma once

#include <QFont>

/// The program's two fonts, each with the nearest free fonts behind it for
/// systems that lack it (DejaVu Sans is as wide as Verdana; Liberation Sans
/// keeps Arial's metrics, close to MS Sans Serif).
namespace Fonts {

/// "Verdana" 15.75 point: the main window's labels.
QFont verdana();

/// "MS Sans Serif" 8.25 point: buttons and the secondary windows.
QFont msSansSerif();

/// \a font, made smaller where needed (down to 6 point) so that \a text fits
/// \a width: the mask of a long typed word still shows every position. Past
/// that size, text too wide is cut off.
QFont fitting(QFont font, const QString &text, int width);

} // namespace Fonts
