#pragma once

#include <QColor>
#include <QFont>

class QWidget;

namespace strovane::widgets {

// Background shared by the workspace and editor windows.
inline const QColor kWindowBackground{248, 247, 237};

// Verdana 8 pt, or a sans-serif face where Verdana is missing.
QFont windowFont();

// The look the workspace and editor windows share: the window font on the shared background.
void applyWindowLook(QWidget* w);

// A fixed-size window with only the system menu and close box, centred on the screen.
void makeFixedDialog(QWidget* w, int clientWidth, int clientHeight);
// Centres a top-level window on the screen it is on.
void centreOnScreen(QWidget* w);

} // namespace strovane::widgets
