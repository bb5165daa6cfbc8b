// Any bytes as a command line (one parameter per line): the examination never crashes and its
// results stay within their ranges whatever it is given.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "settings/command_line.h"

namespace {

void Check(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "broken: %s\n", what);
    std::abort();
}

std::vector<std::string> Split(const std::string& s) {
    std::vector<std::string> params;
    std::string::size_type start = 0;
    while (start <= s.size()) {
        const auto nl = s.find('\n', start);
        const auto end = nl == std::string::npos ? s.size() : nl;
        params.push_back(s.substr(start, end - start));
        start = end + 1;
    }
    return params;
}

std::string Upper(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return s;
}

bool Same(const orp::FreeingCommand& a, const orp::FreeingCommand& b) {
    return a.valid == b.valid && a.percent == b.percent && a.passes == b.passes &&
           a.silent == b.silent;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> params = size ? Split(text) : std::vector<std::string>{};

    const orp::FreeingCommand cmd = orp::ParseFreeingCommand(params);
    Check(!cmd.valid || params.size() == 3, "valid without exactly three parameters");
    Check(cmd.percent == -1 || (cmd.percent >= 1 && cmd.percent <= 90), "percent out of range");
    Check(cmd.passes == 0 || (cmd.passes >= 1 && cmd.passes <= 10), "passes out of range");
    if (cmd.Runs())
        Check(cmd.percent >= 1 && cmd.percent <= 90 && cmd.passes >= 1 && cmd.passes <= 10,
              "a run outside its ranges");

    // Switches and values are examined in lower case, so upper case changes nothing.
    std::vector<std::string> upper;
    for (const auto& p : params) upper.push_back(Upper(p));
    Check(Same(orp::ParseFreeingCommand(upper), cmd), "case changed the command");
    for (const char* name : {"help", "?", "HeLp", ""})
        Check(orp::HasSwitch(upper, name) == orp::HasSwitch(params, name), "case changed a switch");

    const orp::CommandLinePlan plan = orp::PlanCommandLine(params);
    Check(plan.endProgram == !params.empty(), "end of program not requested exactly with params");
    Check(plan.showHelp == (orp::HasSwitch(params, "help") || orp::HasSwitch(params, "?")),
          "help shown without its switch");
    Check(Same(plan.command, params.empty() ? orp::FreeingCommand{} : cmd), "plan differs");
    // A help parameter is never a valid part of a freeing command.
    if (plan.showHelp) Check(!plan.command.valid, "help together with a valid command");
    return 0;
}
