#include "widgets/gui/colors.h"

#include <QGuiApplication>

namespace strovane::widgets {

namespace {

// The palette entry that plays the part of system colour `index` on this desktop.
// System colours do not change with a widget's state, so the Active group is read.
QColor systemColor(unsigned index, const QPalette& p) {
    switch (index) {
    case 0: return p.color(QPalette::Active, QPalette::Mid);                          // scroll bar
    case 1: return p.color(QPalette::Active, QPalette::Dark);                         // desktop
    case 2: case 27: return p.color(QPalette::Active, QPalette::Highlight);   // active caption
    case 3: case 28: return p.color(QPalette::Inactive, QPalette::Highlight); // inactive caption
    case 4: case 30: return p.color(QPalette::Active, QPalette::Window);              // menu, menu bar
    case 5: return p.color(QPalette::Active, QPalette::Base);                         // window
    case 6: return p.color(QPalette::Active, QPalette::Shadow);                       // window frame
    case 7: return p.color(QPalette::Active, QPalette::WindowText);                   // menu text
    case 8: return p.color(QPalette::Active, QPalette::Text);                         // window text
    case 9: return p.color(QPalette::Active, QPalette::HighlightedText);              // caption text
    case 10: case 11: return p.color(QPalette::Active, QPalette::Button);             // borders
    case 12: return p.color(QPalette::Active, QPalette::Dark);                        // application workspace
    case 13: case 29: return p.color(QPalette::Active, QPalette::Highlight);
    case 14: return p.color(QPalette::Active, QPalette::HighlightedText);
    case 15: return p.color(QPalette::Active, QPalette::Button);                      // button face
    case 16: return p.color(QPalette::Active, QPalette::Dark);                        // button shadow
    case 17: return p.color(QPalette::Disabled, QPalette::Text);    // grey text
    case 18: return p.color(QPalette::Active, QPalette::ButtonText);
    case 19: return p.color(QPalette::Inactive, QPalette::HighlightedText);
    case 20: return p.color(QPalette::Active, QPalette::Light);                       // button highlight
    case 21: return p.color(QPalette::Active, QPalette::Shadow);                      // 3-D dark shadow
    case 22: return p.color(QPalette::Active, QPalette::Midlight);                    // 3-D light
    case 23: return p.color(QPalette::Active, QPalette::ToolTipText);
    case 24: return p.color(QPalette::Active, QPalette::ToolTipBase);
    case 26: return p.color(QPalette::Active, QPalette::Link);                        // hot light
    default: return p.color(QPalette::Active, QPalette::Button);
    }
}

} // namespace

QColor toQColor(ColorRef c, const QPalette& palette) {
    if (c == kNoColor)
        return QColor(0, 0, 0);
    if (isSystemColor(c))
        return systemColor(c & 0xFFu, palette);
    return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

QColor toQColor(ColorRef c) { return toQColor(c, QGuiApplication::palette()); }

ColorRef fromQColor(const QColor& c) { return rgbColor(c.red(), c.green(), c.blue()); }

} // namespace strovane::widgets
