#include "settings/command_line.h"

#include <gtest/gtest.h>

namespace orp {
namespace {

using Params = std::vector<std::string>;

TEST(CommandLine, HasSwitchMatchesWholeParametersInLowerCase) {
    struct Case {
        Params params;
        const char* name;
        bool found;
    };
    const Case cases[] = {
        {{"/help"}, "help", true},
        {{"/HELP"}, "help", true},
        {{"/Help"}, "HELP", true},
        {{"/?"}, "?", true},
        {{"/f:50", "/a:2", "/?"}, "?", true},
        {{"/help:x"}, "help", false},
        {{"-help"}, "help", false},
        {{"help"}, "help", false},
        {{"/help "}, "help", false},
        {{"//help"}, "help", false},
        {{""}, "", false},
        {{}, "help", false},
        {{"/f:50"}, "f", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.params) + " " + c.name);
        EXPECT_EQ(HasSwitch(c.params, c.name), c.found);
    }
}

TEST(CommandLine, FreeingCommandExamination) {
    struct Case {
        Params params;
        bool valid;
        int percent, passes;
        bool silent, runs;
    };
    const Case cases[] = {
        {{"/f:50", "/a:2", "/s:true"}, true, 50, 2, true, true},
        {{"/F:50", "/A:2", "/S:YES"}, true, 50, 2, true, true},
        {{"/a:2", "/s:no", "/f:50"}, true, 50, 2, false, true},
        {{"/f:95", "/a:20", "/s:t"}, true, 90, 10, true, true},
        {{"/f:0", "/a:0", "/s:t"}, true, 1, 1, true, true},
        {{"/f:-5", "/a:1", "/s:on"}, true, 1, 1, true, true},
        {{"/f:+7", "/a:+3", "/s:y"}, true, 7, 3, true, true},
        {{"/f:50", "/a:256", "/s:t"}, true, 50, 1, true, true},
        {{"/f:50", "/a:257", "/s:t"}, true, 50, 1, true, true},
        {{"/f:50", "/a:300", "/s:t"}, true, 50, 10, true, true},
        {{"/f:50", "/a:-1", "/s:t"}, true, 50, 10, true, true},
        {{"/f:50", "/a:-255", "/s:t"}, true, 50, 1, true, true},
        {{"/f:50", "/a:2", "/s:f"}, true, 50, 2, false, true},
        {{"/f:50", "/a:2", "/s:off"}, true, 50, 2, false, true},
        {{"/f:50", "/a:2", "/s:maybe"}, true, 50, 2, false, true},
        {{"/f:50", "/a:2", "/s:"}, true, 50, 2, false, true},
        {{"/f: 50 ", "/a:\t2\r\n", "/s: yes "}, true, 50, 2, true, true},  // values trimmed
        {{"/f:50", "/a:2", "/x:1"}, true, 50, 2, false, true},             // other switch ignored
        {{"/f:50", "/a:2", "zz:1"}, true, 50, 2, false, true},
        {{"/f:10", "/f:60", "/a:2"}, true, 60, 2, false, true},  // the later one counts
        {{"/s:yes", "/a:3", "/s:no"}, true, -1, 3, false, false},
        {{"/f:50", "/s:t", "/x:1"}, true, 50, 0, true, false},  // no passes given
        {{"/a:2", "/s:t", "/x:1"}, true, -1, 2, true, false},   // no percentage given
        {{"/f:abc", "/a:2", "/s:t"}, false, -1, 0, false, false},
        {{"/f:5x", "/a:2", "/s:t"}, false, -1, 0, false, false},
        {{"/f:", "/a:2", "/s:t"}, false, -1, 0, false, false},
        {{"/f:-", "/a:2", "/s:t"}, false, -1, 0, false, false},
        {{"/f:+-5", "/a:2", "/s:t"}, false, -1, 0, false, false},
        {{"/f:0x10", "/a:2", "/s:t"}, false, -1, 0, false, false},
        {{"/f:99999999999", "/a:2", "/s:t"}, false, -1, 0, false, false},  // beyond 32 bits
        {{"/f:50", "/a:two", "/s:t"}, false, 50, 0, false, false},
        {{"/f:50", "/a:2"}, false, -1, 0, false, false},  // two parameters
        {{"/f:50", "/a:2", "/s:t", "/x:1"}, false, -1, 0, false, false},
        {{}, false, -1, 0, false, false},
        {{"/f:50", "/a:2", "extra"}, false, 50, 2, false, false},
        {{"/f:50", "/a:2", "/?"}, false, 50, 2, false, false},
        {{"/s:t", "/f=50", "/a:2"}, false, -1, 0, true, false},  // stops at the bad one
        {{"/f:50", "/a:2", "/ff:1"}, false, 50, 2, false, false},
        {{"/f:50", "/a:2", ":/s:t"}, false, 50, 2, false, false},
        {{"", "/a:2", "/f:50"}, false, -1, 0, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.params));
        const FreeingCommand cmd = ParseFreeingCommand(c.params);
        EXPECT_EQ(cmd.valid, c.valid);
        EXPECT_EQ(cmd.percent, c.percent);
        EXPECT_EQ(cmd.passes, c.passes);
        EXPECT_EQ(cmd.silent, c.silent);
        EXPECT_EQ(cmd.Runs(), c.runs);
    }
}

TEST(CommandLine, PlanOfAStart) {
    struct Case {
        Params params;
        bool help, runs, end;
    };
    const Case cases[] = {
        {{}, false, false, false},
        {{"/help"}, true, false, true},
        {{"/?"}, true, false, true},
        {{"/HELP"}, true, false, true},
        {{"/f:50", "/a:2", "/?"}, true, false, true},
        {{"/f:50", "/a:2", "/s:true"}, false, true, true},
        {{"/f:50", "/a:2"}, false, false, true},
        {{"/f:abc", "/a:2", "/s:t"}, false, false, true},
        {{"-help"}, false, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.params));
        const CommandLinePlan plan = PlanCommandLine(c.params);
        EXPECT_EQ(plan.showHelp, c.help);
        EXPECT_EQ(plan.command.Runs(), c.runs);
        EXPECT_EQ(plan.endProgram, c.end);
    }
}

TEST(CommandLine, HelpText) {
    // The pieces and the line breaks between them, in order.
    const std::string tenBlanks(10, ' ');
    const std::pair<std::string, int> pieces[] = {
        {"Orrindo Professional - Command Line Use:", 2},
        {tenBlanks + "/help or /? - Displays command line help window.", 2},
        {tenBlanks + "/f:<percent to free> - 1% to 100% of memory to free.", 1},
        {tenBlanks + "/a:<number of passes> - number of times memory is cleaned.", 1},
        {tenBlanks + "/s:<true/false> - silent mode t,true,y,yes,on / f,false,n,no,off ", 2},
        {"Example: \"Orrindo.exe /f:50 /a:2 /s:true\" = Free 50% with two passes ", 0},
        {"silently.", 2},
        {"Incorrect parameter(s) results in no action ", 0},
        {"i.e. Command is ignored and Orrindo doe not run.", 0},
    };
    std::string expected;
    for (const auto& [text, breaks] : pieces) {
        expected += text;
        for (int i = 0; i < breaks; ++i) expected += "\r\n";
    }
    EXPECT_EQ(CommandLineHelpText(), expected);
}

}  // namespace
}  // namespace orp
