#include "widgets/gui/hover_button.h"

#include "widgets/gui/gdi_paint.h"
#include "widgets/gui/resources.h"

#include <QApplication>
#include <QCursor>
#include <QDialog>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <QtMath>

namespace strovane::widgets {

namespace {

constexpr int kFadeSteps = 8;
constexpr int kFadeIntervalMs = 30;

struct StockKind {
    HoverButtonKind kind;
    int modalResult;
    const char* glyph;
    const char* caption;
};

const StockKind kStockKinds[] = {
    {HoverButtonKind::Ok, 1, "LBOK", "OK"},
    {HoverButtonKind::Cancel, 2, "LBCANCEL", "Abbrechen"},
    {HoverButtonKind::Help, 0, "LBHELP", "Hilfe"},
    {HoverButtonKind::Yes, 6, "LBYES", "Ja"},
    {HoverButtonKind::No, 7, "LBNO", "Nein"},
    {HoverButtonKind::Close, 0, "LBCLOSE", "Schlie\u00dfen"},
    {HoverButtonKind::Abort, 3, "LBABORT", "Abbrechen"},
    {HoverButtonKind::Retry, 4, "LBRETRY", "Wiederholen"},
    {HoverButtonKind::Ignore, 5, "LBIGNORE", "Ignorieren"},
    {HoverButtonKind::All, 12, "LBALL", "Alle"},
};

struct ColorPalette {
    HoverColorStyle style;
    ColorRef color, light, shadow, whenDown, hot;
    bool flat;
    HoverButtonStyle buttonStyle;
};

const ColorPalette kPalettes[] = {
    {HoverColorStyle::Gold, 0x00C0C0, 0x00FFFF, 0x008080, kNoColor, 0x00DFDF, false, HoverButtonStyle::Modern},
    {HoverColorStyle::Chrome, 0xC0C0C0, 0xFFFFFF, 0x808080, kNoColor, kNoColor, false, HoverButtonStyle::Modern},
    {HoverColorStyle::Blue, 0xFF8000, 0xFFFF00, 0xFF0000, kNoColor, kNoColor, false, HoverButtonStyle::Modern},
    {HoverColorStyle::Red, 0x0000FF, 0xC0C0FF, 0x0000C0, kNoColor, kNoColor, false, HoverButtonStyle::Modern},
    {HoverColorStyle::UltraFlatSlate, kSysButtonFace, 0xB59284, 0xB59284, 0xB59284, 0xDED3D6, true, HoverButtonStyle::Normal},
    {HoverColorStyle::UltraFlatBlack, kSysButtonFace, 0x000000, 0x000000, 0x24DABC, 0x8CF6E4, true, HoverButtonStyle::Normal},
    {HoverColorStyle::UltraFlatXp, 0xD1D8DB, 0xB59284, 0xB59285, 0xB59285, 0xD2BDB6, true, HoverButtonStyle::Normal},
    {HoverColorStyle::Aqua, 0xECCE94, 0xFCE6D4, 0x000000, kNoColor, kNoColor, false, HoverButtonStyle::Modern},
    {HoverColorStyle::Default, kSysButtonFace, 0xFFFFFF, 0x808080, kNoColor, kNoColor, false, HoverButtonStyle::Normal},
    {HoverColorStyle::Quicken, 0x603000, 0xC0C0C0, 0xC0C0C0, 0xAD6529, 0xCEAE9C, false, HoverButtonStyle::Quicken},
};

bool isTransparentStyle(HoverButtonStyle s) {
    return s == HoverButtonStyle::Modern || s == HoverButtonStyle::Shape || s == HoverButtonStyle::Quicken;
}

bool isEnterKey(int key) { return key == Qt::Key_Return || key == Qt::Key_Enter; }

bool isClickKey(int key) { return isEnterKey(key) || key == Qt::Key_Space; }

} // namespace

HoverButton::HoverButton(QWidget* parent) : QAbstractButton(parent) {
    resize(100, 23);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_Hover, false);
    m_hotTrackFont = font();
    // The fade "thread": one single-shot tick per 30 ms while a fade runs.
    m_fadeTimer = new QTimer(this);
    m_fadeTimer->setSingleShot(true);
    m_fadeTimer->setInterval(kFadeIntervalMs);
    connect(m_fadeTimer, &QTimer::timeout, this, &HoverButton::hotTrackTick);
    setButtonStyle(HoverButtonStyle::Normal);
    // QAbstractButton's own click (click(), animateClick(): what assistive technology's press
    // action runs) emits clicked() without FireClick. It is finished the same way once every
    // handler of clicked() has run.
    connect(this, &QAbstractButton::clicked, this, [this] {
        if (m_firingClick)
            return;
        QMetaObject::invokeMethod(this, &HoverButton::finishClick, Qt::QueuedConnection);
    });
}

HoverButton::~HoverButton() { stopFade(); }

void HoverButton::setAlignment(TextAlignment a) {
    if (m_alignment == a)
        return;
    m_alignment = a;
    update();
}

void HoverButton::setCancel(bool on) {
    m_cancel = on;
    updateKeyFilter();
}

void HoverButton::setCaption(const QString& caption) {
    setText(caption);
    update();
}

void HoverButton::setColorStyle(HoverColorStyle style) {
    for (const ColorPalette& pal : kPalettes) {
        if (pal.style != style)
            continue;
        m_color = pal.color;
        m_fontColor = style == HoverColorStyle::Quicken ? kWhite : kBlack;
        m_lightColor = pal.light;
        m_shadowColor = pal.shadow;
        m_colorWhenDown = pal.whenDown;
        m_hotTrackColor = pal.hot;
        m_flat = pal.flat;
        m_style = pal.buttonStyle; // the style field only; transparency stays as it was
        update();
        return;
    }
}

void HoverButton::setColorWhenDown(ColorRef c) { m_colorWhenDown = c; }

void HoverButton::setDefault(bool on) {
    m_default = on;
    updateKeyFilter();
}

void HoverButton::setFlat(bool on) {
    m_flat = on;
    update();
}

void HoverButton::setGlyph(const QImage& strip) {
    m_glyph = strip.isNull() ? QImage() : strip.convertToFormat(QImage::Format_RGB32);
    m_glyphFine = QImage();
    m_numGlyphs = m_glyph.height() > 0 ? m_glyph.width() / m_glyph.height() : 0;
    m_kind = HoverButtonKind::Custom;
    update();
}

void HoverButton::setGlyphResource(const QString& name) {
    setGlyph(resourceImage(name));
    m_glyphFine = resourceImage(name + QStringLiteral("@2x"));
}

void HoverButton::setHotTrackColor(ColorRef c) { m_hotTrackColor = c; }

void HoverButton::setHotTrackFont(const QFont& f) { m_hotTrackFont = f; }

void HoverButton::setKind(HoverButtonKind kind) {
    for (const StockKind& k : kStockKinds) {
        if (k.kind != kind)
            continue;
        m_numGlyphs = 2;
        m_modalResult = k.modalResult;
        m_glyph = resourceImage(QString::fromLatin1(k.glyph));
        m_glyphFine = resourceImage(QString::fromLatin1(k.glyph) + QStringLiteral("@2x"));
        setText(QString::fromUtf8(k.caption));
        break;
    }
    m_kind = kind;
    update();
}

void HoverButton::setGlyphLayout(GlyphLayout layout) {
    m_layout = layout;
    update();
}

void HoverButton::setLightColor(ColorRef c) {
    m_lightColor = c;
    update();
}

void HoverButton::setModalResult(int result) {
    m_modalResult = result;
    m_kind = HoverButtonKind::Custom;
}

void HoverButton::setNumGlyphs(int n) {
    m_numGlyphs = n;
    update();
}

void HoverButton::setShadowColor(ColorRef c) {
    m_shadowColor = c;
    update();
}

void HoverButton::setSlowFade(bool on) {
    if (m_slowFade == on)
        return;
    m_slowFade = on;
    if (!on) {
        m_hotTrackStep = 0;
        stopFade();
    }
    update();
}

void HoverButton::setButtonStyle(HoverButtonStyle style) {
    // No opaque-paint shortcut for the filled styles: a palette may switch the style to a
    // transparent one later, and the parent must then show through the keyed-out corners.
    m_style = style;
    update();
}

void HoverButton::setUseHotTrackFont(bool on) { m_useHotTrackFont = on; }

void HoverButton::setWordWrap(bool on) {
    m_wordWrap = on;
    update();
}

void HoverButton::setColor(ColorRef c) {
    m_color = c;
    update();
}

void HoverButton::setFontColor(ColorRef c) {
    m_fontColor = c;
    update();
}

void HoverButton::setPopupMenu(QMenu* menu) {
    m_popupMenu = menu;
    update();
}

QSize HoverButton::sizeHint() const { return {100, 23}; }

// ---------------------------------------------------------------- clicking

void HoverButton::performClick() {
    m_down = true;
    fireClick();
}

void HoverButton::fireClick() {
    if (!isVisible() || !isEnabled() || !m_down)
        return;
    m_down = false;
    QPointer<HoverButton> self(this);
    m_firingClick = true;
    Q_EMIT clicked(false);
    if (!self)
        return;
    m_firingClick = false;
    finishClick();
}

void HoverButton::finishClick() {
    QPointer<HoverButton> self(this);
    if (m_modalResult != 0) {
        // A handler that already ended the dialog keeps its result (and finished() fires once).
        if (auto* dialog = qobject_cast<QDialog*>(window()); dialog && dialog->isVisible())
            dialog->done(m_modalResult);
    }
    if (self && m_popupMenu)
        m_popupMenu->popup(mapToGlobal(QPoint(0, height())));
}

void HoverButton::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton || !isEnabled()) {
        e->ignore();
        return;
    }
    m_down = true;
    setFocus(Qt::MouseFocusReason);
    repaint();
    Q_EMIT pressed(); // OnMouseDown
}

void HoverButton::mouseReleaseEvent(QMouseEvent*) {
    // The button holds the mouse from the press on, so a release anywhere counts.
    QPointer<HoverButton> self(this);
    Q_EMIT released(); // OnMouseUp
    if (!self)
        return;
    if (m_down)
        performClick();
    if (!self)
        return;
    m_down = false;
    update();
}

void HoverButton::mouseDoubleClickEvent(QMouseEvent* e) { mousePressEvent(e); }

void HoverButton::keyPressEvent(QKeyEvent* e) {
    const int key = e->key();
    if (isClickKey(key) && isEnabled()) {
        // A held key repeating into this button after its press went elsewhere is not a press here.
        if (!e->isAutoRepeat()) {
            m_down = true;
            m_keyDown = key;
            repaint();
        }
        e->accept();
        return;
    }
    QAbstractButton::keyPressEvent(e);
}

void HoverButton::keyReleaseEvent(QKeyEvent* e) {
    const int key = e->key();
    if (isClickKey(key)) {
        e->accept();
        if (e->isAutoRepeat())
            return;
        // Only the release of a key this button saw go down clicks: the release of an Enter
        // that closed another window lands here with no press of its own.
        if (m_keyDown != key)
            return;
        m_keyDown = 0;
        QPointer<HoverButton> self(this);
        performClick();
        if (self)
            update();
        return;
    }
    QAbstractButton::keyReleaseEvent(e);
}

bool HoverButton::takesDialogKey(int key, Qt::KeyboardModifiers mods) const {
    const bool wanted = (isEnterKey(key) && m_default) ||
                        (key == Qt::Key_Escape && m_cancel && !(mods & Qt::ShiftModifier) && isVisible() &&
                         isEnabled());
    if (!wanted)
        return false;
    // A focused button of the same window keeps Enter and Escape to itself.
    if (QWidget* focused = window()->focusWidget()) {
        const QByteArray cls = QByteArray(focused->metaObject()->className()).toUpper();
        if (cls.contains("BUTTON") && !cls.contains("RADIOBUTTON"))
            return false;
    }
    return true;
}

bool HoverButton::eventFilter(QObject* watched, QEvent* e) {
    if (watched == m_keyFilterHost && e->type() == QEvent::KeyPress) {
        auto* ke = static_cast<QKeyEvent*>(e);
        if (takesDialogKey(ke->key(), ke->modifiers())) {
            m_down = true;
            performClick();
            return true;
        }
    }
    return QAbstractButton::eventFilter(watched, e);
}

void HoverButton::updateKeyFilter() {
    QWidget* host = (m_default || m_cancel) ? window() : nullptr;
    if (host == this)
        host = nullptr;
    if (host == m_keyFilterHost)
        return;
    if (m_keyFilterHost)
        m_keyFilterHost->removeEventFilter(this);
    m_keyFilterHost = host;
    if (host)
        host->installEventFilter(this);
}

bool HoverButton::event(QEvent* e) {
    switch (e->type()) {
    case QEvent::Shortcut:
        // The caption's accelerator (or a shortcut set on the button).
        if (isVisible() && isEnabled() && parentShowing()) {
            m_down = true;
            performClick();
        }
        return true;
    case QEvent::ParentChange:
        updateKeyFilter();
        break;
    default:
        break;
    }
    return QAbstractButton::event(e);
}

// ---------------------------------------------------------------- hot tracking

bool HoverButton::parentShowing() const { return parentWidget() && parentWidget()->isVisible(); }

bool HoverButton::isHot() const { return m_cursorOnButton || hasFocus(); }

void HoverButton::enterEvent(QEnterEvent* e) {
    QAbstractButton::enterEvent(e);
    if (!isEnabled() || !isVisible() || !parentShowing())
        return;
    m_cursorOnButton = true;
    // A fade still running from the last visit would dim the button under the mouse.
    stopFade();
    m_hotTrackStep = kFadeSteps;
    repaint();
    Q_EMIT mouseEnter();
}

void HoverButton::leaveEvent(QEvent* e) {
    QAbstractButton::leaveEvent(e);
    m_cursorOnButton = false;
    if (m_slowFade) {
        if (!m_fading) {
            m_fading = true;
            m_fadeTimer->start();
        }
    } else {
        m_hotTrackStep = 0;
        repaint();
    }
    if (isEnabled() && isVisible() && parentShowing())
        Q_EMIT mouseExit();
}

void HoverButton::hotTrackTick() {
    --m_hotTrackStep;
    if (m_hotTrackStep <= 0) {
        m_hotTrackStep = 0;
        stopFade();
    } else if (m_fading) {
        m_fadeTimer->start();
    }
    repaint();
}

void HoverButton::stopFade() {
    m_fading = false;
    if (m_fadeTimer)
        m_fadeTimer->stop();
}

void HoverButton::focusInEvent(QFocusEvent* e) {
    QAbstractButton::focusInEvent(e);
    update();
}

void HoverButton::focusOutEvent(QFocusEvent* e) {
    QAbstractButton::focusOutEvent(e);
    // A key pressed here and released elsewhere is no click.
    if (m_keyDown != 0) {
        m_keyDown = 0;
        m_down = false;
    }
    update();
}

void HoverButton::setCursorOnButton(bool on) {
    m_cursorOnButton = on;
    stopFade();
    m_hotTrackStep = on ? kFadeSteps : 0;
}

void HoverButton::showEvent(QShowEvent* e) {
    QAbstractButton::showEvent(e);
    // The mouse may have moved anywhere while the window was hidden: start from where it is now.
    const bool under = isEnabled() && rect().contains(mapFromGlobal(QCursor::pos()));
    if (under != m_cursorOnButton)
        setCursorOnButton(under);
}

void HoverButton::hideEvent(QHideEvent* e) {
    QAbstractButton::hideEvent(e);
    // A hidden window gets no leave event; nothing of this showing's hover or keys stays.
    m_keyDown = 0;
    m_down = false;
    if (m_cursorOnButton || m_hotTrackStep != 0)
        setCursorOnButton(false);
}

void HoverButton::changeEvent(QEvent* e) {
    QAbstractButton::changeEvent(e);
    if (e->type() == QEvent::EnabledChange) {
        m_down = false;
        update();
    } else if (e->type() == QEvent::FontChange) {
        update();
    }
}

// ---------------------------------------------------------------- painting

HoverButtonFace HoverButton::faceState(int width, int height) const {
    HoverButtonFace f;
    f.width = width;
    f.height = height;
    f.alignment = m_alignment;
    f.caption = text();
    f.layout = m_layout;
    f.font = (isHot() && m_useHotTrackFont) ? m_hotTrackFont : font();
    f.fontColor = m_fontColor;
    f.shadowColor = m_shadowColor;
    f.lightColor = m_lightColor;
    f.hotTrackColor = m_hotTrackColor;
    f.colorWhenDown = m_colorWhenDown;
    f.color = m_color;
    f.style = m_style;
    f.hasPopupMenu = !m_popupMenu.isNull();
    f.wordWrap = m_wordWrap;
    f.flat = m_flat;
    f.enabled = isEnabled();
    f.hot = isHot();
    f.down = m_down;
    f.glyph = m_glyph;
    f.glyphFine = m_glyphFine;
    f.numGlyphs = m_numGlyphs;
    f.hotTrackStep = m_hotTrackStep;
    return f;
}

QImage HoverButton::renderFace() const { return renderFace(1.0); }

QImage HoverButton::renderFace(qreal ratio) const {
    const int W = width(), H = height();
    QImage img(QSize(qRound(W * ratio), qRound(H * ratio)), QImage::Format_RGB32);
    img.setDevicePixelRatio(ratio);
    img.fill(QColor(255, 0, 255));
    if (W <= 0 || H <= 0)
        return img;
    {
        QPainter p(&img);
        if (m_style == HoverButtonStyle::Old && hasFocus()) {
            // The face one pixel smaller inside a black frame.
            HoverButtonFace f = faceState(W - 2, H - 2);
            if (m_down)
                f.lightColor = m_shadowColor;
            p.save();
            p.translate(1, 1);
            drawButtonFace(p, f, palette());
            p.restore();
            gdi::frameRect(p, 0, 0, W, H, Qt::black);
        } else {
            drawButtonFace(p, faceState(W, H), palette());
        }
    }
    if (!isTransparentStyle(m_style))
        return img;
    QImage keyed = img.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < keyed.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(keyed.scanLine(y));
        for (int x = 0; x < keyed.width(); ++x)
            if (line[x] == 0xFFFF00FFu)
                line[x] = 0;
    }
    return keyed;
}

void HoverButton::paintTo(QPainter& p) const {
    // The face is drawn at the device's own resolution, so text and lines stay sharp when scaled.
    p.drawImage(0, 0, renderFace(gdi::devicePixelRatio(p)));
    if (hasFocus() && isEnabled() && m_style != HoverButtonStyle::Shape)
        gdi::focusRect(p, 4, 4, width() - 4, height() - 4, toQColor(m_fontColor, palette()));
}

void HoverButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    paintTo(p);
}

} // namespace strovane::widgets
