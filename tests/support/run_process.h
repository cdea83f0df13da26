#pragma once

#include "platform/system.h"
#include "support/file_bytes.h"

#include <filesystem>
#include <string>
#include <vector>

// Runs a built program through the shell as a user would, capturing its exit status and output.
namespace strovane::testing {

struct ProcessRun {
    int code;
    std::string out; // standard output read as text: each line ends in '\n'
    std::string err; // standard error, the same
    std::string outBytes; // standard output byte for byte
};

// The text quoted for the system's shell: in single quotes for a POSIX shell, each ' inside
// written as '\''; in double quotes for cmd.exe (no Windows file name holds a '"').
inline std::string shellQuote(const std::string& s) {
    if (platform::kWindows)
        return "\"" + s + "\"";
    std::string out = "'";
    for (char c : s)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

// Text a program wrote, with the system's line ends ("\r\n" on Windows) read back as '\n'. A line
// end that is not the system's shows as "<bare LF>" or "<CR>", so a comparison names it.
inline std::string fromText(const std::string& bytes) {
    const std::string end = platform::kTextLineEnd;
    if (end == "\n")
        return bytes;
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes.compare(i, end.size(), end) == 0) {
            out += '\n';
            i += end.size() - 1;
        } else if (bytes[i] == '\n') {
            out += "<bare LF>\n";
        } else if (bytes[i] == '\r') {
            out += "<CR>";
        } else {
            out += bytes[i];
        }
    }
    return out;
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
    // cmd.exe takes the outer quotes off a command that starts with one: give it a pair to take.
    if (platform::kWindows)
        command = "\"" + command + "\"";
    const int status = platform::runShellCommand(command);
    const std::string outBytes = readFile(out);
    return {status, fromText(outBytes), fromText(readFile(err)), outBytes};
}

} // namespace strovane::testing
