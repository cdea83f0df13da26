#include "widgets/gui/resources.h"

#include <QFile>
#include <QPixmap>
#include <gtest/gtest.h>

#include <cstring>

using namespace strovane::widgets;

namespace {

TEST(Resources, NamesAreLookedUpWithoutRegardToCase) {
    const QImage upper = resourceImage(QStringLiteral("BLANK"));
    ASSERT_FALSE(upper.isNull());
    EXPECT_EQ(resourceImage(QStringLiteral("Blank")), upper);
    EXPECT_EQ(resourceImage(QStringLiteral("blank")), upper);
    EXPECT_TRUE(resourceImage(QStringLiteral("NoSuchPicture")).isNull());
    EXPECT_TRUE(resourceSound(QStringLiteral("none")).isEmpty());
}

struct SizeCase {
    const char* name;
    int w, h;
};

const SizeCase kPictures[] = {
    {"LBOK", 36, 18},      {"LBCANCEL", 36, 18}, {"LBHELP", 36, 18},     {"LBYES", 36, 18},
    {"LBNO", 36, 18},      {"LBCLOSE", 36, 18},  {"LBABORT", 36, 18},    {"LBRETRY", 36, 18},
    {"LBIGNORE", 36, 18},  {"LBALL", 36, 19},    {"LBARROW", 5, 3},      {"Blank", 16, 16},
    {"BlankFlat", 16, 16}, {"Enabled", 16, 16},  {"EnabledFlat", 16, 16}, {"CheckIks", 16, 16},
    {"CheckOk", 16, 16},   {"CHECKELLI", 16, 16}, {"CHECKEIKSB", 16, 16}, {"CHECKIKSG", 16, 16},
    {"CHECKOKG", 16, 16},  {"CheckOkR", 16, 16},  {"OK", 32, 16},        {"Cancel", 32, 16},
    {"NewProject", 32, 16}, {"OpenProject", 32, 16}, {"About", 32, 16},  {"SetComm", 32, 16},
    {"SetRPdo", 32, 16},   {"SetTPdo", 32, 16},  {"UpdateDevice", 32, 16}, {"Refresh", 32, 16},
    {"Next", 32, 16},      {"Execute", 32, 16},
};

TEST(Resources, PicturesHaveTheirSizesAndAMagentaKey) {
    for (const SizeCase& c : kPictures) {
        const QImage img = resourceImage(QString::fromLatin1(c.name));
        ASSERT_FALSE(img.isNull()) << c.name;
        EXPECT_EQ(img.size(), QSize(c.w, c.h)) << c.name;
        if (c.w >= 16) { // the glyphs and check box pictures are keyed on magenta
            EXPECT_EQ(img.pixel(0, img.height() - 1), qRgb(255, 0, 255)) << c.name;
        }
    }
}

// Scaled screens take each picture's twin drawn at twice the resolution; ratio 1 keeps the 1x one.
TEST(Resources, PicturesHaveTwinsAtTwiceTheResolution) {
    for (const SizeCase& c : kPictures) {
        const QString name = QString::fromLatin1(c.name);
        EXPECT_EQ(resourceImageAt(name, 1.0), resourceImage(name)) << c.name;
        for (qreal ratio : {1.25, 1.5, 2.0}) {
            const QImage fine = resourceImageAt(name, ratio);
            ASSERT_FALSE(fine.isNull()) << c.name;
            EXPECT_EQ(fine.size(), QSize(2 * c.w, 2 * c.h)) << c.name << " at " << ratio;
            EXPECT_EQ(fine.devicePixelRatio(), 2.0) << c.name;
            EXPECT_EQ(fine.pixel(0, fine.height() - 1), resourceImage(name).pixel(0, c.h - 1)) << c.name;
        }
    }
}

TEST(Resources, HandCursorIs32By32WithItsHotSpotAtTheTopLeft) {
    const QCursor hand = handCursor();
    EXPECT_EQ(hand.shape(), Qt::BitmapCursor);
    EXPECT_EQ(hand.hotSpot(), QPoint(0, 0));
    EXPECT_EQ(hand.pixmap().size(), QSize(32, 32));
}

TEST(Resources, ClickSoundIsShortMonoPcm) {
    const QUrl url = resourceSound(QStringLiteral("klik"));
    ASSERT_FALSE(url.isEmpty());
    QFile f(QLatin1Char(':') + url.path());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray wav = f.readAll();
    ASSERT_GE(wav.size(), 44);
    auto u16 = [&](int at) { quint16 v; std::memcpy(&v, wav.constData() + at, 2); return v; };
    auto u32 = [&](int at) { quint32 v; std::memcpy(&v, wav.constData() + at, 4); return v; };
    EXPECT_EQ(wav.left(4), "RIFF");
    EXPECT_EQ(wav.mid(8, 4), "WAVE");
    EXPECT_EQ(u16(20), 1);     // PCM
    EXPECT_EQ(u16(22), 1);     // mono
    EXPECT_EQ(u32(24), 22050u);
    EXPECT_EQ(u16(34), 16);    // bits per sample
    EXPECT_EQ(wav.mid(36, 4), "data");
    EXPECT_EQ(u32(40), 2516u);
    EXPECT_EQ(wav.size(), 44 + 2516);
}

} // namespace

#ifdef STROVANE_SOUND_MODULE
#include <QLibrary>

TEST(Resources, SoundModuleBesideTheProgramOffersThePlayer) {
    QLibrary module(QStringLiteral(STROVANE_SOUND_MODULE));
    EXPECT_NE(module.resolve("strovanePlaySound"), nullptr) << module.errorString().toStdString();
}
#endif
