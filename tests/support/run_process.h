#pragma once

#include "support/file_bytes.h"

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#if __has_include(<sys/wait.h>)
#include <sys/wait.h>
#endif

// Runs a built program through the shell as a user would, capturing its exit status and output.
namespace strovane::testing {

struct ProcessRun {
    int code;
    std::string out;
    std::string err;
};

// The text in single quotes for a POSIX shell, each ' inside written as '\''.
inline std::string shellQuote(const std::string& s) {
    std::string out = "'";
    for (char c : s)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

// Runs program with args; its stdout and stderr pass through files "stdout" and "stderr" in
// scratch. The code is the exit status, or -1 when the program did not exit normally.
inline ProcessRun runProcess(const std::string& program, const std::vector<std::string>& args,
                             const std::filesystem::path& scratch) {
    std::string command = shellQuote(program);
    for (const std::string& a : args)
        command += " " + shellQuote(a);
    const std::filesystem::path out = scratch / "stdout", err = scratch / "stderr";
    command += " >" + shellQuote(out.string()) + " 2>" + shellQuote(err.string());
    int status = std::system(command.c_str());
#ifdef WEXITSTATUS
    status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
    return {status, readFile(out), readFile(err)};
}

} // namespace strovane::testing
