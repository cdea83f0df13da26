#pragma once

#include "widgets/gui/colors.h"
#include "widgets/gui/hover_button_face.h"
#include "widgets/gui/hover_button_types.h"

#include <QAbstractButton>
#include <QFont>
#include <QImage>
#include <QMenu>
#include <QPointer>

class QTimer;

namespace strovane::widgets {

// The push button of every window: six drawing styles, hot tracking with an optional
// fade, a glyph strip of up to four cells (normal, disabled, down, hot), stock kinds,
// colour palettes, Default/Cancel keys, a modal result and an optional popup menu.
//
// The caption is the button's text(); a click emits clicked(). Call performClick() to
// click from code: it runs the same steps as the mouse (clicked(), modal result, menu).
class HoverButton : public QAbstractButton {
    Q_OBJECT

public:
    explicit HoverButton(QWidget* parent = nullptr);
    ~HoverButton() override;

    TextAlignment alignment() const { return m_alignment; }
    void setAlignment(TextAlignment a);
    // Escape (without Shift) on the form clicks the button.
    bool isCancel() const { return m_cancel; }
    void setCancel(bool on);
    QString caption() const { return text(); }
    void setCaption(const QString& caption);
    // Always reads Custom; setting another value applies that palette.
    HoverColorStyle colorStyle() const { return HoverColorStyle::Custom; }
    void setColorStyle(HoverColorStyle style);
    ColorRef colorWhenDown() const { return m_colorWhenDown; }
    void setColorWhenDown(ColorRef c);
    // Enter on the form clicks the button unless another button has the focus.
    bool isDefault() const { return m_default; }
    void setDefault(bool on);
    bool isFlat() const { return m_flat; }
    void setFlat(bool on);
    const QImage& glyph() const { return m_glyph; }
    // Copies the strip, sets numGlyphs() to width / height and kind() to Custom.
    void setGlyph(const QImage& strip);
    // The glyph strip of a compiled-in picture; a missing name empties the glyph.
    void setGlyphResource(const QString& name);
    ColorRef hotTrackColor() const { return m_hotTrackColor; }
    void setHotTrackColor(ColorRef c);
    QFont hotTrackFont() const { return m_hotTrackFont; }
    void setHotTrackFont(const QFont& f);
    HoverButtonKind kind() const { return m_kind; }
    void setKind(HoverButtonKind kind);
    GlyphLayout glyphLayout() const { return m_layout; }
    void setGlyphLayout(GlyphLayout layout);
    using QWidget::setLayout;
    ColorRef lightColor() const { return m_lightColor; }
    void setLightColor(ColorRef c);
    // Non-zero: a click ends the button's dialog with this result (QDialog::done).
    int modalResult() const { return m_modalResult; }
    void setModalResult(int result);
    int numGlyphs() const { return m_numGlyphs; }
    void setNumGlyphs(int n);
    ColorRef shadowColor() const { return m_shadowColor; }
    void setShadowColor(ColorRef c);
    // Leaving the button fades the hot colour out in eight 30 ms steps.
    bool slowFade() const { return m_slowFade; }
    void setSlowFade(bool on);
    HoverButtonStyle buttonStyle() const { return m_style; }
    void setButtonStyle(HoverButtonStyle style);
    bool useHotTrackFont() const { return m_useHotTrackFont; }
    void setUseHotTrackFont(bool on);
    bool wordWrap() const { return m_wordWrap; }
    void setWordWrap(bool on);
    ColorRef color() const { return m_color; }
    void setColor(ColorRef c);
    ColorRef fontColor() const { return m_fontColor; }
    void setFontColor(ColorRef c);
    // A menu popped up below the button after each click; a marker shows it.
    QMenu* popupMenu() const { return m_popupMenu; }
    void setPopupMenu(QMenu* menu);

    // 0 (plain) .. 8 (fully hot).
    int hotTrackStep() const { return m_hotTrackStep; }
    // The pressed state of the drawing.
    bool isPressedDown() const { return m_down; }
    bool isCursorOnButton() const { return m_cursorOnButton; }
    // A fade is running (the tick timer is active).
    bool isFading() const { return m_fading; }

    // Clicks the button: clicked(), then the modal result, then the popup menu.
    void performClick();
    // One fade step; run by the fade timer every 30 ms.
    void hotTrackTick();

    // The face as the button shows it now (transparent parts have alpha 0).
    QImage renderFace() const;
    // The whole button, face and focus rectangle, at (0, 0) of `p`.
    void paintTo(QPainter& p) const;

    QSize sizeHint() const override;

Q_SIGNALS:
    void mouseEnter();
    void mouseExit();

protected:
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void changeEvent(QEvent* e) override;
    void enterEvent(QEnterEvent* e) override;
    void leaveEvent(QEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;

private:
    void fireClick();
    bool isHot() const;
    bool parentShowing() const;
    HoverButtonFace faceState(int width, int height) const;
    // The face at `ratio` device pixels per unit (the image carries that ratio).
    QImage renderFace(qreal ratio) const;
    void updateKeyFilter();
    bool takesDialogKey(int key, Qt::KeyboardModifiers mods) const;
    void stopFade();
    // What follows clicked(): the dialog's modal result, then the menu.
    void finishClick();
    void setCursorOnButton(bool on);

    TextAlignment m_alignment = TextAlignment::Center;
    ColorRef m_shadowColor = 0x808080;
    ColorRef m_colorWhenDown = kNoColor;
    bool m_flat = false;
    bool m_wordWrap = false;
    QImage m_glyph;
    QImage m_glyphFine; // the compiled-in picture's 2x strip, when the glyph is one
    ColorRef m_hotTrackColor = kNoColor;
    QFont m_hotTrackFont;
    HoverButtonKind m_kind = HoverButtonKind::Custom;
    GlyphLayout m_layout = GlyphLayout::GlyphLeft;
    ColorRef m_lightColor = 0xFFFFFF;
    int m_modalResult = 0;
    int m_numGlyphs = 0;
    bool m_useHotTrackFont = false;
    HoverButtonStyle m_style = HoverButtonStyle::Normal;
    bool m_default = false;
    bool m_cancel = false;
    bool m_slowFade = false;
    ColorRef m_color = kSysButtonFace;
    ColorRef m_fontColor = kSysWindowText;
    QPointer<QMenu> m_popupMenu;

    bool m_down = false;
    bool m_firingClick = false;    // clicked() comes from FireClick, which finishes the click itself
    bool m_cursorOnButton = false;
    int m_hotTrackStep = 0;
    bool m_fading = false;
    int m_keyDown = 0;             // the Enter or Space key this button saw go down, 0 if none
    QTimer* m_fadeTimer = nullptr;
    QPointer<QWidget> m_keyFilterHost; // the window whose Enter/Escape this button watches
};

} // namespace strovane::widgets
