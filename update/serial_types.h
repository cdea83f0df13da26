#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <stdexcept>
#include <string>

// Value types of the serial port component: line settings, option and event sets, handlers, errors.
namespace strovane::update {

class TCustomComm;
class TCommEventThread;

enum TBaudrate : std::uint8_t {
    br110,
    br300,
    br600,
    br1200,
    br2400,
    br4800,
    br9600,
    br14400,
    br19200,
    br38400,
    br56000,
    br57600,
    br115200,
    br128000,
    br256000,
    br1500000,
    br3000000
};
enum TParity : std::uint8_t { paNone, paOdd, paEven, paMark, paSpace };
enum TStopbits : std::uint8_t { sb10, sb15, sb20 };
enum TDatabits : std::uint8_t { da4, da5, da6, da7, da8 };
enum TFlowControl : std::uint8_t { fcNone, fcCTS, fcDTR, fcSoftware, fcDefault };
enum TCommOption : std::uint8_t { coParityCheck, coDsrSensitivity, coIgnoreXOff, coErrorChar, coNullStrip };
enum TCommEventType : std::uint8_t {
    evBreak,
    evCts,
    evDsr,
    evError,
    evRing,
    evRlsd,
    evRxChar,
    evRxFlag,
    evTxEmpty
};

// The line speed a TBaudrate stands for, in bits per second.
std::uint32_t BaudRateValue(TBaudrate Value);

// A set of enumeration values, bit n standing for the n-th value.
template <class E, class Bits> class TSet {
public:
    constexpr TSet() = default;
    constexpr TSet(std::initializer_list<E> items) {
        for (E e : items)
            m_bits |= bit(e);
    }
    static constexpr TSet FromBits(Bits bits) {
        TSet s;
        s.m_bits = bits;
        return s;
    }
    constexpr bool Contains(E e) const { return (m_bits & bit(e)) != 0; }
    constexpr Bits ToBits() const { return m_bits; }
    constexpr bool operator==(const TSet&) const = default;

private:
    static constexpr Bits bit(E e) { return static_cast<Bits>(1u << static_cast<unsigned>(e)); }
    Bits m_bits = 0;
};

using TCommOptions = TSet<TCommOption, std::uint8_t>;
using TCommEventTypes = TSet<TCommEventType, std::uint16_t>;

inline constexpr TCommEventTypes kAllCommEvents = TCommEventTypes::FromBits(0x01FF);

// Handlers: bound callables; one counts as assigned when it holds a target.
using TNotifyEvent = std::function<void(TCustomComm* Sender)>;
using TCommRxCharEvent = std::function<void(TCustomComm* Sender, std::int32_t Count)>;
using TCommErrorEvent = std::function<void(TCustomComm* Sender, std::int32_t Errors)>;
// The event thread's signal to its component: the events of one wait.
using TCommEvent = std::function<void(TCommEventThread* Sender, std::uint32_t Status)>;

// Runs a call on the user-interface thread and returns once it has run (or has been dropped
// because that thread is ending). The application builds it on a blocking queued call.
using TSynchronizeMethod = std::function<void(const std::function<void()>& Call)>;

// A failure of the serial port component: the message ends in " (Error: <code>) ".
class ECommError : public std::runtime_error {
public:
    ECommError(const std::string& Msg, std::int32_t Code) : std::runtime_error(Msg), ErrorCode(Code) {}
    std::int32_t ErrorCode;
};

} // namespace strovane::update
