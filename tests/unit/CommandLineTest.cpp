// The command line: its switches, its lines and the exit codes fleets rely on.
#include <gtest/gtest.h>

#include <functional>

#include "cli/CommandLineRun.h"
#include "cli/Switches.h"
#include "tests/fakes/FakeConsole.h"
#include "tests/fakes/FakeWorld.h"

using namespace kestrave;
using namespace kestrave::cli;

namespace {

struct ParseCase {
    std::vector<std::wstring> args;
    Action action;
    bool invalid;
    std::wstring log;
};

TEST(CommandLineArguments, SwitchesAsAdministratorsTypeThem) {
    const ParseCase cases[] = {
        {{}, Action::Window, false, L""},
        {{L"/status"}, Action::Status, false, L""},
        {{L"-STATUS"}, Action::Status, false, L""},
        {{L"/Repair"}, Action::Repair, false, L""},
        {{L"-disable"}, Action::Disable, false, L""},
        {{L"/diagnose"}, Action::Diagnose, false, L""},
        {{L"/?"}, Action::Help, false, L""},
        {{L"-help"}, Action::Help, false, L""},
        {{L"/repair", L"/log:C:\\Logs\\Kestrave.log"},
         Action::Repair,
         false,
         L"C:\\Logs\\Kestrave.log"},
        {{L"/LOG:D:\\x y.txt", L"-status"}, Action::Status, false, L"D:\\x y.txt"},
        // Anything else, or two actions: nothing is done.
        {{L"/repair", L"/disable"}, Action::Repair, true, L""},
        {{L"/status", L"/status"}, Action::Status, true, L""},
        {{L"status"}, Action::Window, true, L""},
        {{L"/stat"}, Action::Window, true, L""},
        {{L"/"}, Action::Window, true, L""},
        {{L"/log:"}, Action::Window, true, L""},
        {{L"/log:a.txt"}, Action::Window, true, L""},
        {{L"/status", L"/log:a", L"/log:b"}, Action::Status, true, L"a"},
        {{L"/status", L"extra"}, Action::Status, true, L""},
    };
    for (const ParseCase& c : cases) {
        const Arguments a = parseArguments(c.args);
        const std::wstring joined = c.args.empty() ? L"(none)" : c.args.front();
        EXPECT_EQ(a.invalid, c.invalid) << joined;
        if (!c.invalid) {
            EXPECT_EQ(a.action, c.action) << joined;
            EXPECT_EQ(a.logFile, c.log) << joined;
        } else {
            EXPECT_FALSE(a.offending.empty()) << joined;
        }
    }
}

struct CommandLineTest : ::testing::Test {
    test::FakeWorld w;
    fake::FakeConsole console;
    fake::FakeLogFile log;
    fake::FakeStringTable english{fake::FakeStringTable::Language::English};
    const std::wstring spool = L"C:\\Windows\\System32\\spool\\PRINTERS";
    CliWorld world{{w.scm, w.registry, w.processes, w.files, w.ui, w.lock},
                   w.strings,
                   console,
                   log,
                   [](std::uint32_t code) { return L"error " + std::to_wstring(code); },
                   w.diagnosis,
                   w.session,
                   w.eventLog};

    int run(std::vector<std::wstring> args) { return runCommandLine(parseArguments(args), world); }
    fake::FakeServiceManager::Service& spooler(std::uint32_t state, std::uint32_t startType) {
        auto& s = w.scm.add(L"Spooler", state);
        s.startType = startType;
        w.registry.setDword(L"SYSTEM\\CurrentControlSet\\Services\\Spooler", L"Start", startType);
        return s;
    }
};

TEST_F(CommandLineTest, StatusIsOneLineAndZeroOnlyWhenRunning) {
    auto& s = spooler(scm::kRunning, 2);
    w.files.addFile(spool, L"1.SPL");
    w.files.addFile(spool, L"2.SPL");
    EXPECT_EQ(run({L"/status"}), 0);
    EXPECT_EQ(console.out, std::vector<std::wstring>{
                               L"打印机后台服务：正在运行；启动类型：自动；队列中的文件：2"});
    for (std::uint32_t other : {scm::kStopped, scm::kStartPending, scm::kPaused}) {
        s.state = other;
        EXPECT_EQ(run({L"/status"}), 1) << other;
    }
    s.state = scm::kStopped;
    s.startType = 4;
    EXPECT_EQ(run({L"/status"}), 3) << "disabled on purpose: told apart";
    EXPECT_EQ(console.out.back(), L"打印机后台服务：已停止；启动类型：禁用；队列中的文件：2");
    w.scm.services.clear();
    EXPECT_EQ(run({L"/status"}), 1);
    EXPECT_EQ(console.out.back(), L"打印机后台服务：不存在；启动类型：未知；队列中的文件：2");
    EXPECT_TRUE(console.err.empty());
}

TEST_F(CommandLineTest, StatusExitsByStateAndStartTypeAsFleetsReadIt) {
    auto& s = spooler(scm::kRunning, 2);
    struct Case {
        std::uint32_t state, startType;
        int exit;
    };
    for (const Case c : {Case{scm::kRunning, 2, 0}, Case{scm::kRunning, 3, 0},
                         Case{scm::kStopped, 2, 1}, Case{scm::kStopped, 3, 1},
                         Case{scm::kStartPending, 2, 1}, Case{scm::kStopped, 4, 3},
                         Case{scm::kRunning, 4, 3}, Case{scm::kStopPending, 4, 3}}) {
        s.state = c.state;
        s.startType = c.startType;
        EXPECT_EQ(run({L"/status"}), c.exit) << c.state << " " << c.startType;
    }
    // /repair keeps its meaning: asked for, it repairs a disabled spooler.
    s.state = scm::kStopped;
    w.registry.setDword(L"SYSTEM\\CurrentControlSet\\Services\\Spooler", L"Start", 4);
    EXPECT_EQ(run({L"/repair"}), 0);
    EXPECT_EQ(s.state, scm::kRunning);
    EXPECT_EQ(run({L"/status"}), 0);
}

TEST_F(CommandLineTest, WithoutAdministratorRightsOnlyTheReadingsRunAndChangesAreRefused) {
    auto& s = spooler(scm::kRunning, 2);
    w.files.addFile(spool, L"1.SPL");
    world.elevated = false;
    EXPECT_EQ(run({L"/status"}), 0);
    EXPECT_EQ(run({L"/?"}), 0);
    EXPECT_NE(run({L"/diagnose"}), 2);
    for (const wchar_t* change : {L"/repair", L"/disable", L"/restore"}) {
        console.err.clear();
        EXPECT_EQ(run({change}), 1) << change;
        ASSERT_EQ(console.err.size(), 1u) << change;
        EXPECT_NE(console.err[0].find(change), std::wstring::npos);
    }
    EXPECT_EQ(s.state, scm::kRunning);
    EXPECT_EQ(s.startType, 2u);
    EXPECT_EQ(w.files.names(spool).size(), 1u) << "nothing was touched";
    EXPECT_EQ(w.lock.releases, 0) << "not even the lock was taken";
    // No switch at all: the usage on the error stream, exit 2, and the console program's
    // usage tells its own name and that without a switch it prints this.
    console.err.clear();
    world.consoleProgram = true;
    EXPECT_EQ(runCommandLine(parseArguments({}), world), 2);
    ASSERT_GE(console.err.size(), 2u);
    EXPECT_EQ(console.err[0].find(L"用法：Kestrave.com ["), 0u) << console.err[0];
    EXPECT_EQ(console.err[1], L"  （无参数）  本说明；Kestrave.exe 打开窗口");
}

TEST_F(CommandLineTest, RepairWritesItsStepsAndEndsZeroWhenRunningAndEmpty) {
    auto& s = spooler(scm::kRunning, 3);
    w.files.addFile(spool, L"1.SPL");
    EXPECT_EQ(run({L"/repair"}), 0);
    EXPECT_EQ(s.state, scm::kRunning);
    EXPECT_EQ(s.startType, 2u);
    ASSERT_GE(console.out.size(), 5u);
    EXPECT_EQ(console.out.front(), L"正在停止打印机后台服务...");
    EXPECT_NE(std::find(console.out.begin(), console.out.end(), L"正在清空打印队列..."),
              console.out.end());
    EXPECT_EQ(console.out.back(),
              L"修复完成：打印机后台服务正在运行，打印队列为空（删除了 1 个文件）。");
}

TEST_F(CommandLineTest, RepairThatCannotStartEndsOneAndTheLastLineSaysWhy) {
    auto& s = spooler(scm::kStopped, 2);
    s.refuseStart = 1058;
    EXPECT_EQ(run({L"/repair"}), 1);
    EXPECT_EQ(console.out.back(), L"修复未完成：打印机后台服务无法启动：error 1058");
    // A queue that stays is as much a failure, even with the spooler running.
    s.refuseStart = 0;
    s.state = scm::kStopped;
    w.files.addFile(spool, L"held.SPL");
    w.files.heldFor[spool + L"\\held.SPL"] = -1;
    EXPECT_EQ(run({L"/repair"}), 1);
    EXPECT_EQ(s.state, scm::kRunning);
    EXPECT_EQ(console.out.back().rfind(L"修复未完成：", 0), 0u);
}

TEST_F(CommandLineTest, ALockThatCannotBeTakenEndsOneInItsOwnWordsWithNothingDone) {
    auto& s = spooler(scm::kRunning, 3);
    w.files.addFile(spool, L"1.SPL");
    w.lock.failsWith = err::kAccessDenied;
    EXPECT_EQ(run({L"/repair"}), 1);
    EXPECT_EQ(w.files.deleteAttempts, 0);
    EXPECT_EQ(s.startType, 3u);
    bool said = false;
    for (const std::wstring& line : console.out) {
        said = said || line.find(L"无法取得 Kestrave 的操作锁") != std::wstring::npos;
    }
    EXPECT_TRUE(said);
    EXPECT_EQ(console.out.back().rfind(L"修复未完成：", 0), 0u);
}

TEST_F(CommandLineTest, AnotherKestraveBusyPastTheBoundEndsOneWithNothingDone) {
    auto& s = spooler(scm::kRunning, 3);
    w.lock.heldElsewhereForTries = -1;
    EXPECT_EQ(run({L"/repair"}), 1);
    EXPECT_EQ(run({L"/disable"}), 1);
    EXPECT_EQ(s.state, scm::kRunning);
    EXPECT_EQ(s.startType, 3u);
    EXPECT_NE(console.out.back().find(L"60 秒内未结束"), std::wstring::npos);
}

// What the command line ends with comes from the outcome, as the window's message does.
TEST_F(CommandLineTest, TheVerdictIsTheOutcomesOwn) {
    auto& s = spooler(scm::kRunning, 2);
    // Hidden or system files alone are left on purpose: not "left", a success.
    w.files.addFile(spool, L"desktop.ini", fileattr::kHidden | fileattr::kSystem);
    EXPECT_EQ(run({L"/repair"}), 0);
    EXPECT_EQ(run({L"/status"}), 0);
    EXPECT_EQ(console.out.back(), L"打印机后台服务：正在运行；启动类型：自动；队列中的文件：0");
    // A folder that cannot be listed is a problem, not an empty queue.
    w.files.listFails[spool] = err::kAccessDenied;
    EXPECT_EQ(run({L"/repair"}), 1);
    w.files.listFails.clear();
    // A refused folder is a problem too, though nothing is queued anywhere.
    w.registry.setString(L"SYSTEM\\CurrentControlSet\\Control\\Print\\Printers",
                         L"DefaultSpoolDirectory", L"C:\\Windows");
    EXPECT_EQ(run({L"/repair"}), 1);
    EXPECT_NE(console.out.back().find(L"C:\\Windows"), std::wstring::npos);
    w.registry.keys.clear();
    spooler(scm::kRunning, 2);
    // A file that stays: named, exit 1, never "empty".
    w.files.addFile(spool, L"held.SPL");
    w.files.heldFor[spool + L"\\held.SPL"] = -1;
    EXPECT_EQ(run({L"/repair"}), 1);
    EXPECT_EQ(console.out.back().find(L"打印队列为空"), std::wstring::npos);
    EXPECT_EQ(s.state, scm::kRunning);
}

TEST_F(CommandLineTest, DisableEndsZeroOnlyStoppedAndDisabled) {
    auto& s = spooler(scm::kRunning, 2);
    EXPECT_EQ(run({L"-DISABLE"}), 0);
    EXPECT_EQ(s.state, scm::kStopped);
    EXPECT_EQ(s.startType, 4u);
    EXPECT_EQ(console.out.back(), L"禁用完成：打印机后台服务已停止，启动类型为禁用。");
    s.state = scm::kRunning;
    s.startType = 2;
    s.refuseStop = 1051;
    EXPECT_EQ(run({L"/disable"}), 1);
    EXPECT_EQ(console.out.back(), L"禁用未完成：打印机后台服务无法停止，未禁用：error 1051");
}

TEST_F(CommandLineTest, DiagnosePrintsTheReportAndCountsItsProblems) {
    auto& s = spooler(scm::kRunning, 2);
    w.files.folders[spool] = fileattr::kDirectory;
    w.scm.add(L"RPCSS", scm::kRunning);
    w.scm.add(L"http", scm::kRunning);
    EXPECT_EQ(run({L"/diagnose"}), 0);
    EXPECT_EQ(console.out.front(), L"Kestrave 诊断报告");
    EXPECT_EQ(console.out.back(), L"诊断完成：未发现问题。");
    s.state = scm::kStopped;
    w.diagnosis.files.erase(L"localspl.dll");
    EXPECT_EQ(run({L"/diagnose"}), 1);
    EXPECT_EQ(console.out.back(), L"诊断完成：发现 2 个问题。");
}

TEST_F(CommandLineTest, WrongArgumentsDoNothingAndExitTwoWithTheUsageOnTheErrorStream) {
    auto& s = spooler(scm::kRunning, 2);
    w.files.addFile(spool, L"1.SPL");
    for (const auto& args : std::vector<std::vector<std::wstring>>{
             {L"/repair", L"/disable"}, {L"/fix"}, {L"repair"}, {L"/log:x"}}) {
        console.out.clear();
        console.err.clear();
        EXPECT_EQ(run(args), 2);
        EXPECT_TRUE(console.out.empty());
        ASSERT_GE(console.err.size(), 2u);
        EXPECT_NE(console.err[1].find(L"/status"), std::wstring::npos);
    }
    EXPECT_EQ(s.state, scm::kRunning);
    EXPECT_EQ(w.files.deleteAttempts, 0);
    EXPECT_TRUE(w.processes.started.empty());
}

// The first line names the real cause; a log that cannot be opened gives its reason alone.
TEST_F(CommandLineTest, RefusalsNameTheirCause) {
    struct Case {
        std::vector<std::wstring> args;
        const wchar_t* first;
    };
    for (const Case& c : {Case{{L"/status", L"/repair"}, L"一次只能执行一个操作：/repair 是第二个。"},
                          Case{{L"/log:C:\\k.log"}, L"/log:C:\\k.log 需要与一个操作一起使用，例如 /repair。"},
                          Case{{L"/fix"}, L"无法识别的参数：/fix"}}) {
        console.err.clear();
        EXPECT_EQ(run(c.args), 2);
        ASSERT_FALSE(console.err.empty());
        EXPECT_EQ(console.err.front(), c.first);
    }
    log.refuse = 5;
    console.err.clear();
    EXPECT_EQ(run({L"/status", L"/log:Z:\\nope\\k.log"}), 2);
    EXPECT_EQ(console.err.size(), 1u); // no usage after the reason
}

TEST_F(CommandLineTest, ARepairThatClearedNothingSaysSoNotZeroFiles) {
    spooler(scm::kStopped, 2);
    EXPECT_EQ(run({L"/repair"}), 0);
    EXPECT_EQ(console.out.back(), L"修复完成：打印机后台服务正在运行，打印队列本已为空。");
    Outcome o;
    o.spoolerRunning = true;
    EXPECT_EQ(outcomeLine(Operation::Repair, o, w.strings), L"修复完成：队列本已为空，服务已运行。");
}

TEST_F(CommandLineTest, HelpListsEverySwitch) {
    EXPECT_EQ(run({L"/?"}), 0);
    std::wstring all;
    for (const auto& line : console.out) {
        all += line + L"\n";
    }
    // Every switch the parser takes, from its own table, as it is typed.
    ASSERT_GE(switches().size(), 15u);
    for (const Switch& sw : switches()) {
        const std::wstring typed = L"/" + std::wstring(sw.name) + (sw.takes == Takes::Value ? L":" : L"");
        EXPECT_NE(all.find(typed), std::wstring::npos) << std::string(typed.begin(), typed.end());
        // And the parser takes it as the usage shows it.
        const std::wstring example = typed + (sw.takes == Takes::Value ? L"x" : L"");
        std::vector<std::wstring> line{example};
        if (sw.modifier == Modifier::Keep || sw.modifier == Modifier::Discard) {
            line.push_back(L"/repair");
        } else if (sw.modifier == Modifier::Force) {
            line.push_back(L"/quarantine:x");
        } else if (sw.modifier != Modifier::None) {
            line.push_back(L"/status");
        }
        EXPECT_FALSE(parseArguments(line).invalid) << std::string(example.begin(), example.end());
    }
}

TEST_F(CommandLineTest, LogGetsEveryLineAndAnUnopenableLogIsAUsageError) {
    spooler(scm::kRunning, 2);
    EXPECT_EQ(run({L"/repair", L"/log:C:\\k.log"}), 0);
    EXPECT_EQ(log.path, L"C:\\k.log");
    EXPECT_EQ(log.lines, console.out);
    log.refuse = 5;
    console.out.clear();
    EXPECT_EQ(run({L"/status", L"/log:Z:\\nope\\k.log"}), 2);
    EXPECT_TRUE(console.out.empty());
    EXPECT_NE(console.err.front().find(L"error 5"), std::wstring::npos);
}

TEST_F(CommandLineTest, ALogThatFollowsALinkOrBelongsToAnotherAccountIsRefusedBeforeAnything) {
    auto& s = spooler(scm::kStopped, 3);
    w.files.addFile(spool, L"1.SPL");
    struct Case {
        const char* name;
        std::function<void(LogFileFacts&)> make;
        const wchar_t* says;
    };
    const std::vector<Case> cases{
        {"the file is a link", [](LogFileFacts& f) { f.fileIsLink = true; }, L"链接或连接点"},
        {"the folder lies behind a link", [](LogFileFacts& f) { f.folderReached = false; },
         L"链接或连接点"},
        {"a hard link", [](LogFileFacts& f) { f.names = 2; }, L"硬链接"},
        {"a file another account owns", [](LogFileFacts& f) { f.fileOwnerTrusted = false; },
         L"其他帐户"},
        {"a folder another account owns", [](LogFileFacts& f) { f.folderOwnerTrusted = false; },
         L"其他帐户"},
    };
    for (const Case& c : cases) {
        log.facts = LogFileFacts{};
        c.make(log.facts);
        console.err.clear();
        EXPECT_EQ(run({L"/repair", L"/log:C:\\ProgramData\\Kestrave\\repair.log"}), 2) << c.name;
        ASSERT_FALSE(console.err.empty()) << c.name;
        EXPECT_NE(console.err.front().find(L"C:\\ProgramData\\Kestrave\\repair.log"),
                  std::wstring::npos)
            << c.name;
        EXPECT_NE(console.err.front().find(c.says), std::wstring::npos) << c.name;
        EXPECT_TRUE(log.lines.empty()) << c.name;
        EXPECT_FALSE(log.open_) << c.name; // let go of, not written
    }
    EXPECT_EQ(s.state, scm::kStopped); // nothing was done
    EXPECT_EQ(w.files.deleteAttempts, 0);
    // Not elevated, another owner is no danger: only what the account could do anyway.
    log.facts = LogFileFacts{};
    log.facts.elevated = false;
    log.facts.fileOwnerTrusted = false;
    EXPECT_EQ(run({L"/status", L"/log:C:\\k.log"}), 1);
    EXPECT_EQ(log.lines.size(), 1u);
}

TEST_F(CommandLineTest, LinesFollowTheLanguage) {
    CliWorld inEnglish{world.spooler,       english,     console,  log,
                       world.systemMessage, w.diagnosis, w.session, w.eventLog};
    spooler(scm::kStopped, 3);
    EXPECT_EQ(runCommandLine(parseArguments({L"/status"}), inEnglish), 1);
    EXPECT_EQ(console.out.back(), L"Print spooler: stopped; start type: manual; files queued: 0");
}

} // namespace
