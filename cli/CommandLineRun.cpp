#include "cli/CommandLineRun.h"
#include "cli/CommandLines.h"
#include "cli/ReadingCommands.h"
#include "cli/Switches.h"

#include "core/text/TextFormat.h"
#include "cli/JsonDocuments.h"
#include "cli/LogFileCheck.h"
#include "core/events/ChangeEvents.h"
#include "cli/SpoolerSnapshot.h"
#include "cli/OperationLines.h"
#include "core/service/ServiceNames.h"

#include <algorithm>

#include "KestraveVersion.h"
#include "core/diagnosis/Diagnosis.h"
#include "core/spooler/Problems.h"
#include "core/spooler/SpoolFolder.h"
#include "core/spooler/SpoolerDisable.h"
#include "core/spooler/SpoolerRepair.h"
#include "core/spooler/SpoolerRestore.h"
#include "core/plugins/PlugInQuarantine.h"
#include "core/plugins/QuarantineList.h"
#include "core/sharing/SharingReport.h"
#include "platform/SystemError.h"
#include "resources/StringIds.h"

namespace kestrave::cli {

namespace {

void usage(Lines& lines, bool toErrors, bool console) {
    if (!toErrors) {
        lines.say(L"Kestrave " KESTRAVE_VERSION_WIDE);
    }
    const auto put = [&](const std::wstring& line) {
        toErrors ? lines.complain(line) : lines.say(line);
    };
    std::wstring synopsis = lines.text(IDS_CLI_USAGE_1);
    // The console program tells its own name: the one to type for a shell that waits.
    if (const std::size_t at = synopsis.find(L"Kestrave.exe"); console && at != std::wstring::npos) {
        synopsis.replace(at, 12, L"Kestrave.com");
    }
    put(synopsis);
    put(lines.text(console ? IDS_CLI_USAGE_CONSOLE_2 : IDS_CLI_USAGE_2));
    // Each switch's line, once where switches share one, in the table's order.
    int last = 0;
    for (const Switch& s : switches()) {
        if (s.usage != last) {
            put(lines.text(s.usage));
            last = s.usage;
        }
    }
    put(lines.text(IDS_CLI_USAGE_10));
}

Outcome run(Operation op, const Arguments& args, Lines& lines, CliWorld& w) {
    switch (op) {
    case Operation::Repair:
        return SpoolerRepair(w.spooler, lines, w.timing, args.keep).run();
    case Operation::Disable:
        return SpoolerDisable(w.spooler, lines, w.timing).run();
    case Operation::Quarantine:
    case Operation::Unquarantine:
        return plugins::PlugInQuarantine(
                   w.spooler, w.diagnosis, w.eventLog, lines,
                   {args.plugIn, op == Operation::Unquarantine, args.force}, w.timing)
            .run();
    case Operation::Restore:
        break;
    }
    return SpoolerRestore(w.spooler, lines, w.timing, args.restoreName).run();
}

int runOperation(Operation op, const Arguments& args, Lines& lines, CliWorld& w) {
    if (!w.elevated) {
        // Refused before anything is tried, and said: a prompt for elevation would open a
        // console of its own that nothing waits for.
        const std::string_view name = rowOf(op).name;
        const std::wstring why = substitute(lines.text(IDS_CLI_NEEDS_ADMIN),
                                            L"/" + std::wstring(name.begin(), name.end()));
        lines.complain(why);
        if (args.json) {
            lines.document(refusalDocument(op, kExitProblem, "needsAdministrator", why));
        }
        return kExitProblem;
    }
    const Snapshot before = snapshot(w);
    const Outcome outcome = run(op, args, lines, w);
    events::recordOperation(w.eventLog, op, outcome, events::Origin::CommandLine, w.strings,
                            w.systemMessage);
    for (const std::wstring& note : describeLines(op, outcome.notes, w)) {
        lines.say(note);
    }
    // What was kept, or what went back: a job a line, by document and owner where known.
    for (const std::wstring& job : jobLines(outcome.keptJobs, joblimits::kListedOnCommandLine, w.strings)) {
        lines.say(L"  " + job);
    }
    const std::vector<std::wstring> problems = describeLines(op, outcome.problems, w);
    for (const std::wstring& p : problems) {
        lines.say(p);
    }
    // How things stand now, for the record; the verdict is the outcome's own, from the
    // readings made as the operation ended (new jobs may queue once the spooler runs).
    const Snapshot end = snapshot(w);
    lines.say(statusLine(end, w));
    const bool ok = succeeded(op, outcome);
    const std::wstring summary =
        ok ? doneLine(op, outcome, w)
           : substitute(lines.text(rowOf(op).cliFailed),
                        problems.empty() ? statusLine(end, w) : problems.front());
    lines.say(summary);
    // A name that is none there is a wrong argument: nothing ran.
    const bool noSuchName =
        std::any_of(outcome.problems.begin(), outcome.problems.end(),
                    [](const Problem& p) { return rowOf(p.kind).wrongName; });
    const int exitCode = ok ? kExitOk : noSuchName ? kExitUsage : kExitProblem;
    if (args.json) {
        lines.document(operationDocument(
            {op, before, end, outcome, lines.steps(), exitCode, summary, [&](const Problem& p) {
                 std::wstring text = describeProblems(op, {p}, w.strings, w.systemMessage);
                 std::replace(text.begin(), text.end(), L'\n', L' ');
                 return text;
             }}));
    }
    return exitCode;
}

} // namespace

namespace {
std::wstring logRefusalText(const LogOpening& log, const std::wstring& path, CliWorld& w) {
    switch (log.refusal) {
    case LogRefusal::Link:
        return substitute(w.strings.text(IDS_CLI_LOG_LINK), path);
    case LogRefusal::HardLink:
        return substitute(w.strings.text(IDS_CLI_LOG_HARDLINK), path);
    case LogRefusal::ForeignOwner:
        return substitute(w.strings.text(IDS_CLI_LOG_OWNER), path);
    case LogRefusal::None:
        break;
    }
    return substitute(w.strings.text(IDS_CLI_LOG_FAILED), path) + w.systemMessage(log.code);
}
} // namespace

int runCommandLine(const Arguments& args, CliWorld& w) {
    if (args.invalid) {
        Lines lines(w, false);
        const int why = args.refusal == Refusal::SecondAction       ? IDS_CLI_ONE_ACTION
                        : args.refusal == Refusal::LogWithoutAction ? IDS_CLI_LOG_NEEDS_ACTION
                        : args.refusal == Refusal::OnlyWithRepair   ? IDS_CLI_ONLY_WITH_REPAIR
                        : args.refusal == Refusal::ForceAlone       ? IDS_CLI_FORCE_ONLY
                                                                    : IDS_CLI_BAD_ARGUMENT;
        lines.complain(substitute(lines.text(why), args.offending));
        usage(lines, true, w.consoleProgram);
        return kExitUsage;
    }
    if (!args.logFile.empty()) {
        // The switches were right: the reason alone, without the usage after it.
        if (const LogOpening log = openCheckedLog(w.log, args.logFile); !log.ok()) {
            Lines lines(w, false);
            lines.complain(logRefusalText(log, args.logFile, w));
            return kExitUsage;
        }
    }
    Lines lines(w, !args.logFile.empty(), args.json);
    switch (args.action) {
    case Action::Help:
        usage(lines, false, w.consoleProgram);
        return kExitOk;
    case Action::Status: {
        const Snapshot s = snapshot(w);
        const std::wstring line = statusLine(s, w);
        lines.say(line);
        // Disabled on purpose is not "needs remediation", whether it still runs or not.
        const int exitCode = !s.missing && s.startType == scm::kDisabled ? kExitDisabled
                             : s.state == scm::kRunning                  ? kExitOk
                                                                         : kExitProblem;
        if (args.json) {
            lines.document(statusDocument(s, exitCode, line));
        }
        return exitCode;
    }
    case Action::Repair:
        return runOperation(Operation::Repair, args, lines, w);
    case Action::Disable:
        return runOperation(Operation::Disable, args, lines, w);
    case Action::Restore:
        return runOperation(Operation::Restore, args, lines, w);
    case Action::Quarantine:
        if (args.plugIn.empty()) {
            return listQuarantine(lines, w, args.json);
        }
        return runOperation(Operation::Quarantine, args, lines, w);
    case Action::Unquarantine:
        return runOperation(Operation::Unquarantine, args, lines, w);
    case Action::Diagnose:
        return diagnose(lines, w, args.json);
    case Action::Explain:
        return explain(lines, w, args);
    case Action::Window:
        break;
    }
    // No switch at all, where no window can open (the console program): the usage.
    usage(lines, true, w.consoleProgram);
    return kExitUsage;
}

} // namespace kestrave::cli
