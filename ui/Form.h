#pragma once
#include <functional>
#include <string>
#include <vector>

#include "ui/IWindowSystem.h"
#include "ui/Types.h"

namespace kestrave::ui {

class Control;
class Timer;
class Menu;

enum class StartPosition { CenterScreen, CenterOwner };

class FormPeer {
  public:
    virtual ~FormPeer() = default;
    virtual void changed() = 0; // caption, background or icon
};

// A top-level window: its controls are members of the derived class, which sets their
// design-time properties in design() and handles their events in member functions.
class Form {
  public:
    Form(IWindowSystem& ws, std::wstring name);
    virtual ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    IWindowSystem& ws() const { return ws_; }
    const std::wstring& name() const { return name_; }

    const std::wstring& caption() const { return caption_; }
    void setCaption(const std::wstring& c) { assign(caption_, c); }
    TwipSize clientSize() const { return clientSize_; }
    void setClientSize(TwipSize s) { clientSize_ = s; }
    Color backColor() const { return backColor_; }
    void setBackColor(Color c) { assign(backColor_, c); }
    PictureId icon() const { return icon_; }
    void setIcon(PictureId id) { assign(icon_, id); }
    bool keyPreview() const { return keyPreview_; }
    void setKeyPreview(bool on) { keyPreview_ = on; }
    StartPosition startPosition() const { return startPosition_; }
    void setStartPosition(StartPosition p) { startPosition_ = p; }
    // Whether Esc closes the window, as Cancel would (dialogs and secondary windows).
    bool closesOnEscape() const { return closesOnEscape_; }
    void setClosesOnEscape(bool on) { closesOnEscape_ = on; }
    // The buttons Enter and Esc press wherever the focus is not on another button (none:
    // Enter does nothing, Esc closes where closesOnEscape says so).
    Control* defaultButton() const { return defaultButton_; }
    void setDefaultButton(Control* button) { defaultButton_ = button; }
    Control* cancelButton() const { return cancelButton_; }
    void setCancelButton(Control* button) { cancelButton_ = button; }

    const std::vector<Control*>& controls() const { return controls_; }
    const std::vector<Timer*>& timers() const { return timers_; }
    const std::vector<Menu*>& menus() const { return menus_; }

    bool loaded() const { return loaded_; }
    // The backend's side of loading and unloading.
    void beginLoad();
    void runLoadHandler();
    void endUnload();

    // Runs an event handler; an error it does not trap goes to the window system.
    void fire(const std::function<void()>& handler);
    // A key pressed while the form previews keys: true when it was the form's own (a menu
    // item's key), which then goes no further.
    bool keyDown(int keyCode, int shift);
    // The system's colours or theme changed (high contrast switched on or off): the form
    // picks its colours again.
    void themeChanged() { fire([this] { onThemeChanged(); }); }
    // The user asks to close the window: true when it may close now.
    bool closeRequested() { return onCloseRequest(); }

    void attachPeer(FormPeer* p) { peer_ = p; }
    FormPeer* peer() const { return peer_; }

    // Called by the constructors of controls, timers and menus.
    void registerControl(Control* c) { controls_.push_back(c); }
    void registerTimer(Timer* t) { timers_.push_back(t); }
    void registerMenu(Menu* m) { menus_.push_back(m); }

  protected:
    // Sets every control to its design-time state; runs at each load.
    virtual void design() = 0;
    // Runs after the design, before the window is made: work its first showing needs may
    // start here and go on while the window and its controls are made.
    virtual void onLoading() {}
    virtual void onLoad() {}
    virtual bool onKeyDown(int /*keyCode*/, int /*shift*/) { return false; }
    virtual bool onCloseRequest() { return true; }
    virtual void onThemeChanged() {}

  private:
    // As with controls: only a real change reaches the window.
    template <typename T> void assign(T& field, const T& value) {
        if (field == value) {
            return;
        }
        field = value;
        notify();
    }
    void notify() {
        if (peer_ != nullptr) {
            peer_->changed();
        }
    }

    IWindowSystem& ws_;
    std::wstring name_;
    std::wstring caption_;
    TwipSize clientSize_;
    Color backColor_ = Color::system(syscolor::kBtnFace);
    PictureId icon_ = 0;
    bool keyPreview_ = false;
    bool closesOnEscape_ = false;
    Control* defaultButton_ = nullptr;
    Control* cancelButton_ = nullptr;
    StartPosition startPosition_ = StartPosition::CenterScreen;
    std::vector<Control*> controls_;
    std::vector<Timer*> timers_;
    std::vector<Menu*> menus_;
    bool loaded_ = false;
    FormPeer* peer_ = nullptr;
};

} // namespace kestrave::ui
