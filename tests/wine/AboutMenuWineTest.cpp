#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "windows/AboutWindow.h"
#include "windows/DefaultPrinterDialog.h"
#include "windows/DiagnosisWindow.h"
#include "windows/MainWindow.h"
#include "tests/fakes/FakeShell.h"
#include "app/App.h"
#include "tests/common/Win32TestHelpers.h"
#include "tests/wine/StandInConsole.h"
#include "tests/wine/WineSupport.h"

using namespace kestrave;

namespace {

HWND findForm(const wchar_t* caption) {
    return ::FindWindowW(L"KestraveForm", caption);
}

struct AboutMenuWine : ::testing::Test {
    App app{::GetModuleHandleW(nullptr)};
    MainWindow form{app.platform, app.currentPrinter};
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
    void later(std::function<void()> check, UINT ms = 300) { test::runSoon(std::move(check), ms); }
    // Runs check from inside the modal loop once the window of that title is open, or after
    // five seconds without it: a loaded machine may take longer than a fixed wait.
    void whenOpen(const wchar_t* title, std::function<void()> check, ULONGLONG since = 0) {
        since = since != 0 ? since : ::GetTickCount64();
        later(
            [this, title, check, since] {
                if (findForm(title) == nullptr && ::GetTickCount64() - since < 5000) {
                    whenOpen(title, check, since);
                    return;
                }
                check();
            },
            50);
    }
    // From inside the menu's loop, once it is up: where it stands; then Esc dismisses it.
    void whereTheMenuOpens(RECT& out) {
        later([&out] {
            HWND popup = ::FindWindowW(L"#32768", nullptr);
            ASSERT_NE(popup, nullptr);
            ::GetWindowRect(popup, &out);
            ::PostMessageW(popup, WM_KEYDOWN, VK_ESCAPE, 0);
        });
    }
    // Handles messages through the program's own loop until done() or ms have passed.
    template <typename Done> void pumpProgramUntil(Done done, int ms) {
        const ULONGLONG until = ::GetTickCount64() + static_cast<ULONGLONG>(ms);
        while (!done() && ::GetTickCount64() < until) {
            pumpProgram(20);
        }
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
    HWND button = app.ui.hwndOf(form.disableButton);
    ::SetFocus(button);
    bool seen = false;
    bool closed = false;
    whenOpen(L"关于 Kestrave", [&] {
        HWND about = findForm(L"关于 Kestrave");
        seen = about != nullptr;
        EXPECT_FALSE(::IsWindowEnabled(app.ui.hwndOf(form))); // modal: the main window waits
        ::SendMessageW(app.ui.hwndOf(form), WM_CLOSE, 0, 0);
        EXPECT_TRUE(form.loaded()); // and cannot be closed meanwhile
        // The labels as the user sees them, found by their texts.
        const auto label = [&](const wchar_t* text) {
            return ::FindWindowExW(about, nullptr, L"KestraveLabel", text);
        };
        ASSERT_NE(label(L"Kestrave 1.0.0"), nullptr);
        HWND row[] = {label(L"免费软件 |"), label(L"example.com"), label(L"|"), label(L"赞助我们")};
        for (std::size_t i = 1; i < 4; ++i) {
            RECT r{};
            RECT p{};
            ::GetWindowRect(row[i], &r);
            ::GetWindowRect(row[i - 1], &p);
            // 80 twips are 5.33 pixels at 96 dpi: allow the rounding of both edges.
            EXPECT_NEAR(r.left - p.right, 5, 1) << i;
        }
        // F1 again inside the about window opens no second one.
        ::PostMessageW(label(L"Kestrave 1.0.0"), WM_KEYDOWN, VK_F1, 0);
        later([&] {
            int count = 0;
            for (HWND h = nullptr;
                 (h = ::FindWindowExW(nullptr, h, L"KestraveForm", L"关于 Kestrave")) != nullptr;) {
                ++count;
            }
            EXPECT_EQ(count, 1);
            ::PostMessageW(findForm(L"关于 Kestrave"), WM_CLOSE, 0, 0);
            closed = true;
        });
    });
    ::PostMessageW(button, WM_KEYDOWN, VK_F1, 0);
    pumpProgramUntil([&] { return closed && findForm(L"关于 Kestrave") == nullptr; }, 8000);
    EXPECT_TRUE(seen);
    EXPECT_EQ(findForm(L"关于 Kestrave"), nullptr);
    EXPECT_TRUE(::IsWindowEnabled(app.ui.hwndOf(form)));
    // Shift+F1 too.
    seen = false;
    closed = false;
    whenOpen(L"关于 Kestrave", [&] {
        seen = findForm(L"关于 Kestrave") != nullptr;
        ::PostMessageW(findForm(L"关于 Kestrave"), WM_CLOSE, 0, 0);
        closed = true;
    });
    ::PostMessageW(app.ui.hwndOf(form.repairButton), WM_SYSKEYDOWN, VK_F1, 1 << 29);
    pumpProgramUntil([&] { return closed && findForm(L"关于 Kestrave") == nullptr; }, 8000);
    EXPECT_TRUE(seen);
}

TEST_F(AboutMenuWine, TheDefaultPrinterCommandOpensItsDialog) {
    bool seen = false;
    // Where the command stands in the menu, wherever that is.
    const auto& items = form.consoleMenu.items();
    const auto at = std::find_if(items.begin(), items.end(),
                                 [](const ui::MenuItem& i) { return i.name == L"defaultPrinter"; });
    ASSERT_NE(at, items.end());
    const int downs = static_cast<int>(at - items.begin()) + 1;
    // Inside the menu's own loop: the item, chosen with the keyboard.
    later([&] {
        HWND popup = ::FindWindowW(L"#32768", nullptr);
        ASSERT_NE(popup, nullptr);
        for (int i = 0; i < downs; ++i) {
            ::PostMessageW(popup, WM_KEYDOWN, VK_DOWN, 0);
        }
        ::PostMessageW(popup, WM_KEYDOWN, VK_RETURN, 0);
        later([&] {
            seen = findForm(L"默认打印机设置") != nullptr;
            ::PostMessageW(findForm(L"默认打印机设置"), WM_CLOSE, 0, 0);
        });
    });
    ::PostMessageW(app.ui.hwndOf(form.menuButton), BM_CLICK, 0, 0);
    pumpProgram(1500);
    EXPECT_TRUE(seen);
    // A command id no menu handed out does nothing.
    ::PostMessageW(app.ui.hwndOf(form), WM_COMMAND, MAKEWPARAM(1003, 0), 0);
    ::PostMessageW(app.ui.hwndOf(form), WM_COMMAND, MAKEWPARAM(1099, 0), 0);
    pumpProgram(500);
    EXPECT_EQ(findForm(L"默认打印机设置"), nullptr);
}

// Opened from the keyboard, the menu appears under its button; from a click, at the pointer.
TEST_F(AboutMenuWine, TheMenuOpenedFromTheKeyboardAppearsUnderItsButton) {
    HWND button = app.ui.hwndOf(form.menuButton);
    RECT under{};
    ::GetWindowRect(button, &under);
    ::SetCursorPos(5, 5); // far from the button
    RECT menu{};
    whereTheMenuOpens(menu);
    // A key comes last (as Space would, released on the button), then the button's click.
    ::PostMessageW(button, WM_KEYUP, VK_SPACE, 0xC0000001);
    ::PostMessageW(button, BM_CLICK, 0, 0);
    pumpProgram(1200);
    EXPECT_NEAR(menu.left, under.left, 2);
    EXPECT_TRUE(menu.top >= under.bottom - 1 || menu.bottom <= under.top + 1)
        << menu.top << " " << under.bottom; // below, or above where the screen ends
    EXPECT_GT(menu.right, menu.left);
    // A click opens it at the pointer, as before.
    ::SetCursorPos(under.left + 3, under.top + 3);
    RECT clicked{};
    whereTheMenuOpens(clicked);
    const LPARAM at = MAKELPARAM(3, 3);
    ::PostMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::PostMessageW(button, WM_LBUTTONUP, 0, at);
    pumpProgram(1200);
    EXPECT_NEAR(clicked.left, under.left + 3, 2);
    EXPECT_NEAR(clicked.top, under.top + 3, 2);
}

// Esc closes the about window, the diagnosis window and the default-printer dialog, as Cancel
// would; Alt+F4 too. The main window is not closed by Esc.
TEST_F(AboutMenuWine, EscAndAltF4CloseTheSecondaryWindows) {
    for (const bool altF4 : {false, true}) {
        AboutWindow about(app.platform, form);
        DiagnosisWindow diagnosis(app.platform, form);
        DefaultPrinterDialog dialog(app.platform, app.currentPrinter, form);
        for (ui::Form* modal : {static_cast<ui::Form*>(&about), static_cast<ui::Form*>(&diagnosis),
                                static_cast<ui::Form*>(&dialog)}) {
            // The key is sent from inside the modal loop; should it fail, the window is
            // closed a while later all the same, and that counts against it.
            bool forced = false;
            later(
                [&] {
                    const HWND target = app.ui.hwndOf(*modal);
                    if (altF4) {
                        ::PostMessageW(target, WM_SYSKEYDOWN, VK_F4, 1 << 29);
                    } else {
                        ::PostMessageW(target, WM_KEYDOWN, VK_ESCAPE, 0);
                    }
                    later(
                        [&forced, &app = app, m = modal] {
                            if (m->loaded()) {
                                forced = true;
                                app.ui.unload(*m);
                            }
                        },
                        1500);
                },
                800);
            app.ui.showModal(*modal);
            pumpProgram(1700); // the fallback, if still pending, finds nothing to do
            EXPECT_FALSE(forced) << (altF4 ? "Alt+F4 " : "Esc ")
                                 << std::string(modal->name().begin(), modal->name().end());
        }
    }
    ::PostMessageW(app.ui.hwndOf(form.repairButton), WM_KEYDOWN, VK_ESCAPE, 0);
    pumpProgram(300);
    EXPECT_TRUE(form.loaded());
}

TEST_F(AboutMenuWine, ShellRefusalShowsTheBrowserMessage) {
    fake::FakeShell shell;
    test::MessageBoxCloser closer;
    // Through the about window's link, the refusal is shown.
    shell.result = 1155;
    Platform refusing{app.scm,   app.workstation, app.registry, app.ansi,    app.processes,
                      app.files, shell,           app.printers, app.network, app.session,
                      app.lock,  app.diagnosis,   app.threads,  app.strings, app.ui,
                      app.eventLog};
    AboutWindow about(refusing, form);
    later([&] {
        about.openDonatePage();
        later([&] { app.ui.unload(about); });
    });
    app.ui.showModal(about);
    const auto boxes = closer.seen();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].title, L"Error:");
    EXPECT_EQ(boxes[0].text, L"Invoking browser error !");
}

// Wine's desktop (explorer /desktop) answers as the desktop shell: the address goes through
// it, as it does on Windows, and opens without a message.
TEST_F(AboutMenuWine, TheDesktopShellOpensTheAddress) {
    test::MessageBoxCloser closer;
    EXPECT_EQ(app.shell.openUrl(L"https://www.example.com/kestrave/"), 0u);
    EXPECT_TRUE(app.shell.lastThroughDesktop());
    test::pumpFor(300);
    EXPECT_TRUE(closer.seen().empty());
}

// A visible window of an explorer.exe other than the desktop itself.
BOOL CALLBACK collectExplorerWindow(HWND h, LPARAM out) {
    DWORD id = 0;
    ::GetWindowThreadProcessId(h, &id);
    const HANDLE p = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id);
    wchar_t image[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    const bool explorer = p != nullptr && ::QueryFullProcessImageNameW(p, 0, image, &size) &&
                          std::wstring(image).find(L"explorer.exe") != std::wstring::npos;
    if (p != nullptr) {
        ::CloseHandle(p);
    }
    if (explorer && ::IsWindowVisible(h) && h != ::GetShellWindow() && h != ::GetDesktopWindow()) {
        reinterpret_cast<std::vector<HWND>*>(out)->push_back(h);
    }
    return TRUE;
}

// Consoles are opened and left to the user: a stand-in Services console that stays open (as
// System32's mmc.exe), and Wine's explorer keeping its folders open, hold nothing back.
TEST_F(AboutMenuWine, ConsolesLeftOpenAreShownAndHoldNothingBack) {
    const std::wstring mmc = app.files.systemDirectory() + L"\\mmc.exe";
    ASSERT_TRUE(::CopyFileW(testhelp::selfPath().c_str(), mmc.c_str(), FALSE));
    const auto buttonsWork = [&] {
        for (const ui::CommandButton* b :
             {&form.repairButton, &form.disableButton, &form.devicesButton, &form.menuButton}) {
            if (!::IsWindowEnabled(app.ui.hwndOf(*b))) {
                return false;
            }
        }
        return true;
    };
    const auto folderWindows = [] {
        std::vector<HWND> found;
        ::EnumWindows(collectExplorerWindow, reinterpret_cast<LPARAM>(&found));
        return found;
    };
    const std::vector<HWND> before = folderWindows();
    form.openServices();
    HWND console = nullptr;
    // Made, then shown with the show command it was given: wait for both.
    for (int waited = 0; (console == nullptr || !::IsWindowVisible(console)) && waited < 10000;
         waited += 50) {
        pumpProgram(50);
        console = ::FindWindowW(L"KestraveStandInConsole", test::kStandInConsoleTitle);
    }
    ASSERT_NE(console, nullptr);
    EXPECT_TRUE(::IsWindowVisible(console)); // shown, not hidden
    EXPECT_TRUE(buttonsWork());
    for (const auto open : {&MainWindow::openDevicesAndPrinters, &MainWindow::openInstalledUpdates,
                            &MainWindow::openNetworkCenter}) {
        const ULONGLONG t0 = ::GetTickCount64();
        (form.*open)();
        EXPECT_LT(::GetTickCount64() - t0, 2000u); // returns at once, whatever explorer does
        EXPECT_TRUE(buttonsWork());
    }
    // While the console stays open, the window still closes at once.
    EXPECT_TRUE(::IsWindow(console));
    ::SendMessageW(app.ui.hwndOf(form), WM_CLOSE, 0, 0);
    pumpProgram(100);
    EXPECT_FALSE(form.loaded());
    ::PostMessageW(console, WM_CLOSE, 0, 0);
    for (int waited = 0; ::IsWindow(console) && waited < 5000; waited += 50) {
        ::Sleep(50);
    }
    ::DeleteFileW(mmc.c_str());
    // The folders explorer opened for this test go too (only those), so the desktop stays as
    // the other tests expect it.
    const auto opened = [&] {
        std::vector<HWND> fresh;
        for (HWND h : folderWindows()) {
            if (std::find(before.begin(), before.end(), h) == before.end()) {
                fresh.push_back(h);
            }
        }
        return fresh;
    };
    for (HWND folder : opened()) {
        ::PostMessageW(folder, WM_CLOSE, 0, 0);
    }
    for (int waited = 0; !opened().empty() && waited < 5000; waited += 100) {
        pumpProgram(100);
    }
}

} // namespace
