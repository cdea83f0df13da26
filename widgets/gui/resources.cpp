#include "widgets/gui/resources.h"

#include <QDir>
#include <QHash>
#include <QPixmap>

static void initWidgetResources() { Q_INIT_RESOURCE(strovane_widgets_resources); }

namespace strovane::widgets {

namespace {

// Upper-case base name -> resource path, one table per folder, built on first use.
const QHash<QString, QString>& folderIndex(const QString& folder) {
    static QHash<QString, QHash<QString, QString>> indexes;
    auto it = indexes.find(folder);
    if (it == indexes.end()) {
        initWidgetResources();
        QHash<QString, QString> index;
        const QString root = QStringLiteral(":/strovane/widgets/") + folder;
        for (const QString& file : QDir(root).entryList(QDir::Files))
            index.insert(file.section(QLatin1Char('.'), 0, 0).toUpper(), root + QLatin1Char('/') + file);
        it = indexes.insert(folder, index);
    }
    return *it;
}

QString lookup(const QString& folder, const QString& name) {
    return folderIndex(folder).value(name.toUpper());
}

} // namespace

QImage resourceImage(const QString& name) {
    // Decoded once; widgets repaint often and QImage copies share the pixels.
    static QHash<QString, QImage> decoded;
    const QString path = lookup(QStringLiteral("images"), name);
    if (path.isEmpty())
        return {};
    auto it = decoded.find(path);
    if (it == decoded.end())
        it = decoded.insert(path, QImage(path).convertToFormat(QImage::Format_RGB32));
    return *it;
}

QImage resourceImageAt(const QString& name, qreal ratio) {
    if (ratio > 1.0) {
        QImage fine = resourceImage(name + QStringLiteral("@2x"));
        if (!fine.isNull()) {
            fine.setDevicePixelRatio(2.0);
            return fine;
        }
    }
    return resourceImage(name);
}

QCursor resourceCursor(const QString& name) {
    const QString path = lookup(QStringLiteral("cursors"), name);
    if (path.isEmpty())
        return QCursor(Qt::ArrowCursor);
    return QCursor(QPixmap(path), 0, 0);
}

QUrl resourceSound(const QString& name) {
    const QString path = lookup(QStringLiteral("sounds"), name);
    if (path.isEmpty())
        return {};
    return QUrl(QStringLiteral("qrc") + path);
}

QCursor handCursor() { return resourceCursor(QStringLiteral("HANDD")); }

} // namespace strovane::widgets
