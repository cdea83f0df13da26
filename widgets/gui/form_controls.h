#pragma once

#include "widgets/gui/hover_button.h"
#include "widgets/gui/image_check_box.h"
#include "widgets/gui/colour_panel.h"

#include <QLabel>
#include <QPoint>
#include <QRect>
#include <QString>

namespace strovane::widgets {

// The looks the windows give their hover buttons.
enum class FormButtonLook {
    Dialog,        // Encarta on $EDF7F8, light kGray, yellow when hovered and pressed (also the main window)
    UpdateExecute, // Encarta on the button face, light kGray, sky blue hovered, $0080FF pressed
    Plain,         // Normal with the default colours
};

// Sets the colours and style of `look` on a button.
void applyFormButtonLook(HoverButton& button, FormButtonLook look);

// A hover button with the window's object name, caption, geometry, look and an optional
// compiled-in glyph strip ("OK", "CANCEL", "NEWPROJECT", "REFRESH", ...).
HoverButton* makeFormButton(QWidget* parent, const QString& objectName, const QString& caption, const QRect& geometry,
                          const QString& glyph = QString(), FormButtonLook look = FormButtonLook::Dialog);

// An update option: flat, transparent, ticked, with the hand cursor, sized to its caption.
ImageCheckBox* makeOptionCheckBox(QWidget* parent, const QString& objectName, const QString& caption, QPoint position,
                            CheckMark type = CheckMark::HookLime);

// The receive editor's button bar: no bevel, $EDF7F8, border colour $333333, no filter.
ColourPanel* makeButtonBar(QWidget* parent, const QString& objectName);

// Ties a label to the field it names: the label's mnemonic moves the focus there and assistive
// technology names the field by the label's text.
inline void labelField(QLabel* label, QWidget* field) {
    label->setBuddy(field);
    field->setAccessibleName(label->text());
}

} // namespace strovane::widgets
