#pragma once

#include <QColor>
#include <QPalette>

#include <cstdint>

namespace strovane::widgets {

// A colour as the windows' descriptions give it: $00BBGGRR for a direct colour,
// $FF0000nn for system colour nn, clNone for "not set".
using TColor = std::uint32_t;

constexpr TColor clNone = 0x1FFFFFFF;

// System colours (index = the classic system colour number).
constexpr TColor clWindow = 0xFF000005;
constexpr TColor clWindowText = 0xFF000008;
constexpr TColor clHighlight = 0xFF00000D;
constexpr TColor clHighlightText = 0xFF00000E;
constexpr TColor clBtnFace = 0xFF00000F;
constexpr TColor clBtnShadow = 0xFF000010;
constexpr TColor clGrayText = 0xFF000011;
constexpr TColor clBtnText = 0xFF000012;
constexpr TColor clBtnHighlight = 0xFF000014;
constexpr TColor cl3DDkShadow = 0xFF000015;
constexpr TColor cl3DLight = 0xFF000016;

// Direct colours used by the windows and the palettes.
constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clNavy = 0x800000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clSkyBlue = 0xF0CAA6;

// The direct colour of red, green and blue bytes.
constexpr TColor rgbColor(int r, int g, int b) {
    return TColor(r & 0xFF) | (TColor(g & 0xFF) << 8) | (TColor(b & 0xFF) << 16);
}

constexpr bool isSystemColor(TColor c) { return (c & 0xFF000000u) == 0xFF000000u; }

// The colour as RGB; system colours come from `palette` (clNone reads as black).
QColor toQColor(TColor c, const QPalette& palette);
// Same, from the application's palette.
QColor toQColor(TColor c);

// The direct colour of an RGB value (alpha dropped).
TColor fromQColor(const QColor& c);

} // namespace strovane::widgets
