#include "message_boxes.h"

#include <QApplication>
#include <QMessageBox>

namespace strovane::widgets {
namespace {

QWidget* boxParent() {
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    return QApplication::activeWindow();
}

QString appTitle() {
    const QString name = QApplication::applicationDisplayName();
    return name.isEmpty() ? QStringLiteral("Strovane") : name;
}

} // namespace

void QtMessageBoxes::error(const QString& text, const QString& detail) {
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Error"), text, QMessageBox::Ok, boxParent());
    if (!detail.isEmpty())
        box.setInformativeText(detail);
    box.exec();
}

void QtMessageBoxes::plain(const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, appTitle(), text, QMessageBox::Ok, boxParent());
    box.exec();
}

bool QtMessageBoxes::question(const QString& text) {
    QMessageBox box(QMessageBox::Question, QStringLiteral("Confirm"), text,
                    QMessageBox::Yes | QMessageBox::No, boxParent());
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

} // namespace strovane::widgets
