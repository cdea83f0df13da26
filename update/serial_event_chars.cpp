#include "update/serial_event_chars.h"

#include "update/serial_port.h"

namespace strovane::update {

SerialEventChars::SerialEventChars(SerialPort* owner) : m_owner(owner) {}

void SerialEventChars::assign(const SerialEventChars& source) {
    m_xonChar = source.m_xonChar;
    m_xoffChar = source.m_xoffChar;
    m_errorChar = source.m_errorChar;
    m_eofChar = source.m_eofChar;
    m_eventChar = source.m_eventChar;
}

void SerialEventChars::store(char& field, char value) {
    field = value;
    if (m_owner)
        m_owner->applyLineSettings();
}

} // namespace strovane::update
