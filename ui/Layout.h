#pragma once

#include "Twips.h"

#include <array>

/// Where every control of every window sits, in twips.
namespace Layout {

using Twips::Area;
using Twips::Box;

// --- The main window ---------------------------------------------------------

namespace Main {

inline constexpr Area client {6810, 3480};
/// The client area's margin: a control that grows stops this far from its edge.
inline constexpr int margin = 120;

inline constexpr int letterSize = 375;

/// Left and Top of the letter buttons "A" to "Z", in tab order: four rows,
/// the second and fourth set 120 further right.
inline constexpr std::array<std::array<int, 2>, 26> letters {{
    {240, 720},  {600, 720},   {960, 720},   {1320, 720},  {1680, 720},  {2040, 720},  {2400, 720},
    {360, 1080}, {720, 1080},  {1080, 1080}, {1440, 1080}, {1800, 1080}, {2160, 1080}, {240, 1440},
    {600, 1440}, {960, 1440},  {1320, 1440}, {1680, 1440}, {2040, 1440}, {2400, 1440}, {360, 1800},
    {720, 1800}, {1080, 1800}, {1440, 1800}, {1800, 1800}, {2160, 1800},
}};

inline constexpr Box lblzoek {240, 2400, 2655, 375};
/// Where `lblzoek` may grow when a long mask takes more than one line: the
/// free space below it, down to the client area's margin.
inline constexpr Box lblzoekRoom {lblzoek.left, lblzoek.top, lblzoek.width,
                                  client.height - margin - lblzoek.top};
inline constexpr Box lblWoord {120, 240, 2415, 375};

/// `Line1`, from (0, 0) to (6720, 0).
inline constexpr Box line1 {0, 0, 6720, 15};

enum class Outline { Rectangle, Oval, Circle };

struct Piece
{
    Outline outline;
    Box box;
};

/// The gallows, in the order it grows.
inline constexpr std::array<Piece, 10> galg {{
    {Outline::Rectangle, {3000, 3240, 3375, 15}}, // ground
    {Outline::Rectangle, {3720, 240, 15, 3015}}, // post
    {Outline::Rectangle, {3240, 240, 2655, 15}}, // beam
    {Outline::Rectangle, {5520, 240, 15, 375}}, // rope
    {Outline::Circle, {5160, 600, 735, 615}}, // head
    {Outline::Oval, {5160, 1200, 735, 855}}, // body
    {Outline::Rectangle, {4680, 1560, 495, 15}}, // left arm
    {Outline::Rectangle, {5880, 1560, 495, 15}}, // right arm
    {Outline::Rectangle, {5280, 1920, 15, 615}}, // left leg
    {Outline::Rectangle, {5760, 1920, 15, 615}}, // right leg
}};

/// The part of the client area the gallows covers.
inline constexpr Box galgArea {3000, 240, 3375, 3015};

} // namespace Main

// --- The own-word dialog -------------------------------------------------------

namespace Invul {

inline constexpr Area client {2880, 1800};
inline constexpr Box txtInvul {120, 840, 2655, 285};
inline constexpr Box label1 {120, 240, 2535, 375};
inline constexpr Box cmdOk {1560, 1200, 1215, 375};
inline constexpr Box cmdSluiten {120, 1200, 1335, 375};

} // namespace Invul

// --- The help window -------------------------------------------------------------

namespace Help {

inline constexpr Area client {3630, 4275};
inline constexpr Box image1 {120, 120, 525, 555};
inline constexpr Box image2 {2880, 120, 525, 555};
inline constexpr Box label1 {840, 240, 1935, 375};
inline constexpr Box label2 {120, 840, 3375, 1215};
inline constexpr Box label3 {120, 2040, 3375, 855};
inline constexpr Box label4 {120, 3000, 3375, 735};
inline constexpr Box cmdSluithelp {1200, 3840, 1095, 375};

} // namespace Help

// --- The info window -------------------------------------------------------------

namespace Info {

inline constexpr Area client {2475, 495};
inline constexpr Box label1 {120, 120, 2535, 375};

} // namespace Info

} // namespace Layout
