// The window's side of keeping cleared jobs: the menu's check item and the policy greying it,
// what a keeping repair says, and putting the last kept jobs back once confirmed.
#include <gtest/gtest.h>

#include <algorithm>

#include "core/events/ChangeEvents.h"
#include "core/keep/KeepSettings.h"
#include "core/keep/KeptRepairs.h"
#include "core/keep/UtcTime.h"
#include "tests/fakes/KeepScene.h"
#include "windows/MainWindow.h"

using namespace kestrave;

namespace {

struct MainWindowKeepTest : ::testing::Test {
    test::FakeWorld w;
    CurrentPrinter printer{w.printers};
    MainWindow form{w.platform, printer};
    const std::wstring spool = L"C:\\Windows\\System32\\spool\\PRINTERS";
    const std::wstring kept = L"C:\\ProgramData\\Kestrave\\Cleared";

    MainWindowKeepTest() {
        test::setUpKeepScene(w, {2026, 12, 8, 9, 15, 0});
        w.ui.show(form);
    }
    // The menu as it pops up: its items' state is set as it opens.
    ui::MenuItem popped(const std::wstring& name) {
        ui::MenuItem found;
        w.ui.onPopup = [&](ui::Menu& m) {
            for (const ui::MenuItem& i : m.items()) {
                if (i.name == name) {
                    found = i;
                }
            }
        };
        form.fire(form.menuButton.onClick);
        return found;
    }
    void choose(const std::wstring& name) { form.fire(popped(name).onClick); }
};

TEST_F(MainWindowKeepTest, TheCheckItemShowsAndChangesTheMachinesChoiceUnlessPolicyHasIt) {
    ui::MenuItem keep = popped(L"keepClearedJobs");
    EXPECT_EQ(keep.caption, L"清除时保留打印作业");
    EXPECT_FALSE(keep.checked);
    EXPECT_TRUE(keep.enabled);
    EXPECT_TRUE(keep.separatorBefore);
    choose(L"keepClearedJobs");
    EXPECT_TRUE(readKeepSettings(w.registry).keep);
    EXPECT_TRUE(popped(L"keepClearedJobs").checked);
    choose(L"keepClearedJobs");
    EXPECT_FALSE(readKeepSettings(w.registry).keep);

    w.registry.setDword(keepkeys::kPolicy, keepkeys::kKeep, 1);
    keep = popped(L"keepClearedJobs");
    EXPECT_TRUE(keep.checked) << "the policy's choice is shown";
    EXPECT_FALSE(keep.enabled);
    form.fire(keep.onClick); // even if chosen somehow: the machine's value stays
    RegistryData machine;
    ASSERT_EQ(w.registry.readMachineValue(keepkeys::kMachine, keepkeys::kKeep, machine), 0u);
    EXPECT_EQ(machine.bytes[0], 0u);

    w.registry.refusedKeys[keepkeys::kMachine] = err::kAccessDenied;
    w.registry.keys.erase(keepkeys::kPolicy);
    choose(L"keepClearedJobs");
    ASSERT_FALSE(w.ui.boxes.empty());
    EXPECT_EQ(w.ui.boxes.back().text, L"无法保存设置：error 5");
}

TEST_F(MainWindowKeepTest, AKeepingRepairSaysWhereAndWhatItKept) {
    w.registry.setDword(keepkeys::kMachine, keepkeys::kKeep, 1);
    w.files.addFile(spool, L"FP00004.SPL", fileattr::kArchive, 10);
    w.files.addFile(spool, L"FP00004.SHD", fileattr::kArchive, 2);
    form.fire(form.repairButton.onClick);
    ASSERT_EQ(w.ui.boxes.size(), 1u);
    const std::wstring& text = w.ui.boxes[0].text;
    EXPECT_EQ(text.rfind(L"打印队列中的 2 个文件已保留在 " + kept + L"\\20261208-091500_1：\n", 0),
              0u)
        << std::string(text.begin(), text.end());
    EXPECT_NE(text.find(L"FP00004.SPL，FP00004.SHD（12 字节"), std::wstring::npos);
    EXPECT_EQ(w.ui.boxes[0].style, ui::msgbox::kIconInformation);
}

TEST_F(MainWindowKeepTest, RestoreShowsWhatTheLastKeptRepairHoldsAndActsOnlyOnYes) {
    choose(L"restoreClearedJobs");
    ASSERT_EQ(w.ui.boxes.size(), 1u);
    EXPECT_EQ(w.ui.boxes[0].text, L"没有可恢复的保留打印作业。");

    const std::wstring name = keptFolderName(w.files.clock - kFileTimeSecond * 60);
    w.files.addFolder(kept, name);
    w.files.addFile(kept + L"\\" + name, L"FP00009.SPL", fileattr::kArchive, 7);
    w.ui.boxAnswer = 7; // No
    choose(L"restoreClearedJobs");
    ASSERT_EQ(w.ui.boxes.size(), 2u);
    const std::wstring& question = w.ui.boxes[1].text;
    EXPECT_EQ(question.rfind(kept + L"\\" + name + L" 中保留的打印作业：\nFP00009.SPL（7 字节", 0),
              0u)
        << std::string(question.begin(), question.end());
    EXPECT_NE(question.find(L"要将这些打印作业放回打印队列吗？"), std::wstring::npos);
    EXPECT_EQ(w.ui.boxes[1].style & ui::msgbox::kYesNo, ui::msgbox::kYesNo);
    EXPECT_TRUE(w.files.names(spool).empty()) << "No changes nothing";
    EXPECT_EQ(w.lock.tries, 0);

    w.ui.boxAnswer = ui::msgbox::kAnsweredYes;
    choose(L"restoreClearedJobs");
    EXPECT_EQ(w.files.names(spool), std::vector<std::wstring>{L"FP00009.SPL"});
    EXPECT_EQ(w.scm.services.at(L"Spooler").state, scm::kRunning);
    EXPECT_TRUE(form.repairButton.enabled());
}

} // namespace

namespace {
// The window's changes reach the Application log as the command line's do, said as the
// window's; a choice policy holds writes nothing, since nothing changed.
TEST_F(MainWindowKeepTest, TheWindowsChangesEachWriteOneEventSaidAsTheWindows) {
    choose(L"keepClearedJobs");
    w.registry.refusedKeys[keepkeys::kMachine] = err::kAccessDenied;
    choose(L"keepClearedJobs");
    w.registry.refusedKeys.clear();
    w.registry.setDword(keepkeys::kPolicy, keepkeys::kKeep, 1);
    form.fire(popped(L"keepClearedJobs").onClick);
    w.registry.keys.erase(keepkeys::kPolicy);
    w.files.addFile(spool, L"FP00005.SPL", fileattr::kArchive, 10);
    form.fire(form.repairButton.onClick);
    const auto& e = w.eventLog.events;
    ASSERT_EQ(e.size(), 3u);
    EXPECT_EQ(e[0].id, events::kKeepSettingSet);
    EXPECT_EQ(e[0].type, IEventLog::Type::Information);
    EXPECT_EQ(e[0].strings[0], L"清除时保留打印作业: 开");
    EXPECT_EQ(e[1].id, events::kKeepSettingFailed);
    EXPECT_EQ(e[1].type, IEventLog::Type::Error);
    EXPECT_NE(e[1].strings[1].find(L"error 5"), std::wstring::npos);
    EXPECT_EQ(e[2].id, events::kRepairDone);
    for (const auto& event : e) {
        EXPECT_EQ(event.strings[3], L"窗口");
    }
}
} // namespace
