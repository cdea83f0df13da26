#include "widgets/gui/colors.h"

#include <gtest/gtest.h>

using namespace strovane::widgets;

namespace {

struct DirectCase {
    ColorRef color;
    int r, g, b;
};

TEST(Colors, DirectColoursAreBlueGreenRedBytes) {
    const DirectCase cases[] = {
        {0x00EDF7F8, 248, 247, 237}, // the windows' background
        {kYellow, 255, 255, 0},     {kSkyBlue, 166, 202, 240}, {0x0080FF, 255, 128, 0},
        {kBlue, 0, 0, 255},         {0x333333, 51, 51, 51},     {kBlack, 0, 0, 0},
    };
    for (const DirectCase& c : cases) {
        const QColor q = toQColor(c.color, QPalette());
        EXPECT_EQ(q, QColor(c.r, c.g, c.b)) << std::hex << c.color;
        EXPECT_EQ(fromQColor(q), c.color);
        EXPECT_EQ(rgbColor(c.r, c.g, c.b), c.color);
    }
}

TEST(Colors, SystemColoursFollowThePaletteWhateverItsCurrentGroup) {
    QPalette pal;
    pal.setColor(QPalette::Active, QPalette::Button, QColor(1, 2, 3));
    pal.setColor(QPalette::Active, QPalette::Dark, QColor(4, 5, 6));
    pal.setColor(QPalette::Active, QPalette::Light, QColor(7, 8, 9));
    pal.setColor(QPalette::Active, QPalette::Shadow, QColor(10, 11, 12));
    pal.setColor(QPalette::Active, QPalette::Text, QColor(13, 14, 15));
    pal.setColor(QPalette::Disabled, QPalette::Button, QColor(99, 99, 99));
    pal.setCurrentColorGroup(QPalette::Disabled); // as a disabled widget's palette reads
    EXPECT_EQ(toQColor(kSysButtonFace, pal), QColor(1, 2, 3));
    EXPECT_EQ(toQColor(kSysButtonShadow, pal), QColor(4, 5, 6));
    EXPECT_EQ(toQColor(kSysButtonHighlight, pal), QColor(7, 8, 9));
    EXPECT_EQ(toQColor(kSys3dDarkShadow, pal), QColor(10, 11, 12));
    EXPECT_EQ(toQColor(kSysWindowText, pal), QColor(13, 14, 15));
    EXPECT_TRUE(isSystemColor(kSysButtonFace));
    EXPECT_FALSE(isSystemColor(kNoColor));
    EXPECT_FALSE(isSystemColor(0x00FFFFFF));
}

} // namespace
