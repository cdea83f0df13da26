#pragma once

#include "widgets/gui/colors.h"
#include "widgets/gui/hover_button_types.h"

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QString>

namespace strovane::widgets {

// Everything one face of a hover button depends on.
struct HoverButtonFace {
    int width = 100;
    int height = 23;
    TextAlignment alignment = TextAlignment::Center;
    QString caption;
    GlyphLayout layout = GlyphLayout::GlyphLeft;
    QFont font;
    ColorRef fontColor = kSysWindowText;
    ColorRef shadowColor = 0x808080;
    ColorRef lightColor = 0xFFFFFF;
    ColorRef hotTrackColor = kNoColor;
    ColorRef colorWhenDown = kNoColor;
    ColorRef color = kSysButtonFace;
    HoverButtonStyle style = HoverButtonStyle::Normal;
    bool hasPopupMenu = false;
    bool wordWrap = false;
    bool flat = false;
    bool enabled = true;
    bool hot = false;
    bool down = false;
    QImage glyph; // the strip of numGlyphs cells side by side
    QImage glyphFine; // optional: the same strip at twice the resolution, for scaled screens
    int numGlyphs = 0;
    int hotTrackStep = 0; // 0 (plain colour) .. 8 (hot colour)
};

// Draws a whole button face of face.width x face.height at (0, 0) of `p`.
// Transparent parts of Modern, Shape and Quicken are left as they were.
void drawButtonFace(QPainter& p, const HoverButtonFace& face, const QPalette& palette);

// A vertical gradient from `a` to `b` in 32 bands over rows top..bottom, columns left..right.
void fillGradient(QPainter& p, const QColor& a, const QColor& b, int left, int top, int right, int bottom);

// `color` moved toward `hot` by step / 8, each byte truncated.
QColor blendHotColor(const QColor& color, const QColor& hot, int step);

// One cell of `strip` (starting at x = offset) drawn at (x, y), its bottom-left
// colour transparent; an offset beyond the strip shows cell 0. On a device with a pixel
// ratio above 1 the cell comes from `fineStrip` (same cells at twice the size) when given.
void drawGlyphCell(QPainter& p, const QImage& strip, int x, int y, int offset, int glyphW, int glyphH,
                   const QImage& fineStrip = {});

// The glyph cell a face shows: 0 normal, 1 disabled, 2 down, 3 hot.
int glyphCellIndex(const HoverButtonFace& face);

// The caption with characters removed from its end until it fits `avail` pixels.
QString fitCaption(const QFontMetrics& metrics, QString caption, int avail);

} // namespace strovane::widgets
