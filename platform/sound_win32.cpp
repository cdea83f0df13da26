#include "platform/sound.h"

#include <windows.h>
#include <mmsystem.h>

namespace strovane::platform {

bool playWaveAsync(const void* data, std::size_t size) {
    if (!data || size == 0)
        return false;
    // SND_NODEFAULT: no system beep in place of a sound that does not play.
    return PlaySoundA(static_cast<LPCSTR>(data), nullptr, SND_MEMORY | SND_ASYNC | SND_NODEFAULT) != FALSE;
}

} // namespace strovane::platform
