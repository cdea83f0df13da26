// A Windows face that is missing is replaced by a sans-serif face, never left to the system's
// matching (under Wine that gives a serif face).
#include "widgets/gui/sans_font.h"

#include <QFontDatabase>
#include <gtest/gtest.h>

namespace strovane::widgets {
namespace {

struct FamilyCase {
    const char* label;
    QString preferred;
    QStringList installed;
    QString expected;
};

TEST(SansSerifFamily, PicksThePreferredFaceElseASansSerifOne) {
    const QString system = QStringLiteral("System Face");
    const FamilyCase cases[] = {
        {"installed", "Verdana", {"Times New Roman", "Verdana", "Tahoma"}, "Verdana"},
        {"other letter case", "tahoma", {"Tahoma"}, "tahoma"},
        {"Verdana missing: Tahoma", "Verdana", {"Times New Roman", "Tahoma"}, "Tahoma"},
        {"Tahoma missing: Verdana", "Tahoma", {"Verdana", "Tahoma Bold"}, "Verdana"},
        {"Wine without its fonts", "Tahoma",
         {"DejaVu Serif", "URW Bookman", "P052", "DejaVu Sans", "DejaVu Sans Mono"}, "DejaVu Sans"},
        {"nothing known", "Verdana", {"Comic Shanns"}, system},
    };
    for (const FamilyCase& c : cases)
        EXPECT_EQ(pickSansSerifFamily(c.preferred, c.installed, system), c.expected) << c.label;
}

TEST(SansSerifFamily, AMissingFaceGivesAnInstalledOne) {
    const QString family = sansSerifFamily(QStringLiteral("No Such Face 40518"));
    EXPECT_TRUE(QFontDatabase::families().contains(family, Qt::CaseInsensitive) ||
                family == QFontDatabase::systemFont(QFontDatabase::GeneralFont).family())
        << family.toStdString();
    EXPECT_FALSE(family.contains(QStringLiteral("Serif")) && !family.contains(QStringLiteral("Sans")))
        << family.toStdString();
}

} // namespace
} // namespace strovane::widgets
