// A form's commands: its popup menu's choices and its controls' notifications, each handed
// to the handler of the control or menu item it came from.
#include "platform/win32/FormWindow.h"

#include "platform/win32/Handles.h"

namespace kestrave::win32 {

namespace {
constexpr UINT kFirstMenuCommand = 1000;
} // namespace

void FormWindow::popupMenu(ui::Menu& menu, HWND under) {
    UniqueMenu popup(::CreatePopupMenu());
    menuCommands_.clear();
    for (const ui::MenuItem& item : menu.items()) {
        std::wstring text = item.caption;
        if (!item.shortcutText.empty()) {
            text += L"\t" + item.shortcutText;
        }
        const auto id = static_cast<UINT>(kFirstMenuCommand + menuCommands_.size());
        if (item.separatorBefore) {
            ::AppendMenuW(popup.get(), MF_SEPARATOR, 0, nullptr);
        }
        ::AppendMenuW(popup.get(),
                      MF_STRING | (item.checked ? MF_CHECKED : 0u) |
                          (item.enabled ? 0u : MF_GRAYED),
                      id, text.c_str());
        menuCommands_.push_back(&item);
    }
    ::SetForegroundWindow(hwnd_);
    if (under != nullptr) {
        // Below the control, left edges aligned, and never over it (above, where there is no
        // room below).
        TPMPARAMS avoid{};
        avoid.cbSize = sizeof avoid;
        ::GetWindowRect(under, &avoid.rcExclude);
        ::TrackPopupMenuEx(popup.get(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_VERTICAL,
                           avoid.rcExclude.left, avoid.rcExclude.bottom, hwnd_, &avoid);
    } else {
        POINT pt{};
        ::GetCursorPos(&pt);
        ::TrackPopupMenu(popup.get(), 0, pt.x, pt.y, 0, hwnd_, nullptr);
    }
    ::PostMessageW(hwnd_, WM_NULL, 0, 0);
}

void FormWindow::command(WPARAM wp, LPARAM lp) {
    if (const auto from = reinterpret_cast<HWND>(lp); from != nullptr) {
        for (auto& cw : controls_) {
            if (cw->hwnd() != from) {
                continue;
            }
            if (HIWORD(wp) == BN_CLICKED &&
                (cw->control().kind() == ui::ControlKind::CommandButton ||
                 cw->control().kind() == ui::ControlKind::CheckBox)) {
                cw->clicked();
            } else if (HIWORD(wp) == CBN_SELCHANGE &&
                       cw->control().kind() == ui::ControlKind::ComboBox) {
                cw->selectionChanged();
            } else if (HIWORD(wp) == EN_CHANGE &&
                       cw->control().kind() == ui::ControlKind::TextBox) {
                cw->textChanged();
            }
            return;
        }
        return;
    }
    const UINT id = LOWORD(wp);
    if (HIWORD(wp) == 0 && id >= kFirstMenuCommand &&
        id - kFirstMenuCommand < menuCommands_.size()) {
        // One command per popup: the table is spent once its choice arrives.
        const ui::MenuItem* chosen = menuCommands_[id - kFirstMenuCommand];
        menuCommands_.clear();
        form_.fire(chosen->onClick);
    }
}

} // namespace kestrave::win32
