#pragma once
#include <memory>
#include <string>
#include <vector>

#include "platform/win32/ControlWindow.h"
#include "platform/win32/TimerBinding.h"
#include "platform/win32/WindowBase.h"
#include "ui/Form.h"
#include "ui/Menu.h"
#include "ui/Timer.h"

namespace kestrave::win32 {

class Win32WindowSystem;

// A form's top-level window and everything on it, laid out at the window's own resolution.
class FormWindow : public WindowBase, public ui::FormPeer {
  public:
    FormWindow(Win32WindowSystem& ws, ui::Form& form);
    ~FormWindow() override;

    static constexpr wchar_t kClass[] = L"KestraveForm";

    // Which controls create() makes: all, or only those this program paints itself (which
    // need no common controls), the rest left to createRemainingControls.
    enum class Controls { All, OwnOnly };
    void create(HINSTANCE instance, HWND owner, Controls which = Controls::All);
    // Paints the form and its labels now, as far as the first sight of it needs.
    void paintOwnControls();
    void createRemainingControls(HINSTANCE instance);
    void changed() override;

    Win32WindowSystem& ws() { return ws_; }
    ui::Form& form() { return form_; }
    HWND owner() const { return owner_; }
    bool modal = false;

    HWND hwndOf(const ui::Control& c) const;
    int dpi() const { return dpi_; }
    int px(int twips) const { return ::MulDiv(twips, dpi_, 1440); }
    RECT pixelRect(const ui::TwipRect& r) const;
    HFONT font(const ui::Font& f);
    // What a see-through control shows behind itself: the form, and opaque labels below it.
    void paintBehind(HDC dc, const ui::Control& self);
    void invalidateArea(const RECT& r);
    void addToolTip(HWND control, const std::wstring& text);

    // Pops the menu up at the mouse; the chosen item's handler runs when its command arrives.
    // At the pointer, or under `under` (a control's window) when it is given.
    void popupMenu(ui::Menu& menu, HWND under);

  protected:
    LRESULT handle(UINT msg, WPARAM wp, LPARAM lp) override;

  private:
    // The system's colours or theme changed: the form's colours again, everything repainted.
    void themeChanged();
    static BOOL CALLBACK tellSysColorChange(HWND child, LPARAM);
    // Enter's or Esc's button, clicked; false when there is none to click.
    bool pressed(ui::Control* button);
    void setIcons();
    // Top first.
    std::vector<ControlWindow*> stackingOrder() const;
    void command(WPARAM wp, LPARAM lp);
    void dpiChanged(int dpi, const RECT& suggested);
    void comeForward();

    Win32WindowSystem& ws_;
    ui::Form& form_;
    HWND owner_ = nullptr;
    HWND tooltip_ = nullptr;
    int dpi_;
    std::vector<std::unique_ptr<ControlWindow>> controls_;
    std::vector<std::unique_ptr<TimerBinding>> timers_;
    // The commands of the menu last popped up: a command id is kFirstMenuCommand plus an
    // index into this table.
    std::vector<const ui::MenuItem*> menuCommands_;
};

} // namespace kestrave::win32
