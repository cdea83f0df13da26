#pragma once

#include "widgets/gui/colors.h"

#include <QRect>

class QWidget;

namespace strovane::widgets {
class HoverButton;
}

namespace strovane::editors {

// The editors' window background, RGB(248, 247, 237), as a widget-set colour.
inline constexpr widgets::ColorRef kEditorBackground = 0x00EDF7F8;

// The editors' OK and Cancel buttons: hover buttons in the Encarta style on the window
// background, yellow when hovered or pressed, with a two-image glyph from the resources.
widgets::HoverButton* makeDialogButton(QWidget* parent, const char* objectName, const char* caption,
                                     const char* glyph, const QRect& geometry,
                                     widgets::ColorRef fontColor = widgets::kSysWindowText);

} // namespace strovane::editors
