#pragma once

#include "platform/path_text.h"
#include "project/quoted.h"

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace strovane::cli {

// Exit statuses shared by every command.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1; // bad input: one line on stderr says why
inline constexpr int kExitUsage = 2;   // bad command line: the usage text follows

// A command gets the words after its name and writes to the given streams.
using CommandRun = int (*)(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

struct Command {
    std::string_view name;
    std::string_view summary; // one line for the top-level help
    CommandRun run;
};

// True for the words that ask for help.
inline bool isHelp(std::string_view arg) {
    return arg == "--help" || arg == "-h";
}

// Reports a failure as one line on stderr: the message with control characters and bytes that
// are not UTF-8 escaped. Returns kExitFailure.
inline int failure(std::ostream& err, std::string_view message) {
    err << project::oneLine(message) << "\n";
    return kExitFailure;
}

// Why `dir` cannot serve as a project folder ("<dir>: <reason>"), or nullopt when it can: it is
// missing, is not a folder, or cannot be examined (the system's reason).
inline std::optional<std::string> folderProblem(const std::filesystem::path& dir) {
    std::error_code ec;
    const std::filesystem::file_status status = std::filesystem::status(dir, ec);
    if (status.type() == std::filesystem::file_type::directory)
        return std::nullopt;
    std::string reason;
    if (status.type() == std::filesystem::file_type::not_found)
        reason = std::make_error_code(std::errc::no_such_file_or_directory).message();
    else if (ec)
        reason = ec.message();
    else
        reason = std::make_error_code(std::errc::not_a_directory).message();
    return platform::utf8FromPath(dir) + ": " + reason;
}

// Reports a command-line mistake followed by the command's usage; returns kExitUsage.
inline int usageError(std::ostream& err, std::string_view command, std::string_view reason,
                      std::string_view usage) {
    err << "strovane-cli " << command << ": " << project::oneLine(reason) << "\n" << usage;
    return kExitUsage;
}

} // namespace strovane::cli
