#pragma once
#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/win32/Win32Api.h"
#include "tests/common/Win32TestHelpers.h"

namespace kestrave::test {

inline bool exists(const std::wstring& path) {
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Handles window messages for about ms milliseconds.
inline void pumpFor(int ms) {
    const ULONGLONG until = ::GetTickCount64() + static_cast<ULONGLONG>(ms);
    while (::GetTickCount64() < until) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        ::MsgWaitForMultipleObjectsEx(0, nullptr, 20, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
}

using testhelp::children;
using testhelp::windowText;

// What runSoon will run.
inline std::function<void()>& pendingSoon() {
    static std::function<void()> pending;
    return pending;
}

inline void CALLBACK runPendingSoon(HWND, UINT, UINT_PTR id, DWORD) {
    ::KillTimer(nullptr, id);
    auto run = std::move(pendingSoon());
    pendingSoon() = nullptr;
    if (run) {
        run();
    }
}

// Runs fn from whatever message loop runs ms milliseconds from now: a modal window's, a
// menu's or a wait's, as a user acting at that moment would. One at a time.
inline void runSoon(std::function<void()> fn, UINT ms = 100) {
    pendingSoon() = std::move(fn);
    ::SetTimer(nullptr, 0, ms, runPendingSoon);
}

struct SeenBox {
    std::wstring title;
    std::wstring text;
};

// Watches this process's message boxes from a second thread, reads their title and text,
// and closes them as a user pressing OK would.
class MessageBoxCloser {
  public:
    MessageBoxCloser() : thread_([this] { loop(); }) {}
    ~MessageBoxCloser() {
        stop_ = true;
        thread_.join();
    }
    std::vector<SeenBox> seen() {
        const std::lock_guard<std::mutex> hold(lock_);
        return seen_;
    }

  private:
    struct Find {
        DWORD pid;
        HWND found = nullptr;
    };
    static BOOL CALLBACK findBox(HWND hwnd, LPARAM lp) {
        auto* f = reinterpret_cast<Find*>(lp);
        DWORD pid = 0;
        ::GetWindowThreadProcessId(hwnd, &pid);
        wchar_t cls[32] = {};
        ::GetClassNameW(hwnd, cls, 32);
        if (pid == f->pid && std::wstring(cls) == L"#32770" && ::IsWindowVisible(hwnd)) {
            f->found = hwnd;
            return FALSE;
        }
        return TRUE;
    }
    static BOOL CALLBACK findText(HWND hwnd, LPARAM lp) {
        wchar_t cls[32] = {};
        ::GetClassNameW(hwnd, cls, 32);
        if (std::wstring(cls) == L"Static") {
            const std::wstring t = windowText(hwnd);
            if (!t.empty()) {
                *reinterpret_cast<std::wstring*>(lp) = t;
            }
        }
        return TRUE;
    }
    void loop() {
        while (!stop_) {
            Find f{::GetCurrentProcessId()};
            ::EnumWindows(findBox, reinterpret_cast<LPARAM>(&f));
            if (f.found != nullptr) {
                ::Sleep(150); // let it finish drawing
                SeenBox box{windowText(f.found), L""};
                ::EnumChildWindows(f.found, findText, reinterpret_cast<LPARAM>(&box.text));
                {
                    const std::lock_guard<std::mutex> hold(lock_);
                    seen_.push_back(box);
                }
                ::SendMessageW(f.found, WM_COMMAND, IDOK, 0);
                ::Sleep(100);
            }
            ::Sleep(50);
        }
    }
    std::mutex lock_;
    std::vector<SeenBox> seen_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

using testhelp::serviceState;

// Brings a service to a state through the real manager, handling messages for up to 10 s.
inline bool serviceTo(const wchar_t* name, DWORD state) {
    testhelp::requestServiceState(name, state);
    for (int i = 0; i < 200; ++i) {
        if (serviceState(name) == state) {
            return true;
        }
        pumpFor(50);
    }
    return false;
}

} // namespace kestrave::test
