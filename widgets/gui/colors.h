#pragma once

#include <QColor>
#include <QPalette>

#include <cstdint>

namespace strovane::widgets {

// A colour as the windows' descriptions give it: $00BBGGRR for a direct colour,
// $FF0000nn for system colour nn, clNone for "not set".
using ColorRef = std::uint32_t;

constexpr ColorRef clNone = 0x1FFFFFFF;

// System colours (index = the classic system colour number).
constexpr ColorRef clWindow = 0xFF000005;
constexpr ColorRef clWindowText = 0xFF000008;
constexpr ColorRef clHighlight = 0xFF00000D;
constexpr ColorRef clHighlightText = 0xFF00000E;
constexpr ColorRef clBtnFace = 0xFF00000F;
constexpr ColorRef clBtnShadow = 0xFF000010;
constexpr ColorRef clGrayText = 0xFF000011;
constexpr ColorRef clBtnText = 0xFF000012;
constexpr ColorRef clBtnHighlight = 0xFF000014;
constexpr ColorRef cl3DDkShadow = 0xFF000015;
constexpr ColorRef cl3DLight = 0xFF000016;

// Direct colours used by the windows and the palettes.
constexpr ColorRef clBlack = 0x000000;
constexpr ColorRef clMaroon = 0x000080;
constexpr ColorRef clGreen = 0x008000;
constexpr ColorRef clNavy = 0x800000;
constexpr ColorRef clGray = 0x808080;
constexpr ColorRef clSilver = 0xC0C0C0;
constexpr ColorRef clRed = 0x0000FF;
constexpr ColorRef clLime = 0x00FF00;
constexpr ColorRef clYellow = 0x00FFFF;
constexpr ColorRef clBlue = 0xFF0000;
constexpr ColorRef clFuchsia = 0xFF00FF;
constexpr ColorRef clWhite = 0xFFFFFF;
constexpr ColorRef clSkyBlue = 0xF0CAA6;

// The direct colour of red, green and blue bytes.
constexpr ColorRef rgbColor(int r, int g, int b) {
    return ColorRef(r & 0xFF) | (ColorRef(g & 0xFF) << 8) | (ColorRef(b & 0xFF) << 16);
}

constexpr bool isSystemColor(ColorRef c) { return (c & 0xFF000000u) == 0xFF000000u; }

// The colour as RGB; system colours come from `palette` (clNone reads as black).
QColor toQColor(ColorRef c, const QPalette& palette);
// Same, from the application's palette.
QColor toQColor(ColorRef c);

// The direct colour of an RGB value (alpha dropped).
ColorRef fromQColor(const QColor& c);

} // namespace strovane::widgets
