#pragma once

#include "widgets/colors.h"

#include <QRect>

class QAbstractButton;
class QWidget;

namespace strovane::editors {

// The editors' OK and Cancel buttons: hover buttons in the Encarta style on the window
// background, yellow when hovered or pressed, with a two-image glyph from the resources.
QAbstractButton* makeDialogButton(QWidget* parent, const char* objectName, const char* caption,
                                  const char* glyph, const QRect& geometry,
                                  widgets::TColor fontColor = widgets::clWindowText);

} // namespace strovane::editors
