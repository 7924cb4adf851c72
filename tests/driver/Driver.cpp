// Drives the shipped Kestrave.exe from outside, as a user would: it finds windows by class and
// caption, reads their texts, presses buttons, chooses menu commands and sends keys through
// window messages, while it changes the world underneath with the real APIs.
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "platform/win32/Win32Api.h"
#include "tests/common/Win32TestHelpers.h"
#include "tests/driver/HungService.h"
#include "windows/MainWindow.h"

#include <shellapi.h>

#include <psapi.h>
#include <tlhelp32.h>
#include <winspool.h>

namespace {

int passed = 0;
int failed = 0;

void check(bool ok, const std::string& what) {
    std::printf("%s %s\n", ok ? "[ pass ]" : "[ FAIL ]", what.c_str());
    std::fflush(stdout);
    (ok ? passed : failed) += 1;
}

const std::wstring kStopped = L"打印机后台服务已停止工作";
const std::wstring kRunning = L"打印机后台服务正在运行中...";

std::wstring text(HWND h) {
    return kestrave::testhelp::windowText(h);
}

std::wstring className(HWND h) {
    wchar_t buf[64] = {};
    ::GetClassNameW(h, buf, 64);
    return buf;
}

bool waitFor(const std::function<bool()>& ready, int ms) {
    const ULONGLONG until = ::GetTickCount64() + static_cast<ULONGLONG>(ms);
    do {
        if (ready()) {
            return true;
        }
        ::Sleep(25);
    } while (::GetTickCount64() < until);
    return ready();
}

using kestrave::testhelp::folderOf;
using kestrave::testhelp::selfPath;

std::wstring systemDir() {
    wchar_t p[MAX_PATH];
    ::GetSystemDirectoryW(p, MAX_PATH);
    return p;
}

bool exists(const std::wstring& p) {
    return ::GetFileAttributesW(p.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// --- the spooler, through the real manager -----------------------------------------------

DWORD spoolerState() {
    return kestrave::testhelp::serviceState(L"Spooler");
}

DWORD spoolerStartType() {
    return kestrave::testhelp::serviceStartType(L"Spooler");
}

bool spoolerTo(DWORD state) {
    // A disable before leaves it disabled: the world a test wants may need it startable.
    if (state == SERVICE_RUNNING && spoolerStartType() == SERVICE_DISABLED) {
        kestrave::testhelp::setServiceStartType(L"Spooler", SERVICE_DEMAND_START);
    }
    kestrave::testhelp::requestServiceState(L"Spooler", state);
    return waitFor([&] { return spoolerState() == state; }, 10000);
}

// --- Kestrave's windows ------------------------------------------------------------------

struct App {
    PROCESS_INFORMATION pi{};
    HWND main = nullptr;
};

struct FindTop {
    DWORD pid;
    std::wstring cls;
    std::wstring title; // empty: any
    HWND found = nullptr;
};

BOOL CALLBACK findTop(HWND h, LPARAM lp) {
    auto* f = reinterpret_cast<FindTop*>(lp);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(h, &pid);
    if (pid == f->pid && ::IsWindowVisible(h) && className(h) == f->cls &&
        (f->title.empty() || text(h) == f->title)) {
        f->found = h;
        return FALSE;
    }
    return TRUE;
}

HWND topWindow(const App& app, const std::wstring& cls, const std::wstring& title = L"",
               int ms = 5000) {
    FindTop f{app.pi.dwProcessId, cls, title};
    waitFor(
        [&] {
            f.found = nullptr;
            ::EnumWindows(findTop, reinterpret_cast<LPARAM>(&f));
            return f.found != nullptr;
        },
        ms);
    return f.found;
}

using kestrave::testhelp::children;

HWND child(HWND parent, const std::wstring& cls, const std::wstring& caption) {
    for (HWND c : children(parent)) {
        if (className(c) == cls && (caption.empty() || text(c) == caption)) {
            return c;
        }
    }
    return nullptr;
}

// The status line: the one label of the main window with a text (the bar has none).
std::wstring statusText(HWND main) {
    for (HWND c : children(main)) {
        const std::wstring t = text(c);
        if (className(c) == L"KestraveLabel" && !t.empty()) {
            return t;
        }
    }
    return L"";
}

// The bar's colour on screen: green while the spooler runs, red while it is stopped. It
// follows the state even while the line tells an operation's step or outcome.
bool barShows(HWND main, DWORD state) {
    POINT p{4, 4};
    ::ClientToScreen(main, &p);
    HDC screen = ::GetDC(nullptr);
    const COLORREF c = ::GetPixel(screen, p.x, p.y);
    ::ReleaseDC(nullptr, screen);
    return c == (state == SERVICE_RUNNING ? RGB(0x2D, 0xAA, 0x40) : RGB(0xB4, 0x22, 0x2B));
}

// --- screenshots: the screen's pixels of a window, written as a BMP ----------------------

std::wstring shotDir;

void screenshot(HWND h, const wchar_t* name) {
    if (shotDir.empty() || h == nullptr) {
        return;
    }
    RECT r{};
    ::GetWindowRect(h, &r);
    const int w = r.right - r.left;
    const int ht = r.bottom - r.top;
    HDC screen = ::GetDC(nullptr);
    HDC mem = ::CreateCompatibleDC(screen);
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), w, ht, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bmp = ::CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = ::SelectObject(mem, bmp);
    ::BitBlt(mem, 0, 0, w, ht, screen, r.left, r.top, SRCCOPY);
    ::SelectObject(mem, old);
    const DWORD stride = static_cast<DWORD>((w * 3 + 3) & ~3);
    const DWORD size = stride * static_cast<DWORD>(ht);
    BITMAPFILEHEADER fh{0x4D42, static_cast<DWORD>(sizeof fh + sizeof(BITMAPINFOHEADER) + size), 0,
                        0, static_cast<DWORD>(sizeof fh + sizeof(BITMAPINFOHEADER))};
    bi.bmiHeader.biSizeImage = size;
    HANDLE f = ::CreateFileW((shotDir + L"\\" + name + L".bmp").c_str(), GENERIC_WRITE, 0, nullptr,
                             CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    ::WriteFile(f, &fh, sizeof fh, &written, nullptr);
    ::WriteFile(f, &bi.bmiHeader, sizeof(BITMAPINFOHEADER), &written, nullptr);
    ::WriteFile(f, bits, size, &written, nullptr);
    ::CloseHandle(f);
    ::DeleteObject(bmp);
    ::DeleteDC(mem);
    ::ReleaseDC(nullptr, screen);
}

// A message box of Kestrave's: read it and press OK.
bool takeMessageBox(const App& app, std::wstring* title, std::wstring* body, int ms = 8000,
                    const wchar_t* shot = nullptr) {
    HWND box = topWindow(app, L"#32770", L"", ms);
    if (box == nullptr) {
        return false;
    }
    ::Sleep(200);
    if (shot != nullptr) {
        screenshot(box, shot);
    }
    *title = ::IsWindow(box) ? text(box) : L"(closed before it could be read)";
    body->clear();
    for (HWND c : children(box)) {
        if (className(c) == L"Static" && !text(c).empty()) {
            *body = text(c);
        }
    }
    ::PostMessageW(box, WM_COMMAND, IDOK, 0);
    waitFor([&] { return !::IsWindow(box); }, 3000);
    return true;
}

// Presses a button and waits for its handler to finish (the button is back).
bool press(HWND button, int ms = 60000) {
    ::PostMessageW(button, BM_CLICK, 0, 0);
    ::Sleep(150);
    return waitFor([&] { return ::IsWindowEnabled(button) != FALSE; }, ms);
}

// --- processes ------------------------------------------------------------------------------

void eachProcess(const std::function<void(const PROCESSENTRY32W&)>& see) {
    const kestrave::win32::UniqueKernelHandle snap(
        ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W e{};
    e.dwSize = sizeof e;
    for (BOOL ok = ::Process32FirstW(snap.get(), &e); ok; ok = ::Process32NextW(snap.get(), &e)) {
        see(e);
    }
}

std::vector<DWORD> childProcesses(DWORD parent) {
    std::vector<DWORD> out;
    eachProcess([&](const PROCESSENTRY32W& e) {
        if (e.th32ParentProcessID == parent) {
            out.push_back(e.th32ProcessID);
        }
    });
    return out;
}

// Ends every process running `exe` and says how many there were: a test that failed half-way
// may leave one, which would hold the one-instance lock against every start after it.
int endProcessesOf(const std::wstring& exe) {
    int ended = 0;
    eachProcess([&](const PROCESSENTRY32W& e) {
        const kestrave::win32::UniqueKernelHandle p(::OpenProcess(
            PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE | SYNCHRONIZE, FALSE,
            e.th32ProcessID));
        wchar_t image[MAX_PATH];
        DWORD size = MAX_PATH;
        if (p && ::QueryFullProcessImageNameW(p.get(), 0, image, &size) &&
            _wcsicmp(image, exe.c_str()) == 0) {
            ::TerminateProcess(p.get(), 1);
            ::WaitForSingleObject(p.get(), 5000);
            ++ended;
        }
    });
    return ended;
}

struct Usage {
    SIZE_T privateBytes = 0;
    DWORD handles = 0;
    DWORD gdi = 0;
    DWORD user = 0;
};

Usage usage(HANDLE p) {
    Usage u;
    PROCESS_MEMORY_COUNTERS_EX mem{};
    mem.cb = sizeof mem;
    ::K32GetProcessMemoryInfo(p, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&mem), mem.cb);
    u.privateBytes = mem.PagefileUsage;
    ::GetProcessHandleCount(p, &u.handles);
    u.gdi = ::GetGuiResources(p, GR_GDIOBJECTS);
    u.user = ::GetGuiResources(p, GR_USEROBJECTS);
    return u;
}

void printUsage(const char* what, const Usage& a, const Usage& b) {
    std::printf(
        "  %s: private bytes %llu -> %llu, handles %lu -> %lu, GDI %lu -> %lu, USER %lu -> %lu\n",
        what, static_cast<unsigned long long>(a.privateBytes),
        static_cast<unsigned long long>(b.privateBytes), a.handles, b.handles, a.gdi, b.gdi, a.user,
        b.user);
}

// --- the world ------------------------------------------------------------------------------

std::wstring spool() {
    return systemDir() + L"\\spool\\PRINTERS";
}

void putSpoolFiles(int n) {
    ::CreateDirectoryW(spool().c_str(), nullptr);
    for (int i = 0; i < n; ++i) {
        const std::wstring p = spool() + L"\\drive" + std::to_wstring(i) + L".spl";
        HANDLE h = ::CreateFileW(p.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ::WriteFile(h, "job", 3, nullptr, nullptr);
        ::CloseHandle(h);
    }
}

int spoolFileCount() {
    int n = 0;
    WIN32_FIND_DATAW d{};
    HANDLE f = ::FindFirstFileW((spool() + L"\\*").c_str(), &d);
    if (f == INVALID_HANDLE_VALUE) {
        return 0;
    }
    do {
        if (!(d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            ++n;
        }
    } while (::FindNextFileW(f, &d));
    ::FindClose(f);
    return n;
}

std::wstring defaultPrinter() {
    wchar_t name[256] = {};
    DWORD size = 256;
    return ::GetDefaultPrinterW(name, &size) ? name : L"";
}

// What a program that would not close shows: each top-level window, enabled or not, and the
// texts inside it.
struct SeenWindows {
    DWORD pid;
    std::vector<HWND> windows;
};

BOOL CALLBACK seeWindow(HWND h, LPARAM lp) {
    auto* s = reinterpret_cast<SeenWindows*>(lp);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(h, &owner);
    if (owner == s->pid && ::IsWindowVisible(h)) {
        s->windows.push_back(h);
    }
    return TRUE;
}

void describeWindows(DWORD pid) {
    SeenWindows seen{pid, {}};
    ::EnumWindows(seeWindow, reinterpret_cast<LPARAM>(&seen));
    if (seen.windows.empty()) {
        std::printf("  no window of it is left: the process is on its way out\n");
    }
    for (HWND h : seen.windows) {
        std::printf("  window %ls \"%ls\"%s\n", className(h).c_str(), text(h).c_str(),
                    ::IsWindowEnabled(h) ? "" : " (disabled)");
        for (HWND c : children(h)) {
            if (!text(c).empty()) {
                std::printf("    %ls \"%ls\"\n", className(c).c_str(), text(c).c_str());
            }
        }
    }
}

// Ends a program that would not close, or never showed its window, after showing what it still
// has: left running, it would hold the one-instance lock, and every later start would only
// bring it forward.
void endApp(App& app) {
    describeWindows(app.pi.dwProcessId);
    ::TerminateProcess(app.pi.hProcess, 1);
    ::WaitForSingleObject(app.pi.hProcess, 5000);
}

// Gives back the handles of a program that has ended.
void releaseApp(App& app) {
    ::CloseHandle(app.pi.hProcess);
    ::CloseHandle(app.pi.hThread);
    app.pi.hProcess = app.pi.hThread = nullptr;
}

// Closes the window as its frame's X does; true when the process then ends. One that does not
// is ended, so that whatever follows starts a program of its own.
bool closeApp(App& app) {
    ::PostMessageW(app.main, WM_CLOSE, 0, 0);
    const bool ended = ::WaitForSingleObject(app.pi.hProcess, 10000) == WAIT_OBJECT_0;
    if (!ended) {
        endApp(app);
    }
    releaseApp(app);
    return ended;
}

App start(const std::wstring& exe, const std::wstring& workingDirectory = L"",
          bool waitForWindow = true) {
    App app;
    STARTUPINFOW si{};
    si.cb = sizeof si;
    std::wstring line = L"\"" + exe + L"\"";
    if (!::CreateProcessW(exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          (workingDirectory.empty() ? folderOf(exe) : workingDirectory).c_str(),
                          &si, &app.pi)) {
        return app;
    }
    if (waitForWindow) {
        app.main = topWindow(app, L"KestraveForm", L"Kestrave 1.0", 15000);
        if (app.main == nullptr) { // one failed start must not fail the rest
            DWORD code = STILL_ACTIVE;
            ::GetExitCodeProcess(app.pi.hProcess, &code);
            std::printf("  no main window in 15 s; the process %s (%lu)\n",
                        code == STILL_ACTIVE ? "still runs, and is ended" : "has ended", code);
            endApp(app);
            releaseApp(app);
            return app;
        }
        // In sight with its state before its buttons are made: whole once its loop waits
        // for input, as a launcher waits for a program it started.
        ::WaitForInputIdle(app.pi.hProcess, 15000);
    }
    return app;
}

// Pops the menu up with 菜单... as a user would; returns its window.
HWND popMenu(const App& app) {
    ::PostMessageW(child(app.main, L"Button", L"菜单..."), BM_CLICK, 0, 0);
    return topWindow(app, L"#32768", L"", 5000);
}

// The menu's texts; Wine keeps menus to their own process, so there this reads nothing.
std::vector<std::wstring> menuTexts(HWND popup) {
    std::vector<std::wstring> items;
    HMENU menu = reinterpret_cast<HMENU>(::SendMessageW(popup, MN_GETHMENU, 0, 0));
    for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
        wchar_t buf[128] = {};
        ::GetMenuStringW(menu, static_cast<UINT>(i), buf, 128, MF_BYPOSITION);
        items.emplace_back(buf);
    }
    return items;
}

// Chooses the item at 0-based position with the keyboard, as a user would.
void chooseItem(HWND popup, int position) {
    for (int i = 0; i <= position; ++i) {
        ::PostMessageW(popup, WM_KEYDOWN, VK_DOWN, 0);
    }
    ::PostMessageW(popup, WM_KEYDOWN, VK_RETURN, 0);
}

// --- the command line ---------------------------------------------------------------------

struct CliRun {
    DWORD exitCode = 9999;
    bool endedByItself = false;
    std::vector<std::wstring> out;
    std::wstring err;
};

std::wstring fromUtf8(const std::string& s) {
    std::wstring w(s.size(), L'\0');
    const int n = ::MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), w.data(),
                                        static_cast<int>(w.size()));
    w.resize(static_cast<std::size_t>(n > 0 ? n : 0));
    return w;
}

std::vector<std::wstring> splitLines(const std::wstring& text) {
    std::vector<std::wstring> lines;
    std::size_t from = 0;
    while (from < text.size()) {
        std::size_t end = text.find(L'\n', from);
        if (end == std::wstring::npos) {
            end = text.size();
        }
        std::wstring line = text.substr(from, end - from);
        if (!line.empty() && line.back() == L'\r') {
            line.pop_back();
        }
        lines.push_back(line);
        from = end + 1;
    }
    return lines;
}

// Starts Kestrave.exe with the arguments, its output and errors piped, as a management agent
// does, and waits for it to end by itself.
CliRun runCli(const std::wstring& exe, const std::wstring& arguments) {
    CliRun run;
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE outRead = nullptr, outWrite = nullptr, errRead = nullptr, errWrite = nullptr;
    ::CreatePipe(&outRead, &outWrite, &inherit, 1 << 16);
    ::CreatePipe(&errRead, &errWrite, &inherit, 1 << 16);
    ::SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);
    ::SetHandleInformation(errRead, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = outWrite;
    si.hStdError = errWrite;
    PROCESS_INFORMATION pi{};
    std::wstring line = L"\"" + exe + L"\" " + arguments;
    const bool started = ::CreateProcessW(exe.c_str(), line.data(), nullptr, nullptr, TRUE, 0,
                                          nullptr, folderOf(exe).c_str(), &si, &pi) != FALSE;
    ::CloseHandle(outWrite);
    ::CloseHandle(errWrite);
    if (started) {
        run.endedByItself = ::WaitForSingleObject(pi.hProcess, 120000) == WAIT_OBJECT_0;
        if (!run.endedByItself) {
            ::TerminateProcess(pi.hProcess, 1);
        }
        ::GetExitCodeProcess(pi.hProcess, &run.exitCode);
        ::CloseHandle(pi.hProcess);
        ::CloseHandle(pi.hThread);
    }
    const auto drain = [](HANDLE pipe) {
        std::string bytes;
        char buffer[4096];
        DWORD got = 0;
        while (::ReadFile(pipe, buffer, sizeof buffer, &got, nullptr) && got > 0) {
            bytes.append(buffer, got);
        }
        ::CloseHandle(pipe);
        return fromUtf8(bytes);
    };
    run.out = splitLines(drain(outRead));
    run.err = drain(errRead);
    return run;
}

// Files an interpreter or the DLL search would pick up from a folder: each leaves a mark there.
const wchar_t* const kPlantedScripts[] = {L"explorer.bat", L"explorer.cmd", L"mmc.bat", L"cmd.bat",
                                          L"sc.bat"};

void plant(const std::wstring& folder, const std::wstring& dll) {
    ::CreateDirectoryW(folder.c_str(), nullptr);
    for (const wchar_t* name : kPlantedScripts) {
        const std::wstring path = folder + L"\\" + name;
        HANDLE h =
            ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        const char body[] = "@echo ran > \"%~dp0planted-script-ran\"\r\n";
        DWORD written = 0;
        ::WriteFile(h, body, sizeof body - 1, &written, nullptr);
        ::CloseHandle(h);
    }
    ::CopyFileW(dll.c_str(), (folder + L"\\gdiplus.dll").c_str(), FALSE);
}

bool marked(const std::wstring& folder) {
    return exists(folder + L"\\planted-script-ran") || exists(folder + L"\\planted-dll-loaded");
}

void unplant(const std::wstring& folder) {
    for (const wchar_t* name : kPlantedScripts) {
        ::DeleteFileW((folder + L"\\" + name).c_str());
    }
    for (const wchar_t* name : {L"gdiplus.dll", L"planted-script-ran", L"planted-dll-loaded"}) {
        ::DeleteFileW((folder + L"\\" + name).c_str());
    }
}

} // namespace

// The scenarios, in the order they run, and what they share: the program under test, its
// window and buttons, the last message box read, and the files no repair may touch.
struct Drive {
    std::wstring self;
    std::wstring dir;
    std::wstring exe;
    int cycles = 200;
    int refreshes = 20000;
    App app;
    HWND repair = nullptr;
    HWND disable = nullptr;
    std::wstring title;
    std::wstring body;
    std::wstring besideSpool;
    std::wstring insideSub;

    bool statusFollowsTheSpooler() {
        // The status follows the spooler.
        spoolerTo(SERVICE_STOPPED);
        app = start(exe);
        check(app.main != nullptr, "main window \"Kestrave 1.0\" opens");
        if (app.main == nullptr) {
            return false;
        }
        check(statusText(app.main) == kStopped, "opens showing the stopped spooler");
        screenshot(app.main, L"main-stopped");
        spoolerTo(SERVICE_RUNNING);
        check(waitFor([&] { return statusText(app.main) == kRunning; }, 2500),
              "running spooler shown within two ticks");
        screenshot(app.main, L"main-running");
        spoolerTo(SERVICE_STOPPED);
        check(waitFor([&] { return statusText(app.main) == kStopped; }, 2500),
              "stopped spooler shown within two ticks");

        repair = child(app.main, L"Button", L"修复打印机服务");
        disable = child(app.main, L"Button", L"禁用打印机服务");
        check(repair && disable, "both spooler buttons are there");

        // Files that no repair may touch: one beside the spool folder, one in a folder inside it.
        besideSpool = folderOf(spool()) + L"\\kestrave-sentinel.txt";
        insideSub = spool() + L"\\keep\\kestrave-sentinel.txt";
        ::CreateDirectoryW((spool() + L"\\keep").c_str(), nullptr);
        for (const std::wstring& p : {besideSpool, insideSub}) {
            ::CloseHandle(
                ::CreateFileW(p.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        }

        return true;
    }

    void repairsAndDisables() {
        // Repair from stopped and from running, with spool files; disable.
        for (DWORD from :
             {static_cast<DWORD>(SERVICE_STOPPED), static_cast<DWORD>(SERVICE_RUNNING)}) {
            spoolerTo(from);
            kestrave::testhelp::setServiceStartType(L"Spooler", SERVICE_DEMAND_START);
            putSpoolFiles(3);
            const bool back = press(repair);
            // The click ends once the spooler runs: no waiting afterwards.
            check(back && spoolerState() == SERVICE_RUNNING && spoolFileCount() == 0,
                  std::string("repair from ") + (from == SERVICE_RUNNING ? "running" : "stopped") +
                      ": spooler running, queue empty");
            check(spoolerStartType() == SERVICE_AUTO_START, "repair: start type automatic (2)");
        }
        check(press(disable) && spoolerState() == SERVICE_STOPPED, "disable: stopped in one click");
        check(spoolerStartType() == SERVICE_DISABLED, "disable: start type disabled (4)");
        check(!exists(dir + L"\\planted-ran"), "the sc.exe planted beside Kestrave.exe never ran");
    }

    void aHeldSpoolFile() {
        // A spool file held open: the others go, the user is told which one stayed.
        spoolerTo(SERVICE_RUNNING);
        putSpoolFiles(2);
        const std::wstring heldPath = spool() + L"\\held.spl";
        HANDLE held =
            ::CreateFileW(heldPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ::PostMessageW(repair, BM_CLICK, 0, 0);
        const bool box = takeMessageBox(app, &title, &body, 8000, L"box-held-file");
        check(box && body.find(L"held.spl") != std::wstring::npos && title == L"错误！",
              "a held spool file is reported by name");
        waitFor([&] { return ::IsWindowEnabled(repair) != FALSE; }, 10000);
        check(spoolFileCount() == 1 && ::IsWindowEnabled(repair),
              "the other files are gone and the button is back");
        ::CloseHandle(held);
        ::DeleteFileW(heldPath.c_str());
        check(waitFor([] { return spoolerState() == SERVICE_RUNNING; }, 10000),
              "the spooler runs after that repair");
    }

    void theMenuAndF1() {
        // The menu, its items as the window's table has them, F1.
        HWND popup = popMenu(app);
        check(popup != nullptr, "菜单... pops the menu up");
        screenshot(popup, L"menu");
        const std::vector<std::wstring> names = menuTexts(popup);
        const std::size_t rows = std::size(kestrave::menu::kRows);
        if (names.empty()) {
            std::printf("  (the menu's texts cannot be read from another process here)\n");
        } else {
            check(names.size() == rows && names.back().find(L"\tF1") != std::wstring::npos,
                  "the menu lists the table's items, About with its F1 last");
        }
        ::PostMessageW(popup, WM_KEYDOWN, VK_ESCAPE, 0);
        check(waitFor([&] { return !::IsWindowVisible(popup); }, 3000),
              "Escape dismisses the menu");
        for (const kestrave::menu::Row& row : kestrave::menu::kRows) {
            if (!row.console) {
                continue;
            }
            const std::wstring command(row.command);
            chooseItem(popMenu(app), kestrave::menu::position(command));
            if (command == std::wstring(L"services")) {
                // No mmc.exe under Wine: the Services item says so in a box of its own.
                std::wstring boxTitle, boxBody;
                check(takeMessageBox(app, &boxTitle, &boxBody) &&
                          boxBody.find(L"mmc.exe") != std::wstring::npos,
                      "the Services item reports the console it could not start");
            }
            ::Sleep(1500);
        }
        check(::IsWindowEnabled(app.main) && barShows(app.main, SERVICE_RUNNING) &&
                  ::WaitForSingleObject(app.pi.hProcess, 0) == WAIT_TIMEOUT,
              "the three console commands ran and the window is still live");
    }

    void theDefaultPrinterDialog() {
        // The default printer dialog, against the CUPS printers.
        chooseItem(popMenu(app), kestrave::menu::position(L"defaultPrinter"));
        HWND dlg = topWindow(app, L"KestraveForm", L"默认打印机设置");
        check(dlg != nullptr, "its menu command opens the default printer dialog");
        if (dlg) {
            HWND combo = child(dlg, L"ComboBox", L"");
            HWND set = child(dlg, L"Button", L"设为默认打印机");
            check(::SendMessageW(combo, CB_GETCOUNT, 0, 0) >= 3, "it lists the CUPS printers");
            const LRESULT i = ::SendMessageW(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                             reinterpret_cast<LPARAM>(L"打印机二"));
            ::SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(i), 0);
            ::SendMessageW(dlg, WM_COMMAND, MAKEWPARAM(0, CBN_SELCHANGE),
                           reinterpret_cast<LPARAM>(combo));
            screenshot(dlg, L"dialog");
            ::PostMessageW(set, BM_CLICK, 0, 0);
            check(takeMessageBox(app, &title, &body, 8000, L"box-success") && title == L"提示：" &&
                      body == L"已成功将系统默认打印机设置为：打印机二" &&
                      defaultPrinter() == L"打印机二",
                  "setting 打印机二 succeeds and becomes the default");
            // A printer removed while the dialog is open.
            const LRESULT b = ::SendMessageW(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                             reinterpret_cast<LPARAM>(L"KestraveB"));
            ::SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(b), 0);
            ::SendMessageW(dlg, WM_COMMAND, MAKEWPARAM(0, CBN_SELCHANGE),
                           reinterpret_cast<LPARAM>(combo));
            HANDLE printer = nullptr;
            PRINTER_DEFAULTSW all{nullptr, nullptr, PRINTER_ALL_ACCESS};
            if (::OpenPrinterW(const_cast<wchar_t*>(L"KestraveB"), &printer, &all)) {
                ::DeletePrinter(printer);
                ::ClosePrinter(printer);
            }
            ::PostMessageW(set, BM_CLICK, 0, 0);
            check(takeMessageBox(app, &title, &body, 8000, L"box-failure") && title == L"错误！" &&
                      body == L"设置失败！",
                  "a printer removed meanwhile gives 设置失败！");
            ::PostMessageW(dlg, WM_CLOSE, 0, 0);
            waitFor([&] { return !::IsWindow(dlg); }, 3000);
        }
        chooseItem(popMenu(app), kestrave::menu::position(L"about"));
        HWND about5 = topWindow(app, L"KestraveForm", L"关于 Kestrave");
        check(about5 != nullptr, "its menu command opens the about window");
        ::PostMessageW(about5, WM_CLOSE, 0, 0);
        waitFor([&] { return !::IsWindow(about5); }, 3000);
        // Up from the top wraps to the menu's last item: the table's last row, so the menu
        // has no item the table lacks (readable here even where the texts are not).
        {
            HWND menu = popMenu(app);
            ::PostMessageW(menu, WM_KEYDOWN, VK_UP, 0);
            ::PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
            HWND last = topWindow(app, L"KestraveForm", L"关于 Kestrave");
            check(kestrave::menu::position(L"about") + 1 == static_cast<int>(std::size(kestrave::menu::kRows)) &&
                      last != nullptr,
                  "the menu's last item is the table's last row (About)");
            ::PostMessageW(last, WM_CLOSE, 0, 0);
            waitFor([&] { return !::IsWindow(last); }, 3000);
        }
        ::PostMessageW(repair, WM_KEYDOWN, VK_F1, 0);
        HWND about = topWindow(app, L"KestraveForm", L"关于 Kestrave");
        check(about != nullptr, "F1 opens the about window");
        if (about) {
            bool title100 = false;
            HWND picture = nullptr;
            HWND site = nullptr;
            HWND donate = nullptr;
            for (HWND c : children(about)) {
                title100 = title100 || text(c) == L"Kestrave 1.0.0";
                if (className(c) == L"KestraveImage") {
                    picture = c;
                }
                if (text(c) == L"example.com") {
                    site = c;
                }
                if (text(c) == L"赞助我们") {
                    donate = c;
                }
            }
            check(title100, "the about window reads Kestrave 1.0.0");
            ::PostMessageW(site, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
            ::PostMessageW(site, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
            check(site && !takeMessageBox(app, &title, &body, 1500),
                  "the site link opens without an error");
            ::PostMessageW(donate, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
            ::PostMessageW(donate, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
            check(donate && !takeMessageBox(app, &title, &body, 1500),
                  "the donation link opens without an error");
            RECT before{}, after{};
            ::GetWindowRect(picture, &before);
            ::PostMessageW(picture, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
            ::PostMessageW(picture, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
            ::Sleep(900);
            ::GetWindowRect(picture, &after);
            screenshot(about, L"about-bounce");
            check(after.top != before.top, "a click on the picture sets it bouncing");
            ::PostMessageW(about, WM_CLOSE, 0, 0);
            waitFor([&] { return !::IsWindow(about); }, 3000);
        }
    }

    void clicksDuringAWait() {
        // Clicks during a wait: a repair's wait, with ticks, the other button and the menu.
        spoolerTo(SERVICE_STOPPED);
        ::PostMessageW(repair, BM_CLICK, 0, 0);
        for (int i = 0; i < 20; ++i) {
            ::PostMessageW(app.main, WM_TIMER, 1, 0);
        }
        ::PostMessageW(disable, BM_CLICK, 0, 0);
        chooseItem(popMenu(app), kestrave::menu::position(L"services"));
        ::Sleep(500);
        const bool settled = waitFor(
            [&] {
                for (HWND b : children(app.main)) {
                    if (className(b) == L"Button" && !::IsWindowEnabled(b)) {
                        return false;
                    }
                }
                return true;
            },
            60000);
        ::Sleep(1500);
        const DWORD truth = spoolerState();
        check(settled && barShows(app.main, truth),
              "clicks during waits complete: every button back, the status true");
    }

    void keysDuringARepair() {
        // F1 and a disable click during a repair's wait: inert; the repair ends running.
        spoolerTo(SERVICE_RUNNING);
        putSpoolFiles(3);
        ::PostMessageW(repair, BM_CLICK, 0, 0);
        const bool repairStarted =
            waitFor([&] { return ::IsWindowEnabled(repair) == FALSE; }, 5000);
        ::PostMessageW(repair, WM_KEYDOWN, VK_F1, 0);
        ::PostMessageW(disable, BM_CLICK, 0, 0);
        bool aboutDuring = false;
        const bool repairEnded = waitFor(
            [&] {
                aboutDuring =
                    aboutDuring || topWindow(app, L"KestraveForm", L"关于 Kestrave", 0) != nullptr;
                return ::IsWindowEnabled(repair) != FALSE;
            },
            60000);
        ::Sleep(1500); // a disable that had slipped through would be under way by now
        check(repairStarted && repairEnded, "a repair runs with F1 and a disable click during it");
        check(!aboutDuring, "F1 during the repair opens nothing");
        check(spoolerState() == SERVICE_RUNNING && spoolFileCount() == 0 &&
                  spoolerStartType() == SERVICE_AUTO_START,
              "the disable click during the repair undid nothing: running, queue empty, automatic");
    }

    void progressAndOneAtATime() {
        // Progress and outcome on the status line; one window, one operation at a time.
        {
            spoolerTo(SERVICE_RUNNING);
            putSpoolFiles(3000);
            ::PostMessageW(repair, BM_CLICK, 0, 0);
            const bool counted = waitFor(
                [&] { return statusText(app.main).find(L" / 3,000") != std::wstring::npos; },
                30000);
            screenshot(app.main, L"main-clearing");
            check(counted, "the line counts the queue as it clears it: n / 3,000");
            // Meanwhile a fleet's agent starts a repair on the command line: it waits its turn.
            const CliRun queued = runCli(exe, L"/repair");
            check(waitFor([&] { return ::IsWindowEnabled(repair) != FALSE; }, 60000) &&
                      statusText(app.main).rfind(L"修复完成：", 0) == 0,
                  "after the repair the line says what it did");
            screenshot(app.main, L"main-outcome");
            check(queued.endedByItself && queued.exitCode == 0 && !queued.out.empty() &&
                      queued.out.front() ==
                          L"另一个 Kestrave 正在修复或禁用打印机后台服务，正在等待..." &&
                      spoolerState() == SERVICE_RUNNING && spoolFileCount() == 0,
                  "a command-line repair during the window's waits its turn, then completes");
            // A second start brings this window forward and ends.
            ::SetForegroundWindow(::GetDesktopWindow());
            App second = start(exe, L"", false);
            const bool secondEnded =
                second.pi.hProcess != nullptr &&
                ::WaitForSingleObject(second.pi.hProcess, 15000) == WAIT_OBJECT_0;
            if (second.pi.hProcess != nullptr) {
                releaseApp(second);
            }
            check(secondEnded && waitFor([&] { return ::GetForegroundWindow() == app.main; }, 5000),
                  "a second start brings the running window forward and leaves one program");
        }
    }

    void soak() {
        // Soak: refreshes driven by timer messages, then repair/disable cycles.
        const Usage u0 = usage(app.pi.hProcess);
        for (int i = 0; i < refreshes; ++i) {
            ::SendMessageW(app.main, WM_TIMER, 1, 0);
        }
        const Usage u1 = usage(app.pi.hProcess);
        printUsage("refreshes", u0, u1);
        std::printf("  (%d refreshes)\n", refreshes);
        check(u1.privateBytes <= u0.privateBytes + 256 * 1024 && u1.handles <= u0.handles &&
                  u1.gdi <= u0.gdi && u1.user <= u0.user,
              "refreshes leave memory, handles and GUI objects flat");
        // A cycle that fails says so in a box, which would stay up unseen (and turn the close
        // that follows into a dropped one): each is read, counted and its text shown.
        int boxes = 0;
        std::wstring firstBox;
        for (int i = 0; i < cycles; ++i) {
            for (HWND button : {repair, disable}) {
                press(button);
                std::wstring boxTitle;
                std::wstring boxBody;
                if (takeMessageBox(app, &boxTitle, &boxBody, 0)) {
                    if (boxes++ == 0) {
                        firstBox = boxTitle + L": " + boxBody;
                        std::printf("  cycle %d: a box: %ls\n", i, firstBox.c_str());
                    }
                }
            }
        }
        check(boxes == 0, "repair/disable cycles put up no message");
        const Usage u2 = usage(app.pi.hProcess);
        printUsage("repair/disable cycles", u1, u2);
        std::printf("  (%d cycles)\n", cycles);
        check(u2.privateBytes <= u1.privateBytes + 512 * 1024 && u2.handles <= u1.handles,
              "repair/disable cycles leave memory and handles flat");
    }

    void closing() {
        // Closing ends the process and leaves nothing of it running.
        const DWORD pid = app.pi.dwProcessId;
        check(closeApp(app), "closing the main window ends the process");
        check(childProcesses(pid).empty(), "nothing Kestrave started is left running");
    }

    void aHungSpoolerAndACloseMeanwhile() {
        // A spooler that hangs stopping: its process is ended, the queue cleared, it runs, and
        // the user is told. A close asked for meanwhile is kept until that box is read. One
        // hung stop (the wait is the timing's own, 30 s) serves both.
        {
            spoolerTo(SERVICE_STOPPED);
            const std::wstring standIn = dir + L"\\hung-spooler.exe";
            ::CopyFileW(self.c_str(), standIn.c_str(), FALSE);
            kestrave::driver::HungSpooler hung(standIn);
            App closing = start(exe);
            const bool hangs = hung.ready() && spoolerTo(SERVICE_RUNNING);
            check(hangs, "a spooler that hangs stopping runs");
            if (closing.main && hangs) {
                putSpoolFiles(3);
                ::PostMessageW(child(closing.main, L"Button", L"修复打印机服务"), BM_CLICK, 0, 0);
                ::Sleep(1000);
                ::PostMessageW(closing.main, WM_CLOSE, 0, 0);
                const bool told =
                    takeMessageBox(closing, &title, &body, 70000, L"box-hung-ended");
                const bool ended =
                    ::WaitForSingleObject(closing.pi.hProcess, 10000) == WAIT_OBJECT_0;
                check(told && body.find(L"30") != std::wstring::npos && spoolFileCount() == 0 &&
                          spoolerState() == SERVICE_RUNNING,
                      "hung spooler: ended after 30 s, queue empty, running again, the user told");
                check(
                    told && ended && ::IsWindow(closing.main) == FALSE,
                    "a close during a hung-spooler repair: the program ends once its box is read");
                releaseApp(closing);
            } else {
                std::printf("  window %s, stand-in %s, spooler state %lu\n",
                            closing.main ? "shown" : "missing", hung.ready() ? "set" : "not set",
                            spoolerState());
                check(false, "a close during a hung-spooler repair: set up");
                if (closing.main) {
                    closeApp(closing);
                }
            }
        }
        ::Sleep(500);
        check(spoolerTo(SERVICE_RUNNING) && spoolerTo(SERVICE_STOPPED),
              "the real spooler is back and answers");
    }

    void onlyAHiddenFile() {
        // A queue holding only a hidden system file, which the repair leaves on purpose: a
        // success in the window and on the command line alike.
        {
            const std::wstring hidden = spool() + L"\\desktop.ini";
            ::CloseHandle(::CreateFileW(hidden.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM, nullptr));
            const CliRun r = runCli(exe, L"/repair");
            const bool cliDone =
                r.exitCode == 0 && !r.out.empty() && r.out.back().rfind(L"修复完成：", 0) == 0;
            if (!cliDone) {
                for (const std::wstring& line : r.out) {
                    std::printf("  /repair said: %ls\n", line.c_str());
                }
            }
            check(cliDone && exists(hidden),
                  "only a hidden file queued: /repair exits 0 and leaves it");
            App quiet = start(exe);
            if (quiet.main) {
                spoolerTo(SERVICE_STOPPED);
                const bool back = press(child(quiet.main, L"Button", L"修复打印机服务"));
                HWND errorBox = topWindow(quiet, L"#32770", L"", 1500);
                check(back && errorBox == nullptr &&
                          statusText(quiet.main).rfind(L"修复完成：", 0) == 0,
                      "only a hidden file queued: the window says the repair is done");
                if (errorBox != nullptr) {
                    ::PostMessageW(errorBox, WM_COMMAND, IDOK, 0);
                }
                closeApp(quiet);
            }
            ::SetFileAttributesW(hidden.c_str(), FILE_ATTRIBUTE_NORMAL);
            ::DeleteFileW(hidden.c_str());
            spoolerTo(SERVICE_STOPPED);
        }
    }

    void faults() {
        // Faults: no spooler service at all.
        const kestrave::win32::UniqueScHandle m(
            ::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
        kestrave::win32::UniqueScHandle s(::OpenServiceW(m.get(), L"Spooler", SERVICE_ALL_ACCESS));
        std::vector<BYTE> cfg(8192);
        DWORD need = 0;
        ::QueryServiceConfigW(s.get(), reinterpret_cast<QUERY_SERVICE_CONFIGW*>(cfg.data()), 8192,
                              &need);
        const auto* c = reinterpret_cast<QUERY_SERVICE_CONFIGW*>(cfg.data());
        const std::wstring binary = c->lpBinaryPathName;
        const std::wstring display = c->lpDisplayName ? c->lpDisplayName : L"Spooler";
        const DWORD startType = c->dwStartType;
        SERVICE_STATUS st{};
        ::ControlService(s.get(), SERVICE_CONTROL_STOP, &st);
        ::DeleteService(s.get());
        s.reset();
        waitFor([] { return spoolerState() == 0; }, 5000);
        App gone = start(exe);
        check(gone.main && statusText(gone.main) == L"Unknown",
              "no spooler service: \"Unknown\" shown");
        if (gone.main) {
            putSpoolFiles(1);
            press(child(gone.main, L"Button", L"修复打印机服务"));
            check(::WaitForSingleObject(gone.pi.hProcess, 0) == WAIT_TIMEOUT,
                  "no spooler service: repair ends, the program still runs");
            closeApp(gone);
        }
        s.reset(::CreateServiceW(m.get(), L"Spooler", display.c_str(), SERVICE_ALL_ACCESS,
                                 SERVICE_WIN32_OWN_PROCESS, startType, SERVICE_ERROR_NORMAL,
                                 binary.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr));
        check(static_cast<bool>(s), "the spooler's definition is restored");
        s.reset();

        // No spool folder.
        spoolerTo(SERVICE_STOPPED);
        const std::wstring aside = spool() + L"-aside";
        ::MoveFileW(spool().c_str(), aside.c_str());
        App nofolder = start(exe);
        if (nofolder.main) {
            check(press(child(nofolder.main, L"Button", L"修复打印机服务")) &&
                      waitFor([] { return spoolerState() == SERVICE_RUNNING; }, 10000),
                  "no spool folder: the repair still starts the spooler");
            closeApp(nofolder);
        }
        ::MoveFileW(aside.c_str(), spool().c_str());
        check(exists(besideSpool) && exists(insideSub),
              "nothing outside the spool folder's own files was deleted");

        // No printers at all (and so no default printer).
        {
            DWORD needed = 0, count = 0;
            ::EnumPrintersW(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, nullptr, 4, nullptr, 0,
                            &needed, &count);
            std::vector<BYTE> buf(needed + 16);
            ::EnumPrintersW(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, nullptr, 4, buf.data(),
                            static_cast<DWORD>(buf.size()), &needed, &count);
            const auto* info = reinterpret_cast<const PRINTER_INFO_4W*>(buf.data());
            for (DWORD i = 0; i < count; ++i) {
                HANDLE printer = nullptr;
                PRINTER_DEFAULTSW all{nullptr, nullptr, PRINTER_ALL_ACCESS};
                if (::OpenPrinterW(info[i].pPrinterName, &printer, &all)) {
                    ::DeletePrinter(printer);
                    ::ClosePrinter(printer);
                }
            }
        }
        App noprinters = start(exe);
        if (noprinters.main) {
            chooseItem(popMenu(noprinters), kestrave::menu::position(L"defaultPrinter"));
            HWND emptyDialog = topWindow(noprinters, L"KestraveForm", L"默认打印机设置");
            HWND combo = emptyDialog ? child(emptyDialog, L"ComboBox", L"") : nullptr;
            HWND setButton =
                emptyDialog ? child(emptyDialog, L"Button", L"设为默认打印机") : nullptr;
            const std::wstring why =
                spoolerState() == SERVICE_RUNNING
                    ? L"这台计算机上没有安装打印机。"
                    : L"打印机后台服务没有运行，无法列出打印机。请先修复打印机服务。";
            HWND reason = emptyDialog ? child(emptyDialog, L"KestraveLabel", why) : nullptr;
            if (emptyDialog) {
                ::Sleep(300);
                screenshot(emptyDialog, L"dialog-no-printers");
            }
            check(combo && !::IsWindowVisible(combo) && setButton &&
                      !::IsWindowEnabled(setButton) && reason && ::IsWindowVisible(reason),
                  "no printers: the dialog says why, and its button is greyed");
            if (emptyDialog) {
                // Esc closes it, as Cancel would.
                ::SetForegroundWindow(emptyDialog);
                ::PostMessageW(setButton, WM_KEYDOWN, VK_ESCAPE, 0);
                check(waitFor([&] { return !::IsWindow(emptyDialog); }, 3000),
                      "no printers: Esc closes the dialog");
                if (::IsWindow(emptyDialog)) {
                    ::PostMessageW(emptyDialog, WM_CLOSE, 0, 0);
                    waitFor([&] { return !::IsWindow(emptyDialog); }, 3000);
                }
            }
            check(::WaitForSingleObject(noprinters.pi.hProcess, 0) == WAIT_TIMEOUT,
                  "no printers: the program still runs");
            closeApp(noprinters);
        }
        check(!exists(dir + L"\\planted-ran"), "the planted sc.exe never ran in any of it");
    }

    void theCommandLine() {
        // The command line, as a fleet's agent runs it: exit codes, lines, the effect, no
        // window.
        {
            // Stopped on demand start, not disabled (an earlier pass may have left it so,
            // and a disabled spooler exits 3).
            spoolerTo(SERVICE_STOPPED);
            kestrave::testhelp::setServiceStartType(L"Spooler", SERVICE_DEMAND_START);
            CliRun r = runCli(exe, L"/status");
            check(r.endedByItself && r.exitCode == 1 && r.out.size() == 1 &&
                      r.out[0].rfind(L"打印机后台服务：已停止；", 0) == 0,
                  "/status on a stopped spooler: one line, exit 1");
            putSpoolFiles(3);
            r = runCli(exe, L"-REPAIR");
            check(r.endedByItself && r.exitCode == 0 && !r.out.empty() &&
                      r.out.back().rfind(L"修复完成：", 0) == 0 &&
                      spoolerState() == SERVICE_RUNNING && spoolFileCount() == 0 &&
                      spoolerStartType() == SERVICE_AUTO_START,
                  "/repair: a line per step, exit 0, running, automatic, queue empty");
            r = runCli(exe, L"/status");
            check(r.exitCode == 0 && r.out.size() == 1 &&
                      r.out[0] == L"打印机后台服务：正在运行；启动类型：自动；队列中的文件：0",
                  "/status on a running spooler: exit 0");
            r = runCli(exe, L"/disable");
            check(r.endedByItself && r.exitCode == 0 && !r.out.empty() &&
                      r.out.back().rfind(L"禁用完成：", 0) == 0 &&
                      spoolerState() == SERVICE_STOPPED && spoolerStartType() == SERVICE_DISABLED,
                  "/disable: exit 0, stopped, disabled");
            r = runCli(exe, L"/status");
            check(r.endedByItself && r.exitCode == 3 && r.out.size() == 1 &&
                      r.out[0] == L"打印机后台服务：已停止；启动类型：禁用；队列中的文件：0",
                  "/status on a disabled spooler: exit 3, told apart from one needing a repair");
            r = runCli(exe, L"/diagnose");
            check(r.endedByItself && r.exitCode == 1 && !r.out.empty() &&
                      r.out.back().rfind(L"诊断完成：发现", 0) == 0,
                  "/diagnose on a disabled spooler: its problems listed, exit 1");
            r = runCli(exe, L"/repair /disable");
            check(r.endedByItself && r.exitCode == 2 && r.out.empty() &&
                      r.err.find(L"/status") != std::wstring::npos &&
                      spoolerState() == SERVICE_STOPPED,
                  "two actions: the usage on the error stream, exit 2, nothing done");
            r = runCli(exe, L"/?");
            check(r.exitCode == 0 && r.out.size() >= 5, "/? prints the usage, exit 0");
            const std::wstring logPath = L"C:\\kestrave-drive\\fleet.log";
            ::DeleteFileW(logPath.c_str());
            const CliRun first = runCli(exe, L"/repair /log:" + logPath);
            const CliRun second = runCli(exe, L"/status /LOG:" + logPath);
            std::string logged;
            {
                HANDLE f = ::CreateFileW(logPath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                         OPEN_EXISTING, 0, nullptr);
                char buffer[8192];
                DWORD got = 0;
                while (f != INVALID_HANDLE_VALUE &&
                       ::ReadFile(f, buffer, sizeof buffer, &got, nullptr) && got > 0) {
                    logged.append(buffer, got);
                }
                if (f != INVALID_HANDLE_VALUE) {
                    ::CloseHandle(f);
                }
            }
            const std::vector<std::wstring> logLines = splitLines(fromUtf8(logged));
            bool stamped = !logLines.empty();
            for (const std::wstring& l : logLines) {
                // 2026-12-07T15:26:01+01:00 and the line.
                stamped = stamped && l.size() > 26 && l[4] == L'-' && l[10] == L'T' &&
                          l[19] != L' ' && l[25] == L' ';
            }
            check(
                first.exitCode == 0 && second.exitCode == 0 &&
                    logLines.size() == first.out.size() + second.out.size() && stamped &&
                    logged.rfind("\xEF\xBB\xBF", 0) != 0,
                "/log: twice, appended, every line time-stamped, UTF-8 without a byte-order mark");
            r = runCli(exe, L"/status /log:C:\\no-such-folder\\x.log");
            check(r.exitCode == 2 && r.out.empty(), "a log that cannot be opened: exit 2");
            ::DeleteFileW(logPath.c_str());

            // Another process holds the names anyone can create, as a standard user could: the
            // repair and the window go ahead all the same.
            HANDLE squatOperation =
                ::CreateMutexW(nullptr, TRUE, L"Global\\Kestrave.SpoolerOperation");
            HANDLE squatWindow = ::CreateMutexW(nullptr, TRUE, L"Local\\Kestrave.Window");
            putSpoolFiles(2);
            const DWORD before = ::GetTickCount();
            r = runCli(exe, L"/repair");
            const DWORD took = ::GetTickCount() - before;
            check(squatOperation && squatWindow && r.endedByItself && r.exitCode == 0 &&
                      took < 30000 && spoolFileCount() == 0 && spoolerState() == SERVICE_RUNNING,
                  "names held by another process: /repair completes at once (" +
                      std::to_string(took) + " ms), exit 0");
            App despite = start(exe);
            check(despite.main != nullptr, "names held by another process: the window opens");
            if (despite.main != nullptr) {
                closeApp(despite);
            }
            ::CloseHandle(squatOperation);
            ::CloseHandle(squatWindow);
            spoolerTo(SERVICE_STOPPED);
        }
    }

    void nothingPlantedRuns() {
        // Nothing planted beside the program or in its working directory runs or loads, whatever
        // the user does: every shortcut, the about window (its pictures need GDI+), a repair.
        {
            const std::wstring cwd = L"C:\\kestrave-cwd";
            const std::wstring dll = folderOf(self) + L"\\planted-gdiplus.dll";
            plant(dir, dll);
            plant(cwd, dll);
            App planted = start(exe, cwd);
            if (planted.main) {
                press(child(planted.main, L"Button", L"设备和打印机"));
                for (const kestrave::menu::Row& row : kestrave::menu::kRows) {
                    if (!row.console) {
                        continue;
                    }
                    const std::wstring command(row.command);
                    HWND menu = popMenu(planted);
                    chooseItem(menu, kestrave::menu::position(command));
                    if (command == std::wstring(L"services")) {
                        // Wine has no mmc.exe: the program says so, with the system's reason.
                        const bool told =
                            takeMessageBox(planted, &title, &body, 8000, L"box-no-mmc");
                        check(told && body.rfind(L"无法启动 ", 0) == 0 &&
                                  body.find(L"\\mmc.exe：") != std::wstring::npos &&
                                  body.size() > body.find(L"：") + 1,
                              "Services: the missing console is reported with the system's reason");
                    }
                    waitFor(
                        [&] {
                            return ::IsWindowEnabled(child(planted.main, L"Button", L"菜单...")) !=
                                   FALSE;
                        },
                        10000);
                }
                ::PostMessageW(planted.main, WM_KEYDOWN, VK_F1, 0);
                HWND aboutWindow = topWindow(planted, L"KestraveForm", L"关于 Kestrave");
                ::Sleep(500); // painted, pictures and all
                if (aboutWindow) {
                    ::PostMessageW(aboutWindow, WM_CLOSE, 0, 0);
                    waitFor([&] { return !::IsWindow(aboutWindow); }, 3000);
                }
                putSpoolFiles(2);
                check(press(child(planted.main, L"Button", L"修复打印机服务")) &&
                          spoolFileCount() == 0,
                      "a repair with planted files about still works");
                closeApp(planted);
            }
            check(planted.main != nullptr && !marked(dir) && !marked(cwd),
                  "nothing planted beside the program or in its working directory ran or loaded");
            unplant(dir);
            unplant(cwd);
            ::RemoveDirectoryW(cwd.c_str());
        }
    }

    void cleanUp() {
        check(endProcessesOf(exe) == 0, "no Kestrave of this run is left running");
        ::DeleteFileW(besideSpool.c_str());
        ::DeleteFileW(insideSub.c_str());
        ::RemoveDirectoryW((spool() + L"\\keep").c_str());
        ::DeleteFileW((dir + L"\\sc.exe").c_str());
        ::DeleteFileW(exe.c_str());
        ::RemoveDirectoryW(dir.c_str());
        spoolerTo(SERVICE_STOPPED);
    }
};

int main() {
    int argc = 0;
    wchar_t** wargv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    const std::wstring self = selfPath();
    if (kestrave::testhelp::actAsPlantedSc()) { // planted beside Kestrave.exe
        return 0;
    }
    if (kestrave::driver::runAsHungServiceIfAsked()) { // standing in for a hung spooler
        return 0;
    }
    if (argc < 2) {
        std::printf(
            "usage: kestrave_driver Kestrave.exe [--shots DIR] [--cycles N] [--refreshes N] "
            "[--basic]\n");
        return 2;
    }
    int cycles = 200;
    int refreshes = 20000;
    bool basic = false;
    for (int i = 2; i < argc; ++i) {
        const std::wstring flag = wargv[i];
        if (flag == L"--basic") {
            basic = true;
            continue;
        }
        if (i + 1 >= argc) {
            break;
        }
        ++i;
        if (flag == L"--shots") {
            shotDir = wargv[i];
        } else if (flag == L"--cycles") {
            cycles = _wtoi(wargv[i]);
        } else if (flag == L"--refreshes") {
            refreshes = _wtoi(wargv[i]);
        }
    }
    // Run a copy from a folder of its own, with a planted sc.exe beside it.
    const std::wstring dir = L"C:\\kestrave-drive";
    ::CreateDirectoryW(dir.c_str(), nullptr);
    const std::wstring exe = dir + L"\\Kestrave.exe";
    ::CopyFileW(wargv[1], exe.c_str(), FALSE);
    ::CopyFileW(self.c_str(), (dir + L"\\sc.exe").c_str(), FALSE);
    ::DeleteFileW((dir + L"\\planted-ran").c_str());

    Drive d;
    d.self = self;
    d.dir = dir;
    d.exe = exe;
    d.cycles = cycles;
    d.refreshes = refreshes;
    if (!d.statusFollowsTheSpooler()) {
        std::printf("%d passed, %d failed\n", passed, failed + 1);
        return 1;
    }
    d.repairsAndDisables();
    if (basic) {
        // Another build of the program (the 32-bit one): its window, its buttons and its
        // command line act on the spooler; the rest is the same code.
        d.closing();
        d.theCommandLine();
        d.cleanUp();
        std::printf("%d passed, %d failed\n", passed, failed);
        return failed == 0 ? 0 : 1;
    }
    d.aHeldSpoolFile();
    d.theMenuAndF1();
    d.theDefaultPrinterDialog();
    d.clicksDuringAWait();
    d.keysDuringARepair();
    d.progressAndOneAtATime();
    d.soak();
    d.closing();
    d.aHungSpoolerAndACloseMeanwhile();
    d.onlyAHiddenFile();
    d.faults();
    d.theCommandLine();
    d.nothingPlantedRuns();
    d.cleanUp();

    std::printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}
