#include "widgets/gui/hover_button_face.h"

#include "widgets/gui/gdi_paint.h"
#include "widgets/gui/resources.h"

#include <QFontMetrics>

#include <algorithm>

namespace strovane::widgets {

namespace {

constexpr QRgb kMagenta = 0xFFFF00FF;

int alignFlag(TextAlignment a) {
    switch (a) {
    case TextAlignment::Left: return Qt::AlignLeft;
    case TextAlignment::Right: return Qt::AlignRight;
    case TextAlignment::Center: break;
    }
    return Qt::AlignHCenter;
}

// The caption drawn in `r` with word breaks and "&" underlining, clipped to `r`.
void drawCaption(QPainter& p, const QRect& r, int align, const QString& text, const QColor& c) {
    if (r.isEmpty() || text.isEmpty())
        return;
    p.save();
    p.setClipRect(r, Qt::IntersectClip);
    p.setPen(c);
    p.drawText(r, align | Qt::AlignTop | Qt::TextWordWrap | Qt::TextShowMnemonic, text);
    p.restore();
}

QImage arrowImage(qreal ratio) { return resourceImageAt(QStringLiteral("LBARROW"), ratio); }

} // namespace

QColor blendHotColor(const QColor& color, const QColor& hot, int step) {
    const double s = step / 8.0;
    auto mix = [s](int a, int b) { return int((1.0 - s) * a + s * b); };
    return QColor(mix(color.red(), hot.red()), mix(color.green(), hot.green()), mix(color.blue(), hot.blue()));
}

void fillGradient(QPainter& p, const QColor& a, const QColor& b, int left, int top, int right, int bottom) {
    const int span = bottom - top;
    const int band = span / 31 + 1;
    double r = a.red(), g = a.green(), bl = a.blue();
    const double dr = (b.red() - a.red()) / 31.0;
    const double dg = (b.green() - a.green()) / 31.0;
    const double db = (b.blue() - a.blue()) / 31.0;
    for (int i = 0; i <= 31; ++i) {
        const int y = top + i * span / 31;
        gdi::fillRect(p, left, y, right, std::min(y + band, bottom), QColor(int(r), int(g), int(bl)));
        r += dr;
        g += dg;
        bl += db;
    }
}

void drawGlyphCell(QPainter& p, const QImage& strip, int x, int y, int offset, int glyphW, int glyphH,
                   const QImage& fineStrip) {
    if (strip.isNull() || glyphW <= 0 || glyphH <= 0)
        return;
    QImage source = strip;
    if (!fineStrip.isNull() && gdi::devicePixelRatio(p) > 1.0) {
        source = fineStrip;
        source.setDevicePixelRatio(2.0);
    }
    // Cut in the source's own pixels; the painter below works in units of both images.
    const qreal ratio = source.devicePixelRatio();
    QImage cell = source.copy(0, 0, qRound(glyphW * ratio), qRound(glyphH * ratio)).convertToFormat(QImage::Format_RGB32);
    cell.setDevicePixelRatio(ratio);
    {
        QPainter cp(&cell);
        cp.drawImage(-offset, 0, source);
    }
    gdi::drawAutoTransparent(p, x, y, cell);
}

int glyphCellIndex(const HoverButtonFace& f) {
    int cell = 0;
    if (!f.enabled)
        return 1;
    if (f.hot && f.numGlyphs > 3)
        cell = 3;
    if (f.down && f.numGlyphs > 2)
        cell = 2;
    return cell;
}

QString fitCaption(const QFontMetrics& metrics, QString caption, int avail) {
    while (!caption.isEmpty() && metrics.horizontalAdvance(caption) > avail)
        caption.chop(1);
    return caption;
}

void drawButtonFace(QPainter& p, const HoverButtonFace& fIn, const QPalette& pal) {
    HoverButtonFace f = fIn;
    f.down = f.down && f.enabled; // a disabled button is never drawn down
    const int W = f.width, H = f.height;
    const bool encarta = f.style == HoverButtonStyle::Encarta;
    const int shift = (f.down && !encarta) ? 1 : 0;

    // 1. Face colour.
    QColor face = toQColor(f.color, pal);
    if (f.enabled && f.hotTrackColor != kNoColor)
        face = blendHotColor(face, toQColor(f.hotTrackColor, pal), f.hotTrackStep);
    if (f.down && f.colorWhenDown != kNoColor)
        face = toQColor(f.colorWhenDown, pal);
    const QColor light = toQColor(f.lightColor, pal);
    const QColor shadow = toQColor(f.shadowColor, pal);
    const QColor dkShadow = toQColor(kSys3dDarkShadow, pal);

    // 2. Background.
    switch (f.style) {
    case HoverButtonStyle::Shape:
        gdi::fillRect(p, 0, 0, W, H, QColor::fromRgb(kMagenta));
        break;
    case HoverButtonStyle::Modern:
        fillGradient(p, light, face, 2, 2, W - 2, H / 4 + shift);
        fillGradient(p, face, light, 2, H / 4 + shift, W - 2, H - 1);
        break;
    case HoverButtonStyle::Quicken:
        gdi::roundFill(p, 0, 1, W, H, 4, 4, face);
        break;
    default:
        gdi::fillRect(p, 0, 0, W, H, face);
        break;
    }

    // 3. Frame.
    const bool framed = f.enabled ? (!f.flat || f.hot || f.down) : !f.flat;
    switch (f.style) {
    case HoverButtonStyle::Normal:
    case HoverButtonStyle::Encarta:
        if (framed) {
            const QColor tl = f.down ? shadow : light;
            const QColor br = f.down ? light : shadow;
            gdi::polyline(p, {{0, H - 1}, {0, 0}, {W - 1, 0}}, tl);
            gdi::polyline(p, {{W - 1, 0}, {W - 1, H - 1}, {0, H - 1}}, br);
        }
        break;
    case HoverButtonStyle::Old:
        if (framed) {
            if (!f.down)
                gdi::polyline(p, {{W - 2, 0}, {W - 2, H - 2}, {0, H - 2}}, shadow);
            else
                gdi::polyline(p, {{1, H - 3}, {1, 1}, {W - 2, 1}}, shadow);
            gdi::polyline(p, {{0, H - 1}, {0, 0}, {W - 1, 0}}, f.down ? dkShadow : light);
            gdi::polyline(p, {{W - 1, 0}, {W - 1, H - 1}, {-1, H - 1}}, f.down ? light : dkShadow);
        }
        break;
    case HoverButtonStyle::Modern:
        gdi::frameRect(p, 1, 1, W - 1, H - 1, f.down ? shadow : face);
        gdi::roundOutline(p, 0, 0, W, H, 6, 6, shadow);
        break;
    case HoverButtonStyle::Quicken:
        gdi::line(p, {4, 0}, {W - 5, 0}, shadow);
        gdi::line(p, {4, H - 1}, {W - 5, H - 1}, shadow);
        break;
    case HoverButtonStyle::Shape:
        break;
    }

    // 4. Font.
    QFont font = f.font;
    if (encarta && f.down)
        font.setBold(true);
    if (f.style == HoverButtonStyle::Shape)
        font.setStyleStrategy(QFont::NoAntialias); // smoothed edges would mix with the magenta key
    p.setFont(font);
    const QFontMetrics fm(font);

    // 5. Glyph cell.
    const int glyphW = f.numGlyphs > 0 ? f.glyph.width() / f.numGlyphs : 0;
    const int glyphH = f.glyph.isNull() ? 0 : f.glyph.height();
    const int cellOffset = glyphCellIndex(f) * glyphW;

    // 6.-7. Format and caption fitting.
    const int align = alignFlag(f.alignment);
    int avail;
    if (f.style == HoverButtonStyle::Shape || f.layout == GlyphLayout::GlyphTop ||
        f.layout == GlyphLayout::GlyphBottom)
        avail = std::max(W - 8, 0);
    else
        avail = std::max(W - 8 - (glyphW > 0 ? glyphW + 4 : 0), 0);
    const QString caption = f.wordWrap ? f.caption : fitCaption(fm, f.caption, avail);
    const QRect measured = fm.boundingRect(QRect(0, 0, avail, 1 << 20),
                                           Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap | Qt::TextShowMnemonic,
                                           caption);
    const int TH = caption.isEmpty() ? 0 : measured.height();
    const int TW = caption.isEmpty() ? 0 : measured.width();

    // 8. Placement.
    const QColor fontColor = toQColor(f.fontColor, pal);
    if (f.style == HoverButtonStyle::Shape) {
        drawGlyphCell(p, f.glyph, (W - glyphW) / 2, (H - glyphH) / 2, cellOffset, glyphW, glyphH, f.glyphFine);
        const int top = (H - TH) / 2 + shift;
        drawCaption(p, QRect(shift, top, W - shift, H - top), Qt::AlignHCenter, caption, fontColor);
    } else {
        int textLeft = 4 + shift, textTop = 0, glyphLeft = 0, glyphTop = 0;
        switch (f.layout) {
        case GlyphLayout::GlyphLeft:
        case GlyphLayout::GlyphRight: {
            textTop = (H - TH) / 2 + shift;
            glyphTop = (H - glyphH) / 2 + shift;
            const bool left = f.layout == GlyphLayout::GlyphLeft;
            if (left && glyphW > 0)
                textLeft += glyphW + 4;
            const int span = caption.isEmpty() ? 0 : TW + 4;
            if (left) {
                glyphLeft = 4 + shift;
                if (!f.wordWrap && f.alignment == TextAlignment::Right)
                    glyphLeft = W - 4 - glyphW - span + shift;
                else if (!f.wordWrap && f.alignment == TextAlignment::Center)
                    glyphLeft = (W - glyphW) / 2 + shift - span / 2;
            } else {
                glyphLeft = textLeft + span;
                if (!f.wordWrap && f.alignment == TextAlignment::Right)
                    glyphLeft = W - 4 - glyphW + shift;
                else if (!f.wordWrap && f.alignment == TextAlignment::Center)
                    glyphLeft = (W - glyphW) / 2 + shift + span / 2;
            }
            break;
        }
        case GlyphLayout::GlyphTop:
        case GlyphLayout::GlyphBottom: {
            const int block = TH + (glyphH > 0 ? glyphH + 4 : 0);
            if (f.layout == GlyphLayout::GlyphTop) {
                glyphTop = (H - block) / 2 + shift;
                textTop = glyphTop + glyphH;
            } else {
                textTop = (H - block) / 2 + shift;
                glyphTop = textTop + TH;
            }
            switch (f.alignment) {
            case TextAlignment::Left: glyphLeft = 4 + shift; break;
            case TextAlignment::Right: glyphLeft = W - glyphW - 4 + shift; break;
            case TextAlignment::Center: glyphLeft = (W - glyphW) / 2 + shift; break;
            }
            break;
        }
        }
        const QColor textColor = f.enabled ? fontColor : QColor(0x80, 0x80, 0x80);
        drawCaption(p, QRect(textLeft, textTop, avail, TH), align, caption, textColor);
        drawGlyphCell(p, f.glyph, glyphLeft, glyphTop, cellOffset, glyphW, glyphH, f.glyphFine);
    }

    // 9. Drop-down marker.
    if (f.hasPopupMenu)
        gdi::drawAutoTransparent(p, W - 11, H / 2 - 1, arrowImage(gdi::devicePixelRatio(p)));
}

} // namespace strovane::widgets
