#include <gtest/gtest.h>

#include <stdexcept>

#include "tests/fakes/FakeWorld.h"
#include "windows/AboutWindow.h"
#include "windows/MainWindow.h"
#include "windows/DefaultPrinterDialog.h"
#include "windows/DiagnosisWindow.h"
#include "resources/ResourceIds.h"

using namespace kestrave;

namespace {

constexpr std::uint32_t kDesignRed = 0x0000C0;
constexpr std::uint32_t kRed = 0x2B22B4;
constexpr std::uint32_t kGreen = 0x40AA2D;

struct MainWindowTest : ::testing::Test {
    test::FakeWorld w;
    CurrentPrinter printer{w.printers};
    MainWindow form{w.platform, printer};
    const std::wstring spool = L"C:\\Windows\\System32\\spool\\PRINTERS";
    const std::wstring spoolerKey = L"SYSTEM\\CurrentControlSet\\Services\\Spooler";

    fake::FakeServiceManager::Service& spooler(std::uint32_t state) {
        return w.scm.add(L"Spooler", state);
    }
    void load() { w.ui.show(form); }
    // A menu item by its command, wherever it stands in the menu.
    const ui::MenuItem& item(const std::wstring& name) const {
        for (const ui::MenuItem& i : form.consoleMenu.items()) {
            if (i.name == name) {
                return i;
            }
        }
        throw std::out_of_range("no menu item " + std::string(name.begin(), name.end()));
    }
    // The stop's bound as the messages say it: "在 30 秒内", from the timing, not written here.
    static std::wstring stopWaitSaid() {
        return L"在 " + std::to_wstring(Timing::seconds(Timing{}.stopWait)) + L" 秒内";
    }
    std::vector<std::wstring> commands() const {
        std::vector<std::wstring> out;
        for (const auto& s : w.processes.started) {
            out.push_back(s.commandLine);
        }
        return out;
    }
};

TEST_F(MainWindowTest, LayoutAsDesigned) {
    spooler(scm::kStopped);
    load();
    EXPECT_EQ(form.caption(), L"Kestrave 1.0");
    EXPECT_EQ(form.clientSize().width, 6285);
    EXPECT_EQ(form.clientSize().height, 2250);
    EXPECT_EQ(form.statusBar.bounds(), (ui::TwipRect{0, 0, 6735, 450}));
    EXPECT_EQ(form.statusBar.font(), (ui::Font{L"宋体", 9}));
    EXPECT_EQ(form.statusText.left(), 120);
    EXPECT_EQ(form.statusText.top(), 45);
    EXPECT_EQ(form.statusText.foreColor(), ui::Color::rgb(0xFFFFFF));
    EXPECT_FALSE(form.statusText.backOpaque());
    EXPECT_TRUE(form.statusText.autoSize());
    EXPECT_EQ(form.statusPicture.bounds(), (ui::TwipRect{90, 560, 1545, 1605}));
    EXPECT_FALSE(form.runningPicture.visible());
    EXPECT_FALSE(form.stoppedPicture.visible());
    const ui::CommandButton* buttons[] = {&form.repairButton, &form.disableButton,
                                          &form.devicesButton, &form.menuButton};
    const wchar_t* captions[] = {L"修复打印机服务", L"禁用打印机服务", L"设备和打印机", L"菜单..."};
    const int tabs[] = {0, 1, 2, 6};
    const ui::TwipRect rects[] = {{1730, 650, 4420, 450},
                                  {1730, 1160, 4420, 420},
                                  {1730, 1630, 2955, 420},
                                  {4730, 1630, 1420, 420}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(buttons[i]->caption(), captions[i]);
        EXPECT_EQ(buttons[i]->tabIndex(), tabs[i]);
        EXPECT_EQ(buttons[i]->bounds(), rects[i]);
        EXPECT_EQ(buttons[i]->font(), (ui::Font{L"微软雅黑", 9}));
    }
    EXPECT_EQ(form.refreshTimer.interval(), 1000);
    EXPECT_TRUE(form.refreshTimer.enabled());
    EXPECT_TRUE(form.keyPreview());
    // Every command the window has is in the menu's order, the one place tests that must
    // click a position look it up: none is dropped, none added elsewhere.
    std::vector<std::wstring> shown;
    for (const ui::MenuItem& i : form.consoleMenu.items()) {
        shown.push_back(i.name);
        EXPECT_FALSE(i.caption.empty()) << i.name;
        EXPECT_TRUE(i.onClick) << i.name;
    }
    std::vector<std::wstring> rows;
    for (const menu::Row& r : menu::kRows) {
        rows.emplace_back(r.command);
    }
    EXPECT_EQ(shown, rows);
    EXPECT_EQ(item(L"defaultPrinter").caption, L"Windows 默认打印机设置");
    EXPECT_EQ(item(L"diagnosis").caption, L"诊断报告...");
    EXPECT_EQ(item(L"about").shortcutText, L"F1");
}

TEST_F(MainWindowTest, StatusFollowsTheService) {
    auto& s = spooler(scm::kStopped);
    load();
    EXPECT_EQ(form.statusText.caption(), L"打印机后台服务已停止工作");
    EXPECT_EQ(form.statusBar.backColor().value, kRed);
    EXPECT_EQ(form.statusPicture.picture(), IDR_PIC_STOPPED);

    s.state = scm::kRunning;
    form.refreshTimer.tick();
    EXPECT_EQ(form.statusText.caption(), L"打印机后台服务正在运行中...");
    EXPECT_EQ(form.statusBar.backColor().value, kGreen);
    EXPECT_EQ(form.statusPicture.picture(), IDR_PIC_RUNNING);

    for (std::uint32_t pending : {scm::kStartPending, scm::kStopPending, scm::kPaused}) {
        s.state = pending;
        form.refreshTimer.tick();
        EXPECT_EQ(form.statusText.caption(), L"打印机后台服务正在运行中...") << pending;
        EXPECT_EQ(form.statusPicture.picture(), IDR_PIC_RUNNING);
    }
}

TEST_F(MainWindowTest, StartPendingShowsRunningOnceItRuns) {
    auto& s = spooler(scm::kStartPending);
    s.settlesTo = scm::kRunning;
    s.settleAfter = 1;
    load();
    EXPECT_EQ(form.statusText.caption(), L"Unknown");
    form.refreshTimer.tick();
    EXPECT_EQ(form.statusText.caption(), L"打印机后台服务正在运行中...");
    EXPECT_EQ(form.statusBar.backColor().value, kGreen);
}

// Counts what reaches the screen: the peer hears of every real change.
struct CountingPeer : ui::ControlPeer {
    int changes = 0;
    void changed(ui::Prop) override { ++changes; }
};

TEST_F(MainWindowTest, RefreshThatFindsTheSameStateRepaintsNothing) {
    auto& s = spooler(scm::kRunning);
    load();
    CountingPeer bar, text, picture;
    form.statusBar.attachPeer(&bar);
    form.statusText.attachPeer(&text);
    form.statusPicture.attachPeer(&picture);
    for (int i = 0; i < 100; ++i) {
        form.refreshTimer.tick();
    }
    EXPECT_EQ(bar.changes + text.changes + picture.changes, 0);
    s.state = scm::kStopped;
    form.refreshTimer.tick();
    EXPECT_GT(bar.changes, 0);
    EXPECT_GT(text.changes, 0);
    EXPECT_GT(picture.changes, 0);
    const int afterChange = bar.changes + text.changes + picture.changes;
    form.refreshTimer.tick();
    EXPECT_EQ(bar.changes + text.changes + picture.changes, afterChange);
    form.statusBar.attachPeer(nullptr);
    form.statusText.attachPeer(nullptr);
    form.statusPicture.attachPeer(nullptr);
}

TEST_F(MainWindowTest, UnreachableServiceKeepsDesignLook) {
    w.scm.managerUnavailable = true;
    load();
    form.refreshTimer.tick();
    EXPECT_EQ(form.statusText.caption(), L"Unknown");
    EXPECT_EQ(form.statusBar.backColor().value, kDesignRed);
    EXPECT_EQ(form.statusPicture.picture(), 0);
}

// --- repair -----------------------------------------------------------------------------

TEST_F(MainWindowTest, RepairRunningSpoolerStopsClearsFixesAndStarts) {
    auto& s = spooler(scm::kRunning);
    s.startType = 3;
    w.files.addFile(spool, L"00001.SPL");
    w.files.addFile(spool, L"00001.SHD");
    w.files.addFile(spool, L"sub", fileattr::kDirectory);
    w.registry.setDword(spoolerKey, L"Start", 3);
    w.processes.onStart = [&](const fake::FakeProcesses::Started&) {
        EXPECT_FALSE(form.repairButton.enabled()); // greyed out during the wait
        s.startType = 2;
    };
    load();
    w.scm.calls.clear();
    form.fire(form.repairButton.onClick);
    EXPECT_EQ(w.files.deleted, (std::vector<std::wstring>{L"\\\\?\\" + spool + L"\\00001.SPL",
                                                          L"\\\\?\\" + spool + L"\\00001.SHD"}));
    EXPECT_EQ(commands(), std::vector<std::wstring>{L"sc config spooler start= AUTO"});
    EXPECT_EQ(w.processes.started[0].application, L"C:\\Windows\\System32\\sc.exe");
    EXPECT_EQ(w.processes.started[0].showWindow, 0);
    EXPECT_EQ(s.state, scm::kRunning);
    EXPECT_TRUE(form.repairButton.enabled());
    EXPECT_TRUE(w.ui.boxes.empty());
    EXPECT_TRUE(w.ui.errors.empty());
}

TEST_F(MainWindowTest, RepairStoppedSpoolerSkipsTheStop) {
    spooler(scm::kStopped).startType = 2;
    w.registry.setDword(spoolerKey, L"Start", 2);
    load();
    w.scm.calls.clear();
    form.fire(form.repairButton.onClick);
    EXPECT_EQ(std::count(w.scm.calls.begin(), w.scm.calls.end(), "control"), 0);
    EXPECT_EQ(std::count(w.scm.calls.begin(), w.scm.calls.end(), "start"), 1);
    EXPECT_TRUE(commands().empty());      // start type 2 left alone
    EXPECT_EQ(w.files.deleteAttempts, 0); // no folder, no file work
}

struct StartTypeCase {
    const char* name;
    int kind; // 0 missing, 1 dword, 2 string
    std::uint32_t dword;
    const wchar_t* text;
    bool runsSc; // false: the manager alone sets it, or nothing needs setting
    friend void PrintTo(const StartTypeCase& c, std::ostream* os) { *os << c.name; }
};

class RepairStartType : public MainWindowTest,
                        public ::testing::WithParamInterface<StartTypeCase> {};

TEST_P(RepairStartType, ScOnlyAboveAutomaticTheManagerWhereTheValueIsNotADword) {
    const StartTypeCase& c = GetParam();
    // The manager disagrees wherever the registry says nothing usable: it must be set.
    spooler(scm::kStopped).startType = c.kind == 1 ? 2 : 3;
    w.files.addFile(spool, L"empty-marker", fileattr::kHidden); // counted as 0 files
    if (c.kind == 1) {
        w.registry.setDword(spoolerKey, L"Start", c.dword);
    } else if (c.kind == 2) {
        w.registry.setString(spoolerKey, L"Start", c.text);
    } else {
        w.registry.keys[spoolerKey];
    }
    load();
    form.fire(form.repairButton.onClick);
    EXPECT_EQ(!commands().empty(), c.runsSc);
    EXPECT_EQ(w.files.deleteAttempts, 0);
    EXPECT_EQ(w.scm.services[L"Spooler"].state, scm::kRunning);
    EXPECT_EQ(w.scm.services[L"Spooler"].startType, scm::kAutoStart);
}

INSTANTIATE_TEST_SUITE_P(Values, RepairStartType,
                         ::testing::Values(StartTypeCase{"auto", 1, 2, L"", false},
                                           StartTypeCase{"demand", 1, 3, L"", true},
                                           StartTypeCase{"disabled", 1, 4, L"", true},
                                           StartTypeCase{"missing", 0, 0, L"", false},
                                           StartTypeCase{"text3", 2, 0, L"3", false},
                                           StartTypeCase{"textjunk", 2, 0, L"x3", false}),
                         [](const auto& p) { return std::string(p.param.name); });

TEST_F(MainWindowTest, RepairWaitsForTheStopBeforeTouchingFiles) {
    auto& s = spooler(scm::kRunning);
    s.pendingQueries = 5;
    s.startType = 2;
    w.files.addFile(spool, L"1.SPL");
    std::uint32_t stateAtDelete = 0;
    w.files.onDelete = [&](const std::wstring&) { stateAtDelete = s.state; };
    int ticks = 0;
    w.ui.onDoEvents = [&] {
        ++ticks;
        form.refreshTimer.tick(); // the status keeps refreshing meanwhile
    };
    load();
    form.fire(form.repairButton.onClick);
    EXPECT_EQ(stateAtDelete, scm::kStopped);
    EXPECT_EQ(w.files.deleted.size(), 1u);
    EXPECT_GT(w.ui.sleptMs, 0);
    EXPECT_GT(ticks, 0);
    EXPECT_EQ(s.state, scm::kRunning); // the start was accepted: it came after the stop
    EXPECT_TRUE(w.ui.boxes.empty());
}

TEST_F(MainWindowTest, LockedFileIsReportedAndTheRepairGoesOn) {
    auto& s = spooler(scm::kStopped);
    s.startType = 3;
    w.registry.setDword(spoolerKey, L"Start", 3);
    w.files.addFile(spool, L"a.SPL");
    w.files.addFile(spool, L"locked.SPL");
    w.files.addFile(spool, L"b.SHD");
    w.files.heldFor[spool + L"\\locked.SPL"] = -1;
    w.processes.onStart = [&](const auto&) { s.startType = 2; };
    load();
    form.fire(form.repairButton.onClick);
    EXPECT_EQ(w.files.deleted.size(), 2u);
    ASSERT_EQ(w.ui.boxes.size(), 1u);
    EXPECT_NE(w.ui.boxes[0].text.find(L"locked.SPL"), std::wstring::npos);
    EXPECT_NE(w.ui.boxes[0].text.find(L"error 32"), std::wstring::npos);
    EXPECT_EQ(w.ui.boxes[0].style, ui::msgbox::kIconError);
    EXPECT_EQ(commands().size(), 1u);
    EXPECT_EQ(s.state, scm::kRunning);
    EXPECT_TRUE(form.repairButton.enabled());
    // Three retries, half a second apart, before giving up on the held file.
    EXPECT_GE(w.ui.sleptMs, 1500);
}

TEST_F(MainWindowTest, BrieflyHeldFileIsDeletedOnRetry) {
    spooler(scm::kStopped).startType = 2;
    w.files.addFile(spool, L"a.SPL");
    w.files.heldFor[spool + L"\\a.SPL"] = 2;
    load();
    form.fire(form.repairButton.onClick);
    EXPECT_EQ(w.files.deleted.size(), 1u);
    EXPECT_TRUE(w.ui.boxes.empty());
}

TEST_F(MainWindowTest, HungSpoolerIsEndedThenTheQueueClearedAndItStarts) {
    auto& s = spooler(scm::kRunning);
    s.stopNeverCompletes = true;
    s.startType = 2;
    const std::uint32_t pid = s.processId;
    w.files.addFile(spool, L"a.SPL");
    load();
    form.fire(form.repairButton.onClick);
    // Thirty seconds of waiting, then its own process, by the id the manager gave, is ended.
    EXPECT_GE(w.ui.sleptMs, Timing{}.stopWait);
    EXPECT_EQ(w.processes.terminated, std::vector<std::uint32_t>{pid});
    EXPECT_EQ(w.files.deleted.size(), 1u);
    EXPECT_EQ(s.state, scm::kRunning);
    ASSERT_EQ(w.ui.boxes.size(), 1u); // says it had to be ended
    EXPECT_EQ(w.ui.boxes[0].style, ui::msgbox::kIconInformation);
    EXPECT_NE(w.ui.boxes[0].text.find(stopWaitSaid()), std::wstring::npos) << "the timing's bound";
    EXPECT_TRUE(form.repairButton.enabled());
}

TEST_F(MainWindowTest, HungSpoolerThatCannotBeEndedKeepsItsFiles) {
    auto& s = spooler(scm::kRunning);
    s.stopNeverCompletes = true;
    s.startType = 2;
    w.processes.refuseTerminate = 5;
    w.files.addFile(spool, L"a.SPL");
    load();
    form.fire(form.repairButton.onClick);
    EXPECT_TRUE(w.files.deleted.empty()); // the spooler may still hold them
    ASSERT_EQ(w.ui.boxes.size(), 1u);
    EXPECT_EQ(w.ui.boxes[0].style, ui::msgbox::kIconError);
    EXPECT_NE(w.ui.boxes[0].text.find(stopWaitSaid()), std::wstring::npos) << "the timing's bound";
    EXPECT_TRUE(form.repairButton.enabled());
    EXPECT_EQ(std::count(w.scm.calls.begin(), w.scm.calls.end(), "start"), 1);
}

TEST_F(MainWindowTest, RefusedStopSkipsFilesButFixesAndStarts) {
    auto& s = spooler(scm::kRunning);
    s.refuseStop = 1051;
    s.startType = 3;
    w.registry.setDword(spoolerKey, L"Start", 3);
    w.files.addFile(spool, L"a.SPL");
    load();
    form.fire(form.repairButton.onClick);
    EXPECT_TRUE(w.files.deleted.empty());
    EXPECT_EQ(commands().size(), 1u);
    ASSERT_EQ(w.ui.boxes.size(), 1u);
    EXPECT_NE(w.ui.boxes[0].text.find(L"error 1051"), std::wstring::npos);
    EXPECT_EQ(w.ui.sleptMs, 0);
}

TEST_F(MainWindowTest, WithoutScTheManagerSetsTheStartTypeAndTheSpoolerStarts) {
    auto& s = spooler(scm::kStopped);
    s.startType = 4;
    w.registry.setDword(spoolerKey, L"Start", 4);
    w.processes.existingPrograms = {L"C:\\Windows\\System32\\cmd.exe"}; // no sc.exe
    load();
    form.fire(form.repairButton.onClick);
    EXPECT_TRUE(w.ui.errors.empty());
    EXPECT_TRUE(w.ui.boxes.empty());
    EXPECT_EQ(s.startType, 2u);
    EXPECT_EQ(s.state, scm::kRunning);
    EXPECT_TRUE(form.repairButton.enabled());
}

// --- disable -----------------------------------------------------------------------------

TEST_F(MainWindowTest, DisableRunningSpoolerInOneClick) {
    auto& s = spooler(scm::kRunning);
    s.pendingQueries = 3;
    load();
    form.fire(form.disableButton.onClick);
    EXPECT_EQ(s.state, scm::kStopped);
    EXPECT_EQ(commands(), std::vector<std::wstring>{L"sc config spooler start= DISABLED"});
    EXPECT_TRUE(form.disableButton.enabled());
    EXPECT_TRUE(w.ui.boxes.empty());
}

TEST_F(MainWindowTest, DisableStoppedSpoolerAtOnce) {
    spooler(scm::kStopped);
    load();
    form.fire(form.disableButton.onClick);
    EXPECT_EQ(commands().size(), 1u);
    EXPECT_EQ(w.ui.sleptMs, 0);
}

TEST_F(MainWindowTest, DisableThatCannotStopSaysWhy) {
    auto& s = spooler(scm::kRunning);
    s.refuseStop = 1051;
    load();
    form.fire(form.disableButton.onClick);
    EXPECT_TRUE(commands().empty());
    ASSERT_EQ(w.ui.boxes.size(), 1u);
    EXPECT_NE(w.ui.boxes[0].text.find(L"error 1051"), std::wstring::npos);
    EXPECT_TRUE(form.disableButton.enabled());

    s.refuseStop = 0;
    s.stopNeverCompletes = true;
    form.fire(form.disableButton.onClick);
    EXPECT_TRUE(commands().empty());
    EXPECT_EQ(w.ui.boxes.size(), 2u);
    EXPECT_EQ(w.ui.sleptMs, Timing{}.stopWait);
}

// --- shortcuts, menu, F1 -------------------------------------------------------------------

TEST_F(MainWindowTest, ShortcutsStartSystemProgramsByFullPathWithoutAnInterpreter) {
    spooler(scm::kStopped);
    load();
    w.processes.runsForWaits = 1000000; // every console stays open
    form.fire(form.devicesButton.onClick);
    EXPECT_TRUE(form.devicesButton.enabled());
    for (const wchar_t* command : {L"services", L"installedUpdates", L"networkCenter"}) {
        form.fire(item(command).onClick);
    }
    EXPECT_EQ(
        commands(),
        (std::vector<std::wstring>{
            L"\"C:\\Windows\\explorer.exe\" shell:::{A8A91A66-3A7D-4424-8D24-04E180695C7A}",
            L"\"C:\\Windows\\System32\\mmc.exe\" \"C:\\Windows\\System32\\services.msc\"",
            L"\"C:\\Windows\\explorer.exe\" shell:::{d450a8a1-9568-45c7-9c0e-b4f9fb4537bd}",
            L"\"C:\\Windows\\explorer.exe\" shell:::{8E908FC9-BECC-40f6-915B-F4CA0E70D03D}"}));
    const std::wstring programs[] = {L"C:\\Windows\\explorer.exe",
                                     L"C:\\Windows\\System32\\mmc.exe",
                                     L"C:\\Windows\\explorer.exe", L"C:\\Windows\\explorer.exe"};
    ASSERT_EQ(w.processes.started.size(), 4u);
    for (std::size_t i = 0; i < 4; ++i) {
        const auto& started = w.processes.started[i];
        EXPECT_EQ(started.application, programs[i]);
        EXPECT_EQ(started.showWindow, show::kNormal); // shown, for the user to use
        EXPECT_EQ(started.workingDirectory, L"C:\\Windows\\System32");
        EXPECT_EQ(started.commandLine.find(L"cmd"), std::wstring::npos);
    }
    EXPECT_EQ(w.processes.waits, 0); // opened, never waited on
}

// Every program the window starts, whatever the user does: a full path in the Windows or
// System32 folder, started in System32.
TEST_F(MainWindowTest, NothingStartedComesFromElsewhere) {
    auto& s = spooler(scm::kRunning);
    s.startType = 3;
    w.registry.setDword(spoolerKey, L"Start", 3);
    load();
    form.fire(form.devicesButton.onClick);
    for (const ui::MenuItem& item : form.consoleMenu.items()) {
        if (item.name != L"about" && item.name != L"defaultPrinter" && item.name != L"diagnosis") {
            form.fire(item.onClick);
        }
    }
    form.fire(form.repairButton.onClick);
    form.fire(form.disableButton.onClick);
    ASSERT_GE(w.processes.started.size(), 6u);
    for (const auto& started : w.processes.started) {
        const std::wstring folder = started.application.substr(0, started.application.rfind(L'\\'));
        EXPECT_TRUE(folder == L"C:\\Windows" || folder == L"C:\\Windows\\System32")
            << started.application;
        EXPECT_EQ(started.workingDirectory, L"C:\\Windows\\System32");
        EXPECT_EQ(started.application.find(L"cmd.exe"), std::wstring::npos);
    }
}

TEST_F(MainWindowTest, AConsoleThatCannotStartIsReportedWithTheReason) {
    spooler(scm::kStopped);
    load();
    w.processes.existingPrograms = {L"C:\\Windows\\explorer.exe"}; // no mmc.exe, as under Wine
    form.fire(item(L"services").onClick);
    ASSERT_EQ(w.ui.boxes.size(), 1u);
    EXPECT_EQ(w.ui.boxes[0].text, L"无法启动 C:\\Windows\\System32\\mmc.exe：error 2");
    EXPECT_EQ(w.ui.boxes[0].style, ui::msgbox::kIconError);
    EXPECT_TRUE(w.ui.errors.empty());
    EXPECT_TRUE(form.menuButton.enabled());
}

TEST_F(MainWindowTest, AConsoleLeftOpenHoldsNothingBack) {
    auto& s = spooler(scm::kRunning);
    w.registry.setDword(spoolerKey, L"Start", 2);
    load();
    w.processes.runsForWaits = 1000000; // the console stays open for good
    form.fire(item(L"services").onClick);
    for (ui::CommandButton* b :
         {&form.repairButton, &form.disableButton, &form.devicesButton, &form.menuButton}) {
        EXPECT_TRUE(b->enabled());
    }
    form.fire(item(L"services").onClick); // chosen again: a second console
    EXPECT_EQ(w.processes.started.size(), 2u);
    form.fire(form.repairButton.onClick);
    EXPECT_GE(std::count(w.scm.calls.begin(), w.scm.calls.end(), "control"), 1);
    EXPECT_EQ(s.state, scm::kRunning);
    EXPECT_TRUE(w.ui.userCloses(form));
}

TEST_F(MainWindowTest, MenuPopsUpWithItsItems) {
    spooler(scm::kStopped);
    load();
    std::vector<std::wstring> names;
    w.ui.onPopup = [&](ui::Menu& m) {
        for (const auto& item : m.items()) {
            names.push_back(item.name);
        }
    };
    form.fire(form.menuButton.onClick);
    EXPECT_EQ(names, (std::vector<std::wstring>{L"services", L"installedUpdates", L"networkCenter",
                                                L"defaultPrinter", L"diagnosis", L"keepClearedJobs",
                                                L"restoreClearedJobs", L"about"}));
    EXPECT_TRUE(form.menuButton.enabled());
    EXPECT_TRUE(w.processes.started.empty());
}

TEST_F(MainWindowTest, F1OpensAboutWithAnyShiftAndReloadsEachTime) {
    spooler(scm::kStopped);
    load();
    int loads = 0;
    std::vector<ui::Form*> shown;
    w.ui.whileModal = [&](ui::Form& f) {
        if (f.name() == L"AboutWindow") {
            ++loads;
            shown.push_back(&f);
            EXPECT_EQ(static_cast<AboutWindow&>(f).titleLabel.caption(), L"Kestrave 1.0.0");
            // F1 again while the about window is open opens no second one.
            form.keyDown(ui::key::kF1, 0);
        }
    };
    form.keyDown(ui::key::kF1, 0);
    form.keyDown(ui::key::kF1, 1 | 2 | 4);
    form.keyDown(113, 0); // F2: nothing
    EXPECT_EQ(loads, 2);
    EXPECT_EQ(w.ui.modalShown, (std::vector<std::wstring>{L"AboutWindow", L"AboutWindow"}));
    form.fire(item(L"about").onClick);
    EXPECT_EQ(loads, 3);
    ASSERT_EQ(shown.size(), 3u);
    // One object for the program's life, loaded afresh each time.
    EXPECT_EQ(shown[0], shown[1]);
    EXPECT_EQ(shown[1], shown[2]);
}

TEST_F(MainWindowTest, DefaultPrinterItemOpensTheDialogFresh) {
    spooler(scm::kStopped);
    w.printers.printers = {L"A"};
    load();
    std::vector<std::size_t> listed;
    w.ui.whileModal = [&](ui::Form& f) {
        listed.push_back(static_cast<DefaultPrinterDialog&>(f).printerList.items().size());
        EXPECT_EQ(f.icon(), IDI_KESTRAVE);
    };
    form.fire(item(L"defaultPrinter").onClick);
    w.printers.printers.push_back(L"B");
    form.fire(item(L"defaultPrinter").onClick);
    EXPECT_EQ(listed, (std::vector<std::size_t>{1, 2}));
}

} // namespace

namespace {

// --- one operation at a time ---------------------------------------------------------------

// What the user tries while an operation waits: F1, every menu command, every other button,
// closing the window. None of it may act before the operation has ended.
struct Interleaving {
    const char* name;
    bool disable; // the operation: repair or disable
};

class OperationInterleaving : public MainWindowTest,
                              public ::testing::WithParamInterface<Interleaving> {};

TEST_P(OperationInterleaving, NothingElseActsUntilItEndsAndAHeldCloseComesAfter) {
    auto& s = spooler(scm::kRunning);
    s.pendingQueries = 6;
    s.startType = 3;
    w.registry.setDword(spoolerKey, L"Start", 3);
    w.files.addFile(spool, L"1.SPL");
    load();
    ui::CommandButton& own = GetParam().disable ? form.disableButton : form.repairButton;
    int attempts = 0;
    bool closedDuring = true;
    w.ui.onDoEvents = [&] {
        if (attempts++ > 0) {
            return; // once, in the middle of the first wait
        }
        for (ui::CommandButton* b :
             {&form.repairButton, &form.disableButton, &form.devicesButton, &form.menuButton}) {
            EXPECT_FALSE(b->enabled());
            form.fire(b->onClick);
        }
        form.keyDown(ui::key::kF1, 0);
        for (const ui::MenuItem& item : form.consoleMenu.items()) {
            form.fire(item.onClick);
        }
        closedDuring = w.ui.userCloses(form);
    };
    const std::size_t startedBefore = w.processes.started.size();
    form.fire(own.onClick);
    EXPECT_GT(attempts, 0);
    EXPECT_FALSE(closedDuring);
    EXPECT_TRUE(w.ui.modalShown.empty());
    EXPECT_TRUE(w.ui.popups.empty());
    // Only the operation's own command ran (sc); no console, no second operation.
    for (std::size_t i = startedBefore; i < w.processes.started.size(); ++i) {
        EXPECT_EQ(w.processes.started[i].application, L"C:\\Windows\\System32\\sc.exe");
    }
    if (GetParam().disable) {
        EXPECT_EQ(s.state, scm::kStopped);
        EXPECT_EQ(s.startType, 4u);
    } else {
        EXPECT_EQ(s.state, scm::kRunning);
        EXPECT_EQ(s.startType, 2u);
        EXPECT_TRUE(w.files.entries[spool].empty());
    }
    for (ui::CommandButton* b :
         {&form.repairButton, &form.disableButton, &form.devicesButton, &form.menuButton}) {
        EXPECT_TRUE(b->enabled());
    }
    // The close the user asked for is carried out now.
    EXPECT_TRUE(form.loaded());
    w.ui.deliverCloses();
    EXPECT_FALSE(form.loaded());
}

INSTANTIATE_TEST_SUITE_P(Operations, OperationInterleaving,
                         ::testing::Values(Interleaving{"repair", false},
                                           Interleaving{"disable", true}),
                         [](const auto& p) { return std::string(p.param.name); });

} // namespace

namespace {

// --- progress and outcome ------------------------------------------------------------------

TEST_F(MainWindowTest, TheStatusLineFollowsTheRepairThenSaysWhatItDid) {
    auto& s = spooler(scm::kRunning);
    s.startType = 3;
    w.registry.setDword(spoolerKey, L"Start", 3);
    auto& list = w.files.entries[spool];
    w.files.folders[spool] = fileattr::kDirectory;
    for (int i = 0; i < 1200; ++i) {
        list.push_back({std::to_wstring(i) + L".SPL", fileattr::kArchive});
    }
    std::vector<std::wstring> seen;
    w.ui.onDoEvents = [&] {
        form.refreshTimer.tick(); // ticks go on: they must not overwrite the step
        if (seen.empty() || seen.back() != form.statusText.caption()) {
            seen.push_back(form.statusText.caption());
        }
    };
    load();
    form.fire(form.repairButton.onClick);
    EXPECT_NE(std::find(seen.begin(), seen.end(), L"正在等待打印机后台服务停止..."), seen.end());
    EXPECT_NE(std::find(seen.begin(), seen.end(), L"正在清空打印队列... 512 / 1,200"), seen.end());
    EXPECT_NE(std::find(seen.begin(), seen.end(), L"正在等待打印机后台服务运行..."), seen.end());
    const std::wstring done = L"修复完成：清空 1,200 个文件，设为自动启动，服务已运行。";
    EXPECT_EQ(form.statusText.caption(), done);
    // Longer than the bar at its design size: shown smaller, not cut off.
    EXPECT_LE(form.statusText.left() + form.statusText.width(), form.clientSize().width);
    // The taskbar: a fraction while clearing, nothing at the end.
    const auto fraction = std::find_if(w.ui.progress.begin(), w.ui.progress.end(), [](auto& p) {
        return p.kind == ui::IWindowSystem::Progress::Fraction && p.total == 1200;
    });
    EXPECT_NE(fraction, w.ui.progress.end());
    ASSERT_FALSE(w.ui.progress.empty());
    EXPECT_EQ(w.ui.progress.back().kind, ui::IWindowSystem::Progress::None);
    // It stays while the state does, and goes when the state changes.
    w.ui.onDoEvents = nullptr;
    form.refreshTimer.tick();
    EXPECT_EQ(form.statusText.caption(), done);
    s.state = scm::kStopped;
    form.refreshTimer.tick();
    EXPECT_EQ(form.statusText.caption(), L"打印机后台服务已停止工作");
}

TEST_F(MainWindowTest, AnotherKestraveBusyIsSaidOnTheLineThenInTheBox) {
    spooler(scm::kRunning);
    w.lock.heldElsewhereForTries = -1;
    std::wstring during;
    w.ui.onDoEvents = [&] { during = form.statusText.caption(); };
    load();
    form.fire(form.repairButton.onClick);
    EXPECT_EQ(during, L"另一个 Kestrave 正在修复或禁用打印机后台服务，正在等待...");
    ASSERT_EQ(w.ui.boxes.size(), 1u);
    EXPECT_NE(w.ui.boxes[0].text.find(L"60 秒"), std::wstring::npos);
    EXPECT_EQ(std::count(w.scm.calls.begin(), w.scm.calls.end(), "control"), 0);
}

} // namespace

namespace {

struct IdleWindowTest : MainWindowTest {
    std::vector<std::unique_ptr<CountingPeer>> peers;
    void watch() {
        for (ui::Control* c : form.controls()) {
            peers.push_back(std::make_unique<CountingPeer>());
            c->attachPeer(peers.back().get());
        }
    }
    int changesOverTicks(int ticks) {
        for (auto& p : peers) {
            p->changes = 0;
        }
        for (int i = 0; i < ticks; ++i) {
            form.refreshTimer.tick();
        }
        int total = 0;
        for (auto& p : peers) {
            total += p->changes;
        }
        return total;
    }
};

TEST_F(IdleWindowTest, NothingIsSetWhileNothingChangesInAnyStateOfTheLine) {
    auto& s = spooler(scm::kStopped);
    s.startType = 4;
    w.registry.setDword(spoolerKey, L"Start", 4);
    w.files.addFile(spool, L"1.SPL");
    load();
    watch();
    EXPECT_EQ(changesOverTicks(10), 0) << "stopped";
    // A repair that changes the start type leaves its outcome on the line.
    form.fire(form.repairButton.onClick);
    ASSERT_EQ(s.state, scm::kRunning);
    ASSERT_NE(form.statusText.caption().find(L"自动"), std::wstring::npos);
    EXPECT_EQ(changesOverTicks(10), 0) << "outcome after a repair";
    // An outcome too long for the bar: dependents started again.
    for (const wchar_t* name : {L"PrintNotifyService", L"FaxServiceForTheOffice", L"ScanHub"}) {
        w.scm.add(name, scm::kRunning).dependsOn = {L"Spooler"};
    }
    form.fire(form.repairButton.onClick);
    // Too long even smaller: a shorter form of it, without the services' names.
    ASSERT_EQ(form.statusText.caption().rfind(L"修复完成：", 0), 0u);
    ASSERT_EQ(form.statusText.caption().find(L"ScanHub"), std::wstring::npos);
    EXPECT_EQ(changesOverTicks(10), 0) << "a long outcome";
    // The state changes: the line follows once, then rests again.
    s.state = scm::kStopped;
    EXPECT_GT(changesOverTicks(1), 0);
    EXPECT_EQ(changesOverTicks(10), 0) << "stopped again";
    // During an operation, ticks while one step lasts set nothing either.
    int duringStep = -1;
    s.pendingQueries = 8;
    w.ui.onDoEvents = [&] {
        if (duringStep < 0 && form.statusText.caption() == L"正在等待打印机后台服务运行...") {
            duringStep = changesOverTicks(5);
        }
    };
    form.fire(form.repairButton.onClick);
    EXPECT_EQ(duringStep, 0);
}

} // namespace

namespace {

// A close asked for during an operation that ends with a message: posted only once the
// message has been read (a close posted while the box disables the window is lost).
TEST_F(MainWindowTest, ACloseAskedDuringAnOperationIsCarriedOutAfterItsMessage) {
    auto& s = spooler(scm::kRunning);
    s.refuseStart = 1058; // the repair ends with a message box
    load();
    bool asked = false;
    w.ui.onDoEvents = [&] {
        if (!asked) {
            asked = true;
            EXPECT_FALSE(w.ui.userCloses(form)); // held while the repair runs
        }
    };
    std::size_t postedBeforeBox = 99;
    w.ui.onMessageBox = [&](const auto&) { postedBeforeBox = w.ui.closesPosted.size(); };
    form.fire(form.repairButton.onClick);
    ASSERT_TRUE(asked);
    ASSERT_EQ(w.ui.boxes.size(), 1u);
    EXPECT_EQ(postedBeforeBox, 0u);
    EXPECT_EQ(w.ui.closesPosted, std::vector<ui::Form*>{&form});
}

} // namespace

namespace {

TEST_F(MainWindowTest, TheDiagnosisWindowClosesWithItsCloseButton) {
    spooler(scm::kRunning);
    load();
    bool wasOpen = false;
    w.ui.whileModal = [&](ui::Form& modal) {
        auto* diagnosis = dynamic_cast<DiagnosisWindow*>(&modal);
        ASSERT_NE(diagnosis, nullptr);
        wasOpen = diagnosis->loaded();
        EXPECT_EQ(diagnosis->closeButton.caption(), L"关闭");
        diagnosis->fire(diagnosis->closeButton.onClick);
        EXPECT_FALSE(diagnosis->loaded());
    };
    form.showDiagnosis();
    EXPECT_TRUE(wasOpen);
}

} // namespace
