// Test entry for suites that create widgets: offscreen platform, one QApplication.
#include "widgets/gui/sans_font.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // On Windows the offscreen platform reads the font files of one folder, by default none.
    if (qEnvironmentVariableIsEmpty("QT_QPA_FONTDIR") && !qEnvironmentVariableIsEmpty("WINDIR"))
        qputenv("QT_QPA_FONTDIR", qgetenv("WINDIR") + "\\Fonts");
    QApplication app(argc, argv);
    strovane::widgets::useSansSerifApplicationFont(); // as the program does
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
