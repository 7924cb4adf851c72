#include "ui/Control.h"

#include <algorithm>

#include "ui/Form.h"
#include "ui/Menu.h"
#include "ui/Timer.h"

namespace kestrave::ui {

Control::Control(Form& form, ControlKind kind, std::wstring name, int index)
    : form_(form), kind_(kind), name_(std::move(name)), index_(index) {
    form_.registerControl(this);
}

Control::~Control() = default;

void Control::setCaption(const std::wstring& text) {
    if (text == caption_) {
        return;
    }
    caption_ = text;
    if (autoSize_) {
        fitToText();
    }
    notify(Prop::Caption);
}

void Control::setFont(const Font& f) {
    if (f == font_) {
        return;
    }
    font_ = f;
    if (autoSize_) {
        fitToText();
    }
    notify(Prop::Font);
}

void Control::setAutoSize(bool on) {
    autoSize_ = on;
    if (autoSize_) {
        fitToText();
    }
}

void Control::fitToText() {
    const TwipSize size = form_.ws().measureText(font_, caption_);
    setBounds({bounds_.left, bounds_.top, size.width, size.height});
}

void ComboBox::clear() {
    items_.clear();
    listIndex_ = -1;
    notify(Prop::Items);
}

void ComboBox::addItem(const std::wstring& item) {
    items_.push_back(item);
    notify(Prop::Items);
}

std::wstring ComboBox::text() const {
    if (listIndex_ < 0 || listIndex_ >= static_cast<int>(items_.size())) {
        return {};
    }
    return items_[static_cast<std::size_t>(listIndex_)];
}

void ComboBox::setText(const std::wstring& text) {
    const auto it = std::find(items_.begin(), items_.end(), text);
    setListIndex(it == items_.end() ? -1 : static_cast<int>(it - items_.begin()));
}

void ComboBox::setListIndex(int i) {
    listIndex_ = (i >= 0 && i < static_cast<int>(items_.size())) ? i : -1;
    notify(Prop::Items);
}

Timer::Timer(Form& form, std::wstring name) : name_(std::move(name)) {
    form.registerTimer(this);
}

Menu::Menu(Form& form, std::wstring name, std::wstring caption)
    : name_(std::move(name)), caption_(std::move(caption)) {
    form.registerMenu(this);
}

} // namespace kestrave::ui
