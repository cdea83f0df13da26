#include "editors/gui/dialog_button.h"

#include "widgets/gui/hover_button.h"

namespace strovane::editors {

widgets::HoverButton* makeDialogButton(QWidget* parent, const char* objectName, const char* caption,
                                     const char* glyph, const QRect& geometry, widgets::ColorRef fontColor) {
    auto* button = new widgets::HoverButton(parent);
    button->setObjectName(QString::fromUtf8(objectName));
    button->setGeometry(geometry);
    button->setCaption(QString::fromUtf8(caption));
    button->setButtonStyle(widgets::HoverButtonStyle::Encarta);
    button->setColor(kEditorBackground);
    button->setHotTrackColor(widgets::kYellow);
    button->setColorWhenDown(widgets::kYellow);
    button->setLightColor(widgets::kGray);
    button->setFontColor(fontColor);
    button->setGlyphResource(QString::fromUtf8(glyph));
    return button;
}

} // namespace strovane::editors
