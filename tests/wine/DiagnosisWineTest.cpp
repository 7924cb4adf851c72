// The diagnosis against Wine's real registry, printers and logs.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "app/App.h"
#include "core/diagnosis/BoundedSources.h"
#include "core/diagnosis/Diagnosis.h"
#include "platform/win32/SystemMessage.h"
#include "platform/win32/Win32Console.h"
#include "tests/wine/WineSupport.h"
#include "windows/DiagnosisWindow.h"
#include "windows/MainWindow.h"

using namespace kestrave;

namespace {

constexpr wchar_t kProcessors[] =
    L"SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\Windows x64\\Print Processors";
constexpr wchar_t kMonitors[] = L"SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors";

// A plug-in entry pointing at a file that is not there, removed again afterwards.
struct PlantedPlugIn {
    std::wstring key;
    PlantedPlugIn(const std::wstring& parent, const std::wstring& name, const std::wstring& driver)
        : key(parent + L"\\" + name) {
        ::RegSetKeyValueW(HKEY_LOCAL_MACHINE, key.c_str(), L"Driver", REG_SZ, driver.c_str(),
                          static_cast<DWORD>((driver.size() + 1) * sizeof(wchar_t)));
    }
    ~PlantedPlugIn() { ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, key.c_str()); }
};

TEST(DiagnosisWine, PlantedPlugInsWithoutFilesAreProblemsAndTheCupsPrintersAreListed) {
    test::serviceTo(L"Spooler", SERVICE_RUNNING);
    const PlantedPlugIn processor(kProcessors, L"KestraveTestProc", L"kestrave-missing-proc.dll");
    const PlantedPlugIn monitor(kMonitors, L"Kestrave Test Monitor", L"kestrave-missing-mon.dll");
    App app{::GetModuleHandleW(nullptr)};
    DiagnosisWorld world{
        app.scm,       app.files,   app.registry,
        app.diagnosis, app.session, [](std::uint32_t code) { return win32::systemMessage(code); }};
    const ULONGLONG t0 = ::GetTickCount64();
    const Report report = diagnose(world, app.strings);
    const ULONGLONG took = ::GetTickCount64() - t0;
    std::wstring text;
    for (const std::wstring& line : report.lines(app.strings)) {
        text += line + L"\n";
    }
    // The report as printed, in UTF-8 like the command line's redirected output.
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                        nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), utf8.data(), n,
                          nullptr, nullptr);
    std::printf("diagnosis gathered in %llu ms under Wine:\n", took);
    std::fwrite(utf8.data(), 1, utf8.size(), stdout);
    std::fflush(stdout);
    EXPECT_EQ(report.problems(), 2u);
    EXPECT_NE(text.find(L"[!] KestraveTestProc 的文件 kestrave-missing-proc.dll 不存在"),
              std::wstring::npos);
    EXPECT_NE(text.find(L"[!] Kestrave Test Monitor 的文件 kestrave-missing-mon.dll 不存在"),
              std::wstring::npos);
    for (const wchar_t* printer : {L"KestraveA", L"KestraveB", L"打印机二"}) {
        EXPECT_NE(text.find(std::wstring(L"  ") + printer + L" — "), std::wstring::npos) << printer;
    }
    // Wine keeps no print service log: said in one line, as one with no entries or, where
    // it cannot be read at all, with the system's reason (never a bare number).
    const std::size_t log = text.find(L"PrintService/Admin 日志：插件错误（808/6161）：");
    ASSERT_NE(log, std::wstring::npos);
    const std::wstring said = text.substr(log, text.find(L'\n', log) - log);
    std::printf("%s\n", win32::toUtf8(said).c_str());
    EXPECT_TRUE(said.find(L"30 天内没有") != std::wstring::npos ||
                said.find(L"没有记录") != std::wstring::npos ||
                said.find(L"无法读取此日志（") != std::wstring::npos)
        << win32::toUtf8(said);
    EXPECT_EQ(said.find(L"（38）"), std::wstring::npos);
    EXPECT_EQ(said.find(L"(0)"), std::wstring::npos); // a failure never reads as success
    EXPECT_LT(took, 5000u); // generous for Wine; the benchmark has the figure
}

} // namespace

namespace {

// The system's sources, except that the printer list takes far longer than its bound, as
// one waiting on a print server that never answers.
struct SleepingPrinters : win32::Win32DiagnosisSources {
    std::vector<PrinterDetails> printers() override {
        ::Sleep(20000);
        return {};
    }
};

TEST(DiagnosisWine, TheWindowClosesWhileAGatheringIsHeldUpAndTheReportSaysWhatRanOut) {
    test::serviceTo(L"Spooler", SERVICE_RUNNING);
    App app{::GetModuleHandleW(nullptr)};
    SleepingPrinters sleeping;
    BoundedSources bounded(sleeping, app.threads, {1500, 5000});
    Platform platform{app.scm,   app.workstation, app.registry, app.ansi,    app.processes,
                      app.files, app.shell,       app.printers, app.network, app.session,
                      app.lock,  bounded,         app.threads,  app.strings, app.ui,
                      app.eventLog};
    MainWindow main(platform, app.currentPrinter);
    app.ui.show(main);
    DiagnosisWindow window(platform, main);
    std::wstring whileHeld;
    test::runSoon(
        [&] {
            HWND box = app.ui.hwndOf(window.reportBox);
            whileHeld = test::windowText(box);
            // The window answers while the gathering waits: moved, then closed by its caption's
            // close, as the user would.
            HWND form = app.ui.hwndOf(window);
            EXPECT_TRUE(::SetWindowPos(form, nullptr, 10, 10, 0, 0, SWP_NOSIZE | SWP_NOZORDER));
            ::PostMessageW(form, WM_CLOSE, 0, 0);
        },
        300);
    const ULONGLONG t0 = ::GetTickCount64();
    app.ui.showModal(window);
    const ULONGLONG open = ::GetTickCount64() - t0;
    std::printf("diagnosis window closed after %llu ms with the printer list held up\n", open);
    EXPECT_EQ(whileHeld, L"正在收集诊断信息……");
    EXPECT_LT(open, 1400u); // closed before the printers' bound ran out, let alone the sleep

    // Opened again: it waits for the same reading, which reports the printers ran out.
    test::runSoon([&] {}, 10);
    const ULONGLONG t1 = ::GetTickCount64();
    std::wstring report;
    std::function<void()> watch = [&] {
        if (window.gathering() && ::GetTickCount64() - t1 < 10000) {
            test::runSoon(watch, 100);
            return;
        }
        report = window.reportBox.caption();
        ::PostMessageW(app.ui.hwndOf(window), WM_CLOSE, 0, 0);
    };
    test::runSoon(watch, 100);
    app.ui.showModal(window);
    std::printf("%s\n", win32::toUtf8(report).c_str());
    EXPECT_NE(report.find(L"[!] 打印机列表在 2 秒内没有返回"), std::wstring::npos);
    app.ui.unload(main);
    test::pumpFor(50); // the main window's quit, taken here rather than by the next test's loop
}

} // namespace
