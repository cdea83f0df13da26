#pragma once

#include "update/serial_types.h"

#include <cstdint>
#include <functional>
#include <string>

namespace strovane::testing {

// The message of the SerialPortError the action throws (its code into *code when given), or
// "(no error)" when it throws none.
inline std::string errorOf(const std::function<void()>& action, std::int32_t* code = nullptr) {
    try {
        action();
    } catch (const update::SerialPortError& e) {
        if (code)
            *code = e.code();
        return e.what();
    }
    return "(no error)";
}

} // namespace strovane::testing
