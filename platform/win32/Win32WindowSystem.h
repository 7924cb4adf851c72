#pragma once
#include <map>
#include <memory>
#include <string>

#include "platform/IStringTable.h"
#include "platform/win32/DrawingCache.h"
#include "platform/win32/FormWindow.h"
#include "platform/win32/MessageLoop.h"
#include "platform/win32/Win32Pictures.h"
#include "ui/Form.h"
#include "ui/IWindowSystem.h"

#include <shobjidl.h>
#include <wrl/client.h>

namespace kestrave::win32 {

// Forms as real top-level windows with real child windows, themed through the manifest.
class Win32WindowSystem : public ui::IWindowSystem, private MessageFilter {
  public:
    Win32WindowSystem(HINSTANCE instance, const IStringTable& strings);
    ~Win32WindowSystem() override;

    void show(ui::Form& form) override;
    void showModal(ui::Form& form) override;
    void unload(ui::Form& form) override;
    void requestClose(ui::Form& form) override;
    void setProgress(ui::Form& form, Progress kind, std::size_t done, std::size_t total) override;
    bool copyText(ui::Form& form, const std::wstring& text) override;
    std::uint32_t saveText(ui::Form& form, const std::wstring& suggestedName,
                           const std::wstring& text) override;
    int messageBox(const std::wstring& text, const std::wstring& title, int style) override;
    void popupMenu(ui::Form& form, ui::Menu& menu, const ui::Control& from) override;
    ui::TwipSize measureText(const ui::Font& font, const std::wstring& text) override;
    void doEvents() override { loop_.doEvents(); }
    void sleepResponsive(int ms) override { loop_.sleepResponsive(ms); }
    std::uint64_t milliseconds() override { return ::GetTickCount64(); }
    void announce(const ui::Control& control) override;
    bool highContrast() override;
    void reportError(const std::exception& e) override;
    void showHandCursor() override;
    void beep() override;
    ui::AppVersion appVersion() override;
    std::wstring systemMessage(std::uint32_t code) override;

    // Runs the message loop until the start-up form has been closed.
    int run();
    // Handles one message the way every loop of the program does.
    void pump(MSG& msg) { loop_.dispatch(msg); }

    HWND hwndOf(const ui::Form& form) const;
    HWND hwndOf(const ui::Control& control) const;
    // The resolution new windows are laid out at: the system's, in dots per inch.
    int dpi() {
        prepare();
        return dpi_;
    }
    DrawingCache& drawing() { return drawing_; }
    Pictures& pictures() { return pictures_; }

  private:
    FormWindow* create(ui::Form& form, HWND owner,
                       FormWindow::Controls which = FormWindow::Controls::All);
    // The resolution and the window classes, once.
    void prepare();
    // comctl32, once: the system's controls need it.
    void loadCommonControls();
    // F1 first, then the keys that move between controls.
    bool filter(MSG& msg) override;

    HINSTANCE instance_;
    const IStringTable& strings_;
    int dpi_ = 96;
    bool prepared_ = false;
    bool commonControls_ = false;
    ui::Form* main_ = nullptr;
    MessageLoop loop_{*this};
    std::map<ui::Form*, std::unique_ptr<FormWindow>> windows_;
    DrawingCache drawing_;
    Pictures pictures_;
    Microsoft::WRL::ComPtr<ITaskbarList3> taskbar_; // made at the first progress shown
    bool taskbarTried_ = false;
    bool keyboardLast_ = false; // the last input was a key, not the mouse
};

} // namespace kestrave::win32
