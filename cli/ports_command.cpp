#include "cli/ports_command.h"

#include "cli/json.h"

#include "cli/command.h"

#include <cstdio>

namespace strovane::cli {

namespace {

constexpr std::string_view kUsage =
    "Usage: strovane-cli ports [--json]\n"
    "\n"
    "Lists the serial ports present, as the update dialog does: one line per port with its\n"
    "name, device path and, when the system knows it, what the port is, separated by tabs;\n"
    "a port held by another program or closed to this user is marked \"(in use)\" or\n"
    "\"(no permission)\". Nothing is printed when there is none.\n"
    "\n"
    "  --json    print a JSON array of {name, path, description, state}\n"
    "  --help    show this text\n"
    "\n"
    "Exit status: 0 listed (also when there are no ports), 2 a bad command line.\n";

std::string_view stateName(platform::PortState state) {
    const std::string_view text = platform::portStateText(state);
    return text.empty() ? std::string_view("present") : text;
}

} // namespace

int runPorts(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    return runPortsWith([] { return platform::probePorts(); }, args, out, err);
}

int runPortsWith(const platform::PortProbe& probe, const std::vector<std::string>& args, std::ostream& out,
                 std::ostream& err) {
    bool json = false;
    for (const std::string& arg : args) {
        if (isHelp(arg)) {
            out << kUsage;
            return kExitOk;
        }
        if (arg == "--json")
            json = true;
        else
            return usageError(err, "ports", "unexpected argument " + project::quoted(arg), kUsage);
    }

    const std::vector<platform::PortInfo> ports = probe();
    if (json) {
        out << "[";
        for (std::size_t i = 0; i < ports.size(); ++i) {
            const platform::PortInfo& p = ports[i];
            out << (i ? ",\n " : "\n ") << "{\"name\": " << jsonString(p.name) << ", \"path\": " << jsonString(p.path)
                << ", \"description\": " << jsonString(p.description) << ", \"state\": " << jsonString(stateName(p.state))
                << "}";
        }
        out << (ports.empty() ? "]\n" : "\n]\n");
        return kExitOk;
    }
    for (const platform::PortInfo& p : ports) {
        out << p.name << '\t' << p.path;
        if (!p.description.empty())
            out << '\t' << p.description;
        if (p.state != platform::PortState::Present)
            out << "\t(" << platform::portStateText(p.state) << ")";
        out << '\n';
    }
    return kExitOk;
}

} // namespace strovane::cli
