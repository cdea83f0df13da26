#pragma once

// Line speeds through the Linux termios2 interface, which takes any rate, not only the B* constants.
// Kept apart because <asm/termbits.h> cannot share a translation unit with <termios.h>.
namespace strovane::platform::posix {

// Sets input and output speed of the tty `fd` to `rate` bits per second; 0 or an errno value.
int setLineSpeed(int fd, unsigned rate);

// The output speed of the tty `fd`, or 0 when it cannot be read.
unsigned lineSpeed(int fd);

} // namespace strovane::platform::posix
