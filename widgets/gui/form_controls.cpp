#include "widgets/gui/form_controls.h"

#include "widgets/gui/resources.h"

#include <QFontMetrics>

#include <algorithm>

namespace strovane::widgets {

namespace {

constexpr ColorRef kFormBackground = 0x00EDF7F8; // RGB(248, 247, 237)

} // namespace

void applyFormButtonLook(HoverButton& b, FormButtonLook look) {
    switch (look) {
    case FormButtonLook::Dialog:
        b.setButtonStyle(HoverButtonStyle::Encarta);
        b.setColor(kFormBackground);
        b.setLightColor(kGray);
        b.setColorWhenDown(kYellow);
        b.setHotTrackColor(kYellow);
        break;
    case FormButtonLook::UpdateExecute:
        b.setButtonStyle(HoverButtonStyle::Encarta);
        b.setColor(kSysButtonFace);
        b.setLightColor(kGray);
        b.setColorWhenDown(0x0080FF);
        b.setHotTrackColor(kSkyBlue);
        break;
    case FormButtonLook::Plain:
        b.setButtonStyle(HoverButtonStyle::Normal);
        break;
    }
    b.setUseHotTrackFont(false);
}

HoverButton* makeFormButton(QWidget* parent, const QString& objectName, const QString& caption, const QRect& geometry,
                          const QString& glyph, FormButtonLook look) {
    auto* b = new HoverButton(parent);
    b->setObjectName(objectName);
    b->setCaption(caption);
    b->setGeometry(geometry);
    applyFormButtonLook(*b, look);
    if (!glyph.isEmpty())
        b->setGlyphResource(glyph);
    return b;
}

ImageCheckBox* makeOptionCheckBox(QWidget* parent, const QString& objectName, const QString& caption, QPoint position,
                            CheckMark type) {
    auto* c = new ImageCheckBox(parent);
    c->setObjectName(objectName);
    c->setText(caption);
    c->setCheckMark(type);
    c->setFlat(true);
    c->setTransparent(true);
    c->setChecked(true);
    c->setCursor(handCursor());
    // Wide enough for box, gap and caption; the box is 97 wide at least, as placed on the form.
    const int width = std::max(97, 22 + QFontMetrics(c->font()).horizontalAdvance(caption) + 6);
    c->setGeometry(position.x(), position.y(), width, 19);
    return c;
}

ColourPanel* makeButtonBar(QWidget* parent, const QString& objectName) {
    auto* bar = new ColourPanel(parent);
    bar->setObjectName(objectName);
    bar->setBevelOuter(BevelCut::None);
    bar->setColor(kFormBackground);
    bar->setBorderColor(0x333333);
    bar->setFilter(0);
    return bar;
}

} // namespace strovane::widgets
