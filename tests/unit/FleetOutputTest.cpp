// What fleets read: /json documents, parsed back as a fleet's parser reads them, within the
// 2,048 characters Intune keeps; and the Application log's one event per change.
#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "cli/CommandLineRun.h"
#include "cli/JsonDocuments.h"
#include "cli/JsonText.h"
#include "core/events/ChangeEvents.h"
#include "tests/fakes/FakeConsole.h"
#include "tests/fakes/JsonRead.h"
#include "tests/fakes/KeepScene.h"
#include "tests/unit/QuarantineStage.h"
#include "core/text/TextFormat.h"
#include "resources/StringIds.h"

using namespace kestrave;
namespace json = kestrave::test::json;

namespace {

std::wstring fromJson(const std::string& quoted) {
    return json::Reader(quoted).document().text;
}

TEST(JsonText, EscapesToPureAsciiAndReadsBackAsWritten) {
    const std::wstring hard[] = {
        L"plain",
        L"a \"quoted\" name\\with\\backslashes",
        std::wstring(L"control\x01\x1f\x7f chars\r\n\ttoo"),
        L"打印机二 的文档.docx",
        L"emoji \U0001F5A8 printer and \U00020000 beyond the plane",
        L"",
    };
    for (const std::wstring& text : hard) {
        const std::string written = cli::json::quoted(text);
        for (const char c : written) {
            ASSERT_TRUE(c >= 0x20 && c < 0x7F) << written;
        }
        EXPECT_EQ(fromJson(written), text) << written;
    }
    EXPECT_EQ(cli::json::quoted(L"\U0001F5A8"), "\"\\ud83d\\udda8\"");
    // Cut to a limit: within it, never half a pair or half an escape, still a valid string.
    const std::wstring mixed = L"ab\U0001F5A8打印\"x\"" + std::wstring(300, L'机');
    for (std::size_t limit = 8; limit < 60; ++limit) {
        const std::string cut = cli::json::quoted(mixed, limit);
        EXPECT_LE(cut.size(), limit);
        const std::wstring back = fromJson(cut);
        ASSERT_GE(back.size(), 3u);
        EXPECT_EQ(back.substr(back.size() - 3), L"...");
        EXPECT_EQ(mixed.rfind(back.substr(0, back.size() - 3), 0), 0u) << cut;
    }
}

struct FleetTest : test::KeepStage {
    fake::FakeConsole console;
    fake::FakeLogFile log;
    cli::CliWorld cw = commandLine(console, log);
    int run(std::vector<std::wstring> args) {
        console.out.clear();
        console.err.clear();
        return cli::runCommandLine(cli::parseArguments(args), cw);
    }
    // The one document, checked to be the only line and within the fleets' bound.
    json::Value document(bool bounded = true) {
        EXPECT_EQ(console.out.size(), 1u);
        EXPECT_TRUE(console.err.empty());
        if (bounded) {
            EXPECT_LE(console.out.back().size(), cli::kFleetOutputLimit);
        }
        return json::parse(console.out.back());
    }
    void queueJobs(int count) {
        for (int i = 0; i < count; ++i) {
            const std::wstring n = L"FP" + std::to_wstring(10000 + i);
            w.files.addFile(spool, n + L".SPL", fileattr::kArchive, 1000);
            w.files.addFile(spool, n + L".SHD", fileattr::kArchive, 100);
        }
    }
    fake::FakeServiceManager::Service& spooler() { return w.scm.services.at(L"Spooler"); }
};

TEST_F(FleetTest, StatusNamesStateAndStartTypeAndExitsAsItsLinesDo) {
    queueJobs(2);
    const struct {
        std::uint32_t state, startType;
        const char *stateName, *typeName;
        int exit;
    } cases[] = {{scm::kRunning, 2, "running", "auto", 0},
                 {scm::kStopped, 3, "stopped", "demand", 1},
                 {scm::kStartPending, 2, "startPending", "auto", 1},
                 {scm::kRunning, 4, "running", "disabled", 3},
                 {scm::kStopped, 4, "stopped", "disabled", 3}};
    for (const auto& c : cases) {
        spooler().state = c.state;
        spooler().startType = c.startType;
        ASSERT_EQ(run({L"/status", L"/json"}), c.exit);
        const json::Value d = document();
        EXPECT_EQ(d["action"].text, L"status");
        EXPECT_EQ(d["exitCode"].integer(), c.exit);
        EXPECT_EQ(d["state"].text, std::wstring(c.stateName, c.stateName + strlen(c.stateName)));
        EXPECT_EQ(d["startType"].text, std::wstring(c.typeName, c.typeName + strlen(c.typeName)));
        EXPECT_EQ(d["queue"]["files"].integer(), 4);
        EXPECT_EQ(d["queue"]["bytes"].integer(), 2200);
        EXPECT_EQ(d["version"].kind, json::Value::Kind::String);
        EXPECT_EQ(d["summary"].text.find(L"打印机后台服务："), 0u);
    }
    w.scm.services.clear();
    EXPECT_EQ(run({L"/status", L"/json"}), 1);
    EXPECT_EQ(document()["state"].text, L"absent");
    EXPECT_TRUE(w.eventLog.events.empty()) << "a reading is no change";
}

TEST_F(FleetTest, FiveHundredJobsKeptStayWithinTheBoundAndAreCounted) {
    queueJobs(500);
    spooler().state = scm::kStopped;
    ASSERT_EQ(run({L"/repair", L"/keep", L"/json"}), 0);
    const json::Value d = document();
    EXPECT_EQ(d["action"].text, L"repair");
    EXPECT_TRUE(d["succeeded"].flag);
    EXPECT_EQ(d["state"].text, L"running");
    EXPECT_EQ(d["queue"]["before"]["files"].integer(), 1000);
    EXPECT_EQ(d["queue"]["after"]["files"].integer(), 0);
    EXPECT_EQ(d["kept"]["files"].integer(), 1000);
    EXPECT_EQ(d["kept"]["jobsTotal"].integer(), 500);
    EXPECT_LT(d["kept"]["jobs"].items.size(), 11u);
    const auto& taken = d["steps"].items;
    ASSERT_FALSE(taken.empty());
    EXPECT_EQ(taken.front().text, L"clearingQueue");
    EXPECT_EQ(taken.back().text, L"waitingForRun");
    // The lines went nowhere but the document: the console has the one line.
    EXPECT_EQ(console.out.size(), 1u);
}

TEST_F(FleetTest, EveryProblemKindNamedAndTheWholeStillWithinTheBound) {
    Outcome o;
    const std::wstring longName = std::wstring(200, L'打') + L"%%1\"\\\U0001F5A8";
    for (int k = 0; k <= static_cast<int>(kLastProblemKind); ++k) {
        for (int copy = 0; copy < 40; ++copy) {
            o.problems.push_back({static_cast<ProblemKind>(k), 5, longName, 3});
            o.notes.push_back({static_cast<ProblemKind>(k), 5, longName, 3});
        }
    }
    for (int i = 0; i < 10000; ++i) {
        o.keptJobs.push_back({longName + std::to_wstring(i), {L"a.SPL", L"a.SHD"}, 10, 10, 0, {}});
    }
    o.keptIn = L"C:\\ProgramData\\Kestrave\\Cleared\\" + longName;
    const std::string doc = cli::operationDocument(
        {Operation::Repair, {}, {}, o, {Step::Stopping, Step::ClearingQueue}, 1, longName,
         [&](const Problem& p) {
             return describeProblems(Operation::Repair, {p}, w.strings,
                                     [](std::uint32_t) { return std::wstring(300, L'误'); });
         }});
    EXPECT_LE(doc.size(), cli::kFleetOutputLimit);
    const json::Value d = json::parse(std::wstring(doc.begin(), doc.end()));
    EXPECT_EQ(d["problemsTotal"].integer(), static_cast<long long>(o.problems.size()));
    EXPECT_EQ(d["kept"]["jobsTotal"].integer(), 10000);
    EXPECT_FALSE(d["succeeded"].flag);
    // Every kind has a stable name of its own.
    std::set<std::string> names;
    for (int k = 0; k <= static_cast<int>(kLastProblemKind); ++k) {
        names.insert(cli::problemKindName(static_cast<ProblemKind>(k)));
    }
    EXPECT_EQ(names.size(), static_cast<std::size_t>(kLastProblemKind) + 1);
}

TEST_F(FleetTest, FailuresRefusalsAndTheDiagnosisAsDocuments) {
    spooler().state = scm::kStopped;
    spooler().refuseStart = 1058;
    queueJobs(1);
    ASSERT_EQ(run({L"/repair", L"/discard", L"/json"}), 1);
    json::Value d = document();
    EXPECT_FALSE(d["succeeded"].flag);
    ASSERT_FALSE(d["problems"].items.empty());
    EXPECT_EQ(d["problems"].items[0]["kind"].text, L"startRefused");
    EXPECT_FALSE(d["problems"].items[0]["text"].text.empty());
    spooler().refuseStart = 0;

    ASSERT_EQ(run({L"/restore", L"/json"}), 1);
    d = document();
    EXPECT_EQ(d["action"].text, L"restore");
    EXPECT_EQ(d["problems"].items[0]["kind"].text, L"nothingKept");

    cw.elevated = false;
    ASSERT_EQ(run({L"/disable", L"/json"}), 1);
    d = document();
    EXPECT_EQ(d["problems"].items[0]["kind"].text, L"needsAdministrator");
    cw.elevated = true;

    ASSERT_EQ(run({L"/diagnose", L"/json"}), 1);
    d = document(false);
    EXPECT_EQ(d["action"].text, L"diagnose");
    std::size_t problems = 0;
    for (const json::Value& section : d["sections"].items) {
        EXPECT_FALSE(section["title"].text.empty());
        for (const json::Value& f : section["findings"].items) {
            problems += f["kind"].text == L"problem" ? 1 : 0;
        }
    }
    EXPECT_EQ(static_cast<std::size_t>(d["problemsFound"].integer()), problems);
    EXPECT_EQ(d["sections"].items[0]["id"].text, L"service");

    // /json without an action, or with the usage: refused as a log of nothing is.
    for (const auto& args : std::vector<std::vector<std::wstring>>{
             {L"/json"}, {L"/?", L"/json"}, {L"/status", L"/json", L"/json"}}) {
        EXPECT_EQ(run(args), 2);
        EXPECT_TRUE(console.out.empty());
    }
}

TEST_F(FleetTest, EachChangeWritesOneEventWithItsIdTypeAccountAndOrigin) {
    queueJobs(1);
    ASSERT_EQ(run({L"/repair"}), 0);
    ASSERT_EQ(run({L"/disable"}), 0);
    spooler().refuseStart = 1058;
    ASSERT_EQ(run({L"/repair"}), 1);
    ASSERT_EQ(run({L"/restore"}), 1);
    run({L"/status"});
    run({L"/diagnose"});
    const auto& e = w.eventLog.events;
    ASSERT_EQ(e.size(), 4u) << "one per change, none for a reading";
    const std::uint32_t ids[] = {events::kRepairDone, events::kDisableDone, events::kRepairFailed,
                                 events::kRestoreFailed};
    for (std::size_t i = 0; i < e.size(); ++i) {
        EXPECT_EQ(e[i].id, ids[i]) << i;
        const bool ok = (ids[i] & 0xC0000000u) == 0x40000000u;
        EXPECT_EQ(e[i].type, ok ? IEventLog::Type::Information : IEventLog::Type::Error) << i;
        ASSERT_EQ(e[i].strings.size(), 4u);
        EXPECT_EQ(e[i].strings[2], L"KESTRAVE-PC\\admin");
        EXPECT_EQ(e[i].strings[3], L"命令行");
    }
    EXPECT_EQ(e[0].strings[1], L"（无）");
    EXPECT_NE(e[2].strings[1].find(L"1058"), std::wstring::npos) << e[3].strings[1];
}

// A spooler that hangs stopping is ended: said once, before the other notes and the summary,
// by the seconds the stop was waited for, whichever operation stopped it; and in the document
// as a note of its own.
struct HungSpoolerFleet : test::QuarantineStage {
    fake::FakeConsole console;
    fake::FakeLogFile log;
    cli::CliWorld cw = commandLine(console, log);
    int run(std::vector<std::wstring> args) {
        console.out.clear();
        auto& s = w.scm.services.at(L"Spooler");
        s.state = scm::kRunning;
        s.stopNeverCompletes = true;
        return cli::runCommandLine(cli::parseArguments(args), cw);
    }
};

TEST_F(HungSpoolerFleet, EndingItIsOneNoteBeforeTheRestInLinesAndDocuments) {
    const std::wstring ended = substitute(w.strings.text(IDS_NOTE_SPOOLER_ENDED),
                                          decimal(Timing::seconds(cw.timing.stopWait)));
    ASSERT_NE(Timing::seconds(cw.timing.stopWait), 0u);
    for (const auto& args : std::vector<std::vector<std::wstring>>{
             {L"/repair"}, {L"/quarantine:AcmeFastPrint"}, {L"/unquarantine:AcmeFastPrint"}}) {
        const std::size_t endedBefore = w.processes.terminated.size();
        ASSERT_EQ(run(args), 0) << args[0];
        EXPECT_EQ(w.processes.terminated.size(), endedBefore + 1) << args[0];
        const auto& lines = console.out;
        ASSERT_EQ(std::count(lines.begin(), lines.end(), ended), 1) << args[0];
        const auto at = std::find(lines.begin(), lines.end(), ended) - lines.begin();
        // The printers the quarantine changed are noted after it; the state and summary last.
        EXPECT_LT(at, static_cast<long>(lines.size()) - 2) << args[0];
        if (args[0] != L"/repair") {
            EXPECT_GT(lines.size() - static_cast<std::size_t>(at), 3u) << args[0];
        }
    }
    ASSERT_EQ(run({L"/repair", L"/json"}), 0);
    const json::Value d = json::parse(console.out.back());
    EXPECT_TRUE(d["spoolerEnded"].flag);
    ASSERT_EQ(d["notesTotal"].integer(), 1);
    EXPECT_EQ(d["notes"].items[0]["kind"].text, L"spoolerEnded");
    EXPECT_EQ(d["notes"].items[0]["text"].text, ended);
}

TEST(ChangeEvents, PercentSignsExpandNothingAndLongTextsAreBounded) {
    const std::wstring planted = L"FP%%1%1%n.SPL 100%";
    const std::wstring safe = events::insertion(planted);
    EXPECT_EQ(safe.find(L"%%"), std::wstring::npos);
    for (std::size_t at = safe.find(L'%'); at != std::wstring::npos; at = safe.find(L'%', at + 1)) {
        ASSERT_LT(at + 1, safe.size());
        EXPECT_EQ(safe[at + 1], L'\u2060') << "every % is followed by the word joiner";
    }
    std::wstring shown = safe;
    std::erase(shown, L'\u2060');
    EXPECT_EQ(shown, planted) << "shown as it is";
    const std::wstring huge(100000, L'x');
    EXPECT_LE(events::insertion(huge).size(), events::kInsertionLimit + 3);
}

} // namespace
