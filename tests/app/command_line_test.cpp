#include "app/command_line.h"

#include <gtest/gtest.h>

using strovane::app::CommandLine;
using strovane::app::parseCommandLine;
using Action = CommandLine::Action;

TEST(CommandLine, OwnOptionsAreTakenAndQtsArePassedOn) {
    struct Case {
        std::vector<std::string> args;
        Action action;
        std::string workspace;
        std::vector<std::string> qt;
        std::string error;
    };
    const Case cases[] = {
        {{"strovane"}, Action::Run, "", {"strovane"}, ""},
        {{"strovane", "--workspace", "/media/usb/ws"}, Action::Run, "/media/usb/ws", {"strovane"}, ""},
        {{"strovane", "--workspace=ws", "-platform", "offscreen"}, Action::Run, "ws",
         {"strovane", "-platform", "offscreen"}, ""},
        {{"strovane", "--style=fusion"}, Action::Run, "", {"strovane", "--style=fusion"}, ""},
        {{"strovane", "--version"}, Action::Version, "", {"strovane"}, ""},
        {{"strovane", "--version", "--help"}, Action::Help, "", {"strovane"}, ""},
        {{"strovane", "-h"}, Action::Help, "", {"strovane"}, ""},
        {{"strovane", "--workspace"}, Action::Error, "", {"strovane"}, "--workspace needs a folder"},
        {{"strovane", "--workspace="}, Action::Error, "", {"strovane"}, "--workspace needs a folder"},
        {{"strovane", "--workspace", "a", "--workspace", "b"}, Action::Error, "a", {"strovane"},
         "--workspace given twice"},
        {{"strovane", "--worksapce", "a"}, Action::Error, "", {"strovane"}, "unknown option --worksapce"},
    };
    for (const Case& c : cases) {
        const CommandLine cl = parseCommandLine(c.args);
        EXPECT_EQ(cl.action, c.action) << c.args.back();
        EXPECT_EQ(cl.workspace.string(), c.workspace) << c.args.back();
        EXPECT_EQ(cl.qtArguments, c.qt) << c.args.back();
        EXPECT_EQ(cl.error, c.error) << c.args.back();
    }
}
