#include <gtest/gtest.h>

#include "FakeTest.h"
#include "about/FrmAbout.h"
#include "mainwindow/Form1.h"
#include "printer/Form2.h"
#include "resources/ResourceIds.h"

using namespace kestrave;

namespace {

constexpr std::uint32_t kDesignRed = 0x0000C0;
constexpr std::uint32_t kRed = 0x2B22B4;
constexpr std::uint32_t kGreen = 0x40AA2D;

struct Form1Test : ::testing::Test {
    test::FakeWorld w;
    CurrentPrinter printer{w.printers};
    Form1 form{w.platform, printer};
    const std::wstring spool = L"C:\\Windows\\System32\\spool\\PRINTERS";
    const std::string spoolerKey = "SYSTEM\\CurrentControlSet\\Services\\Spooler";

    fake::FakeServiceManager::Service& spooler(std::uint32_t state) {
        return w.scm.add(L"Spooler", state);
    }
    void load() { w.ui.show(form); }
    std::vector<std::wstring> commands() const {
        std::vector<std::wstring> out;
        for (const auto& s : w.processes.started) {
            out.push_back(s.commandLine);
        }
        return out;
    }
};

TEST_F(Form1Test, LayoutAsDesigned) {
    spooler(scm::kStopped);
    load();
    EXPECT_EQ(form.caption(), L"Kestrave 1.0");
    EXPECT_EQ(form.clientSize().width, 6285);
    EXPECT_EQ(form.clientSize().height, 2250);
    EXPECT_EQ(form.LabelTip[0].bounds(), (ui::TwipRect{0, 0, 6735, 450}));
    EXPECT_EQ(form.LabelTip[0].font(), (ui::Font{L"宋体", 9}));
    EXPECT_EQ(form.LabelTip[1].left(), 120);
    EXPECT_EQ(form.LabelTip[1].top(), 45);
    EXPECT_EQ(form.LabelTip[1].foreColor(), ui::Color::rgb(0xFFFFFF));
    EXPECT_FALSE(form.LabelTip[1].backOpaque());
    EXPECT_TRUE(form.LabelTip[1].autoSize());
    EXPECT_EQ(form.Img[0].bounds(), (ui::TwipRect{90, 560, 1545, 1605}));
    EXPECT_FALSE(form.Img[1].visible());
    EXPECT_FALSE(form.Img[2].visible());
    const ui::CommandButton* buttons[] = {&form.Command1, &form.Command2, &form.Command3,
                                          &form.Command4};
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
    EXPECT_EQ(form.Timer1.interval(), 1000);
    EXPECT_TRUE(form.Timer1.enabled());
    EXPECT_TRUE(form.keyPreview());
    ASSERT_EQ(form.mMenu.items().size(), 5u);
    EXPECT_EQ(form.mMenu.items()[3].caption, L"Winodws 默认打印机设置");
    EXPECT_EQ(form.mMenu.items()[4].shortcutText, L"F1");
}

TEST_F(Form1Test, StatusFollowsTheService) {
    auto& s = spooler(scm::kStopped);
    load();
    EXPECT_EQ(form.LabelTip[1].caption(), text::kStopped);
    EXPECT_EQ(form.LabelTip[0].backColor().value, kRed);
    EXPECT_EQ(form.Img[0].picture(), IDR_PIC_STOPPED);
    EXPECT_EQ(w.scm.statusQueries, 1); // stopped: one query

    s.state = scm::kRunning;
    w.scm.statusQueries = 0;
    form.Timer1.tick();
    EXPECT_EQ(form.LabelTip[1].caption(), text::kRunning);
    EXPECT_EQ(form.LabelTip[0].backColor().value, kGreen);
    EXPECT_EQ(form.Img[0].picture(), IDR_PIC_RUNNING);
    EXPECT_EQ(w.scm.statusQueries, 2); // otherwise: two fresh queries

    for (std::uint32_t pending : {scm::kStartPending, scm::kStopPending, scm::kPaused}) {
        s.state = pending;
        form.Timer1.tick();
        EXPECT_EQ(form.LabelTip[1].caption(), text::kRunning) << pending;
        EXPECT_EQ(form.Img[0].picture(), IDR_PIC_RUNNING);
    }
}

TEST_F(Form1Test, SecondAnswerRunningShowsRunning) {
    // Start pending at the first query, running at the second.
    auto& s = spooler(scm::kStartPending);
    s.settlesTo = scm::kRunning;
    s.settleAfter = 0;
    load();
    EXPECT_EQ(form.LabelTip[1].caption(), text::kRunning);
    EXPECT_EQ(form.LabelTip[0].backColor().value, kGreen);
}

TEST_F(Form1Test, UnreachableServiceKeepsDesignLook) {
    w.scm.managerUnavailable = true;
    load();
    form.Timer1.tick();
    EXPECT_EQ(form.LabelTip[1].caption(), L"Unkown");
    EXPECT_EQ(form.LabelTip[0].backColor().value, kDesignRed);
    EXPECT_EQ(form.Img[0].picture(), 0);
    ASSERT_NE(form.serviceForTest(), nullptr);
}

// --- repair -----------------------------------------------------------------------------

TEST_F(Form1Test, RepairRunningSpoolerStopsClearsFixesAndStarts) {
    auto& s = spooler(scm::kRunning);
    s.startType = 3;
    w.files.addFile(spool, L"00001.SPL");
    w.files.addFile(spool, L"00001.SHD");
    w.files.addFile(spool, L"sub", fileattr::kDirectory);
    w.registry.setDword(spoolerKey, "Start", 3);
    w.processes.onStart = [&](const fake::FakeProcesses::Started&) {
        EXPECT_FALSE(form.Command1.enabled()); // greyed out during the wait
        s.startType = 2;
    };
    load();
    w.scm.calls.clear();
    form.fire(form.Command1.onClick);
    EXPECT_EQ(w.files.deleted,
              (std::vector<std::wstring>{spool + L"\\00001.SPL", spool + L"\\00001.SHD"}));
    EXPECT_EQ(commands(), std::vector<std::wstring>{L"sc config spooler start= AUTO"});
    EXPECT_EQ(w.processes.started[0].application, L"C:\\Windows\\System32\\sc.exe");
    EXPECT_EQ(w.processes.started[0].showWindow, 0);
    EXPECT_EQ(s.state, scm::kStartPending);
    EXPECT_TRUE(form.Command1.enabled());
    EXPECT_TRUE(w.ui.boxes.empty());
    EXPECT_TRUE(w.ui.errors.empty());
}

TEST_F(Form1Test, RepairStoppedSpoolerSkipsTheStop) {
    spooler(scm::kStopped).startType = 2;
    w.registry.setDword(spoolerKey, "Start", 2);
    load();
    w.scm.calls.clear();
    form.fire(form.Command1.onClick);
    EXPECT_EQ(std::count(w.scm.calls.begin(), w.scm.calls.end(), "control"), 0);
    EXPECT_EQ(std::count(w.scm.calls.begin(), w.scm.calls.end(), "start"), 1);
    EXPECT_TRUE(commands().empty());      // start type 2 left alone
    EXPECT_EQ(w.files.deleteAttempts, 0); // no folder, no file work
}

struct StartTypeCase {
    const char* name;
    int kind; // 0 missing, 1 dword, 2 string
    std::uint32_t dword;
    const char* text;
    bool runsAutoStart;
    friend void PrintTo(const StartTypeCase& c, std::ostream* os) { *os << c.name; }
};

class RepairStartType : public Form1Test, public ::testing::WithParamInterface<StartTypeCase> {};

TEST_P(RepairStartType, CommandOnlyAboveAutomatic) {
    const StartTypeCase& c = GetParam();
    spooler(scm::kStopped).startType = 2;
    w.files.addFile(spool, L"empty-marker", fileattr::kHidden); // counted as 0 files
    if (c.kind == 1) {
        w.registry.setDword(spoolerKey, "Start", c.dword);
    } else if (c.kind == 2) {
        w.registry.setString(spoolerKey, "Start", c.text);
    } else {
        w.registry.keys[spoolerKey];
    }
    load();
    form.fire(form.Command1.onClick);
    EXPECT_EQ(!commands().empty(), c.runsAutoStart);
    EXPECT_EQ(w.files.deleteAttempts, 0);
    EXPECT_EQ(w.scm.services[L"Spooler"].state, scm::kStartPending);
}

INSTANTIATE_TEST_SUITE_P(Values, RepairStartType,
                         ::testing::Values(StartTypeCase{"auto", 1, 2, "", false},
                                           StartTypeCase{"demand", 1, 3, "", true},
                                           StartTypeCase{"disabled", 1, 4, "", true},
                                           StartTypeCase{"missing", 0, 0, "", false},
                                           StartTypeCase{"text3", 2, 0, " 3", true},
                                           StartTypeCase{"textjunk", 2, 0, "x3", false}),
                         [](const auto& p) { return std::string(p.param.name); });

TEST_F(Form1Test, RepairWaitsForTheStopBeforeTouchingFiles) {
    auto& s = spooler(scm::kRunning);
    s.pendingQueries = 5;
    s.startType = 2;
    w.files.addFile(spool, L"1.SPL");
    std::uint32_t stateAtDelete = 0;
    w.files.onDelete = [&](const std::wstring&) { stateAtDelete = s.state; };
    int ticks = 0;
    w.ui.onDoEvents = [&] {
        ++ticks;
        form.Timer1.tick(); // the status keeps refreshing meanwhile
    };
    load();
    form.fire(form.Command1.onClick);
    EXPECT_EQ(stateAtDelete, scm::kStopped);
    EXPECT_EQ(w.files.deleted.size(), 1u);
    EXPECT_GT(w.ui.sleptMs, 0);
    EXPECT_GT(ticks, 0);
    EXPECT_EQ(s.state, scm::kStartPending); // the start was accepted: it came after the stop
    EXPECT_TRUE(w.ui.boxes.empty());
}

TEST_F(Form1Test, LockedFileIsReportedAndTheRepairGoesOn) {
    auto& s = spooler(scm::kStopped);
    s.startType = 3;
    w.registry.setDword(spoolerKey, "Start", 3);
    w.files.addFile(spool, L"a.SPL");
    w.files.addFile(spool, L"locked.SPL");
    w.files.addFile(spool, L"b.SHD");
    w.files.heldFor[spool + L"\\locked.SPL"] = -1;
    w.processes.onStart = [&](const auto&) { s.startType = 2; };
    load();
    form.fire(form.Command1.onClick);
    EXPECT_EQ(w.files.deleted.size(), 2u);
    ASSERT_EQ(w.ui.boxes.size(), 1u);
    EXPECT_NE(w.ui.boxes[0].text.find(L"locked.SPL"), std::wstring::npos);
    EXPECT_NE(w.ui.boxes[0].text.find(L"error 32"), std::wstring::npos);
    EXPECT_EQ(w.ui.boxes[0].style, ui::msgbox::kIconError);
    EXPECT_EQ(commands().size(), 1u);
    EXPECT_EQ(s.state, scm::kStartPending);
    EXPECT_TRUE(form.Command1.enabled());
    // Three retries, half a second apart, before giving up on the held file.
    EXPECT_EQ(w.ui.sleptMs, 1500);
}

TEST_F(Form1Test, BrieflyHeldFileIsDeletedOnRetry) {
    spooler(scm::kStopped).startType = 2;
    w.files.addFile(spool, L"a.SPL");
    w.files.heldFor[spool + L"\\a.SPL"] = 2;
    load();
    form.fire(form.Command1.onClick);
    EXPECT_EQ(w.files.deleted.size(), 1u);
    EXPECT_TRUE(w.ui.boxes.empty());
}

TEST_F(Form1Test, StopThatNeverCompletesIsBounded) {
    auto& s = spooler(scm::kRunning);
    s.stopNeverCompletes = true;
    s.startType = 2;
    w.files.addFile(spool, L"a.SPL");
    load();
    form.fire(form.Command1.onClick);
    EXPECT_EQ(w.ui.sleptMs, Form1::kStopWaitMs);
    EXPECT_TRUE(w.files.deleted.empty()); // the spooler may still hold them
    ASSERT_EQ(w.ui.boxes.size(), 1u);
    EXPECT_NE(w.ui.boxes[0].text.find(L"30"), std::wstring::npos);
    EXPECT_TRUE(form.Command1.enabled());
    EXPECT_EQ(std::count(w.scm.calls.begin(), w.scm.calls.end(), "start"), 1);
}

TEST_F(Form1Test, RefusedStopSkipsFilesButFixesAndStarts) {
    auto& s = spooler(scm::kRunning);
    s.refuseStop = 1051;
    s.startType = 3;
    w.registry.setDword(spoolerKey, "Start", 3);
    w.files.addFile(spool, L"a.SPL");
    load();
    form.fire(form.Command1.onClick);
    EXPECT_TRUE(w.files.deleted.empty());
    EXPECT_EQ(commands().size(), 1u);
    ASSERT_EQ(w.ui.boxes.size(), 1u);
    EXPECT_NE(w.ui.boxes[0].text.find(L"error 1051"), std::wstring::npos);
    EXPECT_EQ(w.ui.sleptMs, 0);
}

TEST_F(Form1Test, CommandThatCannotStartLeavesTheButtonUsable) {
    spooler(scm::kStopped);
    w.registry.setDword(spoolerKey, "Start", 4);
    w.processes.existingPrograms = {L"C:\\Windows\\System32\\cmd.exe"}; // no sc.exe
    load();
    form.fire(form.Command1.onClick);
    ASSERT_EQ(w.ui.errors.size(), 1u);
    EXPECT_TRUE(form.Command1.enabled());
    EXPECT_EQ(std::count(w.scm.calls.begin(), w.scm.calls.end(), "start"), 0);
}

// --- disable -----------------------------------------------------------------------------

TEST_F(Form1Test, DisableRunningSpoolerInOneClick) {
    auto& s = spooler(scm::kRunning);
    s.pendingQueries = 3;
    load();
    form.fire(form.Command2.onClick);
    EXPECT_EQ(s.state, scm::kStopped);
    EXPECT_EQ(commands(), std::vector<std::wstring>{L"sc config spooler start= DISABLED"});
    EXPECT_TRUE(form.Command2.enabled());
    EXPECT_TRUE(w.ui.boxes.empty());
}

TEST_F(Form1Test, DisableStoppedSpoolerAtOnce) {
    spooler(scm::kStopped);
    load();
    form.fire(form.Command2.onClick);
    EXPECT_EQ(commands().size(), 1u);
    EXPECT_EQ(w.ui.sleptMs, 0);
}

TEST_F(Form1Test, DisableThatCannotStopSaysWhy) {
    auto& s = spooler(scm::kRunning);
    s.refuseStop = 1051;
    load();
    form.fire(form.Command2.onClick);
    EXPECT_TRUE(commands().empty());
    ASSERT_EQ(w.ui.boxes.size(), 1u);
    EXPECT_NE(w.ui.boxes[0].text.find(L"error 1051"), std::wstring::npos);
    EXPECT_TRUE(form.Command2.enabled());

    s.refuseStop = 0;
    s.stopNeverCompletes = true;
    form.fire(form.Command2.onClick);
    EXPECT_TRUE(commands().empty());
    EXPECT_EQ(w.ui.boxes.size(), 2u);
    EXPECT_EQ(w.ui.sleptMs, Form1::kStopWaitMs);
}

// --- shortcuts, menu, F1 -------------------------------------------------------------------

TEST_F(Form1Test, ShortcutsRunTheirCommandLinesHidden) {
    spooler(scm::kStopped);
    load();
    w.processes.onStart = [&](const auto&) { EXPECT_FALSE(form.Command3.enabled()); };
    form.fire(form.Command3.onClick);
    EXPECT_TRUE(form.Command3.enabled());
    w.processes.onStart = nullptr;
    for (int i = 0; i < 3; ++i) {
        form.fire(form.mMenu.items()[static_cast<std::size_t>(i)].onClick);
    }
    EXPECT_EQ(commands(),
              (std::vector<std::wstring>{
                  L"cmd.exe /c explorer shell:::{A8A91A66-3A7D-4424-8D24-04E180695C7A}",
                  L"cmd.exe /c services.msc",
                  L"cmd.exe /c explorer shell:::{d450a8a1-9568-45c7-9c0e-b4f9fb4537bd}",
                  L"cmd.exe /c explorer shell:::{8E908FC9-BECC-40f6-915B-F4CA0E70D03D}"}));
    for (const auto& s : w.processes.started) {
        EXPECT_EQ(s.application, L"C:\\Windows\\System32\\cmd.exe");
        EXPECT_EQ(s.showWindow, 0);
    }
}

TEST_F(Form1Test, MenuItemChosenAgainDuringItsWaitCompletesInside) {
    spooler(scm::kStopped);
    load();
    w.processes.runsForWaits = 3;
    bool nested = false;
    w.ui.onDoEvents = [&] {
        if (!nested) {
            nested = true;
            form.fire(form.mMenu.items()[0].onClick);
        }
    };
    form.fire(form.mMenu.items()[0].onClick);
    EXPECT_EQ(w.processes.started.size(), 2u);
    EXPECT_EQ(w.processes.running, 0);
}

TEST_F(Form1Test, MenuPopsUpWithFiveItems) {
    spooler(scm::kStopped);
    load();
    std::vector<std::wstring> names;
    w.ui.onPopup = [&](ui::Menu& m) {
        for (const auto& item : m.items()) {
            names.push_back(item.name);
        }
    };
    form.fire(form.Command4.onClick);
    EXPECT_EQ(names, (std::vector<std::wstring>{L"WinServices", L"WinUpdate", L"WinNetShare",
                                                L"WinDefPrintSet", L"mAbout"}));
    EXPECT_TRUE(form.Command4.enabled());
    EXPECT_TRUE(w.processes.started.empty());
}

TEST_F(Form1Test, F1OpensAboutWithAnyShiftAndReloadsEachTime) {
    spooler(scm::kStopped);
    load();
    int loads = 0;
    w.ui.whileModal = [&](ui::Form& f) {
        if (f.name() == L"FrmAbout") {
            ++loads;
            EXPECT_EQ(static_cast<FrmAbout&>(f).Label1[0].caption(), L"Kestrave 1.0.0");
            // F1 again while the about window is open opens no second one.
            form.keyDown(ui::key::kF1, 0);
        }
    };
    form.keyDown(ui::key::kF1, 0);
    form.keyDown(ui::key::kF1, 1 | 2 | 4);
    form.keyDown(113, 0); // F2: nothing
    EXPECT_EQ(loads, 2);
    EXPECT_EQ(w.ui.modalShown, (std::vector<std::wstring>{L"FrmAbout", L"FrmAbout"}));
    FrmAbout* about = form.aboutForTest();
    form.fire(form.mMenu.items()[4].onClick);
    EXPECT_EQ(form.aboutForTest(), about); // one object for the program's life
    EXPECT_EQ(loads, 3);
}

TEST_F(Form1Test, DefaultPrinterItemOpensTheDialogFresh) {
    spooler(scm::kStopped);
    w.printers.printers = {L"A"};
    load();
    std::vector<std::size_t> listed;
    w.ui.whileModal = [&](ui::Form& f) {
        listed.push_back(static_cast<Form2&>(f).Combo1.items().size());
        EXPECT_EQ(f.icon(), IDI_KESTRAVE);
    };
    form.fire(form.mMenu.items()[3].onClick);
    w.printers.printers.push_back(L"B");
    form.fire(form.mMenu.items()[3].onClick);
    EXPECT_EQ(listed, (std::vector<std::size_t>{1, 2}));
}

} // namespace
