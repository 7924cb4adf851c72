#pragma once
#include <cstdint>

namespace kestrave {

enum class Operation { Repair, Disable, Restore, Quarantine, Unquarantine };
// The last operation: its row ends the table of operations.
inline constexpr Operation kLastOperation = Operation::Unquarantine;

// What an operation's end line carries besides its verdict.
enum class Carries {
    Repair,   // what the repair did, told at length (its own lines)
    Nothing,  // the verdict alone
    Restored, // the jobs put back (the command line adds where from)
    PlugIn,   // the plug-in taken out or put back
};

// One row per operation: everything the window, the command line and the event log say of it.
// A new operation is a row here and its texts.
struct OperationRow {
    Operation operation;
    // Its name in a JSON document, and the switch that asks for it ("/repair").
    const char* name;
    bool endsStopped; // succeeded: the spooler stopped and disabled, not running
    Carries carries;
    int doneLine, failedLine; // the outcome, on the status line and in the event
    int cliDone, cliFailed;   // the command line's last line (the failure names its first problem)
    std::uint32_t eventDone, eventFailed;
};

const OperationRow& rowOf(Operation operation);

} // namespace kestrave
