#pragma once
#include <string>
#include <vector>

namespace kestrave::cli {

enum class Action { Window, Status, Repair, Disable, Diagnose, Help };

// Why a command line was refused (the usage follows, exit 2).
enum class Refusal {
    None,
    Unknown,       // an argument that is no switch of ours, or /log: without a file
    SecondAction,  // two actions: one at a time
    LogWithoutAction,
};

// What the command line asks for. With no argument, the window; with a switch, that action
// and no window.
struct Arguments {
    Action action = Action::Window;
    std::wstring logFile;
    bool invalid = false;
    Refusal refusal = Refusal::None;
    std::wstring offending; // the argument that made it invalid
};

// Switches are case-insensitive and start with '/' or '-': /status, /repair, /disable,
// /diagnose, /? and /help, with /log:FILE beside any of them. Anything else, a second action,
// /log without a file or /log alone is invalid.
Arguments parseArguments(const std::vector<std::wstring>& args);

} // namespace kestrave::cli
