#pragma once

#include <QImage>
#include <QPainter>

namespace strovane::testing {

// What the widget's PaintTo draws, on a green image of the widget's size: green stays where it
// paints nothing.
template <typename Widget> QImage render(const Widget& widget) {
    QImage img(widget.size(), QImage::Format_RGB32);
    img.fill(Qt::green);
    QPainter p(&img);
    widget.paintTo(p);
    return img;
}

// The same on an image of `ratio` device pixels per unit, as a scaled screen paints.
template <typename Widget> QImage renderAt(const Widget& widget, qreal ratio) {
    QImage img(QSize(qRound(widget.width() * ratio), qRound(widget.height() * ratio)), QImage::Format_RGB32);
    img.setDevicePixelRatio(ratio);
    img.fill(Qt::green);
    QPainter p(&img);
    widget.paintTo(p);
    return img;
}

} // namespace strovane::testing
