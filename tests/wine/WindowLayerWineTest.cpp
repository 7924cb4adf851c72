// The Win32 window layer itself: how windows go, texts in every language, layout at the
// resolution the prefix runs at.
#include <gtest/gtest.h>
#include "windows/DiagnosisWindow.h"
#include "core/spooler/OutcomeText.h"

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <vector>

#include "app/App.h"
#include "resources/StringIds.h"
#include "tests/wine/WineSupport.h"
#include "windows/AboutWindow.h"
#include "windows/DefaultPrinterDialog.h"
#include "windows/MainWindow.h"

using namespace kestrave;

namespace {

// Watches each control window of a form for its last message, WM_NCDESTROY, and records
// whether the control's object was still attached to its window then: the window procedure
// reads that object for every message, so it must outlive the window.
struct LastMessageWatch {
    struct Watched {
        WNDPROC original;
        const ui::Control* control;
    };
    static inline std::map<HWND, Watched> watched;
    static inline std::vector<bool> attachedAtEnd;

    static LRESULT CALLBACK proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
        const Watched w = watched.at(hwnd);
        if (msg == WM_NCDESTROY) {
            attachedAtEnd.push_back(w.control->peer() != nullptr);
            watched.erase(hwnd);
        }
        return ::CallWindowProcW(w.original, hwnd, msg, wp, lp);
    }
    static void watch(HWND hwnd, const ui::Control& c) {
        watched[hwnd] = {reinterpret_cast<WNDPROC>(::SetWindowLongPtrW(
                             hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&proc))),
                         &c};
    }
};

struct WindowLayerWine : ::testing::Test {
    App app{::GetModuleHandleW(nullptr)};
    MainWindow main{app.platform, app.currentPrinter};
    void SetUp() override { app.ui.show(main); }
    void TearDown() override {
        if (main.loaded()) {
            app.ui.unload(main);
        }
        test::pumpFor(50);
    }
};

TEST_F(WindowLayerWine, ControlsOutliveTheirWindowsWhenAFormCloses) {
    AboutWindow about(app.platform, main);
    for (int round = 0; round < 2; ++round) {
        LastMessageWatch::attachedAtEnd.clear();
        std::size_t controls = 0;
        // From inside the modal loop: watch every control window, close as the user does.
        test::runSoon([&] {
            for (const ui::Control* c : about.controls()) {
                LastMessageWatch::watch(app.ui.hwndOf(*c), *c);
                ++controls;
            }
            ::PostMessageW(app.ui.hwndOf(about), WM_CLOSE, 0, 0);
        });
        app.ui.showModal(about);
        ASSERT_GT(controls, 0u);
        EXPECT_EQ(LastMessageWatch::attachedAtEnd.size(), controls);
        for (bool attached : LastMessageWatch::attachedAtEnd) {
            EXPECT_TRUE(attached);
        }
    }
    // The main window's own controls too, when it closes.
    LastMessageWatch::attachedAtEnd.clear();
    for (const ui::Control* c : main.controls()) {
        LastMessageWatch::watch(app.ui.hwndOf(*c), *c);
    }
    app.ui.unload(main);
    EXPECT_EQ(LastMessageWatch::attachedAtEnd.size(), main.controls().size());
    for (bool attached : LastMessageWatch::attachedAtEnd) {
        EXPECT_TRUE(attached);
    }
}

TEST(StringTableWine, EachLanguageBlockIsCompleteAndChosenByUiLanguage) {
    const HINSTANCE self = ::GetModuleHandleW(nullptr);
    const win32::Win32StringTable zh(self, 0x0804);
    const win32::Win32StringTable en(self, 0x0409);
    const win32::Win32StringTable tw(self, 0x0C04); // Hong Kong reads the Traditional block
    EXPECT_EQ(zh.text(IDS_REPAIR), L"修复打印机服务");
    EXPECT_EQ(en.text(IDS_REPAIR), L"Repair the print spooler");
    EXPECT_EQ(tw.text(IDS_REPAIR), L"修復印表機服務");
    EXPECT_EQ(zh.text(IDS_MENU_DEFAULT_PRINTER), L"Windows 默认打印机设置");
    EXPECT_EQ(zh.text(IDS_STATUS_UNKNOWN), L"Unknown");
    // Every id the table can hold, a block of sixteen at a time: a block no language has is
    // passed over, so a text added at any id is checked in every language.
    int present = 0;
    for (int block = 1; block <= 4096; ++block) {
        bool anywhere = false;
        for (const lang::Language& l : lang::all()) {
            anywhere = anywhere || ::FindResourceExW(self, RT_STRING, MAKEINTRESOURCEW(block),
                                                     l.block) != nullptr;
        }
        for (int id = (block - 1) * 16; anywhere && id < block * 16; ++id) {
            const bool english = !en.textIn(lang::kEnglish, id).empty();
            for (const lang::Language& l : lang::all()) {
                EXPECT_EQ(!en.textIn(l.block, id).empty(), english)
                    << std::hex << l.block << " " << std::dec << id;
            }
            present += english ? 1 : 0;
        }
    }
    EXPECT_GE(present, IDS_ACC_OPEN_LINK - IDS_STEP_MOVING_PLUGIN) << "the newest texts too";
    // Whatever this prefix's language, the program picks one of the table's blocks.
    const win32::Win32StringTable chosen(self);
    EXPECT_EQ(&chosen.language(), &lang::forUiLanguage(::GetUserDefaultUILanguage()));
    EXPECT_FALSE(chosen.text(IDS_REPAIR).empty());
    // The scripts say which session they set up (LANG=zh_TW.UTF-8 reads the Traditional one).
    if (const char* expected = std::getenv("KESTRAVE_EXPECT_BLOCK")) {
        EXPECT_EQ(chosen.language().block, std::strtol(expected, nullptr, 16));
    }
}

// A caption fits its control at its font with a tenth of its width to spare (this system's
// fonts are not another's): buttons and check boxes leave room for their frame or box,
// auto-sized labels stay inside their window, wrapping labels inside their height.
void expectNothingClipped(win32::Win32WindowSystem& ui, ui::Form& form) {
    const HWND window = ui.hwndOf(form);
    RECT client{};
    ::GetClientRect(window, &client);
    for (const ui::Control* c : form.controls()) {
        const HWND h = ui.hwndOf(*c);
        if (!::IsWindowVisible(h) || c->caption().empty() ||
            c->kind() == ui::ControlKind::ComboBox || c->kind() == ui::ControlKind::TextBox) {
            continue; // these show content, not a caption of the design
        }
        RECT r{};
        ::GetWindowRect(h, &r);
        ::MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
        const auto font = reinterpret_cast<HFONT>(::SendMessageW(h, WM_GETFONT, 0, 0));
        win32::WindowDc dc(h);
        win32::SelectObjectScope select(dc.get(),
                                        font ? font : ui.drawing().font(c->font(), ui.dpi()));
        SIZE size{};
        ::GetTextExtentPoint32W(dc.get(), c->caption().c_str(),
                                static_cast<int>(c->caption().size()), &size);
        const int spare = size.cx / 10;
        const std::wstring what = form.name() + L"." + c->name() + L": " + c->caption();
        if (c->kind() == ui::ControlKind::Label && !c->autoSize()) {
            // Wrapped within its width less the spare: all its lines within its height.
            RECT lines{0, 0, (r.right - r.left) * 10 / 11, 0};
            ::DrawTextW(dc.get(), c->caption().c_str(), -1, &lines,
                        DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
            EXPECT_LE(lines.bottom, r.bottom - r.top) << what;
            continue;
        }
        const int frame = c->kind() == ui::ControlKind::CommandButton ? 8
                          : c->kind() == ui::ControlKind::CheckBox
                              ? ::GetSystemMetrics(SM_CXMENUCHECK) + 4
                              : 0;
        if (c->kind() == ui::ControlKind::Label) {
            EXPECT_LE(r.left + size.cx + spare, client.right) << what;
        } else {
            EXPECT_LE(size.cx + spare + frame, r.right - r.left) << what;
        }
        EXPECT_LE(r.right, client.right) << what;
    }
}

// The real platform with the windows in one language, whatever the prefix's.
struct InLanguage {
    InLanguage(App& app, HINSTANCE self, LANGID language)
        : strings(self, language),
          ui(self, strings), platform{app.scm,     app.workstation, app.registry,
                                      app.ansi,    app.processes,   app.files,
                                      app.shell,   app.printers,    app.network,
                                      app.session, app.lock,        app.diagnosis,
                                      app.threads, strings,         ui,          app.eventLog} {}
    win32::Win32StringTable strings;
    win32::Win32WindowSystem ui;
    Platform platform;
};

// Runs check(app, the platform in that language, its main window) with the main window shown,
// in each language of the table in turn, and closes it again.
template <typename Check> void inEveryLanguage(Check check) {
    const HINSTANCE self = ::GetModuleHandleW(nullptr);
    App app{self};
    for (const lang::Language& l : lang::all()) {
        const LANGID language = l.block;
        InLanguage in(app, self, language);
        MainWindow main(in.platform, app.currentPrinter);
        in.ui.show(main);
        check(app, in, main, language);
        in.ui.unload(main);
        test::pumpFor(50);
    }
}

TEST(LayoutWine, NoCaptionIsClippedInAnyLanguage) {
    test::serviceTo(L"Spooler", SERVICE_RUNNING);
    inEveryLanguage([](App& app, InLanguage& in, MainWindow& main, LANGID) {
        auto& [strings, ui, platform] = in;
        expectNothingClipped(ui, main);
        // The buttons are set in the language's face; English in the system's own.
        LOGFONTW font{};
        ::GetObjectW(
            reinterpret_cast<HFONT>(::SendMessageW(ui.hwndOf(main.repairButton), WM_GETFONT, 0, 0)),
            sizeof font, &font);
        const std::wstring_view face = strings.language().face(lang::Role::Button);
        EXPECT_EQ(font.lfFaceName, face.empty() ? ui.drawing().systemFace() : face);
        AboutWindow about(platform, main);
        DefaultPrinterDialog dialog(platform, app.currentPrinter, main);
        DiagnosisWindow diagnosis(platform, main);
        for (ui::Form* modal : {static_cast<ui::Form*>(&about), static_cast<ui::Form*>(&dialog),
                                static_cast<ui::Form*>(&diagnosis)}) {
            test::runSoon([&] {
                expectNothingClipped(ui, *modal);
                ui.unload(*modal);
            });
            ui.showModal(*modal);
        }
    });
}

// Every line the status bar can show fits it at the font it is shown in, with a tenth of the
// bar to spare for the difference between this system's fonts and another's.
TEST(LayoutWine, EveryStatusLineFitsWithATenthToSpare) {
    inEveryLanguage([](App&, InLanguage& in, MainWindow& main, LANGID language) {
        auto& [strings, ui, platform] = in;
        // Each line with its shorter forms, as the window is given them.
        std::vector<std::vector<std::wstring>> lines{{strings.text(IDS_STATUS_UNKNOWN)},
                                                     {strings.text(IDS_STATUS_STOPPED)},
                                                     {strings.text(IDS_STATUS_RUNNING)}};
        for (int step = 0; step <= static_cast<int>(kLastStep); ++step) {
            lines.push_back({stepText(static_cast<Step>(step), strings)});
        }
        lines.push_back({stepText(Step::ClearingQueue, strings) + L" 50,000 / 50,000"});
        Outcome everything;
        everything.spoolerRunning = everything.spoolerStopped = true;
        everything.hadToEndSpooler = everything.startTypeChanged = true;
        everything.filesDeleted = 50000;
        everything.dependentsRestarted = {L"Fax"};
        Outcome failed;
        failed.problems.push_back({ProblemKind::StartRefused, 1058, {}});
        for (const Outcome* o : {&everything, &failed}) {
            lines.push_back(outcomeLines(Operation::Repair, *o, strings));
            lines.push_back(outcomeLines(Operation::Disable, *o, strings));
        }
        RECT client{};
        ::GetClientRect(ui.hwndOf(main), &client);
        const int room = client.right - ::MulDiv(60, ui.dpi(), 1440);
        for (const std::vector<std::wstring>& forms : lines) {
            main.showStatusLine(forms);
            const std::wstring line = main.statusText.caption();
            const HWND h = ui.hwndOf(main.statusText);
            RECT r{};
            ::GetWindowRect(h, &r);
            ::MapWindowPoints(nullptr, ui.hwndOf(main), reinterpret_cast<POINT*>(&r), 2);
            win32::WindowDc dc(h);
            const auto font = reinterpret_cast<HFONT>(::SendMessageW(h, WM_GETFONT, 0, 0));
            win32::SelectObjectScope select(
                dc.get(), font ? font : ui.drawing().font(main.statusText.font(), ui.dpi()));
            SIZE size{};
            ::GetTextExtentPoint32W(dc.get(), line.c_str(), static_cast<int>(line.size()), &size);
            EXPECT_LE(r.left + size.cx * 11 / 10, room)
                << language << L" at " << ui.dpi() << L" dpi: " << line;
        }
    });
}

TEST_F(WindowLayerWine, LayoutFollowsTheResolution) {
    const int dpi = app.ui.dpi();
    std::printf("window resolution in this prefix: %d dpi\n", dpi);
    // The scripts say which resolution they set up; the layout must follow whichever it is.
    if (const char* expected = std::getenv("KESTRAVE_EXPECT_DPI")) {
        EXPECT_EQ(dpi, std::atoi(expected));
    }
    RECT client{};
    ::GetClientRect(app.ui.hwndOf(main), &client);
    EXPECT_EQ(client.right, ::MulDiv(6285, dpi, 1440));
    EXPECT_EQ(client.bottom, ::MulDiv(2250, dpi, 1440));
    RECT button{};
    ::GetWindowRect(app.ui.hwndOf(main.repairButton), &button);
    EXPECT_EQ(button.right - button.left,
              ::MulDiv(1730 + 4420, dpi, 1440) - ::MulDiv(1730, dpi, 1440));
    LOGFONTW font{};
    ::GetObjectW(
        reinterpret_cast<HFONT>(::SendMessageW(app.ui.hwndOf(main.repairButton), WM_GETFONT, 0, 0)),
        sizeof font, &font);
    EXPECT_EQ(font.lfHeight, -static_cast<LONG>(9.0 * dpi / 72 + 0.5));
    expectNothingClipped(app.ui, main);
}

} // namespace
