// The command line's readings: the diagnosis, an error code explained, the quarantine's list.
#include "cli/ReadingCommands.h"

#include "cli/JsonDocuments.h"
#include "core/diagnosis/Diagnosis.h"
#include "core/plugins/QuarantineList.h"
#include "core/sharing/SharingReport.h"
#include "core/text/TextFormat.h"
#include "resources/StringIds.h"

namespace kestrave::cli {

int diagnose(Lines& lines, CliWorld& w, bool json) {
    DiagnosisWorld world{w.spooler.scm, w.spooler.files, w.spooler.registry,
                         w.diagnosis,   w.session,       w.systemMessage};
    const Report report = kestrave::diagnose(world, w.strings);
    for (const std::wstring& line : report.lines(w.strings)) {
        lines.say(line);
    }
    lines.say(L"");
    const int exitCode = report.problems() == 0 ? kExitOk : kExitProblem;
    lines.say(report.problems() == 0   ? lines.text(IDS_CLI_DIAGNOSE_OK)
              : report.problems() == 1 ? lines.text(IDS_CLI_DIAGNOSE_ONE_PROBLEM)
                                       : substitute(lines.text(IDS_CLI_DIAGNOSE_PROBLEMS),
                                                    decimal(report.problems())));
    if (json) {
        lines.document(diagnosisDocument(report, exitCode, w.strings));
    }
    return exitCode;
}

int explain(Lines& lines, CliWorld& w, const Arguments& args) {
    const sharing::CodeReadings readings = sharing::readCode(args.code);
    if (readings.codes.empty()) {
        lines.complain(substitute(w.strings.text(IDS_CLI_EXPLAIN_BAD), args.code));
        return kExitUsage;
    }
    bool known = false;
    const std::vector<std::wstring> said =
        sharing::explainCode(readings, w.spooler.registry, w.strings, w.systemMessage, known);
    for (const std::wstring& line : said) {
        lines.say(line);
    }
    const int exitCode = known ? kExitOk : kExitProblem;
    if (args.json) {
        lines.document(explainDocument(readings.codes, known, said, exitCode));
    }
    return exitCode;
}

int listQuarantine(Lines& lines, CliWorld& w, bool json) {
    const std::vector<plugins::QuarantineLine> held =
        plugins::quarantineLines(w.spooler.registry, w.strings);
    lines.say(w.strings.text(held.empty() ? IDS_CLI_QUARANTINE_NONE : IDS_CLI_QUARANTINE_LIST));
    bool trouble = false;
    for (const plugins::QuarantineLine& line : held) {
        lines.say(line.text);
        trouble = trouble || line.kind == plugins::QuarantineLine::Kind::Problem;
    }
    const int exitCode = trouble ? kExitProblem : kExitOk;
    if (json) {
        lines.document(quarantineDocument(plugins::readQuarantine(w.spooler.registry), exitCode));
    }
    return exitCode;
}

} // namespace kestrave::cli
