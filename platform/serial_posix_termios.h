#pragma once

#include "platform/serial_device.h"

#include <termios.h>

// How a device control block maps onto POSIX termios: frame, flow control, special characters.
namespace strovane::platform::posix {

// Writes the block's frame, flow control and characters into tio (speed aside); EINVAL for a
// block no UART takes (data bits outside 5-8, 1.5 stop bits without 5 data bits, XON = XOFF
// with software flow control, ...).
int dcbToTermios(const SerialDcb& dcb, termios& tio);

// Reads the frame, flow control and characters back into dcb, leaving its other fields. A dcb
// that said 1.5 stop bits keeps saying so where termios only knows "more than one".
void dcbFromTermios(const termios& tio, SerialDcb& dcb);

// The B constant of a line speed, or B0 when termios has none for it.
speed_t standardSpeed(std::uint32_t rate);

} // namespace strovane::platform::posix
