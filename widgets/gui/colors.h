#pragma once

#include <QColor>
#include <QPalette>

#include <cstdint>

namespace strovane::widgets {

// A colour as the windows' descriptions give it: $00BBGGRR for a direct colour,
// $FF0000nn for system colour nn, kNoColor for "not set".
using ColorRef = std::uint32_t;

constexpr ColorRef kNoColor = 0x1FFFFFFF;

// System colours (index = the classic system colour number).
constexpr ColorRef kSysWindow = 0xFF000005;
constexpr ColorRef kSysWindowText = 0xFF000008;
constexpr ColorRef kSysHighlight = 0xFF00000D;
constexpr ColorRef kSysHighlightText = 0xFF00000E;
constexpr ColorRef kSysButtonFace = 0xFF00000F;
constexpr ColorRef kSysButtonShadow = 0xFF000010;
constexpr ColorRef kSysGrayText = 0xFF000011;
constexpr ColorRef kSysButtonText = 0xFF000012;
constexpr ColorRef kSysButtonHighlight = 0xFF000014;
constexpr ColorRef kSys3dDarkShadow = 0xFF000015;
constexpr ColorRef kSys3dLight = 0xFF000016;

// Direct colours used by the windows and the palettes.
constexpr ColorRef kBlack = 0x000000;
constexpr ColorRef kMaroon = 0x000080;
constexpr ColorRef kGreen = 0x008000;
constexpr ColorRef kNavy = 0x800000;
constexpr ColorRef kGray = 0x808080;
constexpr ColorRef kSilver = 0xC0C0C0;
constexpr ColorRef kRed = 0x0000FF;
constexpr ColorRef kLime = 0x00FF00;
constexpr ColorRef kYellow = 0x00FFFF;
constexpr ColorRef kBlue = 0xFF0000;
constexpr ColorRef kFuchsia = 0xFF00FF;
constexpr ColorRef kWhite = 0xFFFFFF;
constexpr ColorRef kSkyBlue = 0xF0CAA6;

// The direct colour of red, green and blue bytes.
constexpr ColorRef rgbColor(int r, int g, int b) {
    return ColorRef(r & 0xFF) | (ColorRef(g & 0xFF) << 8) | (ColorRef(b & 0xFF) << 16);
}

constexpr bool isSystemColor(ColorRef c) { return (c & 0xFF000000u) == 0xFF000000u; }

// The colour as RGB; system colours come from `palette` (kNoColor reads as black).
QColor toQColor(ColorRef c, const QPalette& palette);
// Same, from the application's palette.
QColor toQColor(ColorRef c);

// The direct colour of an RGB value (alpha dropped).
ColorRef fromQColor(const QColor& c);

} // namespace strovane::widgets
