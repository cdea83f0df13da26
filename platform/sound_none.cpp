#include "platform/sound.h"

namespace strovane::platform {

bool playWaveAsync(const void*, std::size_t) { return false; }

} // namespace strovane::platform
