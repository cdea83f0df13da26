#include "widgets/gui/image_check_box.h"

#include "widgets/gui/click_sound.h"
#include "widgets/gui/gdi_paint.h"
#include "widgets/gui/resources.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <map>

namespace strovane::widgets {

namespace {

// The hot background shared by all check boxes: one device pixel per square, in the colours of
// the first box that needs it, made once per screen scale.
QImage hotPattern(const QColor& color, const QColor& highlight, qreal ratio) {
    static const QRgb colors[2] = {gdi::opaque(highlight), gdi::opaque(color)};
    static std::map<int, QImage> patterns; // by scale in hundredths
    QImage& pattern = patterns[qRound(ratio * 100)];
    if (pattern.isNull()) {
        pattern = QImage(8, 8, QImage::Format_RGB32);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                pattern.setPixel(x, y, colors[(x % 2 == y % 2) ? 0 : 1]);
        pattern.setDevicePixelRatio(ratio);
    }
    return pattern;
}

constexpr int kCaptionOffsetBoxLeft = 22;  // caption left of R for Right
constexpr int kCaptionOffsetBoxRight = 2;  // caption left of R for Left

} // namespace

ImageCheckBox::ImageCheckBox(QWidget* parent) : QAbstractButton(parent) {
    setCheckable(true);
    setFocusPolicy(Qt::StrongFocus);
    resize(97, 19);
}

ImageCheckBox::~ImageCheckBox() = default;

QSize ImageCheckBox::sizeHint() const { return {97, 19}; }

QString ImageCheckBox::version() const { return QStringLiteral("1.0"); }

void ImageCheckBox::setTransparent(bool on) {
    m_transparent = on;
    update();
}

void ImageCheckBox::setFlat(bool on) {
    m_flat = on;
    update();
}

void ImageCheckBox::setAlignment(CheckBoxSide left) {
    if (m_side == left)
        return;
    m_side = left;
    update();
}

void ImageCheckBox::setCheckMark(CheckMark type) {
    if (m_checkMark == type)
        return;
    m_checkMark = type;
    update();
}

void ImageCheckBox::setBorder(CheckBoxBorder style) {
    if (m_border == style)
        return;
    m_border = style;
    update();
}

void ImageCheckBox::setSimpleBorderColor(ColorRef c) {
    if (m_simpleBorderColor == c)
        return;
    m_simpleBorderColor = c;
    update();
}

void ImageCheckBox::setHintSecondLine(const QString& line) {
    m_hintSecondLine = line;
    if (!toolTip().isEmpty() && !line.isEmpty())
        setToolTip(toolTip() + QLatin1Char('\n') + line);
}

void ImageCheckBox::setColor(ColorRef c) {
    m_color = c;
    update();
}

void ImageCheckBox::setFontColor(ColorRef c) {
    m_fontColor = c;
    update();
}

QString ImageCheckBox::boxImageName(bool flat, bool enabled) {
    if (enabled)
        return flat ? QStringLiteral("BlankFlat") : QStringLiteral("Blank");
    return flat ? QStringLiteral("EnabledFlat") : QStringLiteral("Enabled");
}

QString ImageCheckBox::markImageName(CheckMark type, bool flat, bool enabled) {
    if (!enabled)
        return flat ? QStringLiteral("EnabledFlat") : QStringLiteral("Enabled");
    switch (type) {
    case CheckMark::CrossRed: return QStringLiteral("CheckIks");
    case CheckMark::HookBlue: return QStringLiteral("CheckOk");
    case CheckMark::Circle: return QStringLiteral("CHECKELLI");
    case CheckMark::CrossBlue: return QStringLiteral("CHECKEIKSB");
    case CheckMark::CrossGreen: return QStringLiteral("CHECKIKSG");
    case CheckMark::HookLime: return QStringLiteral("CHECKOKG");
    case CheckMark::HookRed: return QStringLiteral("CheckOkR");
    }
    return QStringLiteral("CheckIks");
}

void ImageCheckBox::fireClick() { Q_EMIT clicked(isChecked()); }

// ---------------------------------------------------------------- painting

QRect ImageCheckBox::paintFrameAndFill(QPainter& p, bool draw) const {
    QRect r = rect();
    const QPalette& pal = palette();
    if (!draw) {
        if (m_border != CheckBoxBorder::None)
            r.adjust(1, 1, -1, -1);
        return r;
    }
    const QColor face = toQColor(m_color, pal);
    const QColor highlight = toQColor(kSysButtonHighlight, pal);
    const QColor shadow = toQColor(kSysButtonShadow, pal);
    switch (m_border) {
    case CheckBoxBorder::None: break;
    case CheckBoxBorder::Lowered: gdi::frame3d(p, r, shadow, highlight, 1); break;
    case CheckBoxBorder::Raised: gdi::frame3d(p, r, highlight, shadow, 1); break;
    case CheckBoxBorder::Simple: {
        const QColor c = toQColor(m_simpleBorderColor, pal);
        gdi::frame3d(p, r, c, c, 1);
        break;
    }
    }
    const int l = r.left(), t = r.top(), rr = r.right() + 1, b = r.bottom() + 1;
    if (m_hotIndex == 1)
        gdi::fillRect(p, l, t, rr, b, QBrush(hotPattern(face, highlight, gdi::devicePixelRatio(p))));
    else
        gdi::fillRect(p, l, t, rr, b, face);
    return r;
}

void ImageCheckBox::drawImage(QPainter& p, const QRect& r, const QString& name) const {
    const QImage image = resourceImageAt(name, gdi::devicePixelRatio(p));
    if (image.isNull())
        return;
    const int left = m_side == CheckBoxSide::Right ? r.left() + 2 : r.right() + 1 - 18;
    const int top = r.top() + (r.height() - qRound(image.height() / image.devicePixelRatio())) / 2;
    gdi::drawAutoTransparent(p, left, top, image);
}

void ImageCheckBox::paintTo(QPainter& p) const {
    const QPalette& pal = palette();
    // Transparent: the parent's background covers fill and frame, so neither is drawn.
    const QRect r = paintFrameAndFill(p, !m_transparent);

    p.setFont(font());
    const QFontMetrics fm(font());
    const QString caption = text();
    const int th = fm.height();
    const int tw = fm.horizontalAdvance(caption);
    const int t = r.top() + (r.height() - th) / 2;
    const int amp = caption.contains(QLatin1Char('&')) ? fm.horizontalAdvance(QLatin1Char('&')) : 0;
    const int left = r.left() + (m_side == CheckBoxSide::Right ? kCaptionOffsetBoxLeft : kCaptionOffsetBoxRight);

    const QColor fontColor = toQColor(m_fontColor, pal);
    if (m_showFocused && hasFocus())
        gdi::focusRect(p, left - 1, t - 1, left + tw - amp + 3 + 1, t + th + 1, fontColor);

    // Caption: blue while hot, embossed grey when disabled.
    const QRect captRect(left, t, tw, th);
    auto drawText = [&](const QRect& rc, const QColor& c) {
        p.save();
        p.setClipRect(rc, Qt::IntersectClip);
        p.setPen(c);
        p.drawText(rc, Qt::AlignLeft | Qt::AlignTop | Qt::TextShowMnemonic, caption);
        p.restore();
    };
    QColor captionColor = (m_hotTrack && m_hotIndex == 1) ? QColor(0, 0, 255) : fontColor;
    if (!isEnabled()) {
        drawText(captRect, fontColor);
        drawText(captRect.translated(1, 1), toQColor(kSysButtonHighlight, pal));
        captionColor = toQColor(kSysButtonShadow, pal);
    }
    drawText(captRect, captionColor);

    drawImage(p, r, boxImageName(m_flat, isEnabled()));
    if (isChecked())
        drawImage(p, r, markImageName(m_checkMark, m_flat, isEnabled()));
}

void ImageCheckBox::paintEvent(QPaintEvent*) {
    QPainter p(this);
    paintTo(p);
}

// ---------------------------------------------------------------- mouse and keys

void ImageCheckBox::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton || !isEnabled()) {
        e->ignore();
        return;
    }
    setFocus(Qt::MouseFocusReason);
    setChecked(!isChecked());
    repaint();
    if (m_playSound)
        playClickSound(QStringLiteral("klik"));
    m_mousePressed = true;
    Q_EMIT pressed(); // OnMouseDown
}

void ImageCheckBox::mouseReleaseEvent(QMouseEvent* e) {
    const bool clicked = m_mousePressed && e->button() == Qt::LeftButton && rect().contains(e->position().toPoint());
    m_mousePressed = false;
    if (e->button() == Qt::LeftButton)
        Q_EMIT released();
    if (clicked)
        fireClick();
}

void ImageCheckBox::mouseDoubleClickEvent(QMouseEvent* e) {
    // The second press of a double click inverts the check again, then clicked() follows
    // at once; the release after it raises no further click.
    mousePressEvent(e);
    if (!m_mousePressed)
        return;
    m_mousePressed = false;
    fireClick();
}

void ImageCheckBox::keyPressEvent(QKeyEvent* e) {
    switch (e->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        fireClick();
        QWidget::keyPressEvent(e); // OnKeyDown; Checked stays as it is
        return;
    case Qt::Key_Space:
    case Qt::Key_Select:
        e->accept(); // the space key does not tick the box
        return;
    default:
        QAbstractButton::keyPressEvent(e);
    }
}

void ImageCheckBox::keyReleaseEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Space || e->key() == Qt::Key_Select) {
        e->accept();
        return;
    }
    QAbstractButton::keyReleaseEvent(e);
}

bool ImageCheckBox::event(QEvent* e) {
    if (e->type() == QEvent::Shortcut) {
        // The caption's accelerator: clicked() first, then focus and the new state.
        if (isEnabled() && isVisible() && focusPolicy() != Qt::NoFocus) {
            fireClick();
            setFocus(Qt::ShortcutFocusReason);
            setChecked(!isChecked());
        }
        return true;
    }
    return QAbstractButton::event(e);
}

// ---------------------------------------------------------------- hot tracking

void ImageCheckBox::enterEvent(QEnterEvent* e) {
    QAbstractButton::enterEvent(e);
    if (!isEnabled())
        return;
    if (m_hotTrack) {
        m_hotIndex = 1;
        repaint();
    }
    if (m_showHandCursor)
        setCursor(handCursor());
    Q_EMIT mouseEnter();
}

void ImageCheckBox::leaveEvent(QEvent* e) {
    QAbstractButton::leaveEvent(e);
    if (!isEnabled())
        return;
    if (m_hotTrack) {
        m_hotIndex = 0;
        repaint();
    }
    if (m_showHandCursor)
        unsetCursor();
    Q_EMIT mouseExit();
}

void ImageCheckBox::focusInEvent(QFocusEvent* e) {
    QAbstractButton::focusInEvent(e);
    repaint();
}

void ImageCheckBox::focusOutEvent(QFocusEvent* e) {
    QAbstractButton::focusOutEvent(e);
    repaint();
}

void ImageCheckBox::changeEvent(QEvent* e) {
    QAbstractButton::changeEvent(e);
    switch (e->type()) {
    case QEvent::EnabledChange:
    case QEvent::FontChange:
    case QEvent::PaletteChange:
        update();
        break;
    default:
        break;
    }
}

} // namespace strovane::widgets
