#include "cli/JsonDocuments.h"

#include <algorithm>

#include "KestraveVersion.h"
#include "cli/JsonText.h"
#include "core/keep/UtcTime.h"
#include "core/spooler/Problems.h"
#include "core/text/TextFormat.h"
#include "resources/StringIds.h"

namespace kestrave::cli {

namespace {
json::Object head(const char* action, int exitCode) {
    json::Object o;
    o.name("version", KESTRAVE_VERSION_TEXT).name("action", action).integer("exitCode", exitCode);
    return o;
}

std::string queue(const Snapshot& s) {
    return json::Object().number("files", s.queued).number("bytes", s.queuedBytes).str();
}

void spooler(json::Object& o, const Snapshot& s) {
    o.name("state", stateName(s.state, s.missing))
        .name("startType", s.missing ? "absent" : startTypeName(s.startType));
}

// How much of the lists and texts goes in; the document is built again with less until it
// fits.
struct Share {
    std::size_t items; // of each list
    std::size_t chars; // of each text, as written
};

std::string problemList(const std::vector<Problem>& problems, const OperationReport& r, Share s) {
    std::vector<std::string> items;
    for (std::size_t i = 0; i < problems.size() && i < s.items; ++i) {
        items.push_back(json::Object()
                            .name("kind", problemKindName(problems[i].kind))
                            .text("text", r.words(problems[i]), s.chars)
                            .str());
    }
    return json::array(items);
}

std::string keptJobs(const OperationReport& r, Share s) {
    const Outcome& o = r.outcome;
    std::vector<std::string> jobs;
    for (std::size_t i = 0; i < o.keptJobs.size() && i < s.items; ++i) {
        const QueuedJob& j = o.keptJobs[i];
        json::Object job;
        job.text("name", j.name, s.chars).number("files", j.files.size()).number("bytes", j.bytes);
        if (j.shadow) {
            job.text("document", j.shadow->document, s.chars)
                .text("owner", j.shadow->owner, s.chars)
                .text("printer", j.shadow->printer, s.chars);
        }
        jobs.push_back(job.str());
    }
    return json::Object()
        .text("folder", o.keptIn, s.chars * 2)
        .number("files", o.filesKept)
        .add("jobs", json::array(jobs))
        .number("jobsTotal", o.keptJobs.size())
        .str();
}

std::string operationWithin(const OperationReport& r, Share s) {
    const Outcome& o = r.outcome;
    json::Object doc = head(rowOf(r.operation).name, r.exitCode);
    doc.flag("succeeded", r.exitCode == 0);
    spooler(doc, r.after);
    json::Object q;
    q.add("before", queue(r.before)).add("after", queue(r.after)).number("deleted", o.filesDeleted);
    if (r.operation == Operation::Restore) {
        q.number("jobsRestored", o.jobsRestored);
    }
    doc.add("queue", q.str());
    if (!o.plugIn.empty()) {
        doc.text("plugIn", o.plugIn, s.chars);
    }
    std::vector<std::string> steps;
    for (const Step step : r.steps) {
        steps.push_back(json::quoted(stepName(step)));
    }
    doc.add("steps", json::array(steps)).flag("spoolerEnded", o.hadToEndSpooler);
    if (!o.keptIn.empty() || !o.keptJobs.empty()) {
        doc.add(r.operation == Operation::Restore ? "restored" : "kept", keptJobs(r, s));
    }
    doc.add("problems", problemList(o.problems, r, s)).number("problemsTotal", o.problems.size());
    doc.add("notes", problemList(o.notes, r, s)).number("notesTotal", o.notes.size());
    return doc.text("summary", r.summary, s.chars).str();
}
} // namespace

const char* stateName(std::uint32_t state, bool missing) {
    constexpr const char* kStates[] = {"unknown",        "stopped",      "startPending",
                                       "stopPending",    "running",      "continuePending",
                                       "pausePending",   "paused"};
    return missing ? "absent" : state < std::size(kStates) ? kStates[state] : "unknown";
}

const char* startTypeName(std::uint32_t startType) {
    constexpr const char* kTypes[] = {"boot", "system", "auto", "demand", "disabled"};
    return startType < std::size(kTypes) ? kTypes[startType] : "unknown";
}

const char* stepName(Step step) {
    constexpr const char* kSteps[] = {
        "stoppingDependents", "stopping",           "waitingForStop", "endingHungSpooler",
        "clearingQueue",      "settingStartType",   "starting",       "waitingForRun",
        "startingDependents", "waitingForOtherKestrave", "restoringJobs", "movingPlugIn",
        "restoringPlugIn"};
    static_assert(std::size(kSteps) == static_cast<std::size_t>(kLastStep) + 1,
                  "every step has its name");
    const auto i = static_cast<std::size_t>(step);
    return i < std::size(kSteps) ? kSteps[i] : "unknown";
}

const char* problemKindName(ProblemKind kind) {
    return rowOf(kind).name;
}

std::string statusDocument(const Snapshot& s, int exitCode, const std::wstring& line) {
    json::Object doc = head("status", exitCode);
    spooler(doc, s);
    return doc.add("queue", queue(s)).text("summary", line, 600).str();
}

std::string operationDocument(const OperationReport& r) {
    for (const Share s : {Share{10, 400}, Share{5, 240}, Share{3, 160}, Share{2, 120},
                          Share{1, 100}, Share{0, 80}}) {
        if (std::string doc = operationWithin(r, s); doc.size() <= kFleetOutputLimit) {
            return doc;
        }
    }
    return operationWithin(r, Share{0, 40});
}

std::string refusalDocument(Operation operation, int exitCode, const char* kind,
                            const std::wstring& text) {
    const std::string problem = json::Object().name("kind", kind).text("text", text, 600).str();
    return head(rowOf(operation).name, exitCode)
        .flag("succeeded", false)
        .add("problems", json::array({problem}))
        .number("problemsTotal", 1)
        .str();
}

std::string diagnosisDocument(const Report& report, int exitCode, const IStringTable& strings) {
    constexpr struct {
        int title;
        const char* name;
    } kSections[] = {{IDS_DX_SERVICE, "service"},   {IDS_DX_FOLDER, "queueFolder"},
                     {IDS_DX_PLUGINS, "plugIns"},   {IDS_DX_PRINTERS, "printers"},
                     {IDS_DX_EVENTS, "failures"},   {IDS_DX_POLICIES, "policies"},
                     {IDS_DX_QUARANTINE, "quarantine"}, {IDS_DX_SHARING, "sharedPrinting"}};
    constexpr const char* kKinds[] = {"info", "note", "problem"};
    std::vector<std::string> sections;
    for (const ReportSection& section : report.sections) {
        const auto known = std::find_if(std::begin(kSections), std::end(kSections),
                                        [&](const auto& k) { return k.title == section.title; });
        std::vector<std::string> findings;
        for (const Finding& f : section.findings) {
            findings.push_back(json::Object()
                                   .name("kind", kKinds[static_cast<int>(f.kind)])
                                   .text("text", f.text)
                                   .str());
        }
        sections.push_back(json::Object()
                               .name("id", known != std::end(kSections) ? known->name : "other")
                               .text("title", strings.text(section.title))
                               .add("findings", json::array(findings))
                               .str());
    }
    return head("diagnose", exitCode)
        .number("problemsFound", report.problems())
        .add("sections", json::array(sections))
        .str();
}

std::string explainDocument(const std::vector<std::uint32_t>& codes, bool known,
                            const std::vector<std::wstring>& lines, int exitCode) {
    std::vector<std::string> readings;
    for (const std::uint32_t code : codes) {
        readings.push_back(json::Object().text("code", L"0x" + decimal(code, 8, 16)).str());
    }
    std::vector<std::string> said;
    for (const std::wstring& line : lines) {
        said.push_back(json::Object().text("text", line).str());
    }
    return head("explain", exitCode)
        .add("codes", json::array(readings))
        .flag("known", known)
        .add("lines", json::array(said))
        .str();
}

std::string quarantineDocument(const std::vector<plugins::QuarantineEntry>& entries,
                               int exitCode) {
    std::vector<std::string> items;
    for (const plugins::QuarantineEntry& e : entries) {
        if (!e.complete) {
            continue; // an unfinished copy: nothing was taken out
        }
        std::vector<std::string> printers;
        for (const plugins::PrinterUse& p : e.printers) {
            printers.push_back(json::Object()
                                   .text("name", p.printer)
                                   .text("printProcessor", p.processor)
                                   .text("datatype", p.datatype)
                                   .str());
        }
        std::wstring when = utcText(e.when);
        std::replace(when.begin(), when.end(), L' ', L'T');
        items.push_back(
            json::Object()
                .text("name", e.name)
                .name("kind", e.kind == plugins::PlugInKind::Processor ? "printProcessor"
                                                                        : "portMonitor")
                .text("takenOut", when + L"Z")
                .text("by", e.by)
                .name("state", e.restoring && !e.restored ? "restoreCutShort"
                               : e.moved && e.liveKeyThere ? "installedAgain"
                                                           : "quarantined")
                .add("printers", json::array(printers))
                .str());
    }
    return head("quarantine", exitCode).add("plugIns", json::array(items)).str();
}

} // namespace kestrave::cli
