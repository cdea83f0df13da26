#include "platform/process.h"

namespace strovane::platform {

ProcessStartError::ProcessStartError(const std::string& program, const std::string& systemError)
    : std::runtime_error("Cannot start " + program + ": " + systemError), m_program(program),
      m_systemError(systemError) {}

} // namespace strovane::platform
