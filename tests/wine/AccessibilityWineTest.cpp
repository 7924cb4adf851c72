// Assistive technology's side, for real: the status area's own accessible object read
// in-process and cut off once its window has gone, and from another process the name-change
// events of the real program, one when the spooler stops and none while it stays as it is.
#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "platform/win32/Win32Api.h"

#include <oleacc.h>

#include "app/App.h"
#include "platform/win32/AccessibleControl.h"
#include "tests/wine/WineSupport.h"
#include "windows/AboutWindow.h"
#include "windows/MainWindow.h"

using namespace kestrave;

namespace {

std::wstring nameOf(IAccessible* acc, HRESULT* hr) {
    VARIANT self;
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    *hr = acc->get_accName(self, &name);
    std::wstring out = name != nullptr ? std::wstring(name, ::SysStringLen(name)) : L"";
    ::SysFreeString(name);
    return out;
}

long roleOf(IAccessible* acc) {
    VARIANT self;
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    VARIANT role;
    role.vt = VT_EMPTY;
    return SUCCEEDED(acc->get_accRole(self, &role)) && role.vt == VT_I4 ? role.lVal : -1;
}

// The object a window answers WM_GETOBJECT with, as a screen reader in this process gets it.
IAccessible* objectOf(HWND hwnd) {
    const LRESULT r = ::SendMessageW(hwnd, WM_GETOBJECT, 0, static_cast<LPARAM>(OBJID_CLIENT));
    IAccessible* acc = nullptr;
    if (r > 0) {
        ::ObjectFromLresult(r, win32::kIidAccessible, 0, reinterpret_cast<void**>(&acc));
    }
    return acc;
}

struct AccessibilityWine : ::testing::Test {
    void SetUp() override { ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    void TearDown() override {
        test::pumpFor(50);
        ::CoUninitialize();
    }
};

TEST_F(AccessibilityWine, TheStatusTextsObjectReadsTheLineAndIsCutOffWithItsWindow) {
    ASSERT_TRUE(test::serviceTo(L"Spooler", SERVICE_RUNNING));
    App app{::GetModuleHandleW(nullptr)};
    MainWindow form{app.platform, app.currentPrinter};
    app.ui.show(form);
    HWND status = app.ui.hwndOf(form.statusText);
    IAccessible* acc = objectOf(status);
    ASSERT_NE(acc, nullptr);
    HRESULT hr = E_FAIL;
    EXPECT_EQ(nameOf(acc, &hr), test::windowText(status));
    EXPECT_EQ(hr, S_OK);
    EXPECT_EQ(roleOf(acc), ROLE_SYSTEM_STATUSBAR);

    ASSERT_TRUE(test::serviceTo(L"Spooler", SERVICE_STOPPED));
    test::pumpFor(2200);
    EXPECT_EQ(nameOf(acc, &hr), L"打印机后台服务已停止工作") << "the live line, asked again";

    IAccessible* picture = objectOf(app.ui.hwndOf(form.statusPicture));
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(nameOf(picture, &hr), L"已停止");
    EXPECT_EQ(roleOf(picture), ROLE_SYSTEM_GRAPHIC);
    picture->Release();

    // The window gone, the object stays valid to its holder and answers that it is cut off.
    app.ui.unload(form);
    test::pumpFor(50);
    EXPECT_EQ(nameOf(acc, &hr), L"");
    EXPECT_EQ(hr, CO_E_OBJNOTCONNECTED);
    EXPECT_EQ(roleOf(acc), -1);
    acc->Release();
}

TEST_F(AccessibilityWine, TheAboutLinksAreLinksWithTheirActionAndTakeTheFocusByTab) {
    App app{::GetModuleHandleW(nullptr)};
    MainWindow form{app.platform, app.currentPrinter};
    app.ui.show(form);
    AboutWindow about{app.platform, form};
    bool checked = false;
    test::runSoon([&] {
        HWND site = app.ui.hwndOf(about.siteLink);
        EXPECT_NE(::GetWindowLongW(site, GWL_STYLE) & WS_TABSTOP, 0);
        IAccessible* acc = objectOf(site);
        ASSERT_NE(acc, nullptr);
        EXPECT_EQ(roleOf(acc), ROLE_SYSTEM_LINK);
        VARIANT self;
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        BSTR action = nullptr;
        EXPECT_EQ(acc->get_accDefaultAction(self, &action), S_OK);
        EXPECT_EQ(std::wstring(action != nullptr ? action : L""), L"打开");
        ::SysFreeString(action);
        acc->Release();
        // Tab from the first link reaches the second, through the program's own dialog keys.
        ::SetFocus(site);
        EXPECT_EQ(::GetNextDlgTabItem(app.ui.hwndOf(about), site, FALSE),
                  app.ui.hwndOf(about.donateLink));
        ::PostMessageW(site, WM_KEYDOWN, VK_TAB, 0);
        test::runSoon([&] {
            EXPECT_EQ(::GetFocus(), app.ui.hwndOf(about.donateLink));
            checked = true;
            app.ui.unload(about);
        });
    });
    HWND before = ::GetFocus();
    app.ui.showModal(about);
    EXPECT_TRUE(checked);
    EXPECT_EQ(::GetFocus(), before) << "the focus back where it was";
    app.ui.unload(form);
}

// From another process, as a screen reader hears the real program.
struct Heard {
    DWORD pid = 0;
    std::vector<HWND> names; // the windows whose name changed
};
Heard* heard = nullptr;

void CALLBACK onEvent(HWINEVENTHOOK, DWORD event, HWND hwnd, LONG object, LONG, DWORD, DWORD) {
    if (heard != nullptr && event == EVENT_OBJECT_NAMECHANGE && object == OBJID_CLIENT) {
        heard->names.push_back(hwnd);
    }
}

BOOL CALLBACK findStatus(HWND hwnd, LPARAM lp) {
    auto* found = reinterpret_cast<HWND*>(lp);
    if (test::windowText(hwnd).find(L"打印机后台服务") == 0) {
        *found = hwnd;
        return FALSE;
    }
    return TRUE;
}

TEST_F(AccessibilityWine, AnotherProcessHearsTheStatusChangeOnceAndNothingWhileItStays) {
    ASSERT_TRUE(test::serviceTo(L"Spooler", SERVICE_RUNNING));
    const std::wstring self = testhelp::selfPath();
    std::wstring program = self.substr(0, self.find_last_of(L'\\') + 1) + L"Kestrave.exe";
    std::wstring line = L"\"" + program + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(::CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0,
                                 nullptr, nullptr, &si, &pi));
    HWND main = nullptr;
    for (int i = 0; i < 300 && main == nullptr; ++i) {
        test::pumpFor(50);
        HWND w = ::FindWindowW(nullptr, L"Kestrave 1.0");
        DWORD pid = 0;
        ::GetWindowThreadProcessId(w, &pid);
        main = pid == pi.dwProcessId ? w : nullptr;
    }
    HWND status = nullptr;
    if (main != nullptr) {
        for (int i = 0; i < 100 && status == nullptr; ++i) {
            test::pumpFor(50);
            ::EnumChildWindows(main, findStatus, reinterpret_cast<LPARAM>(&status));
        }
    }
    Heard got;
    got.pid = pi.dwProcessId;
    heard = &got;
    HWINEVENTHOOK hook = ::SetWinEventHook(EVENT_OBJECT_NAMECHANGE, EVENT_OBJECT_NAMECHANGE,
                                           nullptr, onEvent, pi.dwProcessId, 0,
                                           WINEVENT_OUTOFCONTEXT);
    const auto count = [&] {
        return std::count(got.names.begin(), got.names.end(), status);
    };
    if (status != nullptr && hook != nullptr) {
        test::pumpFor(3000); // three refreshes of an unchanged state
        EXPECT_EQ(count(), 0) << "an unchanged state announces nothing";
        ASSERT_TRUE(test::serviceTo(L"Spooler", SERVICE_STOPPED));
        test::pumpFor(2500);
        EXPECT_EQ(count(), 1) << "the stop, once";
        test::pumpFor(3000);
        EXPECT_EQ(count(), 1) << "and nothing more while it stays stopped";

        // Its object across processes, where the system's oleacc can carry it.
        IAccessible* acc = nullptr;
        const HRESULT found = ::AccessibleObjectFromWindow(
            status, static_cast<DWORD>(OBJID_CLIENT), win32::kIidAccessible,
            reinterpret_cast<void**>(&acc));
        if (SUCCEEDED(found) && acc != nullptr) {
            HRESULT hr = E_FAIL;
            EXPECT_EQ(nameOf(acc, &hr), test::windowText(status));
            acc->Release();
        } else {
            std::printf("  across processes AccessibleObjectFromWindow answered 0x%08lx: the "
                        "object is read in-process only\n",
                        static_cast<unsigned long>(found));
        }
    }
    heard = nullptr;
    if (hook != nullptr) {
        ::UnhookWinEvent(hook);
    }
    ::TerminateProcess(pi.hProcess, 0);
    ::WaitForSingleObject(pi.hProcess, 5000);
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    ASSERT_NE(main, nullptr) << "the program's window did not open";
    ASSERT_NE(status, nullptr) << "no status text in its window";
    ASSERT_NE(hook, nullptr) << ::GetLastError();
}

} // namespace
