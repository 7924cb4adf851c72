// The diagnosis: each section's rules against the stand-ins.
#include <gtest/gtest.h>

#include <algorithm>

#include "core/diagnosis/Diagnosis.h"
#include "tests/fakes/FakeWorld.h"

using namespace kestrave;

namespace {

struct DiagnosisTest : ::testing::Test {
    test::FakeWorld w;
    const std::wstring spool = L"C:\\Windows\\System32\\spool\\PRINTERS";
    DiagnosisTest() {
        w.scm.add(L"Spooler", scm::kRunning).startType = 2;
        w.scm.add(L"RPCSS", scm::kRunning);
        w.scm.add(L"http", scm::kRunning);
        w.files.folders[spool] = fileattr::kDirectory;
    }
    Report run() {
        DiagnosisWorld world{
            w.scm,      w.files,
            w.registry, w.bounded,
            w.session,  [](std::uint32_t code) {
                                 return L"error " + std::to_wstring(code); }};
        return diagnose(world, w.strings);
    }
    // The findings of a kind whose text contains the fragment.
    static std::size_t count(const Report& r, Finding::Kind kind, const std::wstring& fragment) {
        std::size_t n = 0;
        for (const auto& s : r.sections) {
            for (const auto& f : s.findings) {
                n += f.kind == kind && f.text.find(fragment) != std::wstring::npos ? 1 : 0;
            }
        }
        return n;
    }
};

TEST_F(DiagnosisTest, AHealthySpoolerHasNoProblemAndEightSections) {
    const Report r = run();
    EXPECT_EQ(r.problems(), 0u);
    ASSERT_EQ(r.sections.size(), 8u); // the quarantine, then printing to shared printers
    const auto lines = r.lines(w.strings);
    EXPECT_EQ(lines[2], L"未发现问题。");
    EXPECT_EQ(count(r, Finding::Kind::Info, L"状态：正在运行；启动类型：自动"), 1u);
    EXPECT_EQ(w.diagnosis.askedDisplayName, L"Print Spooler"); // events looked up by its name
}

TEST_F(DiagnosisTest, ADependencyThatDoesNotExistIsAProblem) {
    w.diagnosis.spooler->dependsOn = {L"RPCSS", L"+SomeGroup", L"LostService"};
    const Report r = run();
    EXPECT_EQ(r.problems(), 1u);
    EXPECT_EQ(count(r, Finding::Kind::Problem, L"LostService"), 1u);
    EXPECT_EQ(count(r, Finding::Kind::Problem, L"1075"), 1u);
    EXPECT_EQ(count(r, Finding::Kind::Problem, L"SomeGroup"), 0u); // a group, not a service
}

TEST_F(DiagnosisTest, AForeignImageIsAProblemTheSystemsOwnUnderAnyNameIsNot) {
    w.diagnosis.spooler->imagePath = L"%SystemRoot%\\System32\\SPOOLSV.EXE";
    EXPECT_EQ(run().problems(), 0u);
    w.diagnosis.spooler->imagePath = L"\"C:\\Windows\\System32\\spoolsv.exe\" -k";
    EXPECT_EQ(run().problems(), 0u);
    w.diagnosis.spooler->imagePath = L"C:\\Temp\\spoolsv.exe";
    EXPECT_EQ(count(run(), Finding::Kind::Problem, L"C:\\Temp\\spoolsv.exe"), 1u);
}

TEST_F(DiagnosisTest, AMissingPlugInFileIsAProblemAForeignMakerANote) {
    w.diagnosis.processors.push_back({L"ThirdPartyProc", L"tpproc.dll", {}});
    w.diagnosis.monitors.push_back({L"Vendor Port", L"vendormon.dll", {}});
    w.diagnosis.files[L"vendormon.dll"] = {true, L"Vendor Inc."};
    const Report r = run();
    EXPECT_EQ(r.problems(), 1u);
    EXPECT_EQ(count(r, Finding::Kind::Problem, L"tpproc.dll"), 1u);
    EXPECT_EQ(count(r, Finding::Kind::Note, L"Vendor Inc."), 1u);
    EXPECT_EQ(count(r, Finding::Kind::Note, L"winprint.dll"), 0u);
}

TEST_F(DiagnosisTest, OldFilesMatterOnlyWhileTheSpoolerRuns) {
    w.diagnosis.queued[spool] = {{L"old.SPL", 100, 2 * 86400}, {L"new.SPL", 50, 60}};
    Report r = run();
    EXPECT_EQ(count(r, Finding::Kind::Problem, L"1 个文件超过一天"), 1u);
    EXPECT_EQ(count(r, Finding::Kind::Info, L"文件：2；大小：150 字节；最旧：48 小时前"), 1u);
    w.scm.services[L"Spooler"].state = scm::kStopped;
    r = run();
    EXPECT_EQ(count(r, Finding::Kind::Problem, L"超过一天"), 0u);
    EXPECT_EQ(count(r, Finding::Kind::Problem, L"没有运行"), 1u);
}

TEST_F(DiagnosisTest, TheQueuedJobsAreListedByTheirFilesWhereTheirShadowIsNotRead) {
    w.diagnosis.queued[spool] = {{L"FP00003.SPL", 100, 60}, {L"FP00003.SHD", 8, 60}};
    w.files.addFile(spool, L"FP00003.SPL", fileattr::kArchive, 100);
    w.files.addFileWith(spool, L"FP00003.SHD", {0x68, 0x49, 0, 0, 1, 0, 0, 0});
    const auto lines = run().lines(w.strings);
    const auto heading = std::find(lines.begin(), lines.end(), L"  队列中的打印作业：");
    ASSERT_NE(heading, lines.end());
    ASSERT_NE(heading + 1, lines.end());
    EXPECT_EQ((heading + 1)->rfind(L"    FP00003.SPL，FP00003.SHD（108 字节，", 0), 0u)
        << *(heading + 1);
    // An empty queue lists no job.
    w.files.entries[spool].clear();
    w.diagnosis.queued[spool].clear();
    const auto empty = run().lines(w.strings);
    EXPECT_EQ(std::find(empty.begin(), empty.end(), L"  队列中的打印作业："), empty.end());
}

TEST_F(DiagnosisTest, AMissingFolderOrServiceIsAProblem) {
    w.files.folders.erase(spool);
    EXPECT_EQ(count(run(), Finding::Kind::Problem, L"队列文件夹"), 1u);
    w.scm.services.erase(L"Spooler");
    const Report r = run();
    EXPECT_EQ(count(r, Finding::Kind::Problem, L"没有打印机后台服务"), 1u);
}

TEST_F(DiagnosisTest, PrintersInTroubleAndLogsAreReported) {
    w.diagnosis.printerList = {{L"Office", L"PCL6", L"IP_10.0.0.5", 0, 2},
                               {L"Label", L"ZPL", L"USB001", 0x1 | 0x80, 0}};
    w.diagnosis.failures = {true, 0, 3, L"2026-12-01 08:00"};
    w.diagnosis.pluginErrors = {false, 1168, 0, L""};
    const Report r = run();
    EXPECT_EQ(count(r, Finding::Kind::Info,
                    L"Office — 驱动：PCL6；端口：IP_10.0.0.5；状态：就绪；作业：2"),
              1u);
    EXPECT_EQ(count(r, Finding::Kind::Problem, L"打印机 Label：已暂停，脱机。"), 1u);
    EXPECT_EQ(count(r, Finding::Kind::Problem, L"30 天内意外终止 3 次"), 1u);
    // A real failure in the system's words; the end of the log reached is an empty log.
    EXPECT_EQ(count(r, Finding::Kind::Info, L"无法读取此日志（error 1168）"), 1u);
    EXPECT_EQ(r.problems(), 2u);
    // Problems come first in the text.
    const auto lines = r.lines(w.strings);
    EXPECT_EQ(lines[2], L"发现的问题：");
    EXPECT_EQ(lines[3].rfind(L"  [!] ", 0), 0u);
    w.diagnosis.printersFail = true;
    EXPECT_EQ(count(run(), Finding::Kind::Info, L"无法读取打印机列表：error 1722"), 1u);
    w.diagnosis.pluginErrors = {false, 38, 0, L""};
    const Report empty = run();
    EXPECT_EQ(count(empty, Finding::Kind::Info, L"无法读取此日志"), 0u);
    EXPECT_EQ(count(empty, Finding::Kind::Info, L"插件错误（808/6161）：没有记录"), 1u);
}

TEST_F(DiagnosisTest, PoliciesAreShown) {
    w.diagnosis.restrict = 1;
    w.session.windowsManages = true;
    const Report r = run();
    EXPECT_EQ(count(r, Finding::Kind::Info, L"RestrictDriverInstallationToAdministrators = 1"), 1u);
    EXPECT_EQ(count(r, Finding::Kind::Info, L"Windows 管理默认打印机：是"), 1u);
}

} // namespace

#include "windows/DiagnosisWindow.h"
#include "windows/MainWindow.h"

namespace {

TEST_F(DiagnosisTest, TheMenuOpensTheReportWithCopyAndSave) {
    w.diagnosis.processors.push_back({L"ThirdPartyProc", L"tpproc.dll", {}});
    CurrentPrinter printer(w.printers);
    MainWindow main(w.platform, printer);
    w.ui.show(main);
    std::wstring shown;
    w.ui.whileModal = [&](ui::Form& f) {
        auto& window = static_cast<DiagnosisWindow&>(f);
        shown = window.reportBox.caption();
        window.fire(window.copyButton.onClick);
        window.fire(window.saveButton.onClick);
        w.ui.saveResult = 1223; // cancelled: nothing said
        window.fire(window.saveButton.onClick);
        w.ui.saveResult = 5; // refused: said, with the reason
        window.fire(window.saveButton.onClick);
    };
    const auto& items = main.consoleMenu.items();
    const auto item = std::find_if(items.begin(), items.end(),
                                   [](const ui::MenuItem& i) { return i.name == L"diagnosis"; });
    ASSERT_NE(item, items.end());
    EXPECT_EQ(item->caption, L"诊断报告...");
    main.fire(item->onClick);
    EXPECT_EQ(w.ui.modalShown, std::vector<std::wstring>{L"DiagnosisWindow"});
    EXPECT_EQ(shown.rfind(L"Kestrave 诊断报告\r\n\r\n发现的问题：\r\n  [!] ", 0), 0u);
    EXPECT_NE(shown.find(L"tpproc.dll"), std::wstring::npos);
    EXPECT_EQ(w.ui.copied, std::vector<std::wstring>{shown});
    ASSERT_EQ(w.ui.saved.size(), 1u);
    EXPECT_EQ(w.ui.saved[0], L"Kestrave.txt|" + shown);
    ASSERT_EQ(w.ui.boxes.size(), 1u);
    EXPECT_EQ(w.ui.boxes[0].text, L"无法保存报告：error 5");
}

} // namespace

namespace {

TEST_F(DiagnosisTest, AStartThatDiedSaysWhyAndTheWordsSayWhatHappened) {
    auto& s = w.scm.services[L"Spooler"];
    s.state = scm::kStopped;
    s.exitCode = 1053;
    EXPECT_EQ(count(run(), Finding::Kind::Problem, L"上次启动后停止了，原因：error 1053"), 1u);
    s.exitCode = 1066;
    s.specificExitCode = 87;
    EXPECT_EQ(count(run(), Finding::Kind::Problem, L"原因：服务自己的错误代码 87"), 1u);
    s.exitCode = 0; // stopped on request: nothing to explain
    EXPECT_EQ(count(run(), Finding::Kind::Problem, L"上次启动后停止了"), 0u);
}

} // namespace

namespace {

TEST_F(DiagnosisTest, PrintersWithFoldersOfTheirOwnAreLookedAt) {
    const std::wstring key = L"SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\";
    w.diagnosis.printerList = {{L"Office", L"PCL6", L"IP_10.0.0.5", 0, 0},
                               {L"Label", L"ZPL", L"USB001", 0, 0},
                               {L"Plotter", L"HPGL", L"LPT1:", 0, 0}};
    w.registry.setString(key + L"Office", L"SpoolDirectory", L"D:\\OfficeQueue");
    w.registry.setString(key + L"Label", L"SpoolDirectory", L"D:\\Gone");
    w.registry.setString(key + L"Plotter", L"SpoolDirectory", L"D:\\Linked");
    w.files.addFile(L"D:\\OfficeQueue", L"1.SPL");
    w.files.folders[L"D:\\Linked"] = fileattr::kDirectory | fileattr::kReparsePoint;
    w.diagnosis.queued[L"D:\\OfficeQueue"] = {{L"1.SPL", 2048, 7200}, {L"1.SHD", 1024, 3600}};
    const Report r = run();
    EXPECT_EQ(
        count(r, Finding::Kind::Info,
              L"Office 的队列文件夹：D:\\OfficeQueue；文件：2；大小：3,072 字节；最旧：2 小时前"),
        1u);
    EXPECT_EQ(count(r, Finding::Kind::Problem, L"打印机 Label 的队列文件夹 D:\\Gone 不存在"), 1u);
    EXPECT_EQ(count(r, Finding::Kind::Problem, L"打印机 Plotter 的队列文件夹 D:\\Linked 是链接"),
              1u);
}

} // namespace
