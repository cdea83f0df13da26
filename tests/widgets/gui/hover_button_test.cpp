#include "widgets/gui/hover_button.h"

#include "tests/widgets/gui/render.h"

#include <QAccessible>
#include <QDialog>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QShortcutEvent>
#include <QTest>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

using namespace strovane::widgets;
using strovane::testing::render;

namespace {

// A shown, active window holding buttons, so that clicks, focus and keys behave as on screen.
class HoverButtonWindow : public ::testing::Test {
protected:
    void SetUp() override {
        window = std::make_unique<QDialog>();
        window->resize(300, 200);
        button = new HoverButton(window.get());
        button->move(10, 10);
        button->setCaption(QStringLiteral("Press"));
        QObject::connect(button, &QAbstractButton::clicked, window.get(), [this] { ++clicks; });
    }
    void showActive() {
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }

    std::unique_ptr<QDialog> window;
    HoverButton* button = nullptr;
    int clicks = 0;
};

TEST(HoverButtonState, NewButtonDefaults) {
    HoverButton b;
    EXPECT_EQ(b.size(), QSize(100, 23));
    EXPECT_EQ(b.color(), kSysButtonFace);
    EXPECT_EQ(b.alignment(), TextAlignment::Center);
    EXPECT_EQ(b.buttonStyle(), HoverButtonStyle::Normal);
    EXPECT_EQ(b.kind(), HoverButtonKind::Custom);
    EXPECT_EQ(b.glyphLayout(), GlyphLayout::GlyphLeft);
    EXPECT_EQ(b.colorStyle(), HoverColorStyle::Custom);
    EXPECT_EQ(b.numGlyphs(), 0);
    EXPECT_EQ(b.hotTrackStep(), 0);
    EXPECT_EQ(b.modalResult(), 0);
    EXPECT_EQ(b.lightColor(), 0xFFFFFFu);
    EXPECT_EQ(b.shadowColor(), 0x808080u);
    EXPECT_EQ(b.colorWhenDown(), kNoColor);
    EXPECT_EQ(b.hotTrackColor(), kNoColor);
    EXPECT_FALSE(b.isFlat() || b.wordWrap() || b.isDefault() || b.isCancel() || b.slowFade() || b.useHotTrackFont());
    EXPECT_TRUE(b.caption().isEmpty());
    EXPECT_TRUE(b.glyph().isNull());
    EXPECT_EQ(b.focusPolicy(), Qt::StrongFocus);
}

struct PaletteCase {
    HoverColorStyle style;
    ColorRef color, light, shadow, whenDown, hot;
    bool flat;
    HoverButtonStyle buttonStyle;
};

TEST(HoverButtonState, ColorStyleWritesAPaletteAndStillReadsCustom) {
    using C = HoverColorStyle;
    using S = HoverButtonStyle;
    const PaletteCase cases[] = {
        {C::Gold, 0x00C0C0, 0x00FFFF, 0x008080, kNoColor, 0x00DFDF, false, S::Modern},
        {C::Chrome, 0xC0C0C0, 0xFFFFFF, 0x808080, kNoColor, kNoColor, false, S::Modern},
        {C::Blue, 0xFF8000, 0xFFFF00, 0xFF0000, kNoColor, kNoColor, false, S::Modern},
        {C::Red, 0x0000FF, 0xC0C0FF, 0x0000C0, kNoColor, kNoColor, false, S::Modern},
        {C::UltraFlatSlate, kSysButtonFace, 0xB59284, 0xB59284, 0xB59284, 0xDED3D6, true, S::Normal},
        {C::UltraFlatBlack, kSysButtonFace, 0x000000, 0x000000, 0x24DABC, 0x8CF6E4, true, S::Normal},
        {C::UltraFlatXp, 0xD1D8DB, 0xB59284, 0xB59285, 0xB59285, 0xD2BDB6, true, S::Normal},
        {C::Aqua, 0xECCE94, 0xFCE6D4, 0x000000, kNoColor, kNoColor, false, S::Modern},
        {C::Default, kSysButtonFace, 0xFFFFFF, 0x808080, kNoColor, kNoColor, false, S::Normal},
        {C::Quicken, 0x603000, 0xC0C0C0, 0xC0C0C0, 0xAD6529, 0xCEAE9C, false, S::Quicken},
    };
    for (const PaletteCase& c : cases) {
        HoverButton b;
        b.setFlat(!c.flat);
        b.setColorStyle(c.style);
        EXPECT_EQ(b.colorStyle(), C::Custom);
        EXPECT_EQ(b.color(), c.color) << int(c.style);
        EXPECT_EQ(b.lightColor(), c.light) << int(c.style);
        EXPECT_EQ(b.shadowColor(), c.shadow) << int(c.style);
        EXPECT_EQ(b.colorWhenDown(), c.whenDown) << int(c.style);
        EXPECT_EQ(b.hotTrackColor(), c.hot) << int(c.style);
        EXPECT_EQ(b.isFlat(), c.flat) << int(c.style);
        EXPECT_EQ(b.buttonStyle(), c.buttonStyle) << int(c.style);
        EXPECT_EQ(b.fontColor(), c.style == C::Quicken ? kWhite : kBlack) << int(c.style);
    }
    HoverButton b;
    b.setColor(0x123456);
    b.setButtonStyle(HoverButtonStyle::Old);
    b.setColorStyle(C::Custom);
    EXPECT_EQ(b.color(), 0x123456u);
    EXPECT_EQ(b.buttonStyle(), HoverButtonStyle::Old);
}

TEST(HoverButtonState, GlyphSetsTheGlyphCountAndMakesTheKindCustom) {
    HoverButton b;
    b.setKind(HoverButtonKind::Ok);
    QImage strip(32, 16, QImage::Format_RGB32);
    strip.fill(Qt::red);
    b.setGlyph(strip);
    EXPECT_EQ(b.numGlyphs(), 2);
    EXPECT_EQ(b.kind(), HoverButtonKind::Custom);
    b.setGlyph(QImage(64, 16, QImage::Format_RGB32));
    EXPECT_EQ(b.numGlyphs(), 4);
    b.setGlyph(QImage());
    EXPECT_EQ(b.numGlyphs(), 0);
    EXPECT_TRUE(b.glyph().isNull());
    b.setGlyphResource(QStringLiteral("no such glyph"));
    EXPECT_EQ(b.numGlyphs(), 0);
    b.setGlyphResource(QStringLiteral("ok"));
    EXPECT_EQ(b.numGlyphs(), 2);
}

struct KindCase {
    HoverButtonKind kind;
    int modalResult;
    const char* caption;
    int glyphHeight;
};

TEST(HoverButtonState, StockKindsBringCaptionGlyphAndModalResult) {
    using K = HoverButtonKind;
    const KindCase cases[] = {
        {K::Ok, 1, "OK", 18},           {K::Cancel, 2, "Abbrechen", 18}, {K::Help, 0, "Hilfe", 18},
        {K::Yes, 6, "Ja", 18},          {K::No, 7, "Nein", 18},          {K::Close, 0, "Schlie\u00dfen", 18},
        {K::Abort, 3, "Abbrechen", 18}, {K::Retry, 4, "Wiederholen", 18}, {K::Ignore, 5, "Ignorieren", 18},
        {K::All, 12, "Alle", 19},
    };
    for (const KindCase& c : cases) {
        HoverButton b;
        b.setKind(c.kind);
        EXPECT_EQ(b.kind(), c.kind);
        EXPECT_EQ(b.modalResult(), c.modalResult) << c.caption;
        EXPECT_EQ(b.caption(), QString::fromUtf8(c.caption));
        EXPECT_EQ(b.numGlyphs(), 2);
        EXPECT_EQ(b.glyph().size(), QSize(36, c.glyphHeight)) << c.caption;
    }
    HoverButton b;
    b.setKind(HoverButtonKind::Yes);
    b.setModalResult(1);
    EXPECT_EQ(b.kind(), HoverButtonKind::Custom) << "a modal result of its own makes it custom";
    b.setCaption(QStringLiteral("Mine"));
    b.setKind(HoverButtonKind::Custom);
    EXPECT_EQ(b.caption(), QStringLiteral("Mine"));
    EXPECT_EQ(b.modalResult(), 1);
}

TEST_F(HoverButtonWindow, ReleaseAnywhereAfterALeftPressClicks) {
    showActive();
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(button->isPressedDown());
    EXPECT_TRUE(button->hasFocus());
    EXPECT_EQ(clicks, 0);
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(250, 150)); // far off the button
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(button->isPressedDown());

    QTest::mousePress(button, Qt::RightButton, {}, QPoint(5, 5));
    EXPECT_FALSE(button->isPressedDown());
    QTest::mouseRelease(button, Qt::RightButton, {}, QPoint(5, 5));
    EXPECT_EQ(clicks, 1) << "the right button does not click";

    button->setEnabled(false);
    button->performClick();
    EXPECT_EQ(clicks, 1) << "a disabled button does not click";
}

TEST_F(HoverButtonWindow, EnterAndSpaceClickOnRelease) {
    showActive();
    button->setFocus();
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Space, Qt::Key_Enter}) {
        const int before = clicks;
        QTest::keyPress(button, key);
        EXPECT_TRUE(button->isPressedDown()) << key;
        EXPECT_EQ(clicks, before);
        QTest::keyRelease(button, key);
        EXPECT_EQ(clicks, before + 1) << key;
    }
}

TEST_F(HoverButtonWindow, AKeyReleaseClicksOnlyAfterItsOwnPress) {
    showActive();
    button->setFocus();
    // A window above closes on the press of Enter; the release then lands on this button.
    QDialog above(window.get());
    auto* ok = new QPushButton(QStringLiteral("OK"), &above);
    ok->setDefault(true);
    QObject::connect(ok, &QPushButton::clicked, &above, &QDialog::accept);
    above.show();
    above.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&above));
    QTest::keyPress(&above, Qt::Key_Return);
    ASSERT_FALSE(above.isVisible());
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QWidget* focused = QApplication::focusWidget();
    ASSERT_EQ(focused, button);
    QTest::keyRelease(focused, Qt::Key_Return);
    EXPECT_EQ(clicks, 0) << "the release of another window's Enter does not click";
    EXPECT_FALSE(button->isPressedDown());
    QTest::keyRelease(button, Qt::Key_Space);
    EXPECT_EQ(clicks, 0) << "nor a lone release of Space";

    // Pressed here, focus gone before the release: no click on a later lone release either.
    QTest::keyPress(button, Qt::Key_Space);
    auto* edit = new QLineEdit(window.get());
    edit->show();
    edit->setFocus();
    button->setFocus();
    QTest::keyRelease(button, Qt::Key_Space);
    EXPECT_EQ(clicks, 0);

    // Enter down, Space up: only the key that went down clicks.
    QTest::keyPress(button, Qt::Key_Return);
    QTest::keyRelease(button, Qt::Key_Space);
    EXPECT_EQ(clicks, 0);
    QTest::keyRelease(button, Qt::Key_Return);
    EXPECT_EQ(clicks, 1);
    QTest::keyRelease(button, Qt::Key_Return);
    EXPECT_EQ(clicks, 1) << "one press, one click";
}

TEST_F(HoverButtonWindow, ModalResultEndsTheDialogAfterTheClick) {
    showActive();
    button->setModalResult(2);
    bool openDuringClick = false;
    QObject::connect(button, &QAbstractButton::clicked, window.get(), [&] { openDuringClick = window->isVisible(); });
    int finished = 0;
    QObject::connect(window.get(), &QDialog::finished, window.get(), [&] { ++finished; });
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(openDuringClick);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(window->result(), 2);
    EXPECT_EQ(finished, 1);

    // A handler that closes the dialog itself keeps its own result.
    showActive();
    QObject::connect(button, &QAbstractButton::clicked, window.get(), [&] { window->done(1); });
    button->performClick();
    EXPECT_EQ(window->result(), 1);
    EXPECT_EQ(finished, 2);
}

// Assistive technology presses through the button's accessibility action (QAbstractButton's own
// animated click); the code may call click(). Both end the dialog as a mouse click does.
TEST_F(HoverButtonWindow, AccessibilityPressAndClickEndTheDialogAsAMouseClickDoes) {
    button->setModalResult(2);
    int finished = 0;
    QObject::connect(window.get(), &QDialog::finished, window.get(), [&] { ++finished; });
    const auto pressByAccessibility = [this] {
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(button);
        ASSERT_NE(face, nullptr);
        ASSERT_NE(face->actionInterface(), nullptr);
        face->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    };
    const std::function<void()> presses[] = {pressByAccessibility, [this] { button->click(); }};
    for (const auto& press : presses) {
        showActive();
        const int clicksBefore = clicks;
        press();
        EXPECT_TRUE(QTest::qWaitFor([&] { return !window->isVisible(); }, 2000));
        EXPECT_EQ(window->result(), 2);
        EXPECT_EQ(clicks, clicksBefore + 1) << "clicked() runs once";
    }
    EXPECT_EQ(finished, 2);
}

TEST_F(HoverButtonWindow, PopupMenuShowsBelowTheButtonAfterTheClick) {
    auto* menu = new QMenu(window.get());
    menu->addAction(QStringLiteral("Item"));
    button->setPopupMenu(menu);
    showActive();
    std::vector<QString> order;
    QObject::connect(button, &QAbstractButton::clicked, window.get(), [&] { order.push_back("click"); });
    QObject::connect(menu, &QMenu::aboutToShow, window.get(), [&] { order.push_back("menu"); });
    button->performClick();
    EXPECT_EQ(order, (std::vector<QString>{"click", "menu"}));
    EXPECT_TRUE(menu->isVisible());
    EXPECT_EQ(menu->pos(), button->mapToGlobal(QPoint(0, button->height())));
    menu->close();
}

TEST_F(HoverButtonWindow, AcceleratorClicksWithoutTakingFocus) {
    button->setCaption(QStringLiteral("&Go"));
    auto* edit = new QLineEdit(window.get());
    edit->move(10, 100);
    showActive();
    edit->setFocus();
    QTest::keyClick(window.get(), Qt::Key_G, Qt::AltModifier);
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(edit->hasFocus());

    button->setEnabled(false);
    QShortcutEvent shortcut(QKeySequence(QStringLiteral("Alt+G")), 0);
    QApplication::sendEvent(button, &shortcut);
    EXPECT_EQ(clicks, 1) << "a disabled button ignores its accelerator";
}

class DefaultCancelKeys : public HoverButtonWindow {
protected:
    void SetUp() override {
        HoverButtonWindow::SetUp();
        button->setDefault(true);
        cancel = new HoverButton(window.get());
        cancel->move(120, 10);
        cancel->setCancel(true);
        QObject::connect(cancel, &QAbstractButton::clicked, window.get(), [this] { ++cancels; });
        other = new HoverButton(window.get());
        other->move(10, 50);
        QObject::connect(other, &QAbstractButton::clicked, window.get(), [this] { ++others; });
        edit = new QLineEdit(window.get());
        edit->move(10, 100);
    }
    HoverButton* cancel = nullptr;
    HoverButton* other = nullptr;
    QLineEdit* edit = nullptr;
    int cancels = 0;
    int others = 0;
};

TEST_F(DefaultCancelKeys, EnterReachesTheDefaultButtonOnlyFromANonButton) {
    showActive();
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(clicks, 1) << "focus on an edit box: Enter clicks the Default button";

    other->setFocus();
    QTest::keyClick(other, Qt::Key_Return);
    EXPECT_EQ(clicks, 1) << "focus on a button: that button takes Enter";
    EXPECT_EQ(others, 1);
}

TEST_F(DefaultCancelKeys, EscapeClicksTheCancelButtonUnlessShifted) {
    showActive();
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_Escape, Qt::ShiftModifier);
    EXPECT_EQ(cancels, 0);
    QTest::keyClick(edit, Qt::Key_Escape);
    EXPECT_EQ(cancels, 1);
    EXPECT_TRUE(window->isVisible()) << "no modal result: the dialog stays";

    cancel->setModalResult(2);
    QTest::keyClick(edit, Qt::Key_Escape);
    EXPECT_EQ(cancels, 2);
    EXPECT_EQ(window->result(), 2);
}

TEST_F(DefaultCancelKeys, EscapeFromAFocusedButtonIsLeftToTheWindow) {
    showActive();
    other->setFocus();
    QTest::keyClick(other, Qt::Key_Escape);
    EXPECT_EQ(cancels, 0) << "a focused button keeps the Cancel button out of it";
    EXPECT_EQ(others, 0);
}

// ---------------------------------------------------------------- hot tracking and fade

class HotTracking : public HoverButtonWindow {
protected:
    void SetUp() override {
        HoverButtonWindow::SetUp();
        button->setButtonStyle(HoverButtonStyle::Encarta);
        button->setColor(rgbColor(0, 0, 0));
        button->setHotTrackColor(rgbColor(240, 160, 80));
        showActive();
        window->setFocus(); // keep the button's focus frame out of the face
    }
    void enter() {
        QEnterEvent e(QPointF(5, 5), QPointF(5, 5), button->mapToGlobal(QPointF(5, 5)));
        QApplication::sendEvent(button, &e);
    }
    void leave() {
        QEvent e(QEvent::Leave);
        QApplication::sendEvent(button, &e);
    }
    QRgb facePixel() const { return button->renderFace().pixel(50, 12); }
};

TEST_F(HotTracking, EnterMakesTheFaceHotAndLeaveRestoresItAtOnce) {
    int enters = 0, exits = 0;
    QObject::connect(button, &HoverButton::mouseEnter, window.get(), [&] { ++enters; });
    QObject::connect(button, &HoverButton::mouseExit, window.get(), [&] { ++exits; });
    enter();
    EXPECT_TRUE(button->isCursorOnButton());
    EXPECT_EQ(button->hotTrackStep(), 8);
    EXPECT_EQ(facePixel(), qRgb(240, 160, 80));
    leave();
    EXPECT_EQ(button->hotTrackStep(), 0);
    EXPECT_FALSE(button->isFading());
    EXPECT_EQ(facePixel(), qRgb(0, 0, 0));
    EXPECT_EQ(enters, 1);
    EXPECT_EQ(exits, 1);

    button->setEnabled(false);
    enter();
    EXPECT_EQ(button->hotTrackStep(), 0) << "a disabled button does not light up";
    EXPECT_EQ(enters, 1);
}

TEST_F(HotTracking, ADialogShownAgainStartsColdWithTheMouseElsewhere) {
    QCursor::setPos(window->mapToGlobal(QPoint(280, 190)));
    enter();
    ASSERT_EQ(button->hotTrackStep(), 8);
    window->hide(); // closed while the mouse was over the button: no leave event arrives
    showActive();
    EXPECT_FALSE(button->isCursorOnButton());
    EXPECT_EQ(button->hotTrackStep(), 0);
    EXPECT_EQ(facePixel(), qRgb(0, 0, 0));
}

TEST_F(HotTracking, SlowFadeFadesInEightTicks) {
    button->setSlowFade(true);
    enter();
    leave();
    EXPECT_TRUE(button->isFading());
    EXPECT_EQ(button->hotTrackStep(), 8);
    for (int tick = 1; tick <= 8; ++tick) {
        button->hotTrackTick();
        const int step = 8 - tick;
        EXPECT_EQ(button->hotTrackStep(), step);
        EXPECT_EQ(facePixel(), qRgb(240 * step / 8, 160 * step / 8, 80 * step / 8)) << "tick " << tick;
    }
    EXPECT_FALSE(button->isFading()) << "the fade stops itself at step 0";
}

TEST_F(HotTracking, TheFadeTimerRunsTheTicks) {
    button->setSlowFade(true);
    enter();
    leave();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !button->isFading(); }, 5000));
    EXPECT_EQ(button->hotTrackStep(), 0);
    EXPECT_EQ(facePixel(), qRgb(0, 0, 0));
}

TEST_F(HotTracking, ReenteringOrSwitchingSlowFadeOffStopsAFade) {
    button->setSlowFade(true);
    enter();
    leave();
    button->hotTrackTick();
    enter();
    EXPECT_FALSE(button->isFading()) << "the face stays hot while the mouse is back";
    EXPECT_EQ(button->hotTrackStep(), 8);
    leave();
    button->hotTrackTick();
    button->setSlowFade(false);
    EXPECT_FALSE(button->isFading());
    EXPECT_EQ(button->hotTrackStep(), 0);
}

TEST_F(HoverButtonWindow, FocusRectangleAndDisabledStateClearTheDownState) {
    showActive();
    button->setColor(rgbColor(0, 0, 0));
    button->setFontColor(rgbColor(255, 255, 255));
    button->clearFocus();
    QImage img = render(*button);
    EXPECT_EQ(img.pixel(4, 4), qRgb(0, 0, 0));
    button->setFocus();
    img = render(*button);
    EXPECT_EQ(img.pixel(4, 4), qRgb(255, 255, 255)) << "dotted focus frame from (4, 4)";
    EXPECT_EQ(img.pixel(5, 4), qRgb(0, 0, 0));
    button->setButtonStyle(HoverButtonStyle::Shape);
    img = render(*button);
    EXPECT_EQ(img.pixel(4, 4), qRgb(0, 255, 0)) << "bsShape: no focus frame, transparent face";

    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(button->isPressedDown());
    button->setEnabled(false);
    EXPECT_FALSE(button->isPressedDown());
}

TEST_F(HoverButtonWindow, OldStyleWithFocusGetsABlackFrame) {
    showActive();
    button->setButtonStyle(HoverButtonStyle::Old);
    button->setColor(rgbColor(50, 60, 70));
    button->setFocus();
    const QImage face = button->renderFace();
    const int w = face.width(), h = face.height();
    for (QPoint pt : {QPoint(0, 0), QPoint(w - 1, 5), QPoint(5, h - 1), QPoint(0, h - 1)})
        EXPECT_EQ(face.pixel(pt), qRgb(0, 0, 0)) << pt.x() << "," << pt.y();
    EXPECT_EQ(face.pixel(1, 5), qRgb(255, 255, 255)) << "the smaller face is moved to (1, 1)";
}

} // namespace
