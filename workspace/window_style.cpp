#include "workspace/window_style.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace strovane::workspace {

QFont windowFont() {
    QFont font(QStringLiteral("Verdana"));
    font.setPointSize(8);
    font.setStyleHint(QFont::SansSerif);
    if (!QFontDatabase::families().contains(QStringLiteral("Verdana")))
        font.setFamily(QFontDatabase::systemFont(QFontDatabase::GeneralFont).family());
    return font;
}

void makeFixedDialog(QWidget* w, int clientWidth, int clientHeight) {
    w->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                      Qt::WindowCloseButtonHint);
    w->setFixedSize(clientWidth, clientHeight);
    w->setFont(windowFont());
}

void centreOnScreen(QWidget* w) {
    QScreen* screen = w->screen() ? w->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    w->move(area.center() - QPoint(w->frameGeometry().width() / 2, w->frameGeometry().height() / 2));
}

} // namespace strovane::workspace
