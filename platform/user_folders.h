#pragma once

#include <filesystem>

namespace strovane::platform {

// The user's folder for application data: $XDG_DATA_HOME when it is an absolute path, else
// $HOME/.local/share (Windows: %LOCALAPPDATA%). Empty when the system names none.
std::filesystem::path userDataFolder();

// True when standard error is a terminal (not a file or a pipe).
bool stderrIsTerminal();

} // namespace strovane::platform
