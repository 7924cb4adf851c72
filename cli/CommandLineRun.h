#pragma once
#include "cli/Arguments.h"
#include "core/spooler/OutcomeText.h"
#include "core/spooler/SpoolerOperation.h"
#include "platform/IConsole.h"
#include "platform/IDiagnosisSources.h"
#include "platform/IEventLog.h"
#include "platform/IUserSession.h"
#include "platform/IStringTable.h"

namespace kestrave::cli {

// What the command line works with: the spooler's world, its texts and where its lines go.
struct CliWorld {
    SpoolerWorld spooler;
    const IStringTable& strings;
    IConsole& console;
    ILogFile& log;
    SystemMessage systemMessage;
    IDiagnosisSources& diagnosis;
    IUserSession& session;
    IEventLog& eventLog; // every change is recorded there
    Timing timing{};
    bool elevated = true; // with administrator rights: changes are refused without them
    bool consoleProgram = false; // run as Kestrave.com: it has no window to open
};

// Exit codes, as fleets read them.
constexpr int kExitOk = 0;
constexpr int kExitProblem = 1;
constexpr int kExitUsage = 2;
constexpr int kExitDisabled = 3; // /status: the spooler's start type is disabled

// Does what the arguments ask for, without any window or message box, writing its lines, the
// last one summing up (with /json, one document instead, the lines still going to the log);
// returns the exit code.
int runCommandLine(const Arguments& args, CliWorld& world);

} // namespace kestrave::cli
