#pragma once
#include <map>
#include <memory>
#include <string>

#include "platform/win32/Handles.h"
#include "platform/win32/Win32Pictures.h"
#include "ui/Form.h"
#include "ui/IWindowSystem.h"

namespace kestrave::ui {
class Control;
}

namespace kestrave::win32 {

class FormWindow;

// Forms as real top-level windows with real child windows, themed through the manifest.
class Win32WindowSystem : public ui::IWindowSystem {
  public:
    explicit Win32WindowSystem(HINSTANCE instance);
    ~Win32WindowSystem() override;

    void show(ui::Form& form) override;
    void showModal(ui::Form& form) override;
    void unload(ui::Form& form) override;
    int messageBox(const std::wstring& text, const std::wstring& title, int style) override;
    void popupMenu(ui::Form& form, ui::Menu& menu) override;
    ui::TwipSize measureText(const ui::Font& font, const std::wstring& text) override;
    void doEvents() override;
    void sleepResponsive(int ms) override;
    void reportError(const std::exception& e) override;
    std::uintptr_t LoadCursorA(std::uintptr_t instance, std::uintptr_t resource) override;
    void SetCursor(std::uintptr_t cursor) override;
    void MessageBeep(unsigned type) override;
    ui::AppVersion appVersion() override;
    std::wstring systemMessage(std::uint32_t code) override;

    // Runs the message loop until the start-up form has been closed.
    int run();
    // Handles one message the way every loop of the program does (F1 first, then the keys
    // that move between controls, then the window).
    void pump(MSG& msg);

    HWND hwndOf(const ui::Form& form) const;
    HWND hwndOf(const ui::Control& control) const;
    int dpi() const { return dpi_; }
    int px(int twips) const { return ::MulDiv(twips, dpi_, 1440); }
    int twips(int px) const { return ::MulDiv(px, 1440, dpi_); }

    // Shared drawing resources, kept for the program's life so repainting allocates nothing.
    HFONT font(const ui::Font& f);
    HICON icon(int id, bool small);
    Pictures& pictures() { return pictures_; }
    static COLORREF resolve(ui::Color c);

  private:
    FormWindow* create(ui::Form& form, HWND owner);
    bool preTranslate(const MSG& msg);
    // The next message for a loop of ours; false once the program's quit has arrived.
    bool nextMessage(MSG& msg);

    HINSTANCE instance_;
    int dpi_ = 96;
    ui::Form* main_ = nullptr;
    bool quitting_ = false; // the program's quit message has been taken from the queue
    int exitCode_ = 0;
    std::map<ui::Form*, std::unique_ptr<FormWindow>> windows_;
    std::map<std::wstring, UniqueGdiObject> fonts_;
    std::map<int, UniqueIcon> icons_;
    Pictures pictures_;
};

} // namespace kestrave::win32
