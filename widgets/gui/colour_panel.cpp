#include "widgets/gui/colour_panel.h"

#include "widgets/gui/gdi_paint.h"

#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <QStyle>

#include <algorithm>

namespace strovane::widgets {

// ---------------------------------------------------------------- picture child

PanelImage::PanelImage(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setEnabled(false);
}

void PanelImage::setPicture(const QImage& picture) {
    m_picture = picture;
    if (!m_picture.isNull() && !m_picture.hasAlphaChannel()) {
        // Bitmaps show their bottom-left colour as transparent.
        const QRgb key = m_picture.pixel(0, m_picture.height() - 1) | 0xFF000000u;
        m_picture = m_picture.convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < m_picture.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(m_picture.scanLine(y));
            for (int x = 0; x < m_picture.width(); ++x)
                if ((line[x] | 0xFF000000u) == key)
                    line[x] = 0;
        }
    }
    update();
}

void PanelImage::setStretch(bool on) {
    m_stretch = on;
    update();
}

void PanelImage::paintEvent(QPaintEvent*) {
    if (m_picture.isNull())
        return;
    QPainter p(this);
    if (m_stretch)
        p.drawImage(rect(), m_picture);
    else
        p.drawImage(0, 0, m_picture);
}

// ---------------------------------------------------------------- panel

ColourPanel::ColourPanel(QWidget* parent) : QWidget(parent) {
    resize(185, 41);
    m_image = new PanelImage(this);
    m_image->setGeometry(rect());
}

ColourPanel::~ColourPanel() = default;

void ColourPanel::setBorderColor(ColorRef c) {
    if (m_borderColor == c)
        return;
    m_borderColor = c;
    update();
}

void ColourPanel::setFilter(int filter) {
    if (m_filter == filter)
        return;
    m_filter = filter;
    repaint();
}

void ColourPanel::setImageEmpty(bool on) {
    if (m_imageEmpty == on)
        return;
    m_imageEmpty = on;
    if (on)
        m_filter = 0;
    update();
}

void ColourPanel::setFileName(const QString& path) {
    m_fileName = path;
    QImage picture;
    if (!path.isEmpty() && QFileInfo(path).isFile())
        picture = QImageReader(path).read();
    if (!picture.isNull()) {
        m_image->setPicture(picture);
        setImageEmpty(true);
        return;
    }
    // Missing or unreadable: nothing shown, nothing claimed as loaded.
    m_fileName.clear();
    m_image->setPicture(QImage());
    setImageEmpty(false);
}

void ColourPanel::setImageStretch(bool on) {
    if (m_stretch == on)
        return;
    m_stretch = on;
    m_image->setStretch(on);
    update();
}

// The picture area always fills the panel, so its size is the panel's even before the
// panel has been shown and laid out.
int ColourPanel::imageWidth() const {
    return m_image->picture().isNull() ? width() : m_image->picture().width();
}

int ColourPanel::imageHeight() const {
    return m_image->picture().isNull() ? height() : m_image->picture().height();
}

void ColourPanel::setAlignment(TextAlignment a) {
    m_alignment = a;
    update();
}

void ColourPanel::setCaption(const QString& caption) {
    m_caption = caption;
    update();
}

void ColourPanel::setBevelInner(BevelCut cut) {
    m_bevelInner = cut;
    update();
}

void ColourPanel::setBevelOuter(BevelCut cut) {
    m_bevelOuter = cut;
    update();
}

void ColourPanel::setBevelWidth(int width) {
    m_bevelWidth = std::max(width, 1);
    update();
}

void ColourPanel::setBorderWidth(int width) {
    m_borderWidth = std::max(width, 0);
    update();
}

void ColourPanel::setColor(ColorRef c) {
    m_color = c;
    update();
}

void ColourPanel::setFontColor(ColorRef c) {
    m_fontColor = c;
    update();
}

void ColourPanel::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    m_image->setGeometry(rect());
}

// ---------------------------------------------------------------- painting

int ColourPanel::filterSteps(int width, int height, int filter) {
    int n = std::max(width / 2, height / 2) - 5;
    if (filter != 2)
        n -= 20;
    return std::max(n, 31);
}

void ColourPanel::filterFill(QPainter& p, const QColor& a, const QColor& b, int left, int top, int right,
                              int bottom, int filter) {
    const int span = std::max(right - left, bottom - top);
    const int halfW = (right - left) / 2;
    const int halfH = (bottom - top) / 2;
    const int n = filterSteps(right - left, bottom - top, filter);
    double r = a.red(), g = a.green(), bl = a.blue();
    const double dr = double(b.red() - a.red()) / n;
    const double dg = double(b.green() - a.green()) / n;
    const double db = double(b.blue() - a.blue()) / n;
    auto current = [&] { return QColor(int(r), int(g), int(bl)); };
    auto advance = [&](int steps) {
        for (int k = 0; k < steps; ++k) {
            r += dr;
            g += dg;
            bl += db;
        }
    };

    if (filter == 2) {
        const double r2 = r + 2 * dr, g2 = g + 2 * dg, b2 = bl + 2 * db;
        gdi::fillRect(p, left, top, right, bottom, QColor(int(r2), int(g2), int(b2)));
    } else if (filter == 3) {
        gdi::fillRect(p, left, top, right, bottom, b);
    } else if (filter == 4) {
        advance(10);
    }

    for (int i = 0; i <= n; ++i) {
        const QColor c = current();
        advance(1);
        const int dx = std::min(i, halfW), dy = std::min(i, halfH);
        if (filter == 1) {
            const int x = left + i * span / n;
            gdi::fillRect(p, x, top, std::min(x + span / n + 1, right), bottom, c);
        } else if (filter == 3 || filter == 4) {
            gdi::fillRect(p, left + dx, top + dy, right - dx, bottom - dy, c);
        } else {
            gdi::ellipseFill(p, left + dx, top + dy, right - dx, bottom - dy, c);
        }
    }
}

void ColourPanel::paintTo(QPainter& p) const {
    const QPalette& pal = palette();
    QRect r = rect();
    const QColor face = toQColor(m_color, pal);
    const QColor highlight = toQColor(kSysButtonHighlight, pal);
    const QColor shadow = toQColor(kSysButtonShadow, pal);
    auto bevel = [&](BevelCut cut) {
        if (cut == BevelCut::None)
            return;
        const bool lowered = cut == BevelCut::Lowered;
        gdi::frame3d(p, r, lowered ? shadow : highlight, lowered ? highlight : shadow, m_bevelWidth);
    };

    if (m_filter == 0) {
        bevel(m_bevelOuter);
        gdi::frame3d(p, r, face, face, m_borderWidth);
        bevel(m_bevelInner);
    }

    const QColor white(255, 255, 255);
    if (m_filter == 0 || m_color == 0xFFFFFF) {
        // The face rectangle: its outline BorderWidth wide in borderColor (or Color).
        const int l = r.left(), t = r.top(), rr = r.right() + 1, b = r.bottom() + 1;
        gdi::fillRect(p, l, t, rr, b, face);
        if (m_borderWidth > 0) {
            const QColor border = toQColor(m_borderColor, pal);
            QRect outline = r;
            gdi::frame3d(p, outline, border, border, m_borderWidth);
        }
        r.adjust(1, 1, -1, -1);
    } else if (m_filter == 2 || m_filter == 4) {
        filterFill(p, white, face, r.left(), r.top(), r.right() + 1, r.bottom() + 1, m_filter);
    } else {
        filterFill(p, face, white, r.left(), r.top(), r.right() + 1, r.bottom() + 1, m_filter);
    }

    if (m_caption.isEmpty())
        return;
    p.setFont(font());
    const QFontMetrics fm(font());
    const int h = fm.height(); // the height of "W"
    const int top = (r.top() + r.bottom() + 1 - h) / 2;
    const QRect textRect(r.left(), top, r.width(), h);
    int align = Qt::AlignHCenter;
    if (m_alignment == TextAlignment::Left)
        align = Qt::AlignLeft;
    else if (m_alignment == TextAlignment::Right)
        align = Qt::AlignRight;
    align = int(QStyle::visualAlignment(layoutDirection(), Qt::Alignment(align)));
    p.save();
    p.setClipRect(textRect, Qt::IntersectClip);
    p.setPen(toQColor(m_fontColor, pal));
    p.drawText(textRect, align | Qt::AlignTop | Qt::TextExpandTabs | Qt::TextShowMnemonic, m_caption);
    p.restore();
}

void ColourPanel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    paintTo(p);
}

} // namespace strovane::widgets
