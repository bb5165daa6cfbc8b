#include "settings/command_line.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <string_view>

namespace orp {

namespace {

// ASCII only: the switches and words are ASCII, and a locale must not change what matches.
std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

// Blanks and control characters, as bytes: a UTF-8 lead byte is not one.
bool IsTrimmed(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsTrimmed(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsTrimmed(s.back())) s.remove_suffix(1);
    return s;
}

// A whole number in decimal, optionally signed, within 32 bits.
std::optional<int> WholeNumber(std::string_view s) {
    if (!s.empty() && s.front() == '+') {
        s.remove_prefix(1);
        if (!s.empty() && s.front() == '-') return std::nullopt;
    }
    if (s.empty()) return std::nullopt;
    int value = 0;
    const auto [ptr, ec] = std::from_chars(s.data(), s.data() + s.size(), value, 10);
    if (ec != std::errc() || ptr != s.data() + s.size()) return std::nullopt;
    return value;
}

bool IsYes(std::string_view v) {
    return v == "y" || v == "yes" || v == "t" || v == "true" || v == "on";
}

}  // namespace

bool HasSwitch(const std::vector<std::string>& params, const std::string& name) {
    const std::string wanted = "/" + Lower(name);
    return std::any_of(params.begin(), params.end(), [&](const std::string& p) {
        return !p.empty() && p.front() == '/' && Lower(p) == wanted;
    });
}

FreeingCommand ParseFreeingCommand(const std::vector<std::string>& params) {
    FreeingCommand cmd;
    if (params.size() != 3) return cmd;
    cmd.valid = true;
    for (const std::string& param : params) {
        const std::string p = Lower(param);
        if (p.find(':') != 2) {
            cmd.valid = false;
            return cmd;
        }
        const std::string_view sw = std::string_view(p).substr(0, 2);
        const std::string_view value = Trim(std::string_view(p).substr(3));
        if (sw == "/f") {
            const auto n = WholeNumber(value);
            if (!n) {
                cmd.valid = false;
                return cmd;
            }
            cmd.percent = std::clamp(*n, 1, 90);
        } else if (sw == "/a") {
            const auto n = WholeNumber(value);
            if (!n) {
                cmd.valid = false;
                return cmd;
            }
            // Only the low 8 bits count: -1 is 255, 256 is 0.
            const int low = static_cast<int>(static_cast<unsigned>(*n) & 0xFFu);
            cmd.passes = std::clamp(low, 1, 10);
        } else if (sw == "/s") {
            cmd.silent = IsYes(value);
        }
    }
    return cmd;
}

CommandLinePlan PlanCommandLine(const std::vector<std::string>& params) {
    CommandLinePlan plan;
    plan.showHelp = HasSwitch(params, "help") || HasSwitch(params, "?");
    plan.endProgram = plan.showHelp || !params.empty();
    if (!params.empty()) plan.command = ParseFreeingCommand(params);
    return plan;
}

const std::string& CommandLineHelpText() {
    static const std::string text =
        "Orrindo Professional - Command Line Use:"
        "\r\n\r\n"
        "          /help or /? - Displays command line help window."
        "\r\n\r\n"
        "          /f:<percent to free> - 1% to 100% of memory to free."
        "\r\n"
        "          /a:<number of passes> - number of times memory is cleaned."
        "\r\n"
        "          /s:<true/false> - silent mode t,true,y,yes,on / f,false,n,no,off "
        "\r\n\r\n"
        "Example: \"Orrindo.exe /f:50 /a:2 /s:true\" = Free 50% with two passes "
        "silently."
        "\r\n\r\n"
        "Incorrect parameter(s) results in no action "
        "i.e. Command is ignored and Orrindo doe not run.";
    return text;
}

}  // namespace orp
