#include "platform/serial_posix_speed.h"

#include <asm/ioctls.h>
#include <asm/termbits.h>
#include <cerrno>

extern "C" int ioctl(int fd, unsigned long request, ...);

namespace strovane::platform::posix {

int setLineSpeed(int fd, unsigned rate) {
    struct termios2 tio {};
    if (ioctl(fd, TCGETS2, &tio) != 0)
        return errno;
    tio.c_cflag &= ~(CBAUD | (CBAUD << IBSHIFT));
    tio.c_cflag |= BOTHER | (BOTHER << IBSHIFT);
    tio.c_ispeed = rate;
    tio.c_ospeed = rate;
    if (ioctl(fd, TCSETS2, &tio) != 0)
        return errno;
    return 0;
}

unsigned lineSpeed(int fd) {
    struct termios2 tio {};
    if (ioctl(fd, TCGETS2, &tio) != 0)
        return 0;
    return tio.c_ospeed;
}

} // namespace strovane::platform::posix
