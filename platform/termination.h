#pragma once

namespace strovane::platform {

// A file descriptor that becomes readable when the process is asked to end (SIGTERM, SIGINT,
// SIGHUP), so the program can close its windows and save as if the user had closed them.
// -1 where the system has no such signals.
int terminationRequestFd();

} // namespace strovane::platform
