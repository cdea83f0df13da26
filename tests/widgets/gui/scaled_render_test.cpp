// The hover buttons drawn on scaled screens (125 %, 150 %, 200 %): frames whole, the caption
// inside its focus frame, and text drawn at the screen's resolution rather than enlarged.
#include "widgets/gui/form_controls.h"
#include "widgets/gui/frame_overlay.h"

#include "tests/widgets/gui/render.h"

#include <QDialog>
#include <QListWidget>
#include <QTest>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace strovane::widgets;
using strovane::testing::renderAt;

namespace {

struct ButtonCase {
    const char* name;
    const char* caption;
    QRect geometry;
    const char* glyph;
    FormButtonLook look;
};

const ButtonCase kButtons[] = {
    {"UpdateExecute", "Execute update firmware", QRect(8, 174, 169, 23), "EXECUTE", FormButtonLook::UpdateExecute},
    {"DialogOk", "OK", QRect(117, 91, 90, 23), "OK", FormButtonLook::Dialog},
    {"OpenProject", "Open project", QRect(8, 8, 121, 25), "OPENPROJECT", FormButtonLook::Dialog},
    {"PlainNoGlyph", "Refresh the port list", QRect(8, 40, 150, 23), "", FormButtonLook::Plain},
};

const qreal kRatios[] = {1.0, 1.25, 1.5, 2.0};

int device(int units, qreal ratio) { return qRound(units * ratio); }

class ScaledButton : public ::testing::TestWithParam<std::tuple<ButtonCase, qreal>> {
protected:
    void SetUp() override {
        const ButtonCase& c = std::get<0>(GetParam());
        window = std::make_unique<QDialog>();
        window->resize(400, 300);
        button = makeFormButton(window.get(), QStringLiteral("button"), QString::fromUtf8(c.caption), c.geometry,
                                QString::fromLatin1(c.glyph), c.look);
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        button->setFocus();
        ASSERT_TRUE(button->hasFocus());
        ratio = std::get<1>(GetParam());
        image = renderAt(*button, ratio);
    }

    QRgb at(int x, int y) const { return image.pixel(x, y) | 0xFF000000u; }

    std::unique_ptr<QDialog> window;
    HoverButton* button = nullptr;
    qreal ratio = 1.0;
    QImage image;
};

TEST_P(ScaledButton, FrameLinesAreWhole) {
    const int W = button->width(), H = button->height();
    const int w = image.width(), h = image.height();
    const QRgb lightColor = toQColor(button->lightColor(), button->palette()).rgb();
    const QRgb shadow = toQColor(button->shadowColor(), button->palette()).rgb();
    for (int x = 0; x < device(W - 1, ratio); ++x)
        ASSERT_EQ(at(x, 0), lightColor) << "top edge broken at x " << x;
    for (int y = device(1, ratio); y < h; ++y)
        ASSERT_EQ(at(0, y), lightColor) << "left edge broken at y " << y;
    for (int y = 0; y < device(H - 1, ratio); ++y)
        ASSERT_EQ(at(w - 1, y), shadow) << "right edge broken at y " << y;
    for (int x = device(1, ratio); x < w; ++x)
        ASSERT_EQ(at(x, h - 1), shadow) << "bottom edge broken at x " << x;
}

TEST_P(ScaledButton, CaptionStaysInsideItsFocusFrame) {
    // The glyph may reach over the focus frame; an invisible strip of its size keeps the layout.
    if (!button->glyph().isNull()) {
        QImage blank(button->glyph().size(), QImage::Format_RGB32);
        blank.fill(QColor(255, 0, 255));
        const int cells = button->numGlyphs();
        button->setGlyph(blank);
        button->setNumGlyphs(cells);
        image = renderAt(*button, ratio);
    }
    const int W = button->width(), H = button->height();
    // Between the button frame and the dotted focus frame only the face shows.
    const int frameL = device(1, ratio), frameT = device(1, ratio);
    const int frameR = device(W - 1, ratio), frameB = device(H - 1, ratio);
    const int focusL = device(4, ratio), focusT = device(4, ratio);
    const int focusR = device(W - 4, ratio), focusB = device(H - 4, ratio);
    const QRgb face = at(frameL, image.height() / 2);
    const QRgb focus = toQColor(button->fontColor(), button->palette()).rgb();
    for (int y = frameT; y < frameB; ++y) {
        for (int x = frameL; x < frameR; ++x) {
            const bool outside = x < focusL || x >= focusR || y < focusT || y >= focusB;
            const bool onFocusLine = !outside && (x == focusL || x == focusR - 1 || y == focusT || y == focusB - 1);
            if (outside) {
                ASSERT_EQ(at(x, y), face) << "ink between the frames at " << x << "," << y;
            } else if (onFocusLine) {
                ASSERT_TRUE(at(x, y) == face || at(x, y) == focus) << "ink on the focus frame at " << x << "," << y;
            }
        }
    }
}

// Enlarging a 1x picture by 2 makes every aligned 2 x 2 block one colour; text and glyphs drawn
// at the screen's resolution have blocks of mixed colours along their edges.
// The block test needs a whole ratio.
using DoubledButton = ScaledButton;

TEST_P(DoubledButton, TextIsDrawnAtTheScreenResolution) {
    int mixed = 0;
    for (int y = 0; y + 1 < image.height(); y += 2)
        for (int x = 0; x + 1 < image.width(); x += 2) {
            const QRgb c = at(x, y);
            if (at(x + 1, y) != c || at(x, y + 1) != c || at(x + 1, y + 1) != c)
                ++mixed;
        }
    EXPECT_GE(mixed, 20) << "the face looks like a 1x picture enlarged";
}

std::string caseName(const ::testing::TestParamInfo<ScaledButton::ParamType>& info) {
    return std::string(std::get<0>(info.param).name) + "_" + std::to_string(qRound(std::get<1>(info.param) * 100));
}

INSTANTIATE_TEST_SUITE_P(Ratios, ScaledButton,
                         ::testing::Combine(::testing::ValuesIn(kButtons), ::testing::ValuesIn(kRatios)), caseName);
INSTANTIATE_TEST_SUITE_P(Ratios, DoubledButton, ::testing::Combine(::testing::ValuesIn(kButtons), ::testing::Values(2.0)),
                         caseName);

// A framed list placed as the open-project dialog places its list, the whole window rendered at
// `ratio`: the list's own frame, or that frame kept on top of the viewport.
QImage renderFramedList(qreal ratio, bool overlay, QRect* listGeometry) {
    QDialog dialog;
    dialog.resize(377, 351);
    auto* list = new QListWidget(&dialog);
    list->setGeometry(24, 43, 329, 249);
    list->addItem(QStringLiteral("alpha"));
    if (overlay)
        keepFrameOnTop(list);
    dialog.show();
    QCoreApplication::processEvents();
    *listGeometry = list->geometry();
    QImage image(QSize(qRound(dialog.width() * ratio), qRound(dialog.height() * ratio)), QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::red);
    dialog.render(&image);
    return image;
}

// A line of the frame crosses the device rows (or columns) from `from` to `to`: some pixel there
// is darker than the list's base and the window around it.
bool frameLineWithin(const QImage& image, int from, int to, bool rows, int across) {
    for (int i = from; i <= to; ++i) {
        const QRgb c = rows ? image.pixel(across, i) : image.pixel(i, across);
        if (qGray(c) < 220)
            return true;
    }
    return false;
}

TEST(FramedList, KeepsItsRightAndBottomLinesAtEveryScale) {
    for (const qreal ratio : kRatios) {
        QRect list;
        const QImage image = renderFramedList(ratio, true, &list);
        const int bottom = int((list.y() + list.height()) * ratio);
        const int right = int((list.x() + list.width()) * ratio);
        EXPECT_TRUE(frameLineWithin(image, bottom - 2, bottom, true, device(list.center().x(), ratio)))
            << "bottom line at " << ratio;
        EXPECT_TRUE(frameLineWithin(image, right - 2, right, false, device(list.center().y(), ratio)))
            << "right line at " << ratio;
    }
}

TEST(FramedList, OverlayChangesNothingAt100Percent) {
    QRect list;
    EXPECT_EQ(renderFramedList(1.0, true, &list), renderFramedList(1.0, false, &list));
}

} // namespace
