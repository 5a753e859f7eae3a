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

} // namespace Fonts
