#include "widgets/gui/frame_overlay.h"

#include <QEvent>
#include <QFrame>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>

namespace strovane::widgets {
namespace {

class FrameOverlay : public QWidget {
public:
    explicit FrameOverlay(QFrame* frame) : QWidget(frame), m_frame(frame) {
        setObjectName(QStringLiteral("frameOverlay"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        setFocusPolicy(Qt::NoFocus);
        frame->installEventFilter(this);
        setGeometry(frame->rect());
        raise();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == m_frame) {
            if (event->type() == QEvent::Resize)
                setGeometry(m_frame->rect());
            else if (event->type() == QEvent::ChildAdded || event->type() == QEvent::ChildPolished)
                raise(); // above scroll bars and corner widgets added later
        }
        return QWidget::eventFilter(watched, event);
    }

    void paintEvent(QPaintEvent*) override {
        if (m_frame->frameShape() == QFrame::NoFrame)
            return;
        // As QFrame::drawFrame() draws it.
        QStyleOptionFrame option;
        option.initFrom(m_frame);
        option.rect = m_frame->frameRect();
        option.frameShape = m_frame->frameShape();
        option.lineWidth = m_frame->lineWidth();
        option.midLineWidth = m_frame->midLineWidth();
        if (m_frame->frameShadow() == QFrame::Sunken)
            option.state |= QStyle::State_Sunken;
        else if (m_frame->frameShadow() == QFrame::Raised)
            option.state |= QStyle::State_Raised;
        QPainter painter(this);
        m_frame->style()->drawControl(QStyle::CE_ShapedFrame, &option, &painter, m_frame);
    }

private:
    QFrame* m_frame;
};

} // namespace

void keepFrameOnTop(QFrame* frame) { new FrameOverlay(frame); }

} // namespace strovane::widgets
