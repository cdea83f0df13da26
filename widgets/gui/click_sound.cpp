#include "widgets/gui/click_sound.h"

#include "widgets/gui/resources.h"

#include "platform/sound.h"

#include <QCoreApplication>
#include <QFile>
#include <QHash>
#include <QLibrary>
#include <QUrl>

namespace strovane::widgets {

namespace {

std::function<void(const QString&)>& player() {
    static std::function<void(const QString&)> p;
    return p;
}

using PlayFunction = void (*)(const QUrl*);

// The sound module beside the executable (a build tree, an unpacked folder) or, installed, in
// lib/strovane beside the bin folder; loaded once; none (silence) when it is missing.
PlayFunction soundModule() {
    static const PlayFunction play = [] {
        const QString dir = QCoreApplication::applicationDirPath();
        for (const QString& path : {dir + QStringLiteral("/strovane_sound"),
                                    dir + QStringLiteral("/../lib/strovane/strovane_sound")}) {
            QLibrary module(path);
            if (auto f = reinterpret_cast<PlayFunction>(module.resolve("strovanePlaySound")))
                return f;
        }
        return PlayFunction{};
    }();
    return play;
}

void playResource(const QString& name) {
    const QUrl url = resourceSound(name);
    if (url.isEmpty())
        return;
    // The system's own player where it has one (Windows); it plays from these bytes, kept for
    // the process like the resources.
    static QHash<QUrl, QByteArray> waves;
    auto wave = waves.find(url);
    if (wave == waves.end()) {
        QFile file(QLatin1Char(':') + url.path());
        wave = waves.insert(url, file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray());
    }
    if (platform::playWaveAsync(wave->constData(), static_cast<std::size_t>(wave->size())))
        return;
    if (PlayFunction play = soundModule())
        play(&url);
}

} // namespace

void playClickSound(const QString& name) {
    if (player())
        player()(name);
    else
        playResource(name);
}

void setClickSoundPlayer(std::function<void(const QString&)> p) { player() = std::move(p); }

} // namespace strovane::widgets
