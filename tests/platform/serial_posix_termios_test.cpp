// The device control block as termios sees it (POSIX backend), without a device.
#include "platform/serial_posix_termios.h"

#include <cerrno>
#include <gtest/gtest.h>

using namespace strovane::platform;

namespace {

SerialDcb frame(std::uint8_t bits, std::uint8_t parity, std::uint8_t stop, std::uint32_t flags = kDcbBinary) {
    SerialDcb dcb;
    dcb.byteSize = bits;
    dcb.parity = parity;
    dcb.stopBits = stop;
    dcb.flags = flags;
    return dcb;
}

} // namespace

TEST(PosixTermios, FramesMapAndReadBack) {
    struct Case {
        SerialDcb dcb;
        tcflag_t cflag; // CSIZE, parity and stop bits expected
    };
    const Case cases[] = {
        {frame(8, 0, 0), CS8},
        {frame(7, 1, 0), CS7 | PARENB | PARODD},
        {frame(7, 2, 2), CS7 | PARENB | CSTOPB},
        {frame(6, 3, 0), CS6 | PARENB | PARODD | CMSPAR},
        {frame(8, 4, 2), CS8 | PARENB | CMSPAR | CSTOPB},
        {frame(5, 0, 1), CS5 | CSTOPB},
        {frame(5, 2, 2), CS5 | PARENB | CSTOPB},
    };
    const tcflag_t frameBits = CSIZE | PARENB | PARODD | CMSPAR | CSTOPB;
    for (const Case& tc : cases) {
        termios tio{};
        tio.c_cflag = CS8 | PARENB | PARODD | CMSPAR | CSTOPB | HUPCL; // stale bits to be replaced
        ASSERT_EQ(posix::dcbToTermios(tc.dcb, tio), 0);
        EXPECT_EQ(tio.c_cflag & frameBits, tc.cflag) << int(tc.dcb.byteSize) << int(tc.dcb.parity);
        EXPECT_FALSE(tio.c_cflag & HUPCL);
        EXPECT_EQ(tio.c_cflag & (CLOCAL | CREAD), tcflag_t(CLOCAL | CREAD));
        SerialDcb back = frame(8, 0, tc.dcb.stopBits);
        posix::dcbFromTermios(tio, back);
        EXPECT_EQ(back.byteSize, tc.dcb.byteSize);
        EXPECT_EQ(back.parity, tc.dcb.parity);
        EXPECT_EQ(back.stopBits, tc.dcb.stopBits);
    }
}

TEST(PosixTermios, BlocksNoUartTakesAreRefused) {
    SerialDcb software = frame(8, 0, 0, kDcbBinary | kDcbOutX);
    software.xonChar = software.xoffChar = 0x11;
    SerialDcb noSpeed = frame(8, 0, 0);
    noSpeed.baudRate = 0;
    const SerialDcb refused[] = {frame(4, 0, 0), frame(9, 0, 0), frame(8, 5, 0), frame(8, 0, 3),
                                 frame(8, 0, 1), frame(6, 0, 1), software,       noSpeed,
                                 frame(8, 0, 0, kDcbBinary | kDcbDtrControlMask),
                                 frame(8, 0, 0, kDcbBinary | kDcbRtsControlMask)};
    for (const SerialDcb& dcb : refused) {
        termios tio{};
        EXPECT_EQ(posix::dcbToTermios(dcb, tio), EINVAL) << int(dcb.byteSize) << "/" << int(dcb.stopBits);
    }
}

TEST(PosixTermios, FlowControlAndCharacters) {
    struct Case {
        std::uint32_t flags;
        tcflag_t cflag;
        tcflag_t iflag;
    };
    const Case cases[] = {
        {kDcbBinary, 0, 0},
        {kDcbBinary | kDcbOutxCtsFlow | kDcbRtsControlHandshake, CRTSCTS, 0},
        {kDcbBinary | kDcbRtsControlHandshake, CRTSCTS, 0},
        {kDcbBinary | kDcbOutX | kDcbInX, 0, IXON | IXOFF},
        {kDcbBinary | kDcbParity, 0, INPCK},
    };
    for (const Case& tc : cases) {
        SerialDcb dcb = frame(8, 0, 0, tc.flags);
        dcb.xonChar = 0x21;
        dcb.xoffChar = 0x23;
        termios tio{};
        tio.c_cflag = CRTSCTS;
        tio.c_iflag = IXON | IXOFF | IXANY | INPCK;
        ASSERT_EQ(posix::dcbToTermios(dcb, tio), 0);
        EXPECT_EQ(tio.c_cflag & CRTSCTS, tc.cflag) << tc.flags;
        EXPECT_EQ(tio.c_iflag & (IXON | IXOFF | IXANY | INPCK), tc.iflag) << tc.flags;
        EXPECT_EQ(tio.c_cc[VSTART], 0x21);
        EXPECT_EQ(tio.c_cc[VSTOP], 0x23);
        SerialDcb back = frame(8, 0, 0, kDcbBinary | kDcbDtrControlEnable);
        posix::dcbFromTermios(tio, back);
        EXPECT_EQ(back.flags & kDcbDtrControlMask, kDcbDtrControlEnable) << "bits termios lacks are kept";
        EXPECT_EQ(back.xonChar, 0x21);
    }
}

TEST(PosixTermios, StandardSpeedsHaveConstants) {
    EXPECT_EQ(posix::standardSpeed(9600), speed_t(B9600));
    EXPECT_EQ(posix::standardSpeed(3000000), speed_t(B3000000));
    for (std::uint32_t custom : {14400u, 56000u, 128000u, 256000u})
        EXPECT_EQ(posix::standardSpeed(custom), speed_t(B0)) << custom;
}
