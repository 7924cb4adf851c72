#pragma once
#include <functional>
#include <string>
#include <vector>

namespace kestrave::ui {

class Form;

struct MenuItem {
    std::wstring name;
    std::wstring caption;
    std::wstring shortcutText; // shown beside the caption only
    std::function<void()> onClick;
    bool checked = false;         // shown with a check mark
    bool enabled = true;          // greyed out and not chosen when false
    bool separatorBefore = false; // a line above it, to set it apart from the items before
};

// A menu that is never on a menu bar: it is only popped up.
class Menu {
  public:
    // Registers itself with its form, which dispatches the chosen item.
    Menu(Form& form, std::wstring name, std::wstring caption);
    const std::wstring& name() const { return name_; }
    const std::wstring& caption() const { return caption_; }
    std::vector<MenuItem>& items() { return items_; }
    const std::vector<MenuItem>& items() const { return items_; }

  private:
    std::wstring name_;
    std::wstring caption_;
    std::vector<MenuItem> items_;
};

} // namespace kestrave::ui
