#pragma once

#include <QCursor>
#include <QImage>
#include <QString>
#include <QUrl>

namespace strovane::widgets {

// Pictures, cursors and sounds compiled into the program, looked up by name without
// regard to case ("Blank", "BLANK" and "blank" are the same picture).

// The picture of that name, or a null image when there is none.
QImage resourceImage(const QString& name);
// The picture for a device of that pixel ratio: above 1, its twice-as-fine variant
// ("NAME@2x", carrying ratio 2) when there is one; otherwise resourceImage(name).
QImage resourceImageAt(const QString& name, qreal ratio);
// The cursor of that name with its hot spot at (0, 0); the arrow when there is none.
QCursor resourceCursor(const QString& name);
// A qrc URL of the WAV sound of that name; empty when there is none.
QUrl resourceSound(const QString& name);

// The pointing hand that the check boxes show ("HANDD").
QCursor handCursor();

} // namespace strovane::widgets
