#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPoint>
#include <QRect>

#include <initializer_list>

namespace strovane::widgets::gdi {

// Drawing in the coordinates the widgets' drawings are written in: rectangles are
// (left, top, right, bottom) with right and bottom outside, and a line from A to B
// paints A but not B. Only horizontal and vertical lines are needed.

// On a device whose pixel ratio is not 1, every rectangle is moved onto whole device pixels.

// The pixel ratio of the device `p` paints on.
qreal devicePixelRatio(const QPainter& p);

// Fills (l, t) .. (r, b), right and bottom excluded.
void fillRect(QPainter& p, int l, int t, int r, int b, const QColor& c);
void fillRect(QPainter& p, int l, int t, int r, int b, const QBrush& brush);

// A horizontal or vertical line from `from` to `to`, the end point excluded.
void line(QPainter& p, QPoint from, QPoint to, const QColor& c);

// Consecutive lines through the points (each end point excluded).
void polyline(QPainter& p, std::initializer_list<QPoint> points, const QColor& c);

// A 1-pixel outline of (l, t, r, b): its last column is r - 1 and last row b - 1.
void frameRect(QPainter& p, int l, int t, int r, int b, const QColor& c);

// A 3-D frame of `width` lines inside `rect`: top-left lines in `topLeft`,
// bottom-right lines in `bottomRight`; `rect` shrinks by the width.
void frame3d(QPainter& p, QRect& rect, const QColor& topLeft, const QColor& bottomRight, int width);

// A rounded outline of (l, t, r, b) with the given corner ellipse.
void roundOutline(QPainter& p, int l, int t, int r, int b, int cornerW, int cornerH, const QColor& c);

// A filled rounded rectangle without outline (the filled area stops one pixel short
// of the right and bottom edges).
void roundFill(QPainter& p, int l, int t, int r, int b, int cornerW, int cornerH, const QColor& c);

// A filled ellipse inside (l, t, r, b) without outline.
void ellipseFill(QPainter& p, int l, int t, int r, int b, const QColor& c);

// A dotted focus rectangle inside (l, t, r, b), every other pixel, starting at the corner.
void focusRect(QPainter& p, int l, int t, int r, int b, const QColor& c);

// `image` drawn at (x, y) with its pixels of colour `key` left out.
void drawTransparent(QPainter& p, int x, int y, const QImage& image, QRgb key);

// `image` drawn at (x, y) with the colour of its bottom-left pixel left out.
void drawAutoTransparent(QPainter& p, int x, int y, const QImage& image);

// The RGB of a colour as a 24-bit QRgb with full alpha, for comparisons.
inline QRgb opaque(const QColor& c) { return qRgb(c.red(), c.green(), c.blue()); }

} // namespace strovane::widgets::gdi
