#include "widgets/gui/form_controls.h"

#include <QDialog>
#include <gtest/gtest.h>

using namespace strovane::widgets;

namespace {

TEST(FormControls, ButtonsCarryNameGeometryGlyphAndLook) {
    QDialog dialog;
    HoverButton* ok = makeFormButton(&dialog, QStringLiteral("okButton"), QStringLiteral("OK"), QRect(117, 91, 90, 23),
                                   QStringLiteral("OK"));
    EXPECT_EQ(dialog.findChild<QAbstractButton*>(QStringLiteral("okButton")), ok);
    EXPECT_EQ(ok->geometry(), QRect(117, 91, 90, 23));
    EXPECT_EQ(ok->numGlyphs(), 2);
    EXPECT_EQ(ok->buttonStyle(), HoverButtonStyle::Encarta);
    EXPECT_EQ(ok->color(), 0x00EDF7F8u);
    EXPECT_EQ(ok->hotTrackColor(), kYellow);
    EXPECT_EQ(ok->modalResult(), 0) << "the windows decide their own results";

    HoverButton* go = makeFormButton(&dialog, QStringLiteral("executeButton"), QStringLiteral("Execute update firmware"),
                                   QRect(8, 174, 169, 23), QStringLiteral("EXECUTE"), FormButtonLook::UpdateExecute);
    EXPECT_EQ(go->hotTrackColor(), kSkyBlue);
    EXPECT_EQ(go->colorWhenDown(), 0x0080FFu);
    EXPECT_EQ(go->color(), kSysButtonFace);
}

TEST(FormControls, OptionCheckBoxIsTickedFlatTransparentAndFitsItsCaption) {
    QWidget page;
    ImageCheckBox* c = makeOptionCheckBox(&page, QStringLiteral("CB_RFirm"), QStringLiteral("Read Firmware when finish"),
                                    QPoint(64, 56));
    EXPECT_TRUE(c->isChecked() && c->isFlat() && c->isTransparent());
    EXPECT_EQ(c->checkMark(), CheckMark::HookLime);
    EXPECT_EQ(c->pos(), QPoint(64, 56));
    EXPECT_GE(c->width(), 22 + QFontMetrics(c->font()).horizontalAdvance(c->text()));
    EXPECT_EQ(c->cursor().shape(), Qt::BitmapCursor);
}

} // namespace
