#pragma once
#include <string>
#include <vector>

#include "core/keep/KeepSettings.h"

namespace kestrave::cli {

enum class Action {
    Window,
    Status,
    Repair,
    Disable,
    Diagnose,
    Restore,
    Quarantine, // with a name: take it out; without: list what is out
    Unquarantine,
    Explain, // /explain:CODE, what a printing error means here
    Help
};

// Why a command line was refused (the usage follows, exit 2).
enum class Refusal {
    None,
    Unknown,      // an argument that is no switch of ours, or /log: without a file
    SecondAction, // two actions: one at a time
    LogWithoutAction, // /log: (or /json) without an action to go with
    OnlyWithRepair, // /keep or /discard beside another action, or alone, or both
    ForceAlone,     // /force without /quarantine:NAME
};

// What the command line asks for. With no argument, the window; with a switch, that action
// and no window.
struct Arguments {
    Action action = Action::Window;
    std::wstring logFile;
    KeepRequest keep = KeepRequest::AsSet; // /keep or /discard, with /repair
    std::wstring restoreName;              // /restore:NAME, the kept repair to put back
    std::wstring plugIn;                   // /quarantine:NAME or /unquarantine:NAME
    bool force = false;                    // /force, with /quarantine:NAME
    std::wstring code;                     // /explain:CODE, as typed
    bool json = false;                     // /json: one JSON document instead of the lines
    bool invalid = false;
    Refusal refusal = Refusal::None;
    std::wstring offending; // the argument that made it invalid
};

// Switches are case-insensitive and start with '/' or '-': /status, /repair, /disable,
// /diagnose, /restore[:NAME], /quarantine[:NAME] (with /force beside a name),
// /unquarantine:NAME, /? and /help, with /log:FILE beside any of them, /json beside any
// but the usage, and /keep or /discard beside /repair alone. Anything else, a second action, /log without a file, /log
// alone, /keep or /discard elsewhere, or both, is invalid.
Arguments parseArguments(const std::vector<std::wstring>& args);

} // namespace kestrave::cli
