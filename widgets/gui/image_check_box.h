#pragma once

#include "widgets/gui/colors.h"

#include <QAbstractButton>
#include <QImage>

#include <cstdint>

namespace strovane::widgets {

// Which side the caption is on: Right puts the box left and the caption right.
enum class CheckBoxSide : std::uint8_t { Right, Left };

// The optional frame around the check box.
enum class CheckBoxBorder : std::uint8_t { None, Lowered, Raised, Simple };

// The picture of the check mark.
enum class CheckMark : std::uint8_t {
    CrossRed, HookBlue, Circle, CrossBlue, CrossGreen, HookLime, HookRed
};

// A check box drawn from small pictures: a flat or sunken box, seven marks, a greyed
// box when disabled, hot tracking (blue caption on a checkerboard), a hand cursor,
// a click sound and a transparent mode. Checked is the button's checked state;
// A click is clicked(), a press is pressed().
class ImageCheckBox : public QAbstractButton {
    Q_OBJECT

public:
    explicit ImageCheckBox(QWidget* parent = nullptr);
    ~ImageCheckBox() override;

    // Lets the parent's background show through fill and hot pattern.
    bool isTransparent() const { return m_transparent; }
    void setTransparent(bool on);
    bool showFocused() const { return m_showFocused; }
    void setShowFocused(bool on) { m_showFocused = on; }
    bool isFlat() const { return m_flat; }
    void setFlat(bool on);
    QString version() const;
    bool hotTrack() const { return m_hotTrack; }
    void setHotTrack(bool on) { m_hotTrack = on; }
    // Changing it in code plays no sound and raises no click.
    CheckBoxSide alignment() const { return m_side; }
    void setAlignment(CheckBoxSide left);
    CheckMark checkMark() const { return m_checkMark; }
    void setCheckMark(CheckMark type);
    bool showHandCursor() const { return m_showHandCursor; }
    void setShowHandCursor(bool on) { m_showHandCursor = on; }
    bool playSound() const { return m_playSound; }
    void setPlaySound(bool on) { m_playSound = on; }
    CheckBoxBorder border() const { return m_border; }
    void setBorder(CheckBoxBorder style);
    ColorRef simpleBorderColor() const { return m_simpleBorderColor; }
    void setSimpleBorderColor(ColorRef c);
    QString hintSecondLine() const { return m_hintSecondLine; }
    // Appends a non-empty second line to a non-empty tool tip (each setting appends again).
    void setHintSecondLine(const QString& line);
    ColorRef color() const { return m_color; }
    void setColor(ColorRef c);
    ColorRef fontColor() const { return m_fontColor; }
    void setFontColor(ColorRef c);

    // 1 while the mouse is over the box with hot tracking on.
    int hotIndex() const { return m_hotIndex; }

    // Emits clicked().
    void fireClick();

    // The whole control at (0, 0) of `p`; in transparent mode the fill is left out.
    void paintTo(QPainter& p) const;

    // Names of the box and mark pictures for a state (for drawing and tests).
    static QString boxImageName(bool flat, bool enabled);
    static QString markImageName(CheckMark type, bool flat, bool enabled);

    QSize sizeHint() const override;

Q_SIGNALS:
    void mouseEnter();
    void mouseExit();

protected:
    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void changeEvent(QEvent* e) override;
    void enterEvent(QEnterEvent* e) override;
    void leaveEvent(QEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;

private:
    QRect paintFrameAndFill(QPainter& p, bool draw) const;
    void drawImage(QPainter& p, const QRect& r, const QString& name) const;

    bool m_transparent = false;
    bool m_showFocused = true;
    bool m_flat = false;
    int m_hotIndex = 0;
    bool m_showHandCursor = true;
    bool m_playSound = true;
    bool m_hotTrack = true;
    CheckMark m_checkMark = CheckMark::CrossRed;
    CheckBoxBorder m_border = CheckBoxBorder::None;
    CheckBoxSide m_side = CheckBoxSide::Right;
    ColorRef m_simpleBorderColor = 0xFF0000;
    QString m_hintSecondLine;
    ColorRef m_color = kSysButtonFace;
    ColorRef m_fontColor = kSysWindowText;
    bool m_mousePressed = false; // a left press that a release over the box turns into clicked()
};

} // namespace strovane::widgets
