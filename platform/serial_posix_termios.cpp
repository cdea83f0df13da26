#include "platform/serial_posix_termios.h"

#include <cerrno>

namespace strovane::platform::posix {

int dcbToTermios(const SerialDcb& dcb, termios& tio) {
    if (dcb.baudRate == 0 || dcb.byteSize < 5 || dcb.byteSize > 8 || dcb.parity > 4 || dcb.stopBits > 2 ||
        (dcb.stopBits == 1 && dcb.byteSize != 5))
        return EINVAL;
    if ((dcb.flags & (kDcbOutX | kDcbInX)) && dcb.xonChar == dcb.xoffChar)
        return EINVAL;
    // 3 is no DTR or RTS control mode (Windows refuses the block too).
    if ((dcb.flags & kDcbDtrControlMask) == kDcbDtrControlMask || (dcb.flags & kDcbRtsControlMask) == kDcbRtsControlMask)
        return EINVAL;
    static constexpr tcflag_t kSizes[] = {CS5, CS6, CS7, CS8};
    tio.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS | HUPCL);
    tio.c_cflag |= kSizes[dcb.byteSize - 5] | CLOCAL | CREAD;
    switch (dcb.parity) {
    case 1:
        tio.c_cflag |= PARENB | PARODD;
        break;
    case 2:
        tio.c_cflag |= PARENB;
        break;
    case 3:
        tio.c_cflag |= PARENB | PARODD | CMSPAR;
        break;
    case 4:
        tio.c_cflag |= PARENB | CMSPAR;
        break;
    default:
        break;
    }
    // 1.5 stop bits is what a UART sends for "2" with 5 data bits.
    if (dcb.stopBits != 0)
        tio.c_cflag |= CSTOPB;
    if ((dcb.flags & kDcbOutxCtsFlow) || (dcb.flags & kDcbRtsControlMask) == kDcbRtsControlHandshake)
        tio.c_cflag |= CRTSCTS;
    tio.c_iflag &= ~(INPCK | IXON | IXOFF | IXANY);
    if (dcb.flags & kDcbParity)
        tio.c_iflag |= INPCK;
    if (dcb.flags & kDcbOutX)
        tio.c_iflag |= IXON;
    if (dcb.flags & kDcbInX)
        tio.c_iflag |= IXOFF;
    tio.c_cc[VSTART] = static_cast<cc_t>(dcb.xonChar);
    tio.c_cc[VSTOP] = static_cast<cc_t>(dcb.xoffChar);
    return 0;
}

void dcbFromTermios(const termios& tio, SerialDcb& dcb) {
    switch (tio.c_cflag & CSIZE) {
    case CS5:
        dcb.byteSize = 5;
        break;
    case CS6:
        dcb.byteSize = 6;
        break;
    case CS7:
        dcb.byteSize = 7;
        break;
    default:
        dcb.byteSize = 8;
        break;
    }
    if (!(tio.c_cflag & PARENB))
        dcb.parity = 0;
    else if (tio.c_cflag & CMSPAR)
        dcb.parity = (tio.c_cflag & PARODD) ? 3 : 4;
    else
        dcb.parity = (tio.c_cflag & PARODD) ? 1 : 2;
    if (!(tio.c_cflag & CSTOPB))
        dcb.stopBits = 0;
    else
        dcb.stopBits = (dcb.byteSize == 5 && dcb.stopBits == 1) ? 1 : 2;
    dcb.flags &= ~(kDcbParity | kDcbOutxCtsFlow | kDcbOutX | kDcbInX);
    if (tio.c_iflag & INPCK)
        dcb.flags |= kDcbParity;
    if (tio.c_cflag & CRTSCTS)
        dcb.flags |= kDcbOutxCtsFlow;
    if (tio.c_iflag & IXON)
        dcb.flags |= kDcbOutX;
    if (tio.c_iflag & IXOFF)
        dcb.flags |= kDcbInX;
    dcb.xonChar = static_cast<char>(tio.c_cc[VSTART]);
    dcb.xoffChar = static_cast<char>(tio.c_cc[VSTOP]);
}

speed_t standardSpeed(std::uint32_t rate) {
    static constexpr struct {
        std::uint32_t rate;
        speed_t constant;
    } kSpeeds[] = {{50, B50},           {75, B75},           {110, B110},         {134, B134},
                   {150, B150},         {200, B200},         {300, B300},         {600, B600},
                   {1200, B1200},       {1800, B1800},       {2400, B2400},       {4800, B4800},
                   {9600, B9600},       {19200, B19200},     {38400, B38400},     {57600, B57600},
                   {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
                   {576000, B576000},   {921600, B921600},   {1000000, B1000000}, {1152000, B1152000},
                   {1500000, B1500000}, {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000},
                   {3500000, B3500000}, {4000000, B4000000}};
    for (const auto& s : kSpeeds)
        if (s.rate == rate)
            return s.constant;
    return B0;
}

} // namespace strovane::platform::posix
