#include "widgets/gui/hover_button_face.h"

#include <QFontMetrics>
#include <QPainter>
#include <gtest/gtest.h>

#include <set>

using namespace strovane::widgets;

namespace {

constexpr int W = 40;
constexpr int H = 24;
constexpr QRgb kUntouched = 0xFF00C000; // what the image holds before drawing

// Distinct colours so that every pixel names its source.
const QColor kFace(10, 20, 30);
const QColor kLight(240, 240, 0);
const QColor kShadow(0, 0, 200);
const QColor kDkShadow(1, 2, 3);
const QColor kHot(250, 100, 0);
const QColor kDown(90, 0, 90);

QPalette testPalette() {
    QPalette pal;
    pal.setColor(QPalette::Shadow, kDkShadow);
    pal.setColor(QPalette::Button, QColor(200, 200, 200));
    return pal;
}

HoverButtonFace baseFace(HoverButtonStyle style) {
    HoverButtonFace f;
    f.width = W;
    f.height = H;
    f.style = style;
    f.color = fromQColor(kFace);
    f.lightColor = fromQColor(kLight);
    f.shadowColor = fromQColor(kShadow);
    f.font.setStyleStrategy(QFont::NoAntialias);
    return f;
}

QImage render(const HoverButtonFace& f) {
    QImage img(f.width, f.height, QImage::Format_RGB32);
    img.fill(kUntouched);
    QPainter p(&img);
    drawButtonFace(p, f, testPalette());
    return img;
}

QRgb rgb(const QColor& c) { return qRgb(c.red(), c.green(), c.blue()); }

struct FramePoint {
    HoverButtonStyle style;
    bool down;
    int x, y;
    QColor expected;
    const char* what;
};

TEST(HoverButtonFaceDrawing, FrameColoursOfEachStyleUpAndDown) {
    using S = HoverButtonStyle;
    const QColor magenta(255, 0, 255);
    const FramePoint cases[] = {
        {S::Normal, false, 0, H - 1, kLight, "left edge ends light"},
        {S::Normal, false, W - 2, 0, kLight, "top edge"},
        {S::Normal, false, W - 1, 0, kShadow, "right edge starts at the top corner"},
        {S::Normal, false, 1, H - 1, kShadow, "bottom edge"},
        {S::Normal, false, 10, 10, kFace, "face"},
        {S::Normal, true, 0, 5, kShadow, "down: left edge shadow"},
        {S::Normal, true, W - 1, 5, kLight, "down: right edge light"},
        {S::Encarta, false, 5, 0, kLight, "top edge"},
        {S::Encarta, true, 5, H - 1, kLight, "down: bottom edge light"},
        {S::Old, false, W - 2, 5, kShadow, "inner right line"},
        {S::Old, false, 5, H - 2, kShadow, "inner bottom line"},
        {S::Old, false, 0, 5, kLight, "outer left"},
        {S::Old, false, W - 1, 5, kDkShadow, "outer right"},
        {S::Old, false, 0, H - 1, kDkShadow, "bottom row runs to the left corner"},
        {S::Old, true, 1, 5, kShadow, "down: inner left line"},
        {S::Old, true, 5, 1, kShadow, "down: inner top line"},
        {S::Old, true, 0, 5, kDkShadow, "down: outer left"},
        {S::Old, true, 5, H - 1, kLight, "down: outer bottom"},
        {S::Modern, false, 1, 10, kFace, "inner outline in the face colour"},
        {S::Modern, true, 1, 10, kShadow, "down: inner outline in shadow"},
        {S::Modern, false, 0, 10, kShadow, "rounded outline"},
        // Rows 2..6 hold 32 one-row bands; row 2 keeps the last band starting there (step 7 of 31).
        {S::Modern, false, 5, 2, QColor(188, 190, 6), "gradient starts near light"},
        {S::Quicken, false, 10, 0, kShadow, "top line"},
        {S::Quicken, false, 10, H - 1, kShadow, "bottom line"},
        {S::Quicken, false, 10, 10, kFace, "rounded face"},
        {S::Shape, false, 10, 10, magenta, "whole face transparent"},
    };
    for (const FramePoint& c : cases) {
        HoverButtonFace f = baseFace(c.style);
        f.down = c.down;
        EXPECT_EQ(render(f).pixel(c.x, c.y), rgb(c.expected))
            << int(c.style) << (c.down ? " down: " : " up: ") << c.what;
    }
    // Corners outside the rounded styles stay as they were (transparent in the widget).
    EXPECT_EQ(render(baseFace(S::Modern)).pixel(0, 0), kUntouched);
    EXPECT_EQ(render(baseFace(S::Quicken)).pixel(2, 0), kUntouched);
}

struct FlatCase {
    bool enabled, hot, down, flat;
    bool framed;
};

TEST(HoverButtonFaceDrawing, FlatButtonsDrawTheirFrameOnlyWhenHotOrDown) {
    const FlatCase cases[] = {
        {true, false, false, true, false}, {true, true, false, true, true},  {true, false, true, true, true},
        {true, false, false, false, true}, {false, false, false, true, false}, {false, false, false, false, true},
        {false, true, false, true, false}, // a disabled button is neither hot-framed nor down
    };
    for (HoverButtonStyle style : {HoverButtonStyle::Normal, HoverButtonStyle::Encarta, HoverButtonStyle::Old}) {
        for (const FlatCase& c : cases) {
            HoverButtonFace f = baseFace(style);
            f.enabled = c.enabled;
            f.hot = c.hot;
            f.down = c.down;
            f.flat = c.flat;
            const QRgb edge = render(f).pixel(W - 1, 5);
            SCOPED_TRACE(::testing::Message()
                         << int(style) << " enabled " << c.enabled << " hot " << c.hot << " down " << c.down);
            if (c.framed) {
                EXPECT_NE(edge, rgb(kFace));
            } else {
                EXPECT_EQ(edge, rgb(kFace));
            }
        }
    }
}

TEST(HoverButtonFaceDrawing, FaceBlendsTowardTheHotColourByStep) {
    for (int step = 0; step <= 8; ++step) {
        const double s = step / 8.0;
        const QColor expected(int((1 - s) * kFace.red() + s * kHot.red()), int((1 - s) * kFace.green() + s * kHot.green()),
                              int((1 - s) * kFace.blue() + s * kHot.blue()));
        EXPECT_EQ(blendHotColor(kFace, kHot, step), expected) << step;
        HoverButtonFace f = baseFace(HoverButtonStyle::Encarta);
        f.hotTrackColor = fromQColor(kHot);
        f.hotTrackStep = step;
        EXPECT_EQ(render(f).pixel(10, 10), rgb(expected)) << step;
    }
    HoverButtonFace f = baseFace(HoverButtonStyle::Encarta);
    f.hotTrackColor = fromQColor(kHot);
    f.hotTrackStep = 8;
    f.enabled = false;
    EXPECT_EQ(render(f).pixel(10, 10), rgb(kFace)) << "disabled: no hot colour";
    f.enabled = true;
    f.down = true;
    f.colorWhenDown = fromQColor(kDown);
    EXPECT_EQ(render(f).pixel(10, 10), rgb(kDown)) << "down colour wins";
    f.colorWhenDown = kNoColor;
    EXPECT_EQ(render(f).pixel(10, 10), rgb(kHot)) << "no down colour: the hot face stays";
}

// A strip of `cells` 16 x 16 cells in solid colours, each keyed by a magenta bottom-left pixel.
QImage cellStrip(int cells) {
    static const QRgb colours[] = {qRgb(200, 0, 0), qRgb(0, 200, 0), qRgb(0, 0, 200), qRgb(200, 200, 0)};
    QImage strip(16 * cells, 16, QImage::Format_RGB32);
    for (int c = 0; c < cells; ++c) {
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                strip.setPixel(c * 16 + x, y, colours[c]);
        strip.setPixel(c * 16, 15, qRgb(255, 0, 255));
    }
    return strip;
}

struct CellCase {
    int numGlyphs;
    bool enabled, hot, down;
    QRgb expected;
};

TEST(HoverButtonFaceDrawing, GlyphCellFollowsState) {
    const QRgb c0 = qRgb(200, 0, 0), c1 = qRgb(0, 200, 0), c2 = qRgb(0, 0, 200), c3 = qRgb(200, 200, 0);
    const CellCase cases[] = {
        {4, true, false, false, c0},  {4, false, false, false, c1}, {4, true, true, false, c3},
        {4, true, false, true, c2},   {4, true, true, true, c2},    // down wins over hot
        {3, true, true, false, c0},   {3, true, false, true, c2},   {2, true, false, true, c0},
        {2, false, false, false, c1}, {1, false, false, false, c0}, // one cell: the disabled face keeps it
    };
    for (const CellCase& c : cases) {
        HoverButtonFace f = baseFace(HoverButtonStyle::Encarta); // no shift when down
        f.glyph = cellStrip(c.numGlyphs);
        f.numGlyphs = c.numGlyphs;
        f.enabled = c.enabled;
        f.hot = c.hot;
        f.down = c.down;
        const QImage img = render(f);
        // No caption, centred: the cell sits at ((W - 16) / 2, (H - 16) / 2).
        EXPECT_EQ(img.pixel(12 + 8, 4 + 8), c.expected)
            << c.numGlyphs << " glyphs, enabled " << c.enabled << " hot " << c.hot << " down " << c.down;
        EXPECT_NE(img.pixel(12, 4 + 15), qRgb(255, 0, 255)) << "the key pixel stays transparent";
    }
}

TEST(HoverButtonFaceDrawing, PressedContentMovesExceptInEncartaAndTheShapeGlyph) {
    struct Case {
        HoverButtonStyle style;
        bool moves;
    } cases[] = {{HoverButtonStyle::Normal, true}, {HoverButtonStyle::Old, true}, {HoverButtonStyle::Modern, true},
                 {HoverButtonStyle::Quicken, true}, {HoverButtonStyle::Encarta, false}, {HoverButtonStyle::Shape, false}};
    for (const auto& c : cases) {
        HoverButtonFace f = baseFace(c.style);
        f.glyph = cellStrip(1);
        f.numGlyphs = 1;
        f.down = true;
        const QImage img = render(f);
        // Up, the glyph covers columns 12..27; pressed and moved, 13..28.
        const QRgb glyph = qRgb(200, 0, 0);
        if (c.moves) {
            EXPECT_EQ(img.pixel(28, 10), glyph) << int(c.style);
            EXPECT_NE(img.pixel(12, 10), glyph) << int(c.style);
        } else {
            EXPECT_NE(img.pixel(28, 10), glyph) << int(c.style);
            EXPECT_EQ(img.pixel(12, 10), glyph) << int(c.style);
        }
    }
}

int inkPixels(const QImage& img, QRgb background) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            n += img.pixel(x, y) != background;
    return n;
}

TEST(HoverButtonFaceDrawing, EncartaCaptionTurnsBoldWhilePressed) {
    HoverButtonFace f = baseFace(HoverButtonStyle::Encarta);
    f.width = 100;
    f.caption = QStringLiteral("Held");
    const int up = inkPixels(render(f), rgb(kFace));
    f.down = true;
    const int down = inkPixels(render(f), rgb(kFace));
    EXPECT_GT(up, 20);
    EXPECT_GT(down, up);
}

std::set<QRgb> captionColours(const QImage& img, QRgb background, int top, int bottom) {
    std::set<QRgb> out;
    for (int y = top; y < bottom; ++y)
        for (int x = 2; x < img.width() - 2; ++x)
            if (img.pixel(x, y) != background)
                out.insert(img.pixel(x, y));
    return out;
}

TEST(HoverButtonFaceDrawing, DisabledCaptionIsGreyExceptInShapeStyle) {
    HoverButtonFace f = baseFace(HoverButtonStyle::Normal);
    f.width = 100;
    f.caption = QStringLiteral("Grey");
    f.fontColor = 0x00FF00; // lime
    EXPECT_EQ(captionColours(render(f), rgb(kFace), 2, H - 2), std::set<QRgb>{qRgb(0, 255, 0)});
    f.enabled = false;
    EXPECT_EQ(captionColours(render(f), rgb(kFace), 2, H - 2), std::set<QRgb>{qRgb(128, 128, 128)});
    f.style = HoverButtonStyle::Shape;
    EXPECT_EQ(captionColours(render(f), qRgb(255, 0, 255), 0, H), std::set<QRgb>{qRgb(0, 255, 0)});
}

TEST(HoverButtonFaceDrawing, PopupMarkerSitsElevenPixelsFromTheRightEdge) {
    HoverButtonFace f = baseFace(HoverButtonStyle::Normal);
    f.hasPopupMenu = true;
    const QImage img = render(f);
    const int x = W - 11, y = H / 2 - 1;
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(img.pixel(x + i, y), qRgb(0, 0, 0)) << i;
    EXPECT_EQ(img.pixel(x + 2, y + 2), qRgb(0, 0, 0)) << "the point";
    EXPECT_EQ(img.pixel(x, y + 2), rgb(kFace)) << "the marker's background is transparent";
    f.hasPopupMenu = false;
    EXPECT_EQ(render(f).pixel(x, y), rgb(kFace));
}

TEST(CaptionFitting, CutsCharacterByCharacterUntilItFits) {
    QFont font;
    const QFontMetrics fm(font);
    const QString caption = QStringLiteral("Execute update firmware");
    for (int avail = 0; avail <= fm.horizontalAdvance(caption) + 10; avail += 3) {
        const QString fitted = fitCaption(fm, caption, avail);
        ASSERT_TRUE(caption.startsWith(fitted)) << avail;
        EXPECT_LE(fm.horizontalAdvance(fitted), avail) << avail;
        if (fitted.size() < caption.size()) {
            EXPECT_GT(fm.horizontalAdvance(caption.left(fitted.size() + 1)), avail) << avail;
        }
    }
    EXPECT_EQ(fitCaption(fm, caption, 0), QString());
}

TEST(GradientFill, ThirtyTwoBandsFromFirstToSecondColour) {
    QImage img(10, 62, QImage::Format_RGB32);
    img.fill(kUntouched);
    {
        QPainter p(&img);
        fillGradient(p, QColor(0, 0, 0), QColor(248, 0, 0), 0, 0, 10, 62);
    }
    // Span 62: band i starts at row 2 i, three rows high (the next band overdraws one).
    for (int i = 0; i <= 30; ++i) {
        EXPECT_EQ(qRed(img.pixel(5, 2 * i)), 8 * i) << "band " << i;
        EXPECT_EQ(qRed(img.pixel(5, 2 * i + 1)), 8 * i) << "band " << i;
    }
    EXPECT_EQ(img.pixel(0, 61), qRgb(240, 0, 0));
    EXPECT_EQ(img.pixel(9, 0), qRgb(0, 0, 0)) << "the right column is inside";
}

} // namespace
