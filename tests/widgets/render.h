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
    widget.PaintTo(p);
    return img;
}

} // namespace strovane::testing
