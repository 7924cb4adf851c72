// What the window system tells assistive technology, and the theme it reports.
#include "platform/win32/Win32WindowSystem.h"

#include <cstdlib>

#include "platform/win32/ControlWindow.h"

namespace kestrave::win32 {

namespace {
// Windows 8's, named here since the program also runs on Windows 7 (whose system ignores it).
constexpr DWORD kLiveRegionChanged = 0x8019; // EVENT_OBJECT_LIVEREGIONCHANGED
} // namespace

void Win32WindowSystem::announce(const ui::Control& control) {
    const auto* window = dynamic_cast<const ControlWindow*>(control.peer());
    if (window == nullptr || window->hwnd() == nullptr) {
        return;
    }
    ::NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, window->hwnd(), OBJID_CLIENT, CHILDID_SELF);
    if (window->liveRegion()) {
        ::NotifyWinEvent(kLiveRegionChanged, window->hwnd(), OBJID_CLIENT,
                         CHILDID_SELF);
    }
}

bool Win32WindowSystem::highContrast() {
    // Reported on for pictures of the high-contrast colours where the system cannot switch
    // to such a theme (Wine); it changes only which of the system's colours are used.
    if (const char* forced = std::getenv("KESTRAVE_REPORT_HIGH_CONTRAST");
        forced != nullptr && forced[0] == '1') {
        return true;
    }
    HIGHCONTRASTW hc{};
    hc.cbSize = sizeof(hc);
    return ::SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(hc), &hc, 0) &&
           (hc.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

} // namespace kestrave::win32
