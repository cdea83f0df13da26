#include "widgets/gui/colour_panel.h"

#include "tests/support/temp_dir.h"
#include "tests/widgets/gui/render.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace strovane::widgets;
using strovane::testing::render;
using strovane::testing::TempDir;

namespace {

// A panel fading between black and white, so a pixel's red byte is its step's colour.
ColourPanel* gradientPanel(ColourPanel& panel, int w, int h, int filter) {
    panel.resize(w, h);
    panel.setColor(rgbColor(0, 0, 0));
    panel.setFilter(filter);
    return &panel;
}

TEST(ColourPanelState, NewPanelDefaults) {
    ColourPanel p;
    EXPECT_EQ(p.filter(), 0);
    EXPECT_EQ(p.borderColor(), kSysButtonFace);
    EXPECT_EQ(p.color(), kSysButtonFace);
    EXPECT_FALSE(p.isImageEmpty());
    EXPECT_FALSE(p.imageStretch());
    EXPECT_TRUE(p.fileName().isEmpty());
    EXPECT_EQ(p.bevelOuter(), BevelCut::Raised);
    EXPECT_EQ(p.bevelInner(), BevelCut::None);
    EXPECT_EQ(p.borderWidth(), 0);
    EXPECT_EQ(p.alignment(), TextAlignment::Center);
    p.resize(120, 40);
    EXPECT_EQ(p.imageWidth(), 120) << "no picture: the client size";
    EXPECT_EQ(p.imageHeight(), 40);
}

TEST(ColourPanelDrawing, PlainFaceWithCaptionCentredOnTheHeightOfW) {
    ColourPanel p;
    p.resize(120, 41);
    p.setBevelOuter(BevelCut::None);
    p.setColor(0x00EDF7F8);
    QFont font = p.font();
    font.setStyleStrategy(QFont::NoAntialias);
    p.setFont(font);
    const QRgb face = qRgb(248, 247, 237);
    QImage img = render(p);
    for (QPoint pt : {QPoint(0, 0), QPoint(119, 40), QPoint(60, 20), QPoint(0, 40)})
        EXPECT_EQ(img.pixel(pt), face);

    p.setCaption(QStringLiteral("WWW"));
    img = render(p);
    const int h = QFontMetrics(font).height();
    const int top = (41 - h) / 2;
    int first = -1, last = -1;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (img.pixel(x, y) != face) {
                if (first < 0)
                    first = y;
                last = y;
            }
    ASSERT_GE(first, 0) << "the caption is drawn";
    EXPECT_GE(first, top);
    EXPECT_LT(last, top + h);
}

TEST(ColourPanelDrawing, BordersAndBevels) {
    ColourPanel p;
    p.resize(60, 30);
    QPalette pal;
    pal.setColor(QPalette::Light, QColor(250, 250, 250));
    pal.setColor(QPalette::Dark, QColor(100, 100, 100));
    p.setPalette(pal);
    p.setColor(rgbColor(10, 20, 30));
    QImage img = render(p);
    EXPECT_EQ(img.pixel(0, 10), qRgb(250, 250, 250)) << "raised outer bevel";
    EXPECT_EQ(img.pixel(59, 10), qRgb(100, 100, 100));
    EXPECT_EQ(img.pixel(1, 10), qRgb(10, 20, 30));

    p.setBevelOuter(BevelCut::None);
    p.setBorderWidth(2);
    p.setBorderColor(rgbColor(200, 0, 0));
    img = render(p);
    const QRgb face = qRgb(10, 20, 30), border = qRgb(200, 0, 0);
    const QRgb expected[] = {face, face, border, border, face};
    for (int x = 0; x < 5; ++x)
        EXPECT_EQ(img.pixel(x, 15), expected[x]) << "column " << x;
    EXPECT_EQ(img.pixel(57, 15), border);
    EXPECT_EQ(img.pixel(58, 15), face);
    EXPECT_EQ(img.pixel(30, 2), border);
}

TEST(ColourPanelDrawing, WhiteColourPaintsThePlainFaceWhateverTheFilter) {
    ColourPanel p;
    p.resize(80, 40);
    p.setBevelOuter(BevelCut::None);
    p.setColor(0xFFFFFF);
    for (int filter : {1, 2, 3, 4, 7}) {
        p.setFilter(filter);
        const QImage img = render(p);
        for (QPoint pt : {QPoint(0, 0), QPoint(40, 20), QPoint(79, 39)})
            EXPECT_EQ(img.pixel(pt), qRgb(255, 255, 255)) << filter;
    }
}

struct StepCase {
    int w, h, filter, steps;
};

TEST(ColourPanelDrawing, StepCountIsHalfTheLongerSideLessMarginsAtLeast31) {
    const StepCase cases[] = {
        {200, 100, 3, 75}, {200, 100, 2, 95}, {200, 100, 1, 75}, {100, 200, 5, 75},
        {40, 30, 3, 31},   {40, 30, 2, 31},   {0, 0, 4, 31},     {300, 80, -1, 125},
    };
    for (const StepCase& c : cases)
        EXPECT_EQ(ColourPanel::filterSteps(c.w, c.h, c.filter), c.steps) << c.w << "x" << c.h << " filter " << c.filter;
}

struct GradientPoint {
    int w, h, filter;
    int x, y;
    int red; // the step's colour, within 1
    const char* what;
};

TEST(ColourPanelDrawing, FilterGradientsPaintEachStepsColour) {
    const GradientPoint cases[] = {
        // Filter 3: 75 rectangles toward white; on the middle row column x is last covered by
        // rectangle min(x, 49).
        {200, 100, 3, 0, 50, int(0 * 255.0 / 75), "rectangle 0"},
        {200, 100, 3, 1, 50, int(1 * 255.0 / 75), "rectangle 1"},
        {200, 100, 3, 10, 50, int(10 * 255.0 / 75), "rectangle 10"},
        {200, 100, 3, 30, 50, int(30 * 255.0 / 75), "rectangle 30"},
        {200, 100, 3, 49, 50, int(49 * 255.0 / 75), "rectangle 49"},
        {200, 100, 3, 100, 50, int(49 * 255.0 / 75), "centre"},
        // Filter 2: 95 ellipses from white.
        {200, 100, 2, 0, 0, int(255 - 2 * 255.0 / 95), "the corner keeps the base fill"},
        {200, 100, 2, 100, 50, int(255 - 49 * 255.0 / 95), "centre"},
        // Filter 4 starts ten steps in.
        {200, 100, 4, 0, 50, int(255 - 10 * 255.0 / 75), "edge"},
        {200, 100, 4, 20, 50, int(255 - 30 * 255.0 / 75), "twenty in"},
        // Filter 1: bands follow the longer side.
        {200, 100, 1, 100, 10, int(37 * 255.0 / 75), "wide: middle band"},
        {200, 100, 1, 199, 90, int(74 * 255.0 / 75), "wide: band 75 starts at the right edge"},
        {100, 200, 1, 99, 100, int(37 * 255.0 / 75), "tall: bands stop at the right edge"},
        // A small panel uses the minimum of 31 steps.
        {40, 30, 3, 5, 15, int(5 * 255.0 / 31), "small panel"},
    };
    for (const GradientPoint& c : cases) {
        ColourPanel p;
        const QImage img = render(*gradientPanel(p, c.w, c.h, c.filter));
        EXPECT_NEAR(qRed(img.pixel(c.x, c.y)), c.red, 1)
            << "filter " << c.filter << " at " << c.x << "," << c.y << ": " << c.what;
    }
}

TEST(ColourPanelDrawing, FilterGradientsLeaveTheirOuterStepInThePanelsColour) {
    ColourPanel rectangles;
    EXPECT_EQ(render(*gradientPanel(rectangles, 200, 100, 3)).pixel(0, 0), qRgb(0, 0, 0)) << "filter 3";
    ColourPanel bands;
    EXPECT_EQ(qRed(render(*gradientPanel(bands, 200, 100, 1)).pixel(0, 10)), 0) << "filter 1";
}

TEST(ColourPanelImage, FilenameLoadsPictureOrClearsEverything) {
    TempDir dir;
    const QString path = QString::fromStdString((dir / "logo.bmp").string());
    QImage picture(10, 8, QImage::Format_RGB32);
    picture.fill(qRgb(200, 0, 0));
    picture.setPixel(0, 7, qRgb(255, 255, 255)); // the bitmap's transparent colour
    ASSERT_TRUE(picture.save(path, "BMP"));

    ColourPanel p;
    p.resize(50, 30);
    p.setBevelOuter(BevelCut::None);
    p.setColor(rgbColor(0, 0, 255));
    p.setFilter(3);
    p.setFileName(path);
    EXPECT_EQ(p.fileName(), path);
    EXPECT_TRUE(p.isImageEmpty());
    EXPECT_EQ(p.filter(), 0);
    EXPECT_EQ(p.imageWidth(), 10);
    EXPECT_EQ(p.imageHeight(), 8);
    QImage shown(p.size(), QImage::Format_RGB32);
    p.render(&shown);
    EXPECT_EQ(shown.pixel(5, 2), qRgb(200, 0, 0)) << "the picture covers the face";
    EXPECT_EQ(shown.pixel(0, 7), qRgb(0, 0, 255)) << "its bottom-left colour is transparent";
    EXPECT_EQ(shown.pixel(20, 20), qRgb(0, 0, 255));

    p.setImageStretch(true);
    p.render(&shown);
    EXPECT_EQ(shown.pixel(40, 5), qRgb(200, 0, 0)) << "stretched over the whole panel";

    p.setFileName(QString::fromStdString((dir / "missing.bmp").string()));
    EXPECT_TRUE(p.fileName().isEmpty());
    EXPECT_FALSE(p.isImageEmpty());
    EXPECT_EQ(p.imageWidth(), 50);
    p.render(&shown);
    EXPECT_EQ(shown.pixel(5, 2), qRgb(0, 0, 255)) << "the picture is gone";

    const QString junk = QString::fromStdString((dir / "junk.bmp").string());
    QFile f(junk);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("not a picture");
    f.close();
    p.setFileName(junk);
    EXPECT_TRUE(p.fileName().isEmpty()) << "an unreadable file is not claimed as loaded";
    EXPECT_FALSE(p.isImageEmpty());
}

TEST(ColourPanelImage, ImageEmptySetsFilterZero) {
    ColourPanel p;
    p.setFilter(4);
    p.setImageEmpty(true);
    EXPECT_EQ(p.filter(), 0);
    p.setFilter(2);
    p.setImageEmpty(false);
    EXPECT_EQ(p.filter(), 2);
}

} // namespace
