#include "workspace/gui/about_dialog.h"

#include "widgets/gui/form_controls.h"
#include "widgets/gui/sans_font.h"
#include "widgets/gui/click_label.h"
#include "workspace/gui/web_page.h"
#include "widgets/gui/window_style.h"
#include "workspace/workspace.h"

#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QShowEvent>

#include <algorithm>

namespace strovane::workspace {
namespace {

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text, int x, int y) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->move(x, y);
    return label;
}

} // namespace

QPixmap aboutEmblem() {
    QPixmap pix(340, 340);
    pix.fill(Qt::transparent);
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing);
    // Rounded tile with a soft vertical gradient.
    QLinearGradient bg(0, 0, 0, 340);
    bg.setColorAt(0, QColor(38, 110, 160));
    bg.setColorAt(1, QColor(18, 62, 104));
    p.setPen(Qt::NoPen);
    p.setBrush(bg);
    p.drawRoundedRect(QRectF(10, 10, 320, 320), 56, 56);
    // Two nodes (bus and serial line) joined by a bridge: what the converter does.
    p.setBrush(QColor(248, 247, 237));
    p.drawEllipse(QPointF(92, 170), 42, 42);
    p.drawEllipse(QPointF(248, 170), 42, 42);
    QPen bridge(QColor(248, 247, 237), 22, Qt::SolidLine, Qt::RoundCap);
    p.setPen(bridge);
    p.drawLine(QPointF(134, 170), QPointF(206, 170));
    // Signal waves above and below.
    QPen wave(QColor(255, 196, 60), 12, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(wave);
    p.setBrush(Qt::NoBrush);
    QPainterPath top;
    top.moveTo(70, 92);
    top.cubicTo(120, 52, 150, 132, 170, 92);
    top.cubicTo(190, 52, 220, 132, 270, 92);
    p.drawPath(top);
    QPainterPath bottom;
    bottom.moveTo(70, 248);
    bottom.lineTo(110, 248);
    bottom.lineTo(110, 276);
    bottom.lineTo(150, 276);
    bottom.lineTo(150, 248);
    bottom.lineTo(190, 248);
    bottom.lineTo(190, 276);
    bottom.lineTo(230, 276);
    bottom.lineTo(230, 248);
    bottom.lineTo(270, 248);
    p.drawPath(bottom);
    // Node letters.
    QFont f(widgets::sansSerifFamily(QStringLiteral("Verdana")));
    f.setPixelSize(40);
    f.setBold(true);
    p.setFont(f);
    p.setPen(QColor(18, 62, 104));
    p.drawText(QRectF(50, 128, 84, 84), Qt::AlignCenter, QStringLiteral("C"));
    p.drawText(QRectF(206, 128, 84, 84), Qt::AlignCenter, QStringLiteral("S"));
    return pix;
}

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FAbout"));
    setWindowTitle(QStringLiteral("About..."));
    makeFixedDialog(this, 406, 148);
    applyWindowLook(this);
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, QColor(51, 51, 51));
    setPalette(pal);

    LbButton1 = widgets::makeFormButton(this, QStringLiteral("LbButton1"), QStringLiteral("OK"), {32, 115, 81, 22},
                                        QStringLiteral("OK"));
    connect(LbButton1, &QAbstractButton::clicked, this, [this] { done(1); });

    Image2 = new ClickLabel(this);
    Image2->setObjectName(QStringLiteral("Image2"));
    Image2->setGeometry(32, 24, 81, 81);
    Image2->setScaledContents(true);
    Image2->setCursor(Qt::ArrowCursor);
    connect(Image2, &ClickLabel::clicked, this, &AboutDialog::Label4Click);

    Label1 = makeLabel(this, "Label1", QStringLiteral("Software Strovane "), 128, 24);
    QFont bold = font();
    bold.setBold(true);
    bold.setPointSize(10);
    Label1->setFont(bold);
    Label2 = makeLabel(this, "Label2", QStringLiteral("CANopen / RS232 / RS485 - Coverter"), 128, 39);
    Label3 = makeLabel(this, "Label3", QStringLiteral("Version :"), 128, 77);

    Label4 = new ClickLabel(this);
    Label4->setObjectName(QStringLiteral("Label4"));
    Label4->setText(QString::fromLatin1(kMakerDomain));
    Label4->move(297, 131);
    QFont link = font();
    link.setUnderline(true);
    Label4->setFont(link);
    QPalette linkPal = Label4->palette();
    linkPal.setColor(QPalette::WindowText, Qt::blue);
    Label4->setPalette(linkPal);
    connect(Label4, &ClickLabel::clicked, this, &AboutDialog::Label4Click);

    Label6 = makeLabel(this, "Label6", QStringLiteral("Software Code : "), 128, 62);
    Label8 = makeLabel(this, "Label8", QStringLiteral("Document Code :"), 128, 93);
    Label9 = makeLabel(this, "Label9", QStringLiteral("SC40518"), 240, 62);
    Label10 = makeLabel(this, "Label10", QStringLiteral("1.001"), 240, 77);
    Label12 = makeLabel(this, "Label12", QStringLiteral("DC40518"), 240, 93);
    for (QLabel* l : {Label1, Label2, Label3, static_cast<QLabel*>(Label4), Label6, Label8, Label9, Label10, Label12})
        l->adjustSize();
    // Where the font is wider than Verdana the address would run off the window: keep it inside.
    Label4->move(std::min(297, 406 - 8 - Label4->width()), 131);
}

void AboutDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        centreOnScreen(this);
        FormShow();
    }
}

void AboutDialog::FormShow() {
    if (Image2->pixmap().isNull())
        Image2->setPixmap(aboutEmblem()); // drawn at the first showing, not at start-up
    Label2->setText(QStringLiteral("CANopen / RS232 / RS485 - Coverter"));
    Label9->setText(QStringLiteral("SC40518"));
    Label10->setText(QStringLiteral("1.001"));
    Label12->setText(QStringLiteral("DC40518"));
    for (QLabel* l : {Label2, Label9, Label10, Label12})
        l->adjustSize();
    setFixedSize(406, 148);
}

void AboutDialog::Label4Click() { openMakerWebPage(); }

void AboutDialog::reject() { done(2); }

} // namespace strovane::workspace
