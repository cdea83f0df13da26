#include "app/gui/strovane_application.h"

#include "widgets/gui/message_boxes.h"
#include "widgets/gui/sans_font.h"

#include <exception>

namespace strovane::app {

StrovaneApplication::StrovaneApplication(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("Strovane"));
    setApplicationVersion(QStringLiteral("1.001"));
    widgets::useSansSerifApplicationFont();
}

bool StrovaneApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        if (m_messages)
            m_messages->error(QString::fromUtf8(e.what()));
    } catch (...) {
        if (m_messages)
            m_messages->error(QStringLiteral("Unexpected error"));
    }
    return false;
}

} // namespace strovane::app
