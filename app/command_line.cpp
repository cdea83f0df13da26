#include "app/command_line.h"

#include "platform/path_text.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace strovane::app {

namespace {

// Qt's own options, which it also accepts with two dashes.
bool isQtOption(std::string_view word) {
    static constexpr std::array<std::string_view, 16> kQt = {
        "platform", "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry", "qwindowicon",
        "qwindowtitle", "reverse", "session", "style", "stylesheet", "widgetcount", "display", "geometry",
        "name", "title"};
    word.remove_prefix(2);
    word = word.substr(0, word.find('='));
    return std::find(kQt.begin(), kQt.end(), word) != kQt.end();
}

} // namespace

CommandLine parseCommandLine(const std::vector<std::string>& args) {
    CommandLine cl;
    if (!args.empty())
        cl.qtArguments.push_back(args.front());
    auto fail = [&cl](std::string error) {
        cl.action = CommandLine::Action::Error;
        cl.error = std::move(error);
        return cl;
    };
    bool haveWorkspace = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            cl.action = CommandLine::Action::Help;
        } else if (a == "--version") {
            if (cl.action != CommandLine::Action::Help)
                cl.action = CommandLine::Action::Version;
        } else if (a == "--workspace" || a.starts_with("--workspace=")) {
            if (haveWorkspace)
                return fail("--workspace given twice");
            std::string dir;
            if (a == "--workspace") {
                if (i + 1 == args.size())
                    return fail("--workspace needs a folder");
                dir = args[++i];
            } else {
                dir = a.substr(std::string_view("--workspace=").size());
            }
            if (dir.empty())
                return fail("--workspace needs a folder");
            cl.workspace = platform::pathFromUtf8(dir);
            haveWorkspace = true;
        } else if (a.starts_with("--") && a.size() > 2 && !isQtOption(a)) {
            return fail("unknown option " + a);
        } else {
            cl.qtArguments.push_back(a);
        }
    }
    return cl;
}

std::string usageText(const std::string& workspace) {
    return "Usage: strovane [--workspace DIR]\n"
           "\n"
           "Configures the GW40518 CANopen / serial converter.\n"
           "\n"
           "  --workspace DIR  keep the projects (PROJECTS), the settings file (Strovane.xml), MASTER\n"
           "                   with sim40518.sim and the updater in DIR; it is created when missing\n"
           "  --help           show this text\n"
           "  --version        show the version\n"
           "\n"
           "Without --workspace, an installed Strovane (its desktop entry in share/applications beside\n"
           "its bin folder) keeps the workspace in the user's data folder, and any other copy (a build\n"
           "tree, an unpacked folder) keeps it beside the executable.\n"
           "Workspace now: " +
           workspace + "\n";
}

} // namespace strovane::app
