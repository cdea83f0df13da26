#include "widgets/gui/form_controls.h"

#include <QDialog>
#include <gtest/gtest.h>

using namespace strovane::widgets;

namespace {

TEST(FormControls, ButtonsCarryNameGeometryGlyphAndLook) {
    QDialog dialog;
    HoverButton* ok = makeFormButton(&dialog, QStringLiteral("Btn_OK"), QStringLiteral("OK"), QRect(117, 91, 90, 23),
                                   QStringLiteral("OK"));
    EXPECT_EQ(dialog.findChild<QAbstractButton*>(QStringLiteral("Btn_OK")), ok);
    EXPECT_EQ(ok->geometry(), QRect(117, 91, 90, 23));
    EXPECT_EQ(ok->NumGlyphs(), 2);
    EXPECT_EQ(ok->Style(), HoverButtonStyle::bsEncarta);
    EXPECT_EQ(ok->Color(), 0x00EDF7F8u);
    EXPECT_EQ(ok->HotTrackColor(), clYellow);
    EXPECT_EQ(ok->ModalResult(), 0) << "the windows decide their own results";

    HoverButton* go = makeFormButton(&dialog, QStringLiteral("LbButton4"), QStringLiteral("Execute update firmware"),
                                   QRect(8, 174, 169, 23), QStringLiteral("EXECUTE"), FormButtonLook::UpdateExecute);
    EXPECT_EQ(go->HotTrackColor(), clSkyBlue);
    EXPECT_EQ(go->ColorWhenDown(), 0x0080FFu);
    EXPECT_EQ(go->Color(), clBtnFace);
}

TEST(FormControls, OptionCheckBoxIsTickedFlatTransparentAndFitsItsCaption) {
    QWidget page;
    ImageCheckBox* c = makeOptionCheckBox(&page, QStringLiteral("CB_RFirm"), QStringLiteral("Read Firmware when finish"),
                                    QPoint(64, 56));
    EXPECT_TRUE(c->Checked() && c->Flat() && c->Transparent());
    EXPECT_EQ(c->ImageType(), CheckMark::igHookLime);
    EXPECT_EQ(c->pos(), QPoint(64, 56));
    EXPECT_GE(c->width(), 22 + QFontMetrics(c->font()).horizontalAdvance(c->text()));
    EXPECT_EQ(c->cursor().shape(), Qt::BitmapCursor);
}

} // namespace
