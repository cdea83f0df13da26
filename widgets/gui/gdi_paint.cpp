#include "widgets/gui/gdi_paint.h"

#include <QPainterPath>

#include <algorithm>

namespace strovane::widgets::gdi {

namespace {

// The device's pixel ratio when it is not 1 and the painter only translates; 1 otherwise.
qreal fractionalRatio(const QPainter& p) {
    const QPaintDevice* device = p.device();
    if (!device || p.worldTransform().type() > QTransform::TxTranslate)
        return 1.0;
    return device->devicePixelRatio();
}

// `r` moved onto whole device pixels, at least one pixel each way, so that neighbouring
// rectangles neither overlap nor leave a gap and a 1-unit line stays one solid line.
QRectF snapped(const QPainter& p, const QRect& r, qreal ratio) {
    const QPointF o = p.worldTransform().map(QPointF(0, 0));
    auto edge = [ratio](qreal logical) { return qreal(qRound(logical * ratio)); };
    const qreal l = edge(r.left() + o.x()), t = edge(r.top() + o.y());
    const qreal rr = std::max(edge(r.left() + r.width() + o.x()), l + 1);
    const qreal b = std::max(edge(r.top() + r.height() + o.y()), t + 1);
    return QRectF(l / ratio - o.x(), t / ratio - o.y(), (rr - l) / ratio, (b - t) / ratio);
}

template <typename Fill> void fillSnapped(QPainter& p, const QRect& r, const Fill& fill) {
    const qreal ratio = fractionalRatio(p);
    if (ratio == 1.0) {
        p.fillRect(r, fill);
        return;
    }
    p.fillRect(snapped(p, r, ratio), fill);
}

} // namespace

qreal devicePixelRatio(const QPainter& p) {
    return p.device() ? p.device()->devicePixelRatio() : 1.0;
}

void fillRect(QPainter& p, int l, int t, int r, int b, const QColor& c) {
    if (r > l && b > t)
        fillSnapped(p, QRect(l, t, r - l, b - t), c);
}

void fillRect(QPainter& p, int l, int t, int r, int b, const QBrush& brush) {
    if (r > l && b > t)
        fillSnapped(p, QRect(l, t, r - l, b - t), brush);
}

void line(QPainter& p, QPoint from, QPoint to, const QColor& c) {
    if (from.y() == to.y()) {
        if (to.x() > from.x())
            fillRect(p, from.x(), from.y(), to.x(), from.y() + 1, c);
        else if (to.x() < from.x())
            fillRect(p, to.x() + 1, from.y(), from.x() + 1, from.y() + 1, c);
    } else if (from.x() == to.x()) {
        if (to.y() > from.y())
            fillRect(p, from.x(), from.y(), from.x() + 1, to.y(), c);
        else
            fillRect(p, from.x(), to.y() + 1, from.x() + 1, from.y() + 1, c);
    }
}

void polyline(QPainter& p, std::initializer_list<QPoint> points, const QColor& c) {
    const QPoint* prev = nullptr;
    for (const QPoint& pt : points) {
        if (prev)
            line(p, *prev, pt, c);
        prev = &pt;
    }
}

void frameRect(QPainter& p, int l, int t, int r, int b, const QColor& c) {
    if (r <= l || b <= t)
        return;
    fillRect(p, l, t, r, t + 1, c);
    fillRect(p, l, b - 1, r, b, c);
    fillRect(p, l, t, l + 1, b, c);
    fillRect(p, r - 1, t, r, b, c);
}

void frame3d(QPainter& p, QRect& rect, const QColor& topLeft, const QColor& bottomRight, int width) {
    int l = rect.left(), t = rect.top(), r = rect.right() + 1, b = rect.bottom() + 1;
    for (int i = 0; i < width && r > l && b > t; ++i) {
        fillRect(p, l, t, r - 1, t + 1, topLeft);
        fillRect(p, l, t, l + 1, b - 1, topLeft);
        fillRect(p, r - 1, t, r, b, bottomRight);
        fillRect(p, l, b - 1, r, b, bottomRight);
        ++l, ++t, --r, --b;
    }
    rect = QRect(QPoint(l, t), QPoint(r - 1, b - 1));
}

static QPainterPath roundPath(double l, double t, double w, double h, int cornerW, int cornerH) {
    QPainterPath path;
    path.addRoundedRect(QRectF(l, t, w, h), cornerW / 2.0, cornerH / 2.0);
    return path;
}

void roundOutline(QPainter& p, int l, int t, int r, int b, int cornerW, int cornerH, const QColor& c) {
    if (r - l < 2 || b - t < 2)
        return;
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setBrush(Qt::NoBrush);
    QPen pen(c, 1);
    pen.setCosmetic(fractionalRatio(p) == 1.0); // elsewhere as wide as the straight lines
    p.setPen(pen);
    p.drawPath(roundPath(l, t, r - l - 1, b - t - 1, cornerW, cornerH));
    p.restore();
}

void roundFill(QPainter& p, int l, int t, int r, int b, int cornerW, int cornerH, const QColor& c) {
    if (r - l < 2 || b - t < 2)
        return;
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawPath(roundPath(l, t, r - l - 1, b - t - 1, cornerW, cornerH));
    p.restore();
}

void ellipseFill(QPainter& p, int l, int t, int r, int b, const QColor& c) {
    if (r <= l || b <= t)
        return;
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawEllipse(QRect(l, t, r - l, b - t));
    p.restore();
}

void focusRect(QPainter& p, int l, int t, int r, int b, const QColor& c) {
    if (r <= l || b <= t)
        return;
    const qreal ratio = fractionalRatio(p);
    if (ratio != 1.0) {
        // Dotted in device pixels: one-pixel dots on the snapped outline, never smeared.
        const QRectF outer = snapped(p, QRect(l, t, r - l, b - t), ratio);
        const QPointF o = p.worldTransform().map(QPointF(0, 0));
        p.save();
        p.resetTransform();
        p.scale(1.0 / ratio, 1.0 / ratio);
        const QRect device(qRound((outer.left() + o.x()) * ratio), qRound((outer.top() + o.y()) * ratio),
                           qRound(outer.width() * ratio), qRound(outer.height() * ratio));
        focusRect(p, device.left(), device.top(), device.left() + device.width(), device.top() + device.height(), c);
        p.restore();
        return;
    }
    // Walk the outline clockwise and set every other pixel, like a dotted focus frame.
    int n = 0;
    auto dot = [&](int x, int y) {
        if (n++ % 2 == 0)
            p.fillRect(QRect(x, y, 1, 1), c);
    };
    for (int x = l; x < r; ++x)
        dot(x, t);
    for (int y = t + 1; y < b; ++y)
        dot(r - 1, y);
    for (int x = r - 2; x >= l && b - 1 > t; --x)
        dot(x, b - 1);
    for (int y = b - 2; y > t && r - 1 > l; --y)
        dot(l, y);
}

void drawTransparent(QPainter& p, int x, int y, const QImage& image, QRgb key) {
    if (image.isNull())
        return;
    QImage keyed = image.convertToFormat(QImage::Format_ARGB32);
    const QRgb k = key | 0xFF000000u;
    for (int row = 0; row < keyed.height(); ++row) {
        auto* line = reinterpret_cast<QRgb*>(keyed.scanLine(row));
        for (int col = 0; col < keyed.width(); ++col)
            if ((line[col] | 0xFF000000u) == k)
                line[col] = 0;
    }
    p.drawImage(x, y, keyed);
}

void drawAutoTransparent(QPainter& p, int x, int y, const QImage& image) {
    if (image.isNull())
        return;
    drawTransparent(p, x, y, image, image.pixel(0, image.height() - 1));
}

} // namespace strovane::widgets::gdi
