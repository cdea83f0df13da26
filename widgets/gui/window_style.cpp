#include "widgets/gui/window_style.h"

#include "widgets/gui/sans_font.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace strovane::widgets {

QFont windowFont() {
    static const QString family = widgets::sansSerifFamily(QStringLiteral("Verdana"));
    QFont font(family);
    font.setPointSize(8);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

void applyWindowLook(QWidget* w) {
    w->setFont(windowFont());
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, kWindowBackground);
    w->setPalette(pal);
    w->setAutoFillBackground(true);
}

void makeFixedDialog(QWidget* w, int clientWidth, int clientHeight) {
    w->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                      Qt::WindowCloseButtonHint);
    w->setFixedSize(clientWidth, clientHeight);
}

void centreOnScreen(QWidget* w) {
    QScreen* screen = w->screen() ? w->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    w->move(area.center() - QPoint(w->frameGeometry().width() / 2, w->frameGeometry().height() / 2));
}

} // namespace strovane::widgets
