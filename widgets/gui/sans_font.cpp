#include "widgets/gui/sans_font.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>

namespace strovane::widgets {

QString pickSansSerifFamily(const QString& preferred, const QStringList& installed, const QString& systemFamily) {
    // Faces with Verdana's and Tahoma's metrics come first, then the common free ones.
    static const QStringList kFallbacks{
        QStringLiteral("Verdana"),     QStringLiteral("Tahoma"),          QStringLiteral("Segoe UI"),
        QStringLiteral("Arial"),       QStringLiteral("DejaVu Sans"),     QStringLiteral("Liberation Sans"),
        QStringLiteral("Noto Sans"),   QStringLiteral("FreeSans"),        QStringLiteral("Nimbus Sans"),
    };
    if (installed.contains(preferred, Qt::CaseInsensitive))
        return preferred;
    for (const QString& family : kFallbacks)
        if (installed.contains(family, Qt::CaseInsensitive))
            return family;
    return systemFamily;
}

QString sansSerifFamily(const QString& preferred) {
    return pickSansSerifFamily(preferred, QFontDatabase::families(),
                               QFontDatabase::systemFont(QFontDatabase::GeneralFont).family());
}

void useSansSerifApplicationFont() {
    QFont font = QApplication::font();
    const QString actual = QFontInfo(font).family();
    if (actual.compare(font.family(), Qt::CaseInsensitive) == 0)
        return;
    font.setFamily(pickSansSerifFamily(QString(), QFontDatabase::families(), actual));
    font.setStyleHint(QFont::SansSerif);
    // Also in place of the system's fonts for message boxes, menus, tool tips and the like,
    // which name the same missing faces.
    QApplication::setFont(font);
}

} // namespace strovane::widgets
