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
    TLbButtonKind kind;
    int modalResult;
    const char* glyph;
    const char* caption;
};

const StockKind kStockKinds[] = {
    {TLbButtonKind::bkOK, 1, "LBOK", "OK"},
    {TLbButtonKind::bkCancel, 2, "LBCANCEL", "Abbrechen"},
    {TLbButtonKind::bkHelp, 0, "LBHELP", "Hilfe"},
    {TLbButtonKind::bkYes, 6, "LBYES", "Ja"},
    {TLbButtonKind::bkNo, 7, "LBNO", "Nein"},
    {TLbButtonKind::bkClose, 0, "LBCLOSE", "Schlie\u00dfen"},
    {TLbButtonKind::bkAbort, 3, "LBABORT", "Abbrechen"},
    {TLbButtonKind::bkRetry, 4, "LBRETRY", "Wiederholen"},
    {TLbButtonKind::bkIgnore, 5, "LBIGNORE", "Ignorieren"},
    {TLbButtonKind::bkAll, 12, "LBALL", "Alle"},
};

struct ColorPalette {
    TLbColorStyle style;
    TColor color, light, shadow, whenDown, hot;
    bool flat;
    TLbButtonStyle buttonStyle;
};

const ColorPalette kPalettes[] = {
    {TLbColorStyle::lcsGold, 0x00C0C0, 0x00FFFF, 0x008080, clNone, 0x00DFDF, false, TLbButtonStyle::bsModern},
    {TLbColorStyle::lcsChrome, 0xC0C0C0, 0xFFFFFF, 0x808080, clNone, clNone, false, TLbButtonStyle::bsModern},
    {TLbColorStyle::lcsBlue, 0xFF8000, 0xFFFF00, 0xFF0000, clNone, clNone, false, TLbButtonStyle::bsModern},
    {TLbColorStyle::lcsRed, 0x0000FF, 0xC0C0FF, 0x0000C0, clNone, clNone, false, TLbButtonStyle::bsModern},
    {TLbColorStyle::lcsUltraFlat1, clBtnFace, 0xB59284, 0xB59284, 0xB59284, 0xDED3D6, true, TLbButtonStyle::bsNormal},
    {TLbColorStyle::lcsUltraFlat2, clBtnFace, 0x000000, 0x000000, 0x24DABC, 0x8CF6E4, true, TLbButtonStyle::bsNormal},
    {TLbColorStyle::lcsUltraFlatXP, 0xD1D8DB, 0xB59284, 0xB59285, 0xB59285, 0xD2BDB6, true, TLbButtonStyle::bsNormal},
    {TLbColorStyle::lcsAqua, 0xECCE94, 0xFCE6D4, 0x000000, clNone, clNone, false, TLbButtonStyle::bsModern},
    {TLbColorStyle::lcsDefault, clBtnFace, 0xFFFFFF, 0x808080, clNone, clNone, false, TLbButtonStyle::bsNormal},
    {TLbColorStyle::lcsQuicken, 0x603000, 0xC0C0C0, 0xC0C0C0, 0xAD6529, 0xCEAE9C, false, TLbButtonStyle::bsQuicken},
};

bool isTransparentStyle(TLbButtonStyle s) {
    return s == TLbButtonStyle::bsModern || s == TLbButtonStyle::bsShape || s == TLbButtonStyle::bsQuicken;
}

bool isEnterKey(int key) { return key == Qt::Key_Return || key == Qt::Key_Enter; }

bool isClickKey(int key) { return isEnterKey(key) || key == Qt::Key_Space; }

} // namespace

TLbButton::TLbButton(QWidget* parent) : QAbstractButton(parent) {
    resize(100, 23);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_Hover, false);
    m_hotTrackFont = font();
    // The fade "thread": one single-shot tick per 30 ms while a fade runs.
    m_fadeTimer = new QTimer(this);
    m_fadeTimer->setSingleShot(true);
    m_fadeTimer->setInterval(kFadeIntervalMs);
    connect(m_fadeTimer, &QTimer::timeout, this, &TLbButton::HotTrackTick);
    setStyle(TLbButtonStyle::bsNormal);
    // QAbstractButton's own click (click(), animateClick(): what assistive technology's press
    // action runs) emits clicked() without FireClick. It is finished the same way once every
    // handler of clicked() has run.
    connect(this, &QAbstractButton::clicked, this, [this] {
        if (m_firingClick)
            return;
        QMetaObject::invokeMethod(this, &TLbButton::finishClick, Qt::QueuedConnection);
    });
}

TLbButton::~TLbButton() { stopFade(); }

void TLbButton::setAlignment(TAlignment a) {
    if (m_alignment == a)
        return;
    m_alignment = a;
    update();
}

void TLbButton::setCancel(bool on) {
    m_cancel = on;
    updateKeyFilter();
}

void TLbButton::setCaption(const QString& caption) {
    setText(caption);
    update();
}

void TLbButton::setColorStyle(TLbColorStyle style) {
    for (const ColorPalette& pal : kPalettes) {
        if (pal.style != style)
            continue;
        m_color = pal.color;
        m_fontColor = style == TLbColorStyle::lcsQuicken ? clWhite : clBlack;
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

void TLbButton::setColorWhenDown(TColor c) { m_colorWhenDown = c; }

void TLbButton::setDefault(bool on) {
    m_default = on;
    updateKeyFilter();
}

void TLbButton::setFlat(bool on) {
    m_flat = on;
    update();
}

void TLbButton::setGlyph(const QImage& strip) {
    m_glyph = strip.isNull() ? QImage() : strip.convertToFormat(QImage::Format_RGB32);
    m_glyphFine = QImage();
    m_numGlyphs = m_glyph.height() > 0 ? m_glyph.width() / m_glyph.height() : 0;
    m_kind = TLbButtonKind::bkCustom;
    update();
}

void TLbButton::setGlyphResource(const QString& name) {
    setGlyph(resourceImage(name));
    m_glyphFine = resourceImage(name + QStringLiteral("@2x"));
}

void TLbButton::setHotTrackColor(TColor c) { m_hotTrackColor = c; }

void TLbButton::setHotTrackFont(const QFont& f) { m_hotTrackFont = f; }

void TLbButton::setKind(TLbButtonKind kind) {
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

void TLbButton::setLayout(TLbButtonLayout layout) {
    m_layout = layout;
    update();
}

void TLbButton::setLightColor(TColor c) {
    m_lightColor = c;
    update();
}

void TLbButton::setModalResult(int result) {
    m_modalResult = result;
    m_kind = TLbButtonKind::bkCustom;
}

void TLbButton::setNumGlyphs(int n) {
    m_numGlyphs = n;
    update();
}

void TLbButton::setShadowColor(TColor c) {
    m_shadowColor = c;
    update();
}

void TLbButton::setSlowDecease(bool on) {
    if (m_slowDecease == on)
        return;
    m_slowDecease = on;
    if (!on) {
        m_hotTrackStep = 0;
        stopFade();
    }
    update();
}

void TLbButton::setStyle(TLbButtonStyle style) {
    // No opaque-paint shortcut for the filled styles: a palette may switch the style to a
    // transparent one later, and the parent must then show through the keyed-out corners.
    m_style = style;
    update();
}

void TLbButton::setUseHotTrackFont(bool on) { m_useHotTrackFont = on; }

void TLbButton::setWordWrap(bool on) {
    m_wordWrap = on;
    update();
}

void TLbButton::setColor(TColor c) {
    m_color = c;
    update();
}

void TLbButton::setFontColor(TColor c) {
    m_fontColor = c;
    update();
}

void TLbButton::setPopupMenu(QMenu* menu) {
    m_popupMenu = menu;
    update();
}

QSize TLbButton::sizeHint() const { return {100, 23}; }

// ---------------------------------------------------------------- clicking

void TLbButton::Click() {
    m_down = true;
    FireClick();
}

void TLbButton::FireClick() {
    if (!isVisible() || !isEnabled() || !m_down)
        return;
    m_down = false;
    QPointer<TLbButton> self(this);
    m_firingClick = true;
    Q_EMIT clicked(false);
    if (!self)
        return;
    m_firingClick = false;
    finishClick();
}

void TLbButton::finishClick() {
    QPointer<TLbButton> self(this);
    if (m_modalResult != 0) {
        // A handler that already ended the dialog keeps its result (and finished() fires once).
        if (auto* dialog = qobject_cast<QDialog*>(window()); dialog && dialog->isVisible())
            dialog->done(m_modalResult);
    }
    if (self && m_popupMenu)
        m_popupMenu->popup(mapToGlobal(QPoint(0, height())));
}

void TLbButton::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton || !isEnabled()) {
        e->ignore();
        return;
    }
    m_down = true;
    setFocus(Qt::MouseFocusReason);
    repaint();
    Q_EMIT pressed(); // OnMouseDown
}

void TLbButton::mouseReleaseEvent(QMouseEvent*) {
    // The button holds the mouse from the press on, so a release anywhere counts.
    QPointer<TLbButton> self(this);
    Q_EMIT released(); // OnMouseUp
    if (!self)
        return;
    if (m_down)
        Click();
    if (!self)
        return;
    m_down = false;
    update();
}

void TLbButton::mouseDoubleClickEvent(QMouseEvent* e) { mousePressEvent(e); }

void TLbButton::keyPressEvent(QKeyEvent* e) {
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

void TLbButton::keyReleaseEvent(QKeyEvent* e) {
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
        QPointer<TLbButton> self(this);
        Click();
        if (self)
            update();
        return;
    }
    QAbstractButton::keyReleaseEvent(e);
}

bool TLbButton::takesDialogKey(int key, Qt::KeyboardModifiers mods) const {
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

bool TLbButton::eventFilter(QObject* watched, QEvent* e) {
    if (watched == m_keyFilterHost && e->type() == QEvent::KeyPress) {
        auto* ke = static_cast<QKeyEvent*>(e);
        if (takesDialogKey(ke->key(), ke->modifiers())) {
            m_down = true;
            Click();
            return true;
        }
    }
    return QAbstractButton::eventFilter(watched, e);
}

void TLbButton::updateKeyFilter() {
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

bool TLbButton::event(QEvent* e) {
    switch (e->type()) {
    case QEvent::Shortcut:
        // The caption's accelerator (or a shortcut set on the button).
        if (isVisible() && isEnabled() && parentShowing()) {
            m_down = true;
            Click();
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

bool TLbButton::parentShowing() const { return parentWidget() && parentWidget()->isVisible(); }

bool TLbButton::isHot() const { return m_cursorOnButton || hasFocus(); }

void TLbButton::enterEvent(QEnterEvent* e) {
    QAbstractButton::enterEvent(e);
    if (!isEnabled() || !isVisible() || !parentShowing())
        return;
    m_cursorOnButton = true;
    // A fade still running from the last visit would dim the button under the mouse.
    stopFade();
    m_hotTrackStep = kFadeSteps;
    repaint();
    Q_EMIT MouseEnter();
}

void TLbButton::leaveEvent(QEvent* e) {
    QAbstractButton::leaveEvent(e);
    m_cursorOnButton = false;
    if (m_slowDecease) {
        if (!m_fading) {
            m_fading = true;
            m_fadeTimer->start();
        }
    } else {
        m_hotTrackStep = 0;
        repaint();
    }
    if (isEnabled() && isVisible() && parentShowing())
        Q_EMIT MouseExit();
}

void TLbButton::HotTrackTick() {
    --m_hotTrackStep;
    if (m_hotTrackStep <= 0) {
        m_hotTrackStep = 0;
        stopFade();
    } else if (m_fading) {
        m_fadeTimer->start();
    }
    repaint();
}

void TLbButton::stopFade() {
    m_fading = false;
    if (m_fadeTimer)
        m_fadeTimer->stop();
}

void TLbButton::focusInEvent(QFocusEvent* e) {
    QAbstractButton::focusInEvent(e);
    update();
}

void TLbButton::focusOutEvent(QFocusEvent* e) {
    QAbstractButton::focusOutEvent(e);
    // A key pressed here and released elsewhere is no click.
    if (m_keyDown != 0) {
        m_keyDown = 0;
        m_down = false;
    }
    update();
}

void TLbButton::setCursorOnButton(bool on) {
    m_cursorOnButton = on;
    stopFade();
    m_hotTrackStep = on ? kFadeSteps : 0;
}

void TLbButton::showEvent(QShowEvent* e) {
    QAbstractButton::showEvent(e);
    // The mouse may have moved anywhere while the window was hidden: start from where it is now.
    const bool under = isEnabled() && rect().contains(mapFromGlobal(QCursor::pos()));
    if (under != m_cursorOnButton)
        setCursorOnButton(under);
}

void TLbButton::hideEvent(QHideEvent* e) {
    QAbstractButton::hideEvent(e);
    // A hidden window gets no leave event; nothing of this showing's hover or keys stays.
    m_keyDown = 0;
    m_down = false;
    if (m_cursorOnButton || m_hotTrackStep != 0)
        setCursorOnButton(false);
}

void TLbButton::changeEvent(QEvent* e) {
    QAbstractButton::changeEvent(e);
    if (e->type() == QEvent::EnabledChange) {
        m_down = false;
        update();
    } else if (e->type() == QEvent::FontChange) {
        update();
    }
}

// ---------------------------------------------------------------- painting

LbButtonFace TLbButton::faceState(int width, int height) const {
    LbButtonFace f;
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

QImage TLbButton::RenderFace() const { return renderFace(1.0); }

QImage TLbButton::renderFace(qreal ratio) const {
    const int W = width(), H = height();
    QImage img(QSize(qRound(W * ratio), qRound(H * ratio)), QImage::Format_RGB32);
    img.setDevicePixelRatio(ratio);
    img.fill(QColor(255, 0, 255));
    if (W <= 0 || H <= 0)
        return img;
    {
        QPainter p(&img);
        if (m_style == TLbButtonStyle::bsOld && hasFocus()) {
            // The face one pixel smaller inside a black frame.
            LbButtonFace f = faceState(W - 2, H - 2);
            if (m_down)
                f.lightColor = m_shadowColor;
            p.save();
            p.translate(1, 1);
            DrawButtonFace(p, f, palette());
            p.restore();
            gdi::frameRect(p, 0, 0, W, H, Qt::black);
        } else {
            DrawButtonFace(p, faceState(W, H), palette());
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

void TLbButton::PaintTo(QPainter& p) const {
    // The face is drawn at the device's own resolution, so text and lines stay sharp when scaled.
    p.drawImage(0, 0, renderFace(gdi::devicePixelRatio(p)));
    if (hasFocus() && isEnabled() && m_style != TLbButtonStyle::bsShape)
        gdi::focusRect(p, 4, 4, width() - 4, height() - 4, toQColor(m_fontColor, palette()));
}

void TLbButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    PaintTo(p);
}

} // namespace strovane::widgets
