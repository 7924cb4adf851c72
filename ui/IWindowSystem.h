#pragma once
#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>

#include "platform/IEventLoop.h"
#include "ui/Types.h"

namespace kestrave::ui {

class Form;
class Menu;
class Control;

struct AppVersion {
    std::wstring productName;
    int major = 0;
    int minor = 0;
    int revision = 0;
};

// The window system as the forms use it.
class IWindowSystem : public IEventLoop {
  public:
    virtual ~IWindowSystem() = default;

    // Loads the form if it is not loaded and shows it; the start-up form.
    virtual void show(Form& form) = 0;
    // Loads the form if needed and shows it modally: returns once it has been closed.
    virtual void showModal(Form& form) = 0;
    // Closes and unloads the form.
    virtual void unload(Form& form) = 0;
    // Asks the form to close as the user would, once the handler now running has returned.
    virtual void requestClose(Form& form) = 0;

    // The form's taskbar button shows an operation's progress: none, an unknown amount, or
    // done of total.
    enum class Progress { None, Indeterminate, Fraction };
    virtual void setProgress(Form& form, Progress kind, std::size_t done, std::size_t total) = 0;

    // Puts the text on the clipboard; false when it could not.
    virtual bool copyText(Form& form, const std::wstring& text) = 0;
    // Asks where to save the text (the standard save dialog, suggesting that name) and writes
    // it there as UTF-8: 0, 1223 when the user cancelled, or the system's code.
    virtual std::uint32_t saveText(Form& form, const std::wstring& suggestedName,
                                   const std::wstring& text) = 0;

    virtual int messageBox(const std::wstring& text, const std::wstring& title, int style) = 0;
    // Pops the menu up at the pointer; opened from the keyboard on `from` (the control that
    // opens it), under that control instead, as the system's own menus do.
    virtual void popupMenu(Form& form, Menu& menu, const Control& from) = 0;
    virtual TwipSize measureText(const Font& font, const std::wstring& text) = 0;

    // Tells assistive technology that the control's accessible name changed (and, where the
    // system has live regions, that its polite live region did): called once per change worth
    // hearing, never per tick.
    virtual void announce(const Control& control) = 0;
    // Whether a high-contrast theme is on: every colour the program picks then comes from the
    // system's table.
    virtual bool highContrast() = 0;

    // The program's treatment of an error no handler trapped.
    virtual void reportError(const std::exception& e) = 0;

    // The pointer as the hand that says "this opens something", until it next moves.
    virtual void showHandCursor() = 0;
    // The system's plain beep.
    virtual void beep() = 0;

    virtual AppVersion appVersion() = 0;
    // The system's own text for an error code.
    virtual std::wstring systemMessage(std::uint32_t code) = 0;
};

} // namespace kestrave::ui
