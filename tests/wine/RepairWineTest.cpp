#include <gtest/gtest.h>

#include "windows/MainWindow.h"
#include "app/App.h"
#include "tests/wine/WineSupport.h"

using namespace kestrave;

namespace {

void touch(const std::wstring& path) {
    HANDLE h = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    ::WriteFile(h, "job", 3, nullptr, nullptr);
    ::CloseHandle(h);
}

struct RepairWine : ::testing::Test {
    // Each test leaves the spooler configured as it found it.
    const DWORD startTypeBefore = testhelp::serviceStartType(L"Spooler");
    App app{::GetModuleHandleW(nullptr)};
    MainWindow form{app.platform, app.currentPrinter};
    std::wstring folder = app.files.systemDirectory() + L"\\spool\\PRINTERS";
    void TearDown() override {
        testhelp::setServiceStartType(L"Spooler", startTypeBefore);
        for (const wchar_t* f : {L"\\a.spl", L"\\b.shd", L"\\locked.spl", L"\\keep\\x.spl"}) {
            ::DeleteFileW((folder + f).c_str());
        }
        ::RemoveDirectoryW((folder + L"\\keep").c_str());
        if (form.loaded()) {
            app.ui.unload(form);
        }
        test::pumpFor(50);
    }
    void click(const ui::Control& button) { ::SendMessageW(app.ui.hwndOf(button), BM_CLICK, 0, 0); }
};

TEST_F(RepairWine, RepairClearsTheQueueStartsTheSpoolerAndReportsTheLockedFile) {
    ASSERT_TRUE(test::serviceTo(L"Spooler", SERVICE_RUNNING));
    ::CreateDirectoryW(folder.c_str(), nullptr);
    ::CreateDirectoryW((folder + L"\\keep").c_str(), nullptr);
    touch(folder + L"\\a.spl");
    touch(folder + L"\\b.shd");
    touch(folder + L"\\locked.spl");
    touch(folder + L"\\keep\\x.spl");
    HANDLE held = ::CreateFileW((folder + L"\\locked.spl").c_str(), GENERIC_READ, 0, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    app.ui.show(form);
    std::vector<test::SeenBox> boxes;
    {
        test::MessageBoxCloser closer;
        click(form.repairButton);
        test::pumpFor(300);
        boxes = closer.seen();
    }
    ::CloseHandle(held);
    EXPECT_FALSE(test::exists(folder + L"\\a.spl"));
    EXPECT_FALSE(test::exists(folder + L"\\b.shd"));
    EXPECT_TRUE(test::exists(folder + L"\\locked.spl"));
    EXPECT_TRUE(test::exists(folder + L"\\keep\\x.spl")); // sub-folders are left alone
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].title, L"错误！");
    EXPECT_NE(boxes[0].text.find(L"locked.spl"), std::wstring::npos);
    EXPECT_TRUE(::IsWindowEnabled(app.ui.hwndOf(form.repairButton)));
    EXPECT_TRUE(test::serviceTo(L"Spooler", SERVICE_RUNNING));
    // The line keeps what the repair did while the state stays; the bar is green.
    test::pumpFor(1200);
    EXPECT_EQ(test::windowText(app.ui.hwndOf(form.statusText)), L"修复未完成，详见提示。");
    EXPECT_EQ(form.statusBar.backColor().value, 0x40AA2Du);
    // Once the state changes, the line follows it again.
    ASSERT_TRUE(test::serviceTo(L"Spooler", SERVICE_STOPPED));
    test::pumpFor(1200);
    EXPECT_EQ(test::windowText(app.ui.hwndOf(form.statusText)), L"打印机后台服务已停止工作");
}

TEST_F(RepairWine, RepairFromStoppedAndDisabledEndsRunningOnAutomaticStart) {
    ASSERT_TRUE(test::serviceTo(L"Spooler", SERVICE_STOPPED));
    ASSERT_TRUE(testhelp::setServiceStartType(L"Spooler", SERVICE_DISABLED));
    app.ui.show(form);
    test::MessageBoxCloser closer;
    click(form.repairButton);
    // The click returns once the spooler runs: verified, not just requested.
    EXPECT_EQ(test::serviceState(L"Spooler"), static_cast<DWORD>(SERVICE_RUNNING));
    // Wine's sc.exe has no "config": the manager set it.
    EXPECT_EQ(testhelp::serviceStartType(L"Spooler"), static_cast<DWORD>(SERVICE_AUTO_START));
    EXPECT_TRUE(closer.seen().empty());
}

TEST_F(RepairWine, DisableStopsARunningSpoolerAndDisablesItInOneClick) {
    ASSERT_TRUE(test::serviceTo(L"Spooler", SERVICE_RUNNING));
    app.ui.show(form);
    test::MessageBoxCloser closer;
    click(form.disableButton);
    EXPECT_EQ(test::serviceState(L"Spooler"), static_cast<DWORD>(SERVICE_STOPPED));
    EXPECT_EQ(testhelp::serviceStartType(L"Spooler"), static_cast<DWORD>(SERVICE_DISABLED));
    EXPECT_TRUE(::IsWindowEnabled(app.ui.hwndOf(form.disableButton)));
    EXPECT_TRUE(closer.seen().empty());
}

TEST_F(RepairWine, OddNamesAndLongPathsAreDeletedVerbatim) {
    ASSERT_TRUE(test::serviceTo(L"Spooler", SERVICE_STOPPED));
    ::CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring verbatim = L"\\\\?\\" + folder;
    const std::wstring names[] = {L"\\dot.", L"\\blank ",
                                  L"\\" + std::wstring(240, L'y') + L".spl"};
    for (const std::wstring& name : names) {
        touch(verbatim + name);
        ASSERT_TRUE(test::exists(verbatim + name));
    }
    app.ui.show(form);
    test::MessageBoxCloser closer;
    click(form.repairButton);
    for (const std::wstring& name : names) {
        EXPECT_FALSE(test::exists(verbatim + name)) << name.size();
        ::DeleteFileW((verbatim + name).c_str());
    }
    EXPECT_TRUE(closer.seen().empty());
}

} // namespace
