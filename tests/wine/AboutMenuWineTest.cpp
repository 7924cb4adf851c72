#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "about/FrmAbout.h"
#include "mainwindow/Form1.h"
#include "platform/fake/FakeShell.h"
#include "platform/win32/Win32App.h"
#include "sysutil/ModOpenUrl.h"
#include "tests/wine/WineSupport.h"

using namespace kestrave;

namespace {

std::function<void()> pendingCheck;
void CALLBACK runPendingCheck(HWND, UINT, UINT_PTR id, DWORD) {
    ::KillTimer(nullptr, id);
    auto check = std::move(pendingCheck);
    pendingCheck = nullptr;
    if (check) {
        check();
    }
}

HWND findForm(const wchar_t* caption) {
    return ::FindWindowW(L"KestraveForm", caption);
}

struct AboutMenuWine : ::testing::Test {
    win32::Win32App app{::GetModuleHandleW(nullptr)};
    Form1 form{app.platform, app.currentPrinter};
    void SetUp() override {
        test::serviceTo(L"Spooler", SERVICE_STOPPED);
        app.ui.show(form);
    }
    void TearDown() override {
        if (form.loaded()) {
            app.ui.unload(form);
        }
        test::pumpFor(50);
    }
    // Runs check from inside whatever modal loop is running 300 ms from now.
    void later(std::function<void()> check, UINT ms = 300) {
        pendingCheck = std::move(check);
        ::SetTimer(nullptr, 0, ms, runPendingCheck);
    }
    // Handles messages through the program's own loop, so F1 reaches the window first.
    void pumpProgram(int ms) {
        const ULONGLONG until = ::GetTickCount64() + static_cast<ULONGLONG>(ms);
        while (::GetTickCount64() < until) {
            MSG msg;
            while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                app.ui.pump(msg);
            }
            ::MsgWaitForMultipleObjectsEx(0, nullptr, 20, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        }
    }
};

TEST_F(AboutMenuWine, F1OnAFocusedButtonOpensTheAboutWindow) {
    HWND button = app.ui.hwndOf(form.Command2);
    ::SetFocus(button);
    bool seen = false;
    later([&] {
        HWND about = findForm(L"关于 Kestrave");
        seen = about != nullptr;
        EXPECT_FALSE(::IsWindowEnabled(app.ui.hwndOf(form))); // modal: the main window waits
        ::SendMessageW(app.ui.hwndOf(form), WM_CLOSE, 0, 0);
        EXPECT_TRUE(form.loaded()); // and cannot be closed meanwhile
        FrmAbout& a = *form.aboutForTest();
        EXPECT_EQ(test::windowText(app.ui.hwndOf(a.Label1[0])), L"Kestrave 1.0.0");
        for (std::size_t i = 3; i <= 5; ++i) {
            const ui::Control& prev = a.Label1[i - 1];
            EXPECT_EQ(a.Label1[i].left(), prev.left() + prev.width() + 80);
            RECT r{};
            RECT p{};
            ::GetWindowRect(app.ui.hwndOf(a.Label1[i]), &r);
            ::GetWindowRect(app.ui.hwndOf(prev), &p);
            // 80 twips are 5.33 pixels at 96 dpi: allow the rounding of both edges.
            EXPECT_NEAR(r.left - p.right, 5, 1) << i;
        }
        // F1 again inside the about window opens no second one.
        ::PostMessageW(app.ui.hwndOf(a.Label1[0]), WM_KEYDOWN, VK_F1, 0);
        later([&] {
            int count = 0;
            for (HWND h = nullptr;
                 (h = ::FindWindowExW(nullptr, h, L"KestraveForm", L"关于 Kestrave")) != nullptr;) {
                ++count;
            }
            EXPECT_EQ(count, 1);
            ::PostMessageW(findForm(L"关于 Kestrave"), WM_CLOSE, 0, 0);
        });
    });
    ::PostMessageW(button, WM_KEYDOWN, VK_F1, 0);
    pumpProgram(1500);
    EXPECT_TRUE(seen);
    EXPECT_EQ(findForm(L"关于 Kestrave"), nullptr);
    EXPECT_TRUE(::IsWindowEnabled(app.ui.hwndOf(form)));
    // Shift+F1 too.
    seen = false;
    later([&] {
        seen = findForm(L"关于 Kestrave") != nullptr;
        ::PostMessageW(findForm(L"关于 Kestrave"), WM_CLOSE, 0, 0);
    });
    ::PostMessageW(app.ui.hwndOf(form.Command1), WM_SYSKEYDOWN, VK_F1, 1 << 29);
    pumpProgram(1000);
    EXPECT_TRUE(seen);
}

TEST_F(AboutMenuWine, FourthMenuCommandOpensTheDefaultPrinterDialog) {
    bool seen = false;
    later([&] {
        seen = findForm(L"默认打印机设置") != nullptr;
        ::PostMessageW(findForm(L"默认打印机设置"), WM_CLOSE, 0, 0);
    });
    ::PostMessageW(app.ui.hwndOf(form), WM_COMMAND, MAKEWPARAM(1003, 0), 0);
    pumpProgram(1000);
    EXPECT_TRUE(seen);
}

TEST_F(AboutMenuWine, DevicesAndPrintersButtonIsGreyedWhileCmdRuns) {
    bool greyedDuring = false;
    later([&] { greyedDuring = !::IsWindowEnabled(app.ui.hwndOf(form.Command3)); }, 20);
    const ULONGLONG t0 = ::GetTickCount64();
    ::SendMessageW(app.ui.hwndOf(form.Command3), BM_CLICK, 0, 0);
    const ULONGLONG took = ::GetTickCount64() - t0;
    std::printf("Devices and Printers: cmd.exe ran %llu ms under Wine\n", took);
    ASSERT_GT(took, 40u);
    EXPECT_TRUE(greyedDuring);
    EXPECT_TRUE(::IsWindowEnabled(app.ui.hwndOf(form.Command3)));
}

TEST_F(AboutMenuWine, ShellRefusalShowsTheBrowserMessage) {
    fake::FakeShell shell;
    shell.result = 32;
    test::MessageBoxCloser closer;
    ModOpenUrl(shell, app.ansi, app.ui).OpenUrl(L"https://www.example.com/");
    shell.result = 33;
    ModOpenUrl(shell, app.ansi, app.ui).OpenUrl(L"https://www.example.com/");
    test::pumpFor(300);
    const auto boxes = closer.seen();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].title, L"Error:");
    EXPECT_EQ(boxes[0].text, L"Invoking browser error !");
}

// What Wine's own shell answers for a web address: recorded, and the message box agrees.
TEST_F(AboutMenuWine, RealShellAnswerDecidesTheMessage) {
    test::MessageBoxCloser closer;
    const auto answer = app.shell.ShellExecuteA(0, "open", "https://www.example.com/kestrave/",
                                                nullptr, nullptr, 0);
    std::printf("ShellExecuteA(open, https URL) under Wine: %lld\n",
                static_cast<long long>(answer));
    ModOpenUrl(app.shell, app.ansi, app.ui).OpenUrl(L"https://www.example.com/kestrave/");
    test::pumpFor(300);
    EXPECT_EQ(closer.seen().size(), answer <= 32 ? 1u : 0u);
}

} // namespace
