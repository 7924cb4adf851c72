// The diagnosis read away from the window: sources that hang are waited for only so long,
// said in their section, never asked twice at once; the window stays closable meanwhile.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "cli/CommandLineRun.h"
#include "core/diagnosis/Diagnosis.h"
#include "tests/fakes/FakeConsole.h"
#include "tests/fakes/FakeWorld.h"
#include "windows/DiagnosisWindow.h"
#include "windows/MainWindow.h"

using namespace kestrave;
using namespace std::chrono_literals;

namespace {

struct DiagnosisGatheringTest : ::testing::Test {
    test::FakeWorld w;
    DiagnosisGatheringTest() {
        w.scm.add(L"Spooler", scm::kRunning).startType = 2;
        w.scm.add(L"RPCSS", scm::kRunning);
        w.scm.add(L"http", scm::kRunning);
        w.diagnosis.printerList = {{L"Office", L"PCL6", L"IP_10.0.0.5", 0, 0}};
    }
    std::wstring report(IDiagnosisSources& sources, const IStringTable& strings) {
        DiagnosisWorld world{w.scm,     w.files, w.registry, sources,
                             w.session, [](std::uint32_t code) {
                                 return L"error " + std::to_wstring(code);
                             }};
        std::wstring text;
        for (const std::wstring& line : diagnose(world, strings).lines(strings)) {
            text += line + L"\n";
        }
        return text;
    }
    static bool has(const std::wstring& text, const std::wstring& part) {
        return text.find(part) != std::wstring::npos;
    }
};

TEST_F(DiagnosisGatheringTest, AHangingSourceIsSaidInItsSectionAndNeverAskedTwiceAtOnce) {
    BoundedSources bounded(w.diagnosis, w.threads, {150, 150});
    w.diagnosis.holdPrinters = true;
    w.diagnosis.holdLogs = true;
    const auto t0 = std::chrono::steady_clock::now();
    const std::wstring zh = report(bounded, w.strings);
    // Three bounded calls of 150 ms: nowhere near the hang, which is for ever.
    EXPECT_LT(std::chrono::steady_clock::now() - t0, 3s);
    EXPECT_TRUE(has(zh, L"  [!] 打印机列表在 1 秒内没有返回：可能有打印机连接指向无响应的打印服务器"))
        << zh;
    EXPECT_TRUE(has(zh, L"系统日志：打印机后台服务意外终止（7031/7034）：1 秒内没有回应"))
        << zh;
    EXPECT_TRUE(has(zh, L"PrintService/Admin 日志：插件错误（808/6161）：1 秒内没有回应"));
    EXPECT_EQ(w.diagnosis.printersAsked, 1);

    // Asked again while the first call still hangs: that call is waited for, not repeated.
    const fake::FakeStringTable english(fake::FakeStringTable::Language::English);
    const std::wstring en = report(bounded, english);
    EXPECT_EQ(w.diagnosis.printersAsked, 1);
    EXPECT_TRUE(has(en, L"The printer list did not come within 1 s:")) << en;
    EXPECT_TRUE(has(en, L"no answer within 1 s")) << en;

    // Once it answers, the printers are there again (its answer, or a new one once it ended).
    w.diagnosis.holdPrinters = false;
    w.diagnosis.holdLogs = false;
    w.diagnosis.letGo.raise();
    EXPECT_TRUE(has(report(bounded, w.strings), L"Office — 驱动：PCL6"));
    EXPECT_LE(w.diagnosis.printersAsked, 2);
}

TEST_F(DiagnosisGatheringTest, TheWindowClosesAtOnceWhileAGatheringHangsAndWaitsForItWhenReopened) {
    CurrentPrinter printer(w.printers);
    MainWindow main(w.platform, printer);
    w.ui.show(main);
    w.diagnosis.holdPrinters = true;
    std::vector<std::wstring> shown;
    std::chrono::steady_clock::duration open{};
    w.ui.whileModal = [&](ui::Form& f) {
        auto& window = static_cast<DiagnosisWindow&>(f);
        shown.push_back(window.reportBox.caption());
        EXPECT_TRUE(window.gathering());
        EXPECT_FALSE(window.copyButton.enabled());
        EXPECT_FALSE(window.saveButton.enabled());
        const auto t0 = std::chrono::steady_clock::now();
        window.fire(window.closeButton.onClick);
        open = std::chrono::steady_clock::now() - t0;
        EXPECT_FALSE(window.loaded());
    };
    const auto t0 = std::chrono::steady_clock::now();
    main.showDiagnosis();
    EXPECT_LT(std::chrono::steady_clock::now() - t0, 2s); // the bound is 5 s
    EXPECT_LT(open, 1s);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0], L"正在收集诊断信息……");
    const int threadsAfterFirst = w.threads.started;

    // Opened again while the first reading still hangs: no second reading starts.
    main.showDiagnosis();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1], L"正在收集诊断信息……");
    EXPECT_EQ(w.threads.started, threadsAfterFirst);
    EXPECT_EQ(w.diagnosis.printersAsked, 1);

    // Let go, the reading ends; an opening shows that report as soon as it is in.
    w.diagnosis.letGo.raise();
    w.ui.whileModal = [&](ui::Form& f) {
        auto& window = static_cast<DiagnosisWindow&>(f);
        for (int i = 0; i < 500 && window.gathering(); ++i) {
            std::this_thread::sleep_for(10ms);
            window.gatherTimer.tick();
        }
        shown.push_back(window.reportBox.caption());
        EXPECT_TRUE(window.copyButton.enabled());
    };
    main.showDiagnosis();
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_TRUE(has(shown[2], L"Office — 驱动：PCL6")) << shown[2];
}

// What a new user reads, in both languages: one problem is singular, a file without a
// version record has no maker information, an empty log has no entries.
TEST_F(DiagnosisGatheringTest, TheWordsSayWhatHappenedInBothLanguages) {
    w.files.folders[L"C:\\Windows\\System32\\spool\\PRINTERS"] = fileattr::kDirectory;
    w.diagnosis.files[L"winprint.dll"] = {true, L""};
    w.diagnosis.pluginErrors = {false, 38, 0, L""};
    const fake::FakeStringTable english(fake::FakeStringTable::Language::English);
    struct Case {
        const IStringTable& strings;
        std::wstring one, two, noMaker, empty;
    };
    for (const Case& c : {Case{w.strings, L"诊断完成：发现 1 个问题。", L"诊断完成：发现 2 个问题。",
                               L"winprint.dll（无厂商信息）", L"插件错误（808/6161）：没有记录"},
                          Case{english, L"Diagnosis: 1 problem found.",
                               L"Diagnosis: 2 problems found.", L"winprint.dll (no maker information)",
                               L"(808/6161): no entries"}}) {
        fake::FakeConsole console;
        fake::FakeLogFile log;
        cli::CliWorld world{{w.scm, w.registry, w.processes, w.files, w.ui, w.lock},
                            c.strings,
                            console,
                            log,
                            [](std::uint32_t code) { return L"error " + std::to_wstring(code); },
                            w.bounded,
                            w.session,
                            w.eventLog};
        w.diagnosis.printerList = {{L"Office", L"PCL6", L"IP_10.0.0.5", 0x80, 0}}; // offline
        EXPECT_EQ(cli::runCommandLine(cli::parseArguments({L"/diagnose"}), world), 1);
        EXPECT_EQ(console.out.back(), c.one);
        std::wstring text;
        for (const std::wstring& line : console.out) {
            text += line + L"\n";
        }
        EXPECT_TRUE(has(text, c.noMaker)) << text;
        EXPECT_TRUE(has(text, c.empty)) << text;
        w.diagnosis.printerList.push_back({L"Label", L"ZPL", L"USB001", 0x80, 0});
        EXPECT_EQ(cli::runCommandLine(cli::parseArguments({L"/diagnose"}), world), 1);
        EXPECT_EQ(console.out.back(), c.two);
    }
}

} // namespace
