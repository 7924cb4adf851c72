#include "cli/CommandLineRun.h"

#include "core/text/TextFormat.h"
#include "cli/LogFileCheck.h"
#include "core/service/ServiceNames.h"

#include <algorithm>

#include "KestraveVersion.h"
#include "core/diagnosis/Diagnosis.h"
#include "core/spooler/SpoolFolder.h"
#include "core/spooler/SpoolerDisable.h"
#include "core/spooler/SpoolerRepair.h"
#include "core/spooler/SpoolerRestore.h"
#include "platform/SystemError.h"
#include "resources/StringIds.h"

namespace kestrave::cli {

namespace {
constexpr std::size_t kJobsListed = 50; // jobs named a line each; the rest are counted

// Every line goes to the console and, when one is open, to the log.
class Lines : public IOperationObserver {
  public:
    Lines(CliWorld& w, bool logging) : w_(w), logging_(logging) {}
    void say(const std::wstring& line) {
        w_.console.writeLine(line);
        if (logging_) {
            w_.log.append(line);
        }
    }
    void complain(const std::wstring& line) {
        w_.console.writeError(line);
        if (logging_) {
            w_.log.append(line);
        }
    }
    void step(Step step, std::size_t, std::size_t) override {
        // One line per step, not per file.
        if (!said_ || step != last_) {
            say(stepText(step, w_.strings));
            last_ = step;
            said_ = true;
        }
    }
    std::wstring text(int id) const { return w_.strings.text(id); }

  private:
    CliWorld& w_;
    bool logging_;
    Step last_{};
    bool said_ = false;
};

// The spooler as it stands: state, start type, files queued.
struct Snapshot {
    std::uint32_t state = 0;
    bool missing = false;
    std::uint32_t startType = 0;
    std::size_t queued = 0;
};

Snapshot snapshot(CliWorld& w) {
    Snapshot s;
    ServiceControl spooler(w.spooler.scm);
    spooler.setName(service::kSpooler);
    const ServiceControl::StateReading reading = spooler.readState();
    s.state = reading.state;
    s.missing = reading.error == err::kServiceDoesNotExist;
    spooler.startType(s.startType);
    const SpoolFolderChoice folder = chooseSpoolFolder(w.spooler.files, w.spooler.registry);
    try {
        if (folder.usable) {
            s.queued = filesARepairDeletes(folder.open(w.spooler.files)->list());
        }
    } catch (const SystemError&) {
        // No folder, no queue.
    }
    return s;
}

std::wstring statusLine(const Snapshot& s, CliWorld& w) {
    return substitute(
        w.strings.text(IDS_CLI_STATUS),
        {stateText(s.state, s.missing, w.strings),
         s.missing ? w.strings.text(IDS_START_OTHER) : startTypeText(s.startType, w.strings),
         decimal(s.queued)});
}

void usage(Lines& lines, bool toErrors, bool console) {
    if (!toErrors) {
        lines.say(L"Kestrave " KESTRAVE_VERSION_WIDE);
    }
    for (int id = IDS_CLI_USAGE_1; id <= IDS_CLI_USAGE_10; ++id) {
        std::wstring line = lines.text(console && id == IDS_CLI_USAGE_2 ? IDS_CLI_USAGE_CONSOLE_2 : id);
        // The console program tells its own name: the one to type for a shell that waits.
        if (const std::size_t at = line.find(L"Kestrave.exe"); console && id == IDS_CLI_USAGE_1 &&
                                                               at != std::wstring::npos) {
            line.replace(at, 12, L"Kestrave.com");
        }
        toErrors ? lines.complain(line) : lines.say(line);
    }
}

// Problems or notes, a line each (a list of files keeps a line per file).
std::vector<std::wstring> describeLines(Operation op, const std::vector<Problem>& which,
                                        CliWorld& w) {
    std::vector<std::wstring> out;
    const std::wstring text = describeProblems(op, which, w.strings, w.systemMessage);
    std::size_t from = 0;
    while (from < text.size()) {
        std::size_t end = text.find(L'\n', from);
        if (end == std::wstring::npos) {
            end = text.size();
        }
        if (end > from) {
            out.push_back(text.substr(from, end - from));
        }
        from = end + 1;
    }
    return out;
}

Outcome run(Operation op, const Arguments& args, Lines& lines, CliWorld& w) {
    switch (op) {
    case Operation::Repair:
        return SpoolerRepair(w.spooler, lines, w.timing, args.keep).run();
    case Operation::Disable:
        return SpoolerDisable(w.spooler, lines, w.timing).run();
    case Operation::Restore:
        break;
    }
    return SpoolerRestore(w.spooler, lines, w.timing, args.restoreName).run();
}

std::wstring doneLine(Operation op, const Outcome& o, CliWorld& w) {
    const IStringTable& s = w.strings;
    switch (op) {
    case Operation::Disable:
        return s.text(IDS_CLI_DISABLE_DONE);
    case Operation::Restore:
        return substitute(s.text(IDS_CLI_RESTORE_DONE),
                          {decimal(o.jobsRestored), o.keptIn});
    case Operation::Repair:
        break;
    }
    if (o.filesKept != 0) {
        return substitute(s.text(IDS_CLI_REPAIR_DONE_KEPT), {decimal(o.filesKept), o.keptIn,
                                                             decimal(o.filesDeleted)});
    }
    return o.filesDeleted == 0
               ? s.text(IDS_CLI_REPAIR_DONE_EMPTY)
               : substitute(s.text(IDS_CLI_REPAIR_DONE), decimal(o.filesDeleted));
}

int runOperation(Operation op, const Arguments& args, Lines& lines, CliWorld& w) {
    if (!w.elevated) {
        // Refused before anything is tried, and said: a prompt for elevation would open a
        // console of its own that nothing waits for.
        const wchar_t* name = op == Operation::Repair    ? L"/repair"
                              : op == Operation::Disable ? L"/disable"
                                                         : L"/restore";
        lines.complain(substitute(lines.text(IDS_CLI_NEEDS_ADMIN), name));
        return kExitProblem;
    }
    const Outcome outcome = run(op, args, lines, w);
    if (outcome.hadToEndSpooler) {
        lines.say(substitute(lines.text(IDS_NOTE_SPOOLER_ENDED),
                             decimal(outcome.stopWaitSeconds)));
    }
    for (const std::wstring& note : describeLines(op, outcome.notes, w)) {
        lines.say(note);
    }
    // What was kept, or what went back: a job a line, by document and owner where known.
    for (const std::wstring& job : jobLines(outcome.keptJobs, kJobsListed, w.strings)) {
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
    if (succeeded(op, outcome)) {
        lines.say(doneLine(op, outcome, w));
        return kExitOk;
    }
    const std::wstring why = problems.empty() ? statusLine(end, w) : problems.front();
    const int failed = op == Operation::Repair    ? IDS_CLI_REPAIR_FAILED
                       : op == Operation::Disable ? IDS_CLI_DISABLE_FAILED
                                                  : IDS_CLI_RESTORE_FAILED;
    lines.say(substitute(lines.text(failed), why));
    return kExitProblem;
}

int diagnose(Lines& lines, CliWorld& w) {
    DiagnosisWorld world{w.spooler.scm, w.spooler.files, w.spooler.registry,
                         w.diagnosis,   w.session,       w.systemMessage};
    const Report report = kestrave::diagnose(world, w.strings);
    for (const std::wstring& line : report.lines(w.strings)) {
        lines.say(line);
    }
    lines.say(L"");
    if (report.problems() == 0) {
        lines.say(lines.text(IDS_CLI_DIAGNOSE_OK));
        return kExitOk;
    }
    lines.say(report.problems() == 1 ? lines.text(IDS_CLI_DIAGNOSE_ONE_PROBLEM)
                                     : substitute(lines.text(IDS_CLI_DIAGNOSE_PROBLEMS),
                                                  decimal(report.problems())));
    return kExitProblem;
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
    Lines lines(w, !args.logFile.empty());
    switch (args.action) {
    case Action::Help:
        usage(lines, false, w.consoleProgram);
        return kExitOk;
    case Action::Status: {
        const Snapshot s = snapshot(w);
        lines.say(statusLine(s, w));
        // Disabled on purpose is not "needs remediation", whether it still runs or not.
        if (!s.missing && s.startType == scm::kDisabled) {
            return kExitDisabled;
        }
        return s.state == scm::kRunning ? kExitOk : kExitProblem;
    }
    case Action::Repair:
        return runOperation(Operation::Repair, args, lines, w);
    case Action::Disable:
        return runOperation(Operation::Disable, args, lines, w);
    case Action::Restore:
        return runOperation(Operation::Restore, args, lines, w);
    case Action::Diagnose:
        return diagnose(lines, w);
    case Action::Window:
        break;
    }
    // No switch at all, where no window can open (the console program): the usage.
    usage(lines, true, w.consoleProgram);
    return kExitUsage;
}

} // namespace kestrave::cli
