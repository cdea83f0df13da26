#include "cli/compose_command.h"

#include "cli/command.h"
#include "platform/path_text.h"
#include "platform/system.h"
#include "project/config_image.h"

#include <filesystem>
#include <iostream>
#include <optional>
#include <stdexcept>
#include <system_error>

namespace strovane::cli {

namespace {

constexpr std::string_view kUsage =
    "Usage: strovane-cli compose PROJECT_DIR [-o FILE]\n"
    "\n"
    "Composes the configuration image from PROJECT_DIR's ParGen.xml, RPDOs.xml and TPDOs.xml\n"
    "exactly as Update Device does, and writes it to PROJECT_DIR/bin/bank.bin.\n"
    "\n"
    "  -o FILE   write the image to FILE instead; \"-o -\" writes it to standard output\n"
    "  --help    show this text\n"
    "\n"
    "Exit status: 0 written, 1 a document or the output could not be used (the reason is on\n"
    "standard error and no older image is touched), 2 a bad command line.\n";

} // namespace

int runCompose(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::optional<std::string> folder;
    std::optional<std::string> output;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (isHelp(a)) {
            out << kUsage;
            return kExitOk;
        }
        if (a == "-o") {
            if (output)
                return usageError(err, "compose", "-o given twice", kUsage);
            if (i + 1 == args.size())
                return usageError(err, "compose", "-o needs a file name", kUsage);
            output = args[++i];
        } else if (a.size() > 1 && a[0] == '-') {
            return usageError(err, "compose", "unknown option " + project::quoted(a), kUsage);
        } else if (folder) {
            return usageError(err, "compose", "more than one project folder", kUsage);
        } else {
            folder = a;
        }
    }
    if (!folder)
        return usageError(err, "compose", "no project folder given", kUsage);

    const std::filesystem::path dir = platform::pathFromUtf8(*folder);
    if (const std::optional<std::string> problem = folderProblem(dir))
        return failure(err, *problem);

    try {
        project::ConfigImage image;
        if (!output) {
            image.composeBankBin(project::ProjectFiles::inFolder(dir), dir);
            return kExitOk;
        }
        image.composeFrom(project::ProjectFiles::inFolder(dir));
        if (*output == "-") {
            const auto bytes = image.bytes();
            // The image goes out byte for byte, whatever the system does to text.
            out.flush();
            if (&out == &std::cout)
                platform::setStandardOutputBinary();
            out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
            out.flush();
            if (!out) {
                err << "standard output: write failed\n";
                return kExitFailure;
            }
        } else {
            image.saveTo(platform::pathFromUtf8(*output));
        }
    } catch (const std::exception& e) {
        // ComposeError, xml::LoadError or the write's std::system_error: the window's message.
        return failure(err, e.what());
    }
    return kExitOk;
}

} // namespace strovane::cli
