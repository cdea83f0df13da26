#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <stdexcept>
#include <string>

// Value types of the serial port component: line settings, option and event sets, handlers, errors.
namespace strovane::update {

class SerialPort;
class SerialEventThread;

enum class BaudRate : std::uint8_t {
    Baud110,
    Baud300,
    Baud600,
    Baud1200,
    Baud2400,
    Baud4800,
    Baud9600,
    Baud14400,
    Baud19200,
    Baud38400,
    Baud56000,
    Baud57600,
    Baud115200,
    Baud128000,
    Baud256000,
    Baud1500000,
    Baud3000000
};
enum class Parity : std::uint8_t { None, Odd, Even, Mark, Space };
enum class StopBits : std::uint8_t { One, OneAndHalf, Two };
enum class DataBits : std::uint8_t { Four, Five, Six, Seven, Eight };
// RtsCts: transmit on CTS, RTS as handshake. DtrDsr: transmit on DSR, DTR as handshake.
// Unchanged: the flow settings the port reports stay as they are.
enum class FlowControl : std::uint8_t { None, RtsCts, DtrDsr, Software, Unchanged };
// IgnoreXoff: keep transmitting after sending Xoff.
enum class SerialOption : std::uint8_t { ParityCheck, DsrSensitivity, IgnoreXoff, ErrorChar, NullStrip };
// Rlsd: receive line signal detect (carrier). RxFlag: the event character arrived.
enum class SerialEvent : std::uint8_t { Break, Cts, Dsr, Error, Ring, Rlsd, RxChar, RxFlag, TxEmpty };

// The line speed in bits per second.
std::uint32_t bitsPerSecond(BaudRate rate);

// A set of enumeration values, bit n standing for the n-th value.
template <class E, class Bits> class FlagSet {
public:
    constexpr FlagSet() = default;
    constexpr FlagSet(std::initializer_list<E> items) {
        for (E e : items)
            m_bits |= bit(e);
    }
    static constexpr FlagSet fromBits(Bits bits) {
        FlagSet s;
        s.m_bits = bits;
        return s;
    }
    constexpr bool contains(E e) const { return (m_bits & bit(e)) != 0; }
    constexpr Bits toBits() const { return m_bits; }
    constexpr bool operator==(const FlagSet&) const = default;

private:
    static constexpr Bits bit(E e) { return static_cast<Bits>(1u << static_cast<unsigned>(e)); }
    Bits m_bits = 0;
};

using SerialOptions = FlagSet<SerialOption, std::uint8_t>;
using SerialEvents = FlagSet<SerialEvent, std::uint16_t>;

inline constexpr SerialEvents kAllSerialEvents = SerialEvents::fromBits(0x01FF);

// Handlers: bound callables; one counts as assigned when it holds a target.
using SerialHandler = std::function<void(SerialPort* sender)>;
// Count: the bytes waiting in the input queue.
using SerialRxCharHandler = std::function<void(SerialPort* sender, std::int32_t count)>;
// Errors: the line error bits the port reported.
using SerialErrorHandler = std::function<void(SerialPort* sender, std::int32_t errors)>;
// The event thread's signal to its port: the events of one wait.
using EventMaskHandler = std::function<void(SerialEventThread* sender, std::uint32_t mask)>;

// Runs a call on the user-interface thread and returns once it has run (or has been dropped
// because that thread is ending). The application builds it on a blocking queued call.
using Synchronizer = std::function<void(const std::function<void()>& call)>;

// A failure of the serial port component: the message ends in " (Error: <code>) ".
class SerialPortError : public std::runtime_error {
public:
    SerialPortError(const std::string& message, std::int32_t code)
        : std::runtime_error(message), m_code(code) {}
    // The system's error number, or -1 for the port's own refusals.
    std::int32_t code() const { return m_code; }

private:
    std::int32_t m_code;
};

} // namespace strovane::update
