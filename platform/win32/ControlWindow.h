#pragma once
#include "platform/win32/WindowBase.h"
#include "ui/Control.h"

namespace kestrave::win32 {

class FormWindow;
class AccessibleControl;

// One control's child window, which applies every property the program changes. Buttons and
// drop-down lists are the system's own windows; labels and images are ours and paint
// themselves.
class ControlWindow : public WindowBase, public ui::ControlPeer {
  public:
    ControlWindow(FormWindow& form, ui::Control& control);
    // The window must be gone already (the form destroys its window first).
    ~ControlWindow() override;

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
    // Whether its window is a polite live region to assistive technology (the status text,
    // where the system has live regions).
    bool liveRegion() const { return liveRegion_; }

    static constexpr wchar_t kLabelClass[] = L"KestraveLabel";
    static constexpr wchar_t kImageClass[] = L"KestraveImage";

  protected:
    LRESULT handle(UINT msg, WPARAM wp, LPARAM lp) override;

  private:
    // Its place in the form in pixels, the dropped-down list's room included.
    RECT windowRect() const;
    void paint();
    void fillCombo();
    // Assistive technology's side (ControlAccess.cpp): the object WM_GETOBJECT answers with,
    // cut off when the window goes; a link's keys; the status text's live region.
    LRESULT accessibleObject(WPARAM wp, LPARAM lp);
    void releaseAccessible();
    bool isLink() const { return control_.accessibleRole() == ui::AccessibleRole::Link; }
    // A link's Enter or Space, as its click; true when the key was one.
    bool linkKey(UINT msg, WPARAM key);
    void makeLiveRegion();

    FormWindow& form_;
    ui::Control& control_;
    bool syncing_ = false; // a state is being read back from the window, not written to it
    AccessibleControl* accessible_ = nullptr; // made at the first question, one reference ours
    bool liveRegion_ = false;
};

} // namespace kestrave::win32
