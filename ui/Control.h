#pragma once
#include <functional>
#include <string>
#include <vector>

#include "ui/Types.h"

namespace kestrave::ui {

class Form;

enum class Prop {
    Bounds,
    Caption,
    Enabled,
    Visible,
    BackColor,
    ForeColor,
    Font,
    Picture,
    Items,
    Checked
};
enum class ControlKind { Label, CommandButton, Image, ComboBox, CheckBox, TextBox };

// What a window-system backend attaches to a control to show it; the headless backend
// attaches none and tests read the properties the program set.
class ControlPeer {
  public:
    virtual ~ControlPeer() = default;
    virtual void changed(Prop prop) = 0;
};

// The properties common to the visible controls. Changing one tells the peer, if any.
class Control {
  public:
    Control(Form& form, ControlKind kind, std::wstring name, int index = -1);
    virtual ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    Form& form() const { return form_; }
    ControlKind kind() const { return kind_; }
    const std::wstring& name() const { return name_; }
    int index() const { return index_; }

    const TwipRect& bounds() const { return bounds_; }
    void setBounds(const TwipRect& r) { assign(bounds_, r, Prop::Bounds); }
    int left() const { return bounds_.left; }
    int top() const { return bounds_.top; }
    int width() const { return bounds_.width; }
    int height() const { return bounds_.height; }
    void setLeft(int v) { setBounds({v, bounds_.top, bounds_.width, bounds_.height}); }
    void setTop(int v) { setBounds({bounds_.left, v, bounds_.width, bounds_.height}); }

    const std::wstring& caption() const { return caption_; }
    void setCaption(const std::wstring& text);
    bool enabled() const { return enabled_; }
    void setEnabled(bool on) { assign(enabled_, on, Prop::Enabled); }
    bool visible() const { return visible_; }
    void setVisible(bool on) { assign(visible_, on, Prop::Visible); }
    const Font& font() const { return font_; }
    void setFont(const Font& f);
    Color foreColor() const { return foreColor_; }
    void setForeColor(Color c) { assign(foreColor_, c, Prop::ForeColor); }
    Color backColor() const { return backColor_; }
    void setBackColor(Color c) { assign(backColor_, c, Prop::BackColor); }
    bool backOpaque() const { return backOpaque_; }
    void setBackOpaque(bool on) { backOpaque_ = on; }
    bool autoSize() const { return autoSize_; }
    void setAutoSize(bool on);
    int tabIndex() const { return tabIndex_; }
    void setTabIndex(int i) { tabIndex_ = i; }
    const std::wstring& toolTip() const { return toolTip_; }
    void setToolTip(const std::wstring& t) { toolTip_ = t; }
    PictureId picture() const { return picture_; }
    void setPicture(PictureId p) { assign(picture_, p, Prop::Picture); }

    std::function<void()> onClick;
    std::function<void()> onMouseMove;

    // Its role and name to assistive technology: the name is the caption unless one is given
    // (a picture's says what it shows). A link's default action is its click.
    AccessibleRole accessibleRole() const { return accessibleRole_; }
    void setAccessibleRole(AccessibleRole role) { accessibleRole_ = role; }
    const std::wstring& accessibleName() const {
        return accessibleName_.empty() ? caption_ : accessibleName_;
    }
    void setAccessibleName(const std::wstring& name) { accessibleName_ = name; }
    // The name of a link's default action ("Open"), in the user's language.
    const std::wstring& accessibleAction() const { return accessibleAction_; }
    void setAccessibleAction(const std::wstring& name) { accessibleAction_ = name; }

    ControlPeer* peer() const { return peer_; }
    void attachPeer(ControlPeer* p) { peer_ = p; }

  protected:
    // Setting a property to the value it already has changes nothing on screen: the peer is
    // told only of real changes, so a refresh that finds the same state repaints nothing.
    template <typename T> void assign(T& field, const T& value, Prop p) {
        if (field == value) {
            return;
        }
        field = value;
        notify(p);
    }
    void notify(Prop p) {
        if (peer_ != nullptr) {
            peer_->changed(p);
        }
    }

  private:
    void fitToText();

    Form& form_;
    ControlKind kind_;
    std::wstring name_;
    int index_;
    TwipRect bounds_;
    std::wstring caption_;
    bool enabled_ = true;
    bool visible_ = true;
    Font font_;
    Color foreColor_ = Color::system(syscolor::kBtnText);
    Color backColor_ = Color::system(syscolor::kBtnFace);
    bool backOpaque_ = true;
    bool autoSize_ = false;
    int tabIndex_ = -1;
    std::wstring toolTip_;
    PictureId picture_ = 0;
    AccessibleRole accessibleRole_ = AccessibleRole::None;
    std::wstring accessibleName_;
    std::wstring accessibleAction_;
    ControlPeer* peer_ = nullptr;
};

class Label : public Control {
  public:
    Label(Form& f, std::wstring name, int index = -1)
        : Control(f, ControlKind::Label, std::move(name), index) {}
};

class CommandButton : public Control {
  public:
    CommandButton(Form& f, std::wstring name)
        : Control(f, ControlKind::CommandButton, std::move(name)) {}
};

class Image : public Control {
  public:
    Image(Form& f, std::wstring name, int index = -1)
        : Control(f, ControlKind::Image, std::move(name), index) {}
};

// Several lines of text the user can read, select and scroll, but not change; its caption is
// the text.
class TextBox : public Control {
  public:
    TextBox(Form& f, std::wstring name) : Control(f, ControlKind::TextBox, std::move(name)) {}
    // A one-line field the user types into (its caption follows the typing), rather than a
    // read-only text of many lines; chosen in the design, before the window is made.
    bool editable() const { return editable_; }
    void setEditable(bool on) { editable_ = on; }

  private:
    bool editable_ = false;
};

// A box the user ticks; its caption beside it.
class CheckBox : public Control {
  public:
    CheckBox(Form& f, std::wstring name) : Control(f, ControlKind::CheckBox, std::move(name)) {}
    bool checked() const { return checked_; }
    void setChecked(bool on) { assign(checked_, on, Prop::Checked); }

  private:
    bool checked_ = false;
};

// A drop-down list the user can pick from but not type into.
class ComboBox : public Control {
  public:
    ComboBox(Form& f, std::wstring name) : Control(f, ControlKind::ComboBox, std::move(name)) {}
    const std::vector<std::wstring>& items() const { return items_; }
    void clear();
    void addItem(const std::wstring& item);
    // The selected entry's text; empty when nothing is selected.
    std::wstring text() const;
    // Selects the entry of exactly that text, or nothing when there is none.
    void setText(const std::wstring& text);
    int listIndex() const { return listIndex_; }
    void setListIndex(int i);

  private:
    std::vector<std::wstring> items_;
    int listIndex_ = -1;
};

} // namespace kestrave::ui
