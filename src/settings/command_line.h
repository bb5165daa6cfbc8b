#pragma once
// The command line: "/help" or "/?" shows the help; "/f:<percent> /a:<passes> /s:<true/false>",
// exactly three parameters, frees memory once. Any parameter at all ends the program afterwards.
#include <string>
#include <vector>

namespace orp {

// True when some parameter is "/" + name, compared in lower case, the whole parameter.
bool HasSwitch(const std::vector<std::string>& params, const std::string& name);

struct FreeingCommand {
    bool valid = false;
    int percent = -1;  // -1: not given
    int passes = 0;    // 0: not given
    bool silent = false;
    bool Runs() const { return valid && percent >= 1 && passes >= 1; }
};

// The examination of a freeing command: exactly three parameters, each "xx:value"; /f clamped to
// 1..90, /a its low 8 bits with 0 as 1 and above 10 as 10, /s silent for y/yes/t/true/on, other
// switches ignored, a later switch replacing an earlier one. A parameter without its colon third,
// or an /f or /a that is not a whole number, makes the command invalid and ends the examination.
FreeingCommand ParseFreeingCommand(const std::vector<std::string>& params);

// What a start with these parameters does, in the order the start-up carries it out: the help
// first (if asked for), then the run (if `command.Runs()`), then the end of the program.
struct CommandLinePlan {
    bool showHelp = false;
    FreeingCommand command;
    bool endProgram = false;
};
CommandLinePlan PlanCommandLine(const std::vector<std::string>& params);

// The help shown for /help and /?, with CR LF line breaks.
const std::string& CommandLineHelpText();

}  // namespace orp
