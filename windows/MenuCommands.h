#pragma once
#include <cstddef>
#include <string_view>

namespace kestrave::menu {

// The main window's menu, by command, in the order it shows. The window builds its items in
// this order; tests that must click a position (another process cannot read the menu under
// every system) find it here by the command's name.
inline constexpr std::wstring_view kCommands[] = {
    L"services", L"installedUpdates", L"networkCenter", L"defaultPrinter", L"diagnosis", L"about",
};

// Where the command stands in the menu; the count of commands when it is not one.
constexpr int position(std::wstring_view command) {
    int i = 0;
    for (std::wstring_view c : kCommands) {
        if (c == command) {
            return i;
        }
        ++i;
    }
    return i;
}

} // namespace kestrave::menu
