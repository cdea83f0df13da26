#pragma once

#include <QString>

#include <functional>

namespace strovane::widgets {

// Plays a compiled-in WAV sound by name; silent without an audio device or sound support.
void playClickSound(const QString& name);

// Replaces the player (tests count the sounds instead of playing them); empty restores it.
void setClickSoundPlayer(std::function<void(const QString&)> player);

} // namespace strovane::widgets
