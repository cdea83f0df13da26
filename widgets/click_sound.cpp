#include "widgets/click_sound.h"

#include "widgets/resources.h"

#ifdef STROVANE_HAVE_MULTIMEDIA
#include <QHash>
#include <QSoundEffect>
#endif

namespace strovane::widgets {

namespace {

std::function<void(const QString&)>& player() {
    static std::function<void(const QString&)> p;
    return p;
}

void playResource(const QString& name) {
#ifdef STROVANE_HAVE_MULTIMEDIA
    static QHash<QString, QSoundEffect*> effects; // live for the process, like the resources
    const QString key = name.toUpper();
    QSoundEffect* effect = effects.value(key);
    if (!effect) {
        const QUrl url = resourceSound(name);
        if (url.isEmpty())
            return;
        effect = new QSoundEffect();
        effect->setSource(url);
        effects.insert(key, effect);
    }
    effect->play();
#else
    Q_UNUSED(name);
#endif
}

} // namespace

void PlayClickSound(const QString& name) {
    if (player())
        player()(name);
    else
        playResource(name);
}

void setClickSoundPlayer(std::function<void(const QString&)> p) { player() = std::move(p); }

} // namespace strovane::widgets
