#pragma once

namespace strovane::update {

class SerialPort;

// The five special characters of a port's device control block. Setting one re-applies the
// owner's line settings at once (while its port is open), even when the value is unchanged.
class SerialEventChars {
public:
    explicit SerialEventChars(SerialPort* owner);

    // Copies the five characters; applies nothing to the port.
    void assign(const SerialEventChars& source);

    char xonChar() const { return m_xonChar; }
    char xoffChar() const { return m_xoffChar; }
    // Stands in for a byte received with a parity error (SerialOption::ErrorChar).
    char errorChar() const { return m_errorChar; }
    char eofChar() const { return m_eofChar; }
    // Its arrival raises SerialEvent::RxFlag.
    char eventChar() const { return m_eventChar; }
    void setXonChar(char value) { store(m_xonChar, value); }
    void setXoffChar(char value) { store(m_xoffChar, value); }
    void setErrorChar(char value) { store(m_errorChar, value); }
    void setEofChar(char value) { store(m_eofChar, value); }
    void setEventChar(char value) { store(m_eventChar, value); }

private:
    // Stores the character, then updates the owner.
    void store(char& field, char value);

    SerialPort* m_owner;
    char m_xonChar = 17;
    char m_xoffChar = 19;
    char m_errorChar = 0;
    char m_eofChar = 0;
    char m_eventChar = 0;
};

} // namespace strovane::update
