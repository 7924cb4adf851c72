#pragma once
#include <functional>
#include <string>
#include <vector>

#include "ui/Control.h"
#include "ui/Form.h"
#include "ui/IWindowSystem.h"
#include "ui/Menu.h"

namespace kestrave::fake {

// A window system without windows: it loads forms, records what the program shows and lets
// a test act where a user would (inside a modal window, a menu, a wait).
class HeadlessWindowSystem : public ui::IWindowSystem {
  public:
    struct Box {
        std::wstring text;
        std::wstring title;
        int style;
    };
    std::vector<Box> boxes;
    std::vector<std::wstring> errors;
    std::vector<std::wstring> modalShown;
    std::vector<std::wstring> popups;
    int beeps = 0;
    int handCursorShown = 0;
    int doEventsCalls = 0;
    int sleptMs = 0;
    // The clock: moved by sleeps, and by this much at every handling of events.
    int msPerEvents = 0;
    std::uint64_t clockMs = 0;
    ui::AppVersion version{L"Kestrave", 1, 0, 0};

    // What the user does while a modal form is open, a menu is up, or events are handled.
    std::function<void(ui::Form&)> whileModal;
    std::function<void(ui::Menu&)> onPopup;
    std::function<void()> onDoEvents;
    std::function<void(const Box&)> onMessageBox;

    void show(ui::Form& form) override { load(form); }
    void showModal(ui::Form& form) override {
        if (inModal_ == &form) {
            return;
        }
        load(form);
        modalShown.push_back(form.name());
        ui::Form* outer = inModal_;
        inModal_ = &form;
        if (whileModal) {
            whileModal(form);
        }
        inModal_ = outer;
        unload(form);
    }
    void unload(ui::Form& form) override { form.endUnload(); }
    // As the window system does: the close comes once the running handler has returned,
    // here when the test calls deliverCloses().
    void requestClose(ui::Form& form) override { closesPosted.push_back(&form); }
    std::vector<ui::Form*> closesPosted;
    // The user asks the form to close; true when it closed.
    bool userCloses(ui::Form& form) {
        if (!form.closeRequested()) {
            return false;
        }
        unload(form);
        return true;
    }
    void deliverCloses() {
        auto pending = std::move(closesPosted);
        closesPosted.clear();
        for (ui::Form* f : pending) {
            userCloses(*f);
        }
    }
    struct ProgressShown {
        Progress kind;
        std::size_t done;
        std::size_t total;
    };
    std::vector<ProgressShown> progress;
    void setProgress(ui::Form&, Progress kind, std::size_t done, std::size_t total) override {
        progress.push_back({kind, done, total});
    }
    std::vector<std::wstring> copied;
    std::vector<std::wstring> saved;
    std::uint32_t saveResult = 0; // 1223: the user cancels
    bool copyText(ui::Form&, const std::wstring& text) override {
        copied.push_back(text);
        return true;
    }
    std::uint32_t saveText(ui::Form&, const std::wstring& name, const std::wstring& text) override {
        if (saveResult == 0) {
            saved.push_back(name + L"|" + text);
        }
        return saveResult;
    }
    int boxAnswer = 1; // what every message box answers: OK (Yes is 6)
    int messageBox(const std::wstring& text, const std::wstring& title, int style) override {
        boxes.push_back({text, title, style});
        if (onMessageBox) {
            onMessageBox(boxes.back());
        }
        return boxAnswer;
    }
    // What assistive technology was told: the accessible name at each announcement.
    std::vector<std::wstring> announced;
    void announce(const ui::Control& control) override {
        announced.push_back(control.accessibleName());
    }
    bool highContrastOn = false;
    bool highContrast() override { return highContrastOn; }
    void popupMenu(ui::Form&, ui::Menu& menu, const ui::Control&) override {
        popups.push_back(menu.name());
        if (onPopup) {
            onPopup(menu);
        }
    }
    // Roughly the size a CJK font gives: full width for CJK, half for the rest.
    ui::TwipSize measureText(const ui::Font& font, const std::wstring& text) override {
        double width = 0;
        for (wchar_t c : text) {
            width += (c >= 0x2E80 ? 1.0 : 0.5) * font.points * 20;
        }
        return {static_cast<int>(width), static_cast<int>(font.points * 20 * 1.3)};
    }
    std::uint64_t milliseconds() override { return clockMs; }
    void doEvents() override {
        ++doEventsCalls;
        clockMs += static_cast<std::uint64_t>(msPerEvents);
        if (onDoEvents) {
            onDoEvents();
        }
    }
    void sleepResponsive(int ms) override {
        sleptMs += ms;
        clockMs += static_cast<std::uint64_t>(ms);
        doEvents();
    }
    void reportError(const std::exception& e) override {
        const std::string what = e.what();
        errors.emplace_back(what.begin(), what.end());
    }
    void showHandCursor() override { ++handCursorShown; }
    void beep() override { ++beeps; }
    ui::AppVersion appVersion() override { return version; }
    std::wstring systemMessage(std::uint32_t code) override {
        return L"error " + std::to_wstring(code);
    }

  private:
    void load(ui::Form& form) {
        if (!form.loaded()) {
            form.beginLoad();
            form.runLoadHandler();
        }
    }
    ui::Form* inModal_ = nullptr;
};

} // namespace kestrave::fake
