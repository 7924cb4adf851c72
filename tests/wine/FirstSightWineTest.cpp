// The program's first window: seen with its state before the system's controls are made,
// and, once shown, the same window as one made all at once.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "app/App.h"
#include "resources/StringIds.h"
#include "tests/wine/WineSupport.h"
#include "windows/MainWindow.h"

using namespace kestrave;

namespace {

// On this thread, while a window is shown, in order: each paint sent (the window painted, with
// the text it then had) and each button made (nullptr). A button's class comes qualified by
// the manifest's version ("6.0.2600.2982!Button").
struct Happenings {
    static inline std::vector<std::pair<HWND, std::wstring>> seen;
    static inline HHOOK cbt = nullptr, sent = nullptr;

    static LRESULT CALLBACK onCbt(int code, WPARAM wp, LPARAM lp) {
        if (code == HCBT_CREATEWND) {
            const wchar_t* cls = reinterpret_cast<CBT_CREATEWNDW*>(lp)->lpcs->lpszClass;
            const std::wstring name = HIWORD(reinterpret_cast<ULONG_PTR>(cls)) != 0 ? cls : L"";
            if (name.size() >= 6 && _wcsicmp(name.c_str() + name.size() - 6, L"Button") == 0) {
                seen.emplace_back(nullptr, L"");
            }
        }
        return ::CallNextHookEx(cbt, code, wp, lp);
    }
    static LRESULT CALLBACK onSent(int code, WPARAM wp, LPARAM lp) {
        const auto* m = reinterpret_cast<CWPSTRUCT*>(lp);
        if (code == HC_ACTION && m->message == WM_PAINT) {
            seen.emplace_back(m->hwnd, test::windowText(m->hwnd));
        }
        return ::CallNextHookEx(sent, code, wp, lp);
    }
    Happenings() {
        seen.clear();
        cbt = ::SetWindowsHookExW(WH_CBT, onCbt, nullptr, ::GetCurrentThreadId());
        sent = ::SetWindowsHookExW(WH_CALLWNDPROC, onSent, nullptr, ::GetCurrentThreadId());
    }
    ~Happenings() {
        ::UnhookWindowsHookEx(cbt);
        ::UnhookWindowsHookEx(sent);
    }
    // Where it first happened to that window (nullptr: a button made); seen.size() if never.
    static std::size_t first(HWND h) {
        return static_cast<std::size_t>(
            std::find_if(seen.begin(), seen.end(), [h](const auto& e) { return e.first == h; }) -
            seen.begin());
    }
};

// A label under a button and a list, and one over nothing, the list with room to drop down
// and the button designed disabled.
struct Overlapping : ui::Form {
    ui::Label under{*this, L"under"};
    ui::CommandButton button{*this, L"button"};
    ui::ComboBox list{*this, L"list"};
    ui::Label over{*this, L"over"};
    explicit Overlapping(ui::IWindowSystem& ws) : Form(ws, L"Overlapping") {}
    void design() override {
        setCaption(L"overlapping");
        setClientSize({4000, 3000});
        under.setBounds({0, 0, 3000, 1200});
        under.setBackOpaque(true);
        button.setBounds({300, 300, 1500, 450});
        button.setCaption(L"button");
        button.setTabIndex(0);
        button.setEnabled(false);
        list.setBounds({300, 900, 1500, 315});
        list.setTabIndex(1);
        over.setBounds({0, 2400, 3000, 300});
        over.setCaption(L"over");
    }
};

struct FirstSightWine : ::testing::Test {
    App app{::GetModuleHandleW(nullptr)};
    MainWindow main{app.platform, app.currentPrinter};
    Overlapping first{app.ui};
    void TearDown() override {
        // Closed here, not by the window system's end: the main window's quit must be taken
        // from the queue before the next test's loops run.
        for (ui::Form* f : std::initializer_list<ui::Form*>{&main, &first}) {
            if (f->loaded()) {
                app.ui.unload(*f);
            }
        }
        test::pumpFor(50);
    }
};

TEST_F(FirstSightWine, MainWindowPaintsItsStateBeforeMakingItsButtons) {
    ASSERT_TRUE(test::serviceTo(L"Spooler", SERVICE_STOPPED));
    {
        Happenings happenings;
        app.ui.show(main);
    }
    const HWND status = app.ui.hwndOf(main.statusText);
    const std::size_t statusPainted = Happenings::first(status);
    const std::size_t firstButton = Happenings::first(nullptr);
    ASSERT_LT(statusPainted, Happenings::seen.size());
    ASSERT_LT(firstButton, Happenings::seen.size());
    EXPECT_LT(statusPainted, firstButton);
    // What it painted first is the state read, not the placeholder before it.
    EXPECT_EQ(Happenings::seen[statusPainted].second, app.strings.text(IDS_STATUS_STOPPED));
    // Once shown, it is whole (how its controls stack is MainWindowWine's to show), the focus
    // on its first button.
    EXPECT_EQ(::GetFocus(), app.ui.hwndOf(main.repairButton));
}

TEST_F(FirstSightWine, ControlsMadeAfterTheFirstSightStackAsIfMadeTogether) {
    app.ui.show(first); // the first window: the button and list are made after its labels
    Overlapping modal(app.ui);
    std::vector<bool> buttonEnabled; // one per window read
    std::vector<int> listHeight;
    const auto read = [&](Overlapping& f) {
        EXPECT_EQ(test::children(app.ui.hwndOf(f)),
                  (std::vector<HWND>{app.ui.hwndOf(f.button), app.ui.hwndOf(f.list),
                                     app.ui.hwndOf(f.over), app.ui.hwndOf(f.under)}));
        buttonEnabled.push_back(::IsWindowEnabled(app.ui.hwndOf(f.button)) != FALSE);
        RECT dropped{};
        ::SendMessageW(app.ui.hwndOf(f.list), CB_GETDROPPEDCONTROLRECT, 0,
                       reinterpret_cast<LPARAM>(&dropped));
        listHeight.push_back(dropped.bottom - dropped.top);
        // Where the button lies over the label, a click finds the button.
        POINT inside{::MulDiv(600, app.ui.dpi(), 1440), ::MulDiv(500, app.ui.dpi(), 1440)};
        EXPECT_EQ(::ChildWindowFromPointEx(app.ui.hwndOf(f), inside, CWP_SKIPINVISIBLE),
                  app.ui.hwndOf(f.button));
    };
    read(first);
    test::runSoon([&] { // a later window, made all at once
        read(modal);
        ::PostMessageW(app.ui.hwndOf(modal), WM_CLOSE, 0, 0);
    });
    app.ui.showModal(modal);
    ASSERT_EQ(buttonEnabled.size(), 2u);
    EXPECT_EQ(listHeight[0], listHeight[1]);
    for (int i = 0; i < 2; ++i) {
        EXPECT_FALSE(buttonEnabled[i]);
        // Below its box, the room its list drops into (less the box's own frame).
        EXPECT_GT(listHeight[i], ::MulDiv(1500, app.ui.dpi(), 1440) * 3 / 4);
    }
}

} // namespace
