#include "platform/win32/Win32WindowSystem.h"

#include "platform/win32/StartupTimeline.h"
#include "platform/win32/SystemLibrary.h"

#include <commctrl.h>

#include "platform/SystemError.h"
#include "platform/win32/ComFunctions.h"
#include "platform/win32/SystemMessage.h"
#include "platform/win32/VersionRecord.h"
#include "platform/win32/Win32Registry.h"
#include "resources/StringIds.h"

namespace kestrave::win32 {

Win32WindowSystem::Win32WindowSystem(HINSTANCE instance, const IStringTable& strings)
    : instance_(instance), strings_(strings), drawing_(instance) {}

// Both at the first window or measurement, not when the program starts: the command line
// makes no window and so never loads comctl32 nor talks to the display.
void Win32WindowSystem::loadCommonControls() {
    if (commonControls_) {
        return;
    }
    commonControls_ = true;
    // comctl32 by its bare name: the manifest's side-by-side version 6, else System32's.
    static SystemLibrary comctl32(L"comctl32.dll");
    if (const auto init = comctl32.get<decltype(&::InitCommonControlsEx)>("InitCommonControlsEx")) {
        INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
        init(&icc);
    }
    startup::mark(startup::kControls);
}

void Win32WindowSystem::prepare() {
    if (prepared_) {
        return;
    }
    prepared_ = true;
    {
        WindowDc screen(nullptr);
        dpi_ = ::GetDeviceCaps(screen.get(), LOGPIXELSY);
    }
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = WindowBase::thunk;
    wc.hInstance = instance_;
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = FormWindow::kClass;
    ::RegisterClassExW(&wc);
    // No class cursor: the cursor shown over a label is whatever its handler set last.
    wc.hCursor = nullptr;
    wc.lpszClassName = ControlWindow::kLabelClass;
    ::RegisterClassExW(&wc);
    wc.lpszClassName = ControlWindow::kImageClass;
    ::RegisterClassExW(&wc);
}

Win32WindowSystem::~Win32WindowSystem() {
    windows_.clear();
}

FormWindow* Win32WindowSystem::create(ui::Form& form, HWND owner, FormWindow::Controls which) {
    prepare();
    if (which == FormWindow::Controls::All) {
        loadCommonControls();
    }
    auto window = std::make_unique<FormWindow>(*this, form);
    FormWindow* fw = window.get();
    windows_[&form] = std::move(window);
    form.beginLoad();
    fw->create(instance_, owner, which);
    form.runLoadHandler();
    return fw;
}

HWND Win32WindowSystem::hwndOf(const ui::Form& form) const {
    const auto it = windows_.find(const_cast<ui::Form*>(&form));
    return it == windows_.end() ? nullptr : it->second->hwnd();
}

HWND Win32WindowSystem::hwndOf(const ui::Control& control) const {
    const auto it = windows_.find(&control.form());
    return it == windows_.end() ? nullptr : it->second->hwndOf(control);
}

namespace {
void focusFirst(const ui::Form& form, const Win32WindowSystem& ws) {
    const ui::Control* first = nullptr;
    for (const ui::Control* c : form.controls()) {
        if (c->tabIndex() >= 0 && c->enabled() && (!first || c->tabIndex() < first->tabIndex())) {
            first = c;
        }
    }
    if (first != nullptr) {
        ::SetFocus(ws.hwndOf(*first));
    }
}
} // namespace

void Win32WindowSystem::show(ui::Form& form) {
    if (main_ == nullptr) {
        main_ = &form;
    }
    // The program's first window is in sight, its state painted, before comctl32 is loaded:
    // under Wine loading it takes twice as long as making the window. Its buttons are made
    // right after, before the loop reads any input, so no click can find them missing.
    const bool firstSight = !form.loaded() && !commonControls_;
    FormWindow* fw = form.loaded() ? windows_[&form].get()
                                   : create(form, nullptr,
                                            firstSight ? FormWindow::Controls::OwnOnly
                                                       : FormWindow::Controls::All);
    ::ShowWindow(fw->hwnd(), SW_SHOW);
    if (firstSight) {
        fw->paintOwnControls();
        startup::mark(startup::kFirstSight);
        loadCommonControls();
        fw->createRemainingControls(instance_);
    }
    ::UpdateWindow(fw->hwnd());
    focusFirst(form, *this);
}

void Win32WindowSystem::showModal(ui::Form& form) {
    if (form.loaded()) {
        // Already open: bring it forward rather than opening it twice.
        ::SetForegroundWindow(hwndOf(form));
        return;
    }
    HWND owner = main_ != nullptr ? hwndOf(*main_) : nullptr;
    // Where the keyboard was, to go back there when the window closes.
    HWND focus = ::GetFocus();
    FormWindow* fw = create(form, owner);
    fw->modal = true;
    if (owner != nullptr) {
        ::EnableWindow(owner, FALSE);
    }
    ::ShowWindow(fw->hwnd(), SW_SHOW);
    focusFirst(form, *this);
    loop_.runWhile([&form] { return form.loaded(); });
    if (form.loaded()) {
        unload(form);
    }
    if (focus != nullptr && ::IsWindow(focus) && ::IsWindowEnabled(focus)) {
        ::SetFocus(focus);
    }
}

void Win32WindowSystem::unload(ui::Form& form) {
    const auto it = windows_.find(&form);
    form.endUnload();
    if (it == windows_.end()) {
        return;
    }
    FormWindow* fw = it->second.get();
    if (fw->modal && fw->owner() != nullptr) {
        // Give the owner its input back before the modal window goes, so it is activated.
        ::EnableWindow(fw->owner(), TRUE);
        ::SetActiveWindow(fw->owner());
    }
    std::unique_ptr<FormWindow> gone = std::move(it->second);
    windows_.erase(it);
    gone.reset();
    if (&form == main_) {
        main_ = nullptr;
    }
}

int Win32WindowSystem::run() {
    // The benchmark asks for the start-up's steps; nobody else pays for them.
    if (startup::asked()) {
        loop_.onFirstIdle = [this] {
            startup::mark(startup::kIdle);
            startup::publish(main_ != nullptr ? hwndOf(*main_) : nullptr);
        };
    }
    return loop_.run();
}

void Win32WindowSystem::requestClose(ui::Form& form) {
    if (HWND hwnd = hwndOf(form)) {
        ::PostMessageW(hwnd, WM_CLOSE, 0, 0);
    }
}

void Win32WindowSystem::setProgress(ui::Form& form, Progress kind, std::size_t done,
                                    std::size_t total) {
    if (!taskbarTried_) {
        taskbarTried_ = true;
        if (FAILED(com::createInstance(CLSID_TaskbarList, CLSCTX_INPROC_SERVER,
                                       IID_PPV_ARGS(&taskbar_))) ||
            FAILED(taskbar_->HrInit())) {
            taskbar_.Reset(); // no taskbar to show it on
        }
    }
    const HWND hwnd = hwndOf(form);
    if (!taskbar_ || hwnd == nullptr) {
        return;
    }
    switch (kind) {
    case Progress::None:
        taskbar_->SetProgressState(hwnd, TBPF_NOPROGRESS);
        break;
    case Progress::Indeterminate:
        taskbar_->SetProgressState(hwnd, TBPF_INDETERMINATE);
        break;
    case Progress::Fraction:
        taskbar_->SetProgressState(hwnd, TBPF_NORMAL);
        taskbar_->SetProgressValue(hwnd, done, total);
        break;
    }
}

int Win32WindowSystem::messageBox(const std::wstring& text, const std::wstring& title, int style) {
    return ::MessageBoxW(::GetActiveWindow(), text.c_str(), title.c_str(),
                         static_cast<UINT>(style) | MB_OK);
}

void Win32WindowSystem::popupMenu(ui::Form& form, ui::Menu& menu, const ui::Control& from) {
    const auto it = windows_.find(&form);
    if (it != windows_.end()) {
        it->second->popupMenu(menu, keyboardLast_ ? hwndOf(from) : nullptr);
    }
}

ui::TwipSize Win32WindowSystem::measureText(const ui::Font& f, const std::wstring& text) {
    prepare();
    WindowDc screen(nullptr);
    SelectObjectScope select(screen.get(), drawing_.font(f, dpi_));
    SIZE size{};
    ::GetTextExtentPoint32W(screen.get(), text.c_str(), static_cast<int>(text.size()), &size);
    TEXTMETRICW tm{};
    ::GetTextMetricsW(screen.get(), &tm);
    return {::MulDiv(size.cx, 1440, dpi_),
            ::MulDiv(std::max<LONG>(size.cy, tm.tmHeight), 1440, dpi_)};
}

bool Win32WindowSystem::filter(MSG& msg) {
    if (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST) {
        keyboardLast_ = true;
    } else if (msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST &&
               msg.message != WM_MOUSEMOVE) {
        keyboardLast_ = false;
    }
    HWND root = msg.hwnd ? ::GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
    if (root == nullptr) {
        return false;
    }
    for (auto& [form, window] : windows_) {
        if (window->hwnd() != root) {
            continue;
        }
        if ((msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) && form->keyPreview() &&
            ::IsWindowEnabled(root)) {
            const int shift = (::GetKeyState(VK_SHIFT) < 0 ? 1 : 0) |
                              (::GetKeyState(VK_CONTROL) < 0 ? 2 : 0) |
                              (::GetKeyState(VK_MENU) < 0 ? 4 : 0);
            ui::Form* target = form; // the handler may open or close windows
            if (target->keyDown(static_cast<int>(msg.wParam), shift)) {
                return true;
            }
            // The form may have gone with the key's handler.
            return windows_.count(target) != 0 && ::IsDialogMessageW(root, &msg);
        }
        return ::IsDialogMessageW(root, &msg);
    }
    return false;
}

void Win32WindowSystem::reportError(const std::exception& e) {
    const std::wstring text = unexpectedErrorText(e, strings_, L"\n\n");
    ::MessageBoxW(::GetActiveWindow(), text.c_str(), strings_.text(IDS_APP_NAME).c_str(),
                  MB_OK | MB_ICONERROR);
}

void Win32WindowSystem::showHandCursor() {
    // A shared system cursor: loaded once, never destroyed.
    static const HCURSOR hand = ::LoadCursorW(nullptr, IDC_HAND);
    ::SetCursor(hand);
}

void Win32WindowSystem::beep() {
    ::MessageBeep(MB_OK);
}

std::wstring Win32WindowSystem::systemMessage(std::uint32_t code) {
    return win32::systemMessage(code);
}

ui::AppVersion Win32WindowSystem::appVersion() {
    return readVersionRecord();
}

} // namespace kestrave::win32
