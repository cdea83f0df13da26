#include "widgets/gui/click_sound.h"
#include "widgets/gui/image_check_box.h"

#include "tests/widgets/gui/render.h"

#include <QShortcutEvent>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

using namespace strovane::widgets;
using strovane::testing::render;

namespace {

// A shown, active window with one check box; sounds are counted, not played.
class ImageCheckBoxWindow : public ::testing::Test {
protected:
    void SetUp() override {
        setClickSoundPlayer([this](const QString& name) { sounds << name; });
        window = std::make_unique<QWidget>();
        window->resize(200, 100);
        box = new ImageCheckBox(window.get());
        box->move(10, 10);
        box->setText(QStringLiteral("&Firmware"));
        QObject::connect(box, &QAbstractButton::clicked, window.get(), [this] {
            ++clicks;
            checkedAtClick = box->isChecked();
        });
        QObject::connect(box, &QAbstractButton::pressed, window.get(), [this] { ++mouseDowns; });
    }
    void TearDown() override { setClickSoundPlayer(nullptr); }
    void showActive() {
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }

    std::unique_ptr<QWidget> window;
    ImageCheckBox* box = nullptr;
    int clicks = 0;
    int mouseDowns = 0;
    bool checkedAtClick = false;
    QStringList sounds;
};

TEST(ImageCheckBoxState, NewCheckBoxDefaults) {
    ImageCheckBox c;
    EXPECT_EQ(c.size(), QSize(97, 19));
    EXPECT_FALSE(c.isChecked());
    EXPECT_EQ(c.checkMark(), CheckMark::CrossRed);
    EXPECT_EQ(c.border(), CheckBoxBorder::None);
    EXPECT_EQ(c.alignment(), CheckBoxSide::Right);
    EXPECT_TRUE(c.hotTrack() && c.showHandCursor() && c.playSound() && c.showFocused());
    EXPECT_FALSE(c.isTransparent() || c.isFlat());
    EXPECT_EQ(c.simpleBorderColor(), 0xFF0000u);
    EXPECT_EQ(c.focusPolicy(), Qt::StrongFocus);
    EXPECT_FALSE(c.version().isEmpty());
}

TEST_F(ImageCheckBoxWindow, CheckedInCodeIsSilent) {
    box->setChecked(true);
    EXPECT_TRUE(box->isChecked());
    EXPECT_EQ(clicks, 0);
    EXPECT_TRUE(sounds.isEmpty());
}

TEST_F(ImageCheckBoxWindow, ClickEmitsClickedAfterTheCheckChanged) {
    showActive();
    QTest::mousePress(box, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(box->isChecked()) << "the press ticks the box";
    EXPECT_TRUE(box->hasFocus());
    EXPECT_EQ(mouseDowns, 1);
    EXPECT_EQ(sounds, QStringList{QStringLiteral("klik")});
    EXPECT_EQ(clicks, 0);
    QTest::mouseRelease(box, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(checkedAtClick);

    QTest::mousePress(box, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(box, Qt::LeftButton, {}, QPoint(150, 80));
    EXPECT_FALSE(box->isChecked());
    EXPECT_EQ(clicks, 1) << "released off the box: no click";

    box->setPlaySound(false);
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(sounds.size(), 2);
}

TEST_F(ImageCheckBoxWindow, RightButtonAndDisabledBoxChangeNothing) {
    showActive();
    QTest::mouseClick(box, Qt::RightButton, {}, QPoint(5, 5));
    EXPECT_FALSE(box->isChecked());
    EXPECT_EQ(mouseDowns, 0);
    EXPECT_EQ(clicks, 0);
    box->setEnabled(false);
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_FALSE(box->isChecked());
    EXPECT_EQ(clicks, 0);
    EXPECT_TRUE(sounds.isEmpty());
}

TEST_F(ImageCheckBoxWindow, DoubleClickTogglesTwiceAndClicksTwice) {
    showActive();
    // Through the window, as the platform delivers it: press, release, double click, release.
    QTest::mouseDClick(window->windowHandle(), Qt::LeftButton, {}, box->mapTo(window.get(), QPoint(5, 5)));
    EXPECT_FALSE(box->isChecked());
    EXPECT_EQ(clicks, 2);
}

TEST_F(ImageCheckBoxWindow, EnterClicksWithoutTickingAndSpaceDoesNothing) {
    showActive();
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(box->isChecked());
    QTest::keyClick(box, Qt::Key_Space);
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(box->isChecked());
}

TEST_F(ImageCheckBoxWindow, AcceleratorEmitsClickedBeforeTheCheckChanges) {
    showActive();
    QTest::keyClick(window.get(), Qt::Key_F, Qt::AltModifier);
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(checkedAtClick);
    EXPECT_TRUE(box->isChecked());
    EXPECT_TRUE(box->hasFocus());
    EXPECT_TRUE(sounds.isEmpty());

    box->setEnabled(false);
    QShortcutEvent shortcut(QKeySequence(QStringLiteral("Alt+F")), 0);
    QApplication::sendEvent(box, &shortcut);
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(box->isChecked());
}

TEST_F(ImageCheckBoxWindow, HotTrackingAndHandCursor) {
    showActive();
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), box->mapToGlobal(QPointF(5, 5)));
    QApplication::sendEvent(box, &enter);
    EXPECT_EQ(box->hotIndex(), 1);
    EXPECT_EQ(box->cursor().shape(), Qt::BitmapCursor);
    EXPECT_EQ(box->cursor().hotSpot(), QPoint(0, 0));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(box, &leave);
    EXPECT_EQ(box->hotIndex(), 0);
    EXPECT_FALSE(box->testAttribute(Qt::WA_SetCursor));

    box->setEnabled(false);
    QApplication::sendEvent(box, &enter);
    EXPECT_EQ(box->hotIndex(), 0) << "a disabled box does not light up";
}

TEST(ImageCheckBoxState, HintSecondLineAppendsOnEverySetting) {
    ImageCheckBox c;
    c.setHintSecondLine(QStringLiteral("B"));
    EXPECT_TRUE(c.toolTip().isEmpty()) << "no first line: nothing appended";
    c.setToolTip(QStringLiteral("A"));
    c.setHintSecondLine(QString());
    EXPECT_EQ(c.toolTip(), QStringLiteral("A"));
    c.setHintSecondLine(QStringLiteral("B"));
    EXPECT_EQ(c.toolTip(), QStringLiteral("A\nB"));
    c.setHintSecondLine(QStringLiteral("C"));
    EXPECT_EQ(c.toolTip(), QStringLiteral("A\nB\nC"));
    EXPECT_EQ(c.hintSecondLine(), QStringLiteral("C"));
}

// ---------------------------------------------------------------- drawing

constexpr QRgb kFill = 0xFF3060A0; // the box's Color in the render tests

struct MarkCase {
    bool checked, enabled, flat;
    QRgb centre; // the box's middle, where every mark is drawn
    QRgb rim;    // the box's left edge, one pixel inside
};

TEST(ImageCheckBoxDrawing, BoxAndMarkFollowCheckedEnabledAndFlat) {
    const QRgb red = qRgb(255, 0, 0), white = qRgb(255, 255, 255), black = qRgb(0, 0, 0), grey = qRgb(128, 128, 128);
    const MarkCase cases[] = {
        {true, true, false, red, black},     {false, true, false, white, black}, {true, false, false, kFill, black},
        {false, false, false, kFill, black}, {true, true, true, red, white},     {true, false, true, kFill, kFill},
    };
    for (const MarkCase& c : cases) {
        ImageCheckBox box;
        box.setColor(fromQColor(QColor::fromRgb(kFill)));
        box.setChecked(c.checked);
        box.setEnabled(c.enabled);
        box.setFlat(c.flat);
        const QImage img = render(box);
        // The 16 x 16 picture sits at (2, (19 - 16) / 2) = (2, 1).
        EXPECT_EQ(img.pixel(2 + 7, 1 + 7), c.centre) << c.checked << c.enabled << c.flat;
        EXPECT_EQ(img.pixel(2 + 2, 1 + 6), c.rim) << c.checked << c.enabled << c.flat;
        EXPECT_EQ(img.pixel(2 + 1, 1 + 6), grey) << "outer rim";
        EXPECT_EQ(img.pixel(2, 1 + 15), kFill) << "the magenta key is transparent";
    }
}

TEST(ImageCheckBoxDrawing, EachCheckMarkDrawsItsOwnMark) {
    QSet<QRgb> seen;
    for (int t = 0; t <= int(CheckMark::HookRed); ++t) {
        ImageCheckBox box;
        box.setCheckMark(CheckMark(t));
        box.setChecked(true);
        QImage marked = render(box);
        box.setChecked(false);
        const QImage blank = render(box);
        int differing = 0;
        for (int y = 1; y < 17; ++y)
            for (int x = 2; x < 18; ++x)
                if (marked.pixel(x, y) != blank.pixel(x, y)) {
                    ++differing;
                    seen.insert(marked.pixel(x, y));
                }
        EXPECT_GT(differing, 8) << t;
    }
    EXPECT_GE(seen.size(), 5) << "the marks come in different colours";
}

TEST(ImageCheckBoxDrawing, LeftJustifiedCaptionPutsTheBoxEighteenPixelsFromTheRight) {
    ImageCheckBox box;
    box.setColor(fromQColor(QColor::fromRgb(kFill)));
    box.setChecked(true);
    box.setAlignment(CheckBoxSide::Left);
    const QImage img = render(box);
    EXPECT_EQ(img.pixel(97 - 18 + 7, 1 + 7), qRgb(255, 0, 0));
    EXPECT_EQ(img.pixel(2 + 7, 1 + 7), kFill);
}

TEST(ImageCheckBoxDrawing, FramesOfEachStyle) {
    struct Case {
        CheckBoxBorder style;
        QRgb topLeft, bottomRight;
    };
    QPalette pal;
    pal.setColor(QPalette::Light, QColor(250, 250, 250));
    pal.setColor(QPalette::Dark, QColor(100, 100, 100));
    const QRgb hi = qRgb(250, 250, 250), sh = qRgb(100, 100, 100), blue = qRgb(0, 0, 255);
    const Case cases[] = {{CheckBoxBorder::None, kFill, kFill},
                          {CheckBoxBorder::Lowered, sh, hi},
                          {CheckBoxBorder::Raised, hi, sh},
                          {CheckBoxBorder::Simple, blue, blue}};
    for (const Case& c : cases) {
        ImageCheckBox box;
        box.setPalette(pal);
        box.setColor(fromQColor(QColor::fromRgb(kFill)));
        box.setBorder(c.style);
        const QImage img = render(box);
        EXPECT_EQ(img.pixel(50, 0), c.topLeft) << int(c.style);
        EXPECT_EQ(img.pixel(50, 18), c.bottomRight) << int(c.style);
        EXPECT_EQ(img.pixel(50, 1), kFill) << int(c.style);
    }
}

TEST_F(ImageCheckBoxWindow, HotPatternIsACheckerboardOfHighlightAndColour) {
    box->setText(QString());
    showActive();
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), box->mapToGlobal(QPointF(5, 5)));
    QApplication::sendEvent(box, &enter);
    const QImage img = render(*box);
    const QRgb face = box->palette().color(QPalette::Active, QPalette::Button).rgb();
    const QRgb light = box->palette().color(QPalette::Active, QPalette::Light).rgb();
    ASSERT_NE(face, light);
    for (int y = 0; y < 4; ++y)
        for (int x = 60; x < 64; ++x)
            EXPECT_EQ(img.pixel(x, y), (x % 2 == y % 2) ? light : face) << x << "," << y;
}

TEST_F(ImageCheckBoxWindow, TransparentBoxShowsTheParentThroughFillAndHotPattern) {
    QPalette pal = window->palette();
    pal.setColor(QPalette::Window, QColor(0, 200, 0));
    window->setPalette(pal);
    window->setAutoFillBackground(true);
    box->setColor(rgbColor(200, 0, 0));
    showActive();
    auto pixelAt = [&](int x, int y) { return window->grab().toImage().pixel(box->x() + x, box->y() + y); };
    EXPECT_EQ(pixelAt(94, 2), qRgb(200, 0, 0));
    box->setTransparent(true);
    EXPECT_EQ(pixelAt(94, 2), qRgb(0, 200, 0));
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), box->mapToGlobal(QPointF(5, 5)));
    QApplication::sendEvent(box, &enter);
    EXPECT_EQ(pixelAt(94, 2), qRgb(0, 200, 0));
    EXPECT_EQ(pixelAt(95, 2), qRgb(0, 200, 0));
}

TEST_F(ImageCheckBoxWindow, HotPatternAlternatesEveryDevicePixelAtEveryScale) {
    showActive();
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), box->mapToGlobal(QPointF(5, 5)));
    QApplication::sendEvent(box, &enter);
    ASSERT_EQ(box->hotIndex(), 1);
    for (const qreal ratio : {1.0, 1.25, 1.5, 2.0}) {
        const QImage img = strovane::testing::renderAt(*box, ratio);
        // A stretch of the fill right of the caption, on the second row from the top.
        const int y = qRound(2 * ratio);
        const int x0 = qRound((box->width() - 12) * ratio);
        for (int x = x0; x < x0 + 8; ++x) {
            EXPECT_NE(img.pixel(x, y), img.pixel(x + 1, y)) << "ratio " << ratio << " x " << x;
            EXPECT_NE(img.pixel(x, y), img.pixel(x, y + 1)) << "ratio " << ratio << " x " << x;
        }
    }
}

TEST_F(ImageCheckBoxWindow, FocusBoxIsNarrowerByTheWidthOfTheAmpersand) {
    showActive();
    box->setColor(rgbColor(255, 255, 255));
    box->setFontColor(rgbColor(0, 0, 0));
    box->setFocus();
    const QFontMetrics fm(box->font());
    for (const QString& caption : {QStringLiteral("&Firmware"), QStringLiteral("Firmware")}) {
        box->setText(caption);
        const QImage img = render(*box);
        int rightmost = -1;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 20; x < img.width(); ++x)
                if (img.pixel(x, y) == qRgb(0, 0, 0))
                    rightmost = std::max(rightmost, x);
        const int amp = caption.contains('&') ? fm.horizontalAdvance(QLatin1Char('&')) : 0;
        EXPECT_EQ(rightmost, 22 + fm.horizontalAdvance(caption) - amp + 3) << caption.toStdString();
    }
}

} // namespace
