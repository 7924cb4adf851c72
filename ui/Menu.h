#pragma once
#include <functional>
#include <string>
#include <vector>

namespace kestrave::ui {

struct MenuItem {
    std::wstring name;
    std::wstring caption;
    std::wstring shortcutText; // shown beside the caption only
    std::function<void()> onClick;
};

// A menu that is never on a menu bar: it is only popped up.
class Menu {
  public:
    Menu(std::wstring name, std::wstring caption)
        : name_(std::move(name)), caption_(std::move(caption)) {}
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
