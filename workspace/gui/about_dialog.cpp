#include "workspace/gui/about_dialog.h"

#include "widgets/gui/click_label.h"
#include "widgets/gui/form_controls.h"
#include "widgets/gui/sans_font.h"
#include "widgets/gui/window_style.h"
#include "workspace/gui/web_page.h"
#include "workspace/workspace.h"

#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QShowEvent>

#include <algorithm>

namespace strovane::workspace {
namespace {

// Client-area positions.
constexpr int kClientWidth = 406;
constexpr int kClientHeight = 148;
constexpr QRect kOkButton{32, 115, 81, 22};
constexpr QRect kEmblem{32, 24, 81, 81};
constexpr int kCaptionLeft = 128; // product, description and the three captions
constexpr int kValueLeft = 240;   // the codes and the version
constexpr int kProductTop = 24, kDescriptionTop = 39, kSoftwareCodeTop = 62, kVersionTop = 77, kDocumentCodeTop = 93;
constexpr QPoint kWebsiteLink{297, 131};
constexpr int kRightMargin = 8;

// The texts the dialog shows, set again at every showing.
const char* const kDescription = "CANopen / RS232 / RS485 - Coverter";
const char* const kSoftwareCode = "SC40518";
const char* const kVersion = "1.001";
const char* const kDocumentCode = "DC40518";

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
    setObjectName(QStringLiteral("aboutDialog"));
    setWindowTitle(QStringLiteral("About..."));
    widgets::makeFixedDialog(this, kClientWidth, kClientHeight);
    widgets::applyWindowLook(this);
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, QColor(51, 51, 51));
    setPalette(pal);

    m_okButton = widgets::makeFormButton(this, QStringLiteral("okButton"), QStringLiteral("OK"), kOkButton,
                                         QStringLiteral("OK"));
    connect(m_okButton, &QAbstractButton::clicked, this, [this] { done(1); });

    m_emblem = new widgets::ClickLabel(this);
    m_emblem->setObjectName(QStringLiteral("emblem"));
    m_emblem->setGeometry(kEmblem);
    m_emblem->setScaledContents(true);
    m_emblem->setCursor(Qt::ArrowCursor);
    connect(m_emblem, &widgets::ClickLabel::clicked, this, &AboutDialog::openWebsite);

    m_productLabel = makeLabel(this, "productLabel", QStringLiteral("Software Strovane "), kCaptionLeft, kProductTop);
    QFont bold = font();
    bold.setBold(true);
    bold.setPointSize(10);
    m_productLabel->setFont(bold);
    m_descriptionLabel =
        makeLabel(this, "descriptionLabel", QString::fromLatin1(kDescription), kCaptionLeft, kDescriptionTop);
    m_versionCaption = makeLabel(this, "versionCaption", QStringLiteral("Version :"), kCaptionLeft, kVersionTop);

    m_websiteLink = new widgets::ClickLabel(this);
    m_websiteLink->setObjectName(QStringLiteral("websiteLink"));
    m_websiteLink->setText(QString::fromLatin1(kMakerDomain));
    m_websiteLink->move(kWebsiteLink);
    QFont link = font();
    link.setUnderline(true);
    m_websiteLink->setFont(link);
    QPalette linkPal = m_websiteLink->palette();
    linkPal.setColor(QPalette::WindowText, Qt::blue);
    m_websiteLink->setPalette(linkPal);
    connect(m_websiteLink, &widgets::ClickLabel::clicked, this, &AboutDialog::openWebsite);

    m_softwareCodeCaption =
        makeLabel(this, "softwareCodeCaption", QStringLiteral("Software Code : "), kCaptionLeft, kSoftwareCodeTop);
    m_documentCodeCaption =
        makeLabel(this, "documentCodeCaption", QStringLiteral("Document Code :"), kCaptionLeft, kDocumentCodeTop);
    m_softwareCodeLabel =
        makeLabel(this, "softwareCodeLabel", QString::fromLatin1(kSoftwareCode), kValueLeft, kSoftwareCodeTop);
    m_versionLabel = makeLabel(this, "versionLabel", QString::fromLatin1(kVersion), kValueLeft, kVersionTop);
    m_documentCodeLabel =
        makeLabel(this, "documentCodeLabel", QString::fromLatin1(kDocumentCode), kValueLeft, kDocumentCodeTop);
    for (QLabel* label :
         {m_productLabel, m_descriptionLabel, m_versionCaption, static_cast<QLabel*>(m_websiteLink),
          m_softwareCodeCaption, m_documentCodeCaption, m_softwareCodeLabel, m_versionLabel, m_documentCodeLabel})
        label->adjustSize();
    // Where the font is wider than Verdana the address would run off the window: keep it inside.
    m_websiteLink->move(std::min(kWebsiteLink.x(), kClientWidth - kRightMargin - m_websiteLink->width()),
                        kWebsiteLink.y());
}

void AboutDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        widgets::centreOnScreen(this);
        prepare();
    }
}

void AboutDialog::prepare() {
    if (m_emblem->pixmap().isNull())
        m_emblem->setPixmap(aboutEmblem()); // drawn at the first showing, not at start-up
    m_descriptionLabel->setText(QString::fromLatin1(kDescription));
    m_softwareCodeLabel->setText(QString::fromLatin1(kSoftwareCode));
    m_versionLabel->setText(QString::fromLatin1(kVersion));
    m_documentCodeLabel->setText(QString::fromLatin1(kDocumentCode));
    for (QLabel* label : {m_descriptionLabel, m_softwareCodeLabel, m_versionLabel, m_documentCodeLabel})
        label->adjustSize();
    setFixedSize(kClientWidth, kClientHeight);
}

void AboutDialog::openWebsite() { openMakerWebPage(); }

void AboutDialog::reject() { done(2); }

} // namespace strovane::workspace
