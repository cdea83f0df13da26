#include "editors/dialog_button.h"

#include "widgets/lb_button.h"

namespace strovane::editors {

namespace {

constexpr widgets::TColor kWindowBackground = 0x00EDF7F8; // RGB(248, 247, 237)

} // namespace

QAbstractButton* makeDialogButton(QWidget* parent, const char* objectName, const char* caption,
                                  const char* glyph, const QRect& geometry, widgets::TColor fontColor) {
    auto* button = new widgets::TLbButton(parent);
    button->setObjectName(QString::fromUtf8(objectName));
    button->setGeometry(geometry);
    button->setCaption(QString::fromUtf8(caption));
    button->setStyle(widgets::TLbButtonStyle::bsEncarta);
    button->setColor(kWindowBackground);
    button->setHotTrackColor(widgets::clYellow);
    button->setColorWhenDown(widgets::clYellow);
    button->setLightColor(widgets::clGray);
    button->setFontColor(fontColor);
    button->setGlyphResource(QString::fromUtf8(glyph));
    return button;
}

} // namespace strovane::editors
