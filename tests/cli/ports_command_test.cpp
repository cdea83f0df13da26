#include "cli/ports_command.h"

#include <gtest/gtest.h>

#include <sstream>

namespace strovane::cli {
namespace {

using platform::PortInfo;
using platform::PortState;

struct Output {
    int status;
    std::string out;
    std::string err;
};

Output run(std::vector<PortInfo> ports, std::vector<std::string> args) {
    std::ostringstream out, err;
    const int status = runPortsWith([ports] { return ports; }, args, out, err);
    return {status, out.str(), err.str()};
}

const std::vector<PortInfo> kPorts{
    {"ttyS0", "/dev/ttyS0", "", PortState::Present},
    {"ttyUSB0", "/dev/ttyUSB0", "FT232R USB UART", PortState::InUse},
    {"ttyUSB1", "/dev/ttyUSB1", "Dual \"RS485\"\tadapter", PortState::NoPermission},
};

TEST(PortsCommand, TextListsOnePortPerLine) {
    const Output o = run(kPorts, {});
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.out, "ttyS0\t/dev/ttyS0\n"
                     "ttyUSB0\t/dev/ttyUSB0\tFT232R USB UART\t(in use)\n"
                     "ttyUSB1\t/dev/ttyUSB1\tDual \"RS485\"\tadapter\t(no permission)\n");
    EXPECT_EQ(o.err, "");
}

TEST(PortsCommand, JsonEscapesAndNamesTheState) {
    const Output o = run(kPorts, {"--json"});
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.out,
              "[\n"
              " {\"name\": \"ttyS0\", \"path\": \"/dev/ttyS0\", \"description\": \"\", \"state\": \"present\"},\n"
              " {\"name\": \"ttyUSB0\", \"path\": \"/dev/ttyUSB0\", \"description\": \"FT232R USB UART\", "
              "\"state\": \"in use\"},\n"
              " {\"name\": \"ttyUSB1\", \"path\": \"/dev/ttyUSB1\", \"description\": \"Dual \\\"RS485\\\"\\tadapter\", "
              "\"state\": \"no permission\"}\n"
              "]\n");
}

TEST(PortsCommand, NoPortsIsSuccess) {
    EXPECT_EQ(run({}, {}).out, "");
    EXPECT_EQ(run({}, {}).status, 0);
    EXPECT_EQ(run({}, {"--json"}).out, "[]\n");
}

TEST(PortsCommand, HelpAndBadArguments) {
    const Output help = run(kPorts, {"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("Usage: strovane-cli ports"), std::string::npos);

    const Output bad = run(kPorts, {"--jsn"});
    EXPECT_EQ(bad.status, 2);
    EXPECT_EQ(bad.out, "");
    EXPECT_NE(bad.err.find("--jsn"), std::string::npos);
}

} // namespace
} // namespace strovane::cli
