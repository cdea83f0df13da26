#pragma once

#include <QLabel>

namespace strovane::widgets {

// A label (or picture) that reports left clicks, with the hand cursor.
class ClickLabel : public QLabel {
    Q_OBJECT
public:
    explicit ClickLabel(QWidget* parent = nullptr);

Q_SIGNALS:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

} // namespace strovane::widgets
