// Shows every widget of the set in its styles. Run it to look at them;
// "--grab <file.png>" saves the window and exits.
#include "widgets/gui/hover_button.h"
#include "widgets/gui/image_check_box.h"
#include "widgets/gui/colour_panel.h"

#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QTimer>

using namespace strovane::widgets;

namespace {

constexpr ColorRef kFormColor = 0x00EDF7F8;

QLabel* heading(QWidget* parent, const QString& text, int x, int y) {
    auto* l = new QLabel(text, parent);
    QFont f = l->font();
    f.setBold(true);
    l->setFont(f);
    l->move(x, y);
    return l;
}

HoverButton* windowButton(QWidget* parent, const QString& caption, const QString& glyph, QRect geo) {
    auto* b = new HoverButton(parent);
    b->setGeometry(geo);
    b->setCaption(caption);
    b->setButtonStyle(HoverButtonStyle::Encarta);
    b->setColor(kFormColor);
    b->setLightColor(kGray);
    b->setColorWhenDown(kYellow);
    b->setHotTrackColor(kYellow);
    if (!glyph.isEmpty())
        b->setGlyphResource(glyph);
    return b;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QFont verdana(QStringLiteral("Verdana"));
    verdana.setPointSize(8);
    QApplication::setFont(verdana);

    QWidget w;
    w.setWindowTitle(QStringLiteral("Strovane widget gallery"));
    w.resize(760, 600);
    QPalette pal = w.palette();
    pal.setColor(QPalette::Window, toQColor(kFormColor));
    w.setPalette(pal);
    w.setAutoFillBackground(true);

    // Hover button styles, up and pressed.
    heading(&w, QStringLiteral("Hover button styles"), 10, 8);
    const HoverButtonStyle styles[] = {HoverButtonStyle::Normal, HoverButtonStyle::Encarta, HoverButtonStyle::Modern,
                                     HoverButtonStyle::Old,    HoverButtonStyle::Shape,   HoverButtonStyle::Quicken};
    const char* styleNames[] = {"Normal", "Encarta", "Modern", "Old", "Shape", "Quicken"};
    HoverButton* pressed = nullptr;
    for (int i = 0; i < 6; ++i) {
        for (int row = 0; row < 3; ++row) {
            auto* b = new HoverButton(&w);
            b->setGeometry(10 + i * 122, 28 + row * 28, 114, 24);
            b->setCaption(QString::fromLatin1(styleNames[i]));
            b->setButtonStyle(styles[i]);
            b->setGlyphResource(QStringLiteral("OK"));
            if (styles[i] == HoverButtonStyle::Modern || styles[i] == HoverButtonStyle::Quicken)
                b->setColorStyle(styles[i] == HoverButtonStyle::Modern ? HoverColorStyle::Chrome
                                                                       : HoverColorStyle::Quicken);
            if (row == 1)
                b->setEnabled(false);
            if (row == 2 && i == 1)
                pressed = b;
        }
    }

    // The windows' buttons.
    heading(&w, QStringLiteral("Window buttons (Encarta, $EDF7F8, hot yellow)"), 10, 118);
    const struct {
        const char* caption;
        const char* glyph;
    } winButtons[] = {{"New project", "NEWPROJECT"},   {"Open project", "OPENPROJECT"},
                      {"Set Communication", "SETCOMM"}, {"Set Translate PDO", "SETRPDO"},
                      {"Set Transmit PDO", "SETTPDO"},  {"Update Device", "UPDATEDEVICE"},
                      {"OK", "OK"},                     {"Cancel", "CANCEL"},
                      {"Next", "NEXT"},                 {"Execute update firmware", "EXECUTE"}};
    for (int i = 0; i < 10; ++i) {
        const int col = i % 4, row = i / 4;
        auto* b = windowButton(&w, QString::fromLatin1(winButtons[i].caption), QString::fromLatin1(winButtons[i].glyph),
                               QRect(10 + col * 155, 138 + row * 30, 145, 26));
        if (i == 8)
            b->setGlyphLayout(GlyphLayout::GlyphRight);
        if (i == 9) {
            b->setHotTrackColor(kSkyBlue);
            b->setColorWhenDown(0x0080FF);
        }
    }
    auto* about = windowButton(&w, QStringLiteral("About"), QStringLiteral("ABOUT"), QRect(630, 138, 21, 19));
    about->setToolTip(QStringLiteral("About"));
    auto* refresh = windowButton(&w, QString(), QStringLiteral("REFRESH"), QRect(658, 138, 23, 22));
    refresh->setToolTip(QStringLiteral("Update COM Port List"));
    auto* close = windowButton(&w, QStringLiteral("X"), QString(), QRect(688, 138, 21, 19));
    close->setButtonStyle(HoverButtonStyle::Normal);
    auto* menuButton = windowButton(&w, QStringLiteral("Menu"), QString(), QRect(630, 198, 100, 23));
    menuButton->setPopupMenu(new QMenu(menuButton));

    // Palettes and stock kinds.
    heading(&w, QStringLiteral("Colour styles and stock kinds"), 10, 232);
    const HoverColorStyle palettes[] = {HoverColorStyle::Gold,       HoverColorStyle::Chrome,
                                      HoverColorStyle::Blue,       HoverColorStyle::Red,
                                      HoverColorStyle::UltraFlatSlate, HoverColorStyle::UltraFlatBlack,
                                      HoverColorStyle::UltraFlatXp, HoverColorStyle::Aqua,
                                      HoverColorStyle::Default,    HoverColorStyle::Quicken};
    for (int i = 0; i < 10; ++i) {
        auto* b = new HoverButton(&w);
        b->setGeometry(10 + i * 74, 252, 70, 23);
        b->setCaption(QStringLiteral("Style %1").arg(i + 1));
        b->setColorStyle(palettes[i]);
    }
    for (int i = 1; i <= 10; ++i) {
        auto* b = new HoverButton(&w);
        b->setGeometry(10 + (i - 1) * 74, 280, 70, 25);
        b->setKind(HoverButtonKind(i));
    }

    // Image check boxes.
    heading(&w, QStringLiteral("Image check boxes"), 10, 316);
    const char* types[] = {"CrossRed", "HookBlue", "Circle", "CrossBlue", "CrossGreen", "HookLime", "HookRed"};
    for (int i = 0; i < 7; ++i) {
        for (int flat = 0; flat < 2; ++flat) {
            auto* c = new ImageCheckBox(&w);
            c->setGeometry(10 + i * 105, 336 + flat * 22, 100, 19);
            c->setText(QString::fromLatin1(types[i]));
            c->setCheckMark(CheckMark(i));
            c->setFlat(flat);
            c->setTransparent(true);
            c->setChecked(true);
        }
    }
    const struct {
        const char* caption;
        CheckBoxBorder border;
        bool enabled, checked;
        CheckBoxSide side;
    } boxes[] = {{"&Lowered", CheckBoxBorder::Lowered, true, true, CheckBoxSide::Right},
                 {"Raised", CheckBoxBorder::Raised, true, false, CheckBoxSide::Right},
                 {"Simple", CheckBoxBorder::Simple, true, true, CheckBoxSide::Right},
                 {"Disabled", CheckBoxBorder::None, false, true, CheckBoxSide::Right},
                 {"Box right", CheckBoxBorder::None, true, true, CheckBoxSide::Left}};
    for (int i = 0; i < 5; ++i) {
        auto* c = new ImageCheckBox(&w);
        c->setGeometry(10 + i * 120, 384, 110, 21);
        c->setText(QString::fromLatin1(boxes[i].caption));
        c->setBorder(boxes[i].border);
        c->setEnabled(boxes[i].enabled);
        c->setChecked(boxes[i].checked);
        c->setAlignment(boxes[i].side);
        c->setColor(kFormColor);
    }

    // Colour panels: the filters, then the receive editor's button bar.
    heading(&w, QStringLiteral("Colour panels (Filter 0 to 5)"), 10, 416);
    for (int i = 0; i <= 5; ++i) {
        auto* p = new ColourPanel(&w);
        p->setGeometry(10 + i * 122, 436, 114, 80);
        p->setColor(0x00C08040);
        p->setFilter(i);
        p->setCaption(QStringLiteral("Filter %1").arg(i));
    }
    auto* bar = new ColourPanel(&w);
    bar->setGeometry(0, 600 - 41, 760, 41);
    bar->setBevelOuter(BevelCut::None);
    bar->setColor(kFormColor);
    bar->setBorderColor(0x333333);
    auto* ok = windowButton(bar, QStringLiteral("OK"), QStringLiteral("OK"), QRect(560, 10, 90, 23));
    windowButton(bar, QStringLiteral("Cancel"), QStringLiteral("CANCEL"), QRect(658, 10, 90, 23));
    ok->setFocus();

    w.show();
    if (pressed) {
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), pressed->mapToGlobal(QPointF(5, 5)),
                          Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(pressed, &press);
    }
    const QStringList args = app.arguments();
    const qsizetype grabAt = args.indexOf(QStringLiteral("--grab"));
    if (grabAt >= 0 && grabAt + 1 < args.size()) {
        QTimer::singleShot(300, &w, [&w, file = args.at(grabAt + 1)] {
            w.grab().save(file);
            QApplication::quit();
        });
    }
    return app.exec();
}
