#pragma once
#include "platform/win32/WindowBase.h"
#include "ui/Control.h"

namespace kestrave::win32 {

class FormWindow;

// One control's child window, which applies every property the program changes. Buttons and
// drop-down lists are the system's own windows; labels and images are ours and paint
// themselves.
class ControlWindow : public WindowBase, public ui::ControlPeer {
  public:
    ControlWindow(FormWindow& form, ui::Control& control);
    // The window must be gone already (the form destroys its window first).
    ~ControlWindow() override { control_.attachPeer(nullptr); }

    // Creates the child window and applies the control's current properties.
    void create(HINSTANCE instance);
    void changed(ui::Prop prop) override;
    ui::Control& control() { return control_; }
    // The form's resolution changed: position and font again.
    void rescale();
    // The drop-down list's selection, as the user changed it.
    void selectionChanged();
    // The user typed into an editable text: its caption follows.
    void textChanged();
    // A button or check box was clicked (a check box has already changed its state).
    void clicked();

    static constexpr wchar_t kLabelClass[] = L"KestraveLabel";
    static constexpr wchar_t kImageClass[] = L"KestraveImage";

  protected:
    LRESULT handle(UINT msg, WPARAM wp, LPARAM lp) override;

  private:
    // Its place in the form in pixels, the dropped-down list's room included.
    RECT windowRect() const;
    void paint();
    void fillCombo();

    FormWindow& form_;
    ui::Control& control_;
    bool syncing_ = false; // a state is being read back from the window, not written to it
};

} // namespace kestrave::win32
