#include <gtest/gtest.h>

#include "tests/fakes/FakeWorld.h"
#include "windows/DefaultPrinterDialog.h"
#include "core/printers/DefaultPrinter.h"
#include "resources/ResourceIds.h"

using namespace kestrave;

namespace {

struct PrinterTest : ::testing::Test {
    test::FakeWorld w;
    CurrentPrinter current{w.printers};
    DefaultPrinter mod{w.printers, w.network, current};
    void SetUp() override {
        w.printers.printers = {L"HP LaserJet", L"打印机二", L"PDF"};
        w.printers.systemDefault = L"HP LaserJet";
    }
};

TEST_F(PrinterTest, OnlyAnExactWholeNameMatches) {
    for (const wchar_t* name : {L"", L"hp laserjet", L"HP", L"PDF "}) {
        mod.setDefaultPrinter(name);
    }
    EXPECT_EQ(w.network.created, 0);
    EXPECT_EQ(current.deviceName(), L"HP LaserJet");
    w.printers.printers.clear();
    mod.setDefaultPrinter(L"PDF");
    EXPECT_EQ(w.network.created, 0);
}

TEST_F(PrinterTest, MatchedPrinterBecomesDefaultAndCurrent) {
    mod.setDefaultPrinter(L"打印机二");
    EXPECT_EQ(w.network.progIds, std::vector<std::wstring>{L"WScript.Network"});
    EXPECT_EQ(w.network.setNames, std::vector<std::wstring>{L"打印机二"});
    EXPECT_EQ(w.network.released, 1);
    EXPECT_EQ(w.printers.systemDefault, L"打印机二");
    EXPECT_EQ(current.deviceName(), L"打印机二");
    EXPECT_EQ(w.printers.directSets, 0);
    mod.setDefaultPrinter(L"打印机二"); // again: set again, a fresh object
    EXPECT_EQ(w.network.created, 2);
}

TEST_F(PrinterTest, MissingOrRefusingObjectFallsBackToTheSystemCall) {
    w.network.missing = true;
    mod.setDefaultPrinter(L"PDF");
    EXPECT_EQ(w.printers.directSets, 1);
    EXPECT_EQ(current.deviceName(), L"PDF");
    w.network.missing = false;
    w.network.refuses = true;
    mod.setDefaultPrinter(L"打印机二");
    EXPECT_EQ(w.printers.directSets, 2);
    EXPECT_EQ(current.deviceName(), L"打印机二");
    EXPECT_EQ(w.network.released, 1);
}

TEST_F(PrinterTest, BothRefusingLeavesTheCurrentPrinter) {
    w.network.refuses = true;
    w.printers.setRefused = true;
    mod.setDefaultPrinter(L"PDF");
    EXPECT_EQ(current.deviceName(), L"HP LaserJet");
    EXPECT_EQ(w.printers.systemDefault, L"HP LaserJet");
}

struct DialogTest : PrinterTest {
    struct Main : ui::Form {
        explicit Main(ui::IWindowSystem& ws) : Form(ws, L"MainWindow") {}
        void design() override { setIcon(IDI_KESTRAVE); }
    } main{w.ui};
    DefaultPrinterDialog dialog{w.platform, current, main};
    void open(const std::function<void()>& user) {
        w.ui.show(main);
        w.ui.whileModal = [&](ui::Form&) { user(); };
        w.ui.showModal(dialog);
    }
};

TEST_F(DialogTest, ListsInOrderPreselectsCurrentAndReportsSuccess) {
    w.printers.systemDefault = L"打印机二";
    open([&] {
        EXPECT_EQ(dialog.caption(), L"默认打印机设置");
        EXPECT_EQ(dialog.icon(), IDI_KESTRAVE);
        EXPECT_EQ(dialog.printerList.items(), w.printers.printers);
        EXPECT_EQ(dialog.printerList.listIndex(), 1);
        EXPECT_EQ(dialog.printerList.bounds(), (ui::TwipRect{240, 480, 4935, 375}));
        EXPECT_EQ(dialog.setButton.bounds(), (ui::TwipRect{1440, 1080, 2655, 375}));
        w.ui.onMessageBox = [&](const auto&) {
            EXPECT_FALSE(dialog.setButton.enabled());
            EXPECT_EQ(dialog.setButton.caption(), L"正在设置...");
        };
        dialog.fire(dialog.setButton.onClick);
        EXPECT_TRUE(dialog.setButton.enabled());
        EXPECT_EQ(dialog.setButton.caption(), L"设为默认打印机");
    });
    ASSERT_EQ(w.ui.boxes.size(), 1u);
    EXPECT_EQ(w.ui.boxes[0].text, L"已成功将系统默认打印机设置为：打印机二");
    EXPECT_EQ(w.ui.boxes[0].title, L"提示：");
    EXPECT_EQ(w.ui.boxes[0].style, 64);
}

TEST_F(DialogTest, RemovedPrinterAndEmptyListFail) {
    open([&] {
        dialog.printerList.setText(L"PDF");
        w.printers.printers.pop_back(); // removed while the dialog is open
        dialog.fire(dialog.setButton.onClick);
    });
    ASSERT_EQ(w.ui.boxes.size(), 1u);
    EXPECT_EQ(w.ui.boxes[0].text, L"设置失败！");
    EXPECT_EQ(w.ui.boxes[0].title, L"错误！");
    EXPECT_EQ(w.ui.boxes[0].style, 16);
    EXPECT_TRUE(w.ui.errors.empty());
}

// Nothing to choose: the dialog says why, greys the button out and offers nothing that needs
// a printer; opened again with printers, it is whole again.
TEST_F(DialogTest, AnEmptyListSaysWhyAndOffersNothing) {
    w.scm.add(L"Spooler", scm::kRunning);
    w.session.windowsManages = true;
    const std::vector<std::wstring> printers = w.printers.printers;
    w.printers.printers.clear();
    w.printers.systemDefault.reset();
    for (const bool spoolerRuns : {true, false}) {
        w.scm.services[L"Spooler"].state = spoolerRuns ? scm::kRunning : scm::kStopped;
        w.printers.listFails = !spoolerRuns; // a stopped spooler lists nothing
        open([&] {
            EXPECT_FALSE(dialog.setButton.enabled());
            EXPECT_FALSE(dialog.printerList.visible());
            EXPECT_FALSE(dialog.keepChoiceBox.visible());
            EXPECT_TRUE(dialog.emptyLabel.visible());
            EXPECT_EQ(dialog.emptyLabel.caption(),
                      spoolerRuns ? L"这台计算机上没有安装打印机。"
                                  : L"打印机后台服务没有运行，无法列出打印机。请先修复打印机服务。");
        });
    }
    EXPECT_TRUE(w.ui.boxes.empty());
    w.printers.listFails = false;
    w.printers.printers = printers;
    open([&] {
        EXPECT_TRUE(dialog.setButton.enabled());
        EXPECT_TRUE(dialog.printerList.visible());
        EXPECT_FALSE(dialog.emptyLabel.visible());
    });
}

} // namespace

namespace {

// The default changed elsewhere after the program read it, and neither way of setting works:
// choosing the printer the program remembers must not read as success.
TEST_F(DialogTest, SuccessIsWhatTheSystemReadsBackNotWhatTheProgramRemembers) {
    EXPECT_EQ(current.deviceName(), L"HP LaserJet");
    w.printers.systemDefault = L"PDF"; // changed by someone else meanwhile
    w.network.refuses = true;
    w.printers.setRefused = true;
    open([&] {
        dialog.printerList.setText(L"HP LaserJet");
        dialog.fire(dialog.setButton.onClick);
    });
    ASSERT_EQ(w.ui.boxes.size(), 1u);
    EXPECT_EQ(w.ui.boxes[0].text, L"设置失败！");
    // An object that claims success but changes nothing is not believed either: the direct
    // call is tried, and only its read-back counts.
    w.network.refuses = false;
    w.printers.setRefused = false;
    struct Silent : INetworkObjectFactory {
        struct Object : INetworkObject {
            void setDefaultPrinter(const std::wstring&) override {}
        };
        std::unique_ptr<INetworkObject> create(const std::wstring&) override {
            return std::make_unique<Object>();
        }
    } silent;
    const int directBefore = w.printers.directSets;
    EXPECT_TRUE(DefaultPrinter(w.printers, silent, current).setDefaultPrinter(L"打印机二"));
    EXPECT_EQ(w.printers.directSets, directBefore + 1);
    EXPECT_EQ(current.deviceName(), L"打印机二");
}

TEST_F(DialogTest, TheCheckBoxShowsOnlyWhereWindowsManagesAndWritesOnlyWhenTicked) {
    open([&] { EXPECT_FALSE(dialog.keepChoiceBox.visible()); });
    EXPECT_EQ(dialog.clientSize().height, 1725);

    w.session.windowsManages = true;
    open([&] {
        EXPECT_TRUE(dialog.keepChoiceBox.visible());
        EXPECT_FALSE(dialog.keepChoiceBox.checked());
        EXPECT_EQ(dialog.keepChoiceBox.caption(), L"不要让 Windows 管理我的默认打印机");
        EXPECT_GT(dialog.clientSize().height,
                  dialog.keepChoiceBox.top() + dialog.keepChoiceBox.height());
        dialog.fire(dialog.setButton.onClick); // unticked: nothing written
    });
    EXPECT_EQ(w.session.writes, 0);
    open([&] {
        dialog.keepChoiceBox.setChecked(true);
        dialog.printerList.setText(L"PDF");
        dialog.fire(dialog.setButton.onClick);
    });
    EXPECT_EQ(w.session.writes, 1);
    EXPECT_FALSE(w.session.windowsManages);
    EXPECT_EQ(w.printers.systemDefault, L"PDF");
    // No longer managed: the next opening has no box.
    open([&] { EXPECT_FALSE(dialog.keepChoiceBox.visible()); });
}

TEST_F(DialogTest, AnotherDesktopUserIsNamed) {
    open([&] { EXPECT_FALSE(dialog.accountLabel.visible()); });
    w.session.otherAccount = L"OFFICE\\admin";
    open([&] {
        EXPECT_TRUE(dialog.accountLabel.visible());
        EXPECT_EQ(dialog.accountLabel.caption(), L"这里更改的是 OFFICE\\admin 的默认打印机。");
    });
}

} // namespace
