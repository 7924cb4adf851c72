// The program's first window: seen with its state before the system's controls are made,
// and, once shown, the same window as one made all at once.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/App.h"
#include "resources/StringIds.h"
#include "tests/wine/WineSupport.h"
#include "windows/MainWindow.h"

using namespace kestrave;

namespace {

// What happened on this thread while a window was shown, in order: a window made (with its
// class) or a paint sent to one.
struct Happenings {
    struct Event {
        std::wstring what;  // "made" or "paint"
        std::wstring cls;   // of a window made: as given, version-qualified by the manifest
        HWND hwnd;
    };
    static inline std::vector<Event> seen;
    static inline HHOOK cbt = nullptr, sent = nullptr;

    static LRESULT CALLBACK onCbt(int code, WPARAM wp, LPARAM lp) {
        if (code == HCBT_CREATEWND) {
            const auto* cs = reinterpret_cast<CBT_CREATEWNDW*>(lp)->lpcs;
            const bool named = HIWORD(reinterpret_cast<ULONG_PTR>(cs->lpszClass)) != 0;
            seen.push_back({L"made", named ? cs->lpszClass : L"", reinterpret_cast<HWND>(wp)});
        }
        return ::CallNextHookEx(cbt, code, wp, lp);
    }
    static LRESULT CALLBACK onSent(int code, WPARAM wp, LPARAM lp) {
        const auto* m = reinterpret_cast<CWPSTRUCT*>(lp);
        if (code == HC_ACTION && m->message == WM_PAINT) {
            seen.push_back({L"paint", L"", m->hwnd});
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
    // Where the first event of that kind is, of that window or class (ending so, as
    // "6.0.2600.2982!Button" does "Button") when given; seen.size() if none.
    static std::size_t first(const std::wstring& what, HWND hwnd = nullptr,
                             const std::wstring& cls = L"") {
        for (std::size_t i = 0; i < seen.size(); ++i) {
            const Event& e = seen[i];
            const bool classFits =
                cls.empty() || (e.cls.size() >= cls.size() &&
                                _wcsicmp(e.cls.c_str() + e.cls.size() - cls.size(), cls.c_str()) == 0);
            if (e.what == what && (hwnd == nullptr || e.hwnd == hwnd) && classFits) {
                return i;
            }
        }
        return seen.size();
    }
};

std::vector<HWND> stackedChildren(HWND parent) {
    std::vector<HWND> order;
    for (HWND c = ::GetWindow(parent, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) {
        order.push_back(c);
    }
    return order;
}

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
    const std::size_t statusPainted = Happenings::first(L"paint", status);
    const std::size_t firstButton = Happenings::first(L"made", nullptr, L"Button");
    ASSERT_LT(statusPainted, Happenings::seen.size());
    ASSERT_LT(firstButton, Happenings::seen.size());
    EXPECT_LT(statusPainted, firstButton);
    // What was painted first is the state, not the placeholder before it was read.
    EXPECT_EQ(test::windowText(status), app.strings.text(IDS_STATUS_STOPPED));
    // Once shown, it is whole (how its controls stack is MainWindowWine's to show), the focus
    // on its first button.
    EXPECT_EQ(::GetFocus(), app.ui.hwndOf(main.repairButton));
}

TEST_F(FirstSightWine, ControlsMadeAfterTheFirstSightStackAsIfMadeTogether) {
    app.ui.show(first); // the first window: the button and list are made after its labels
    Overlapping modal(app.ui);
    std::vector<std::vector<HWND>> orders;
    std::vector<bool> buttonEnabled;
    std::vector<int> listHeight;
    const auto read = [&](Overlapping& f) {
        orders.push_back(stackedChildren(app.ui.hwndOf(f)));
        EXPECT_EQ(orders.back(),
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
    ASSERT_EQ(orders.size(), 2u);
    EXPECT_EQ(listHeight[0], listHeight[1]);
    for (int i = 0; i < 2; ++i) {
        EXPECT_FALSE(buttonEnabled[i]);
        // Below its box, the room its list drops into (less the box's own frame).
        EXPECT_GT(listHeight[i], ::MulDiv(1500, app.ui.dpi(), 1440) * 3 / 4);
    }
}

} // namespace
