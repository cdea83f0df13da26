#pragma once

#include <cstddef>

namespace strovane::platform {

// Starts playing a WAV file held in memory and returns at once; `data` must stay valid while it
// plays (the program's compiled-in sounds do). False where the system offers no player of its
// own (the caller uses another) or the sound could not be started.
bool playWaveAsync(const void* data, std::size_t size);

} // namespace strovane::platform
