// The click-sound player, built as a module the widgets load on the first click, so that Qt
// Multimedia and the audio libraries stay out of the program's start-up.
#include <QHash>
#include <QSoundEffect>
#include <QUrl>

extern "C" Q_DECL_EXPORT void strovanePlaySound(const QUrl* source) {
    static QHash<QUrl, QSoundEffect*> effects; // live for the process, like the resources
    QSoundEffect* effect = effects.value(*source);
    if (!effect) {
        effect = new QSoundEffect();
        effect->setSource(*source);
        effects.insert(*source, effect);
    }
    effect->play();
}
