#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "core/service/StateReadAhead.h"
#include "tests/fakes/FakeWorld.h"
#include "windows/MainWindow.h"

using namespace kestrave;

// The main window's first state: asked for on a thread of its own before the window is made,
// shown from that one reading, and still read where no thread can be had.
namespace {

struct FirstStateTest : ::testing::Test {
    test::FakeWorld w;
    CurrentPrinter printer{w.printers};
    std::atomic<int> readsOffTheWindowsThread{0};
    std::atomic<int> readsOnIt{0};

    std::unique_ptr<MainWindow> form;

    // Opens the window over a spooler in that state, reads counted; its first status line.
    std::wstring openOver(std::uint32_t state) {
        w.scm.add(L"Spooler", state);
        countReads();
        form = std::make_unique<MainWindow>(w.platform, printer);
        w.ui.show(*form);
        return form->statusText.caption();
    }

    void countReads() {
        const std::thread::id window = std::this_thread::get_id();
        w.scm.onQueryStatus = [this, window] {
            ++(std::this_thread::get_id() == window ? readsOnIt : readsOffTheWindowsThread);
        };
    }
};

TEST_F(FirstStateTest, ReadOffTheWindowsThreadOnceAndShown) {
    EXPECT_EQ(openOver(scm::kRunning), L"打印机后台服务正在运行中...");
    EXPECT_EQ(readsOffTheWindowsThread, 1);
    EXPECT_EQ(readsOnIt, 0);
    EXPECT_EQ(w.threads.started, 1);
    // The refreshes after it read on the window's own thread, as before.
    w.scm.services[L"Spooler"].state = scm::kStopped;
    form->refreshTimer.tick();
    EXPECT_EQ(form->statusText.caption(), L"打印机后台服务已停止工作");
    EXPECT_EQ(readsOnIt, 1);
    EXPECT_EQ(w.threads.started, 1);
}

TEST_F(FirstStateTest, WithoutAThreadTheWindowReadsItItself) {
    w.threads.refuse = true;
    EXPECT_EQ(openOver(scm::kStopped), L"打印机后台服务已停止工作");
    EXPECT_EQ(readsOnIt, 1);
    EXPECT_EQ(readsOffTheWindowsThread, 0);
}

TEST_F(FirstStateTest, LetGoUntakenItStillWaitsForTheReadThatUsesTheManager) {
    // A window that fails before it shows lets its read go untaken: the read must be over
    // before the service manager it uses can go.
    w.scm.add(L"Spooler", scm::kRunning);
    fake::Signal gate;
    std::atomic<bool> opened{false};
    w.scm.onQueryStatus = [&] { gate.waitForever(); };
    std::thread opener([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        opened = true;
        gate.raise();
    });
    { StateReadAhead read(w.threads, w.scm, &w.workstation, L"Spooler"); }
    EXPECT_TRUE(opened);
    EXPECT_EQ(w.scm.statusQueries, 1);
    opener.join();
}

TEST_F(FirstStateTest, TakenItGivesWhatTheManagerSaidOrNothingForAMissingService) {
    w.scm.add(L"Spooler", scm::kStopped);
    StateReadAhead present(w.threads, w.scm, &w.workstation, L"Spooler");
    EXPECT_EQ(present.take(), static_cast<std::int32_t>(scm::kStopped));
    StateReadAhead missing(w.threads, w.scm, &w.workstation, L"NoSuchService");
    EXPECT_EQ(missing.take(), 0);
    w.threads.refuse = true;
    StateReadAhead inline_(w.threads, w.scm, &w.workstation, L"Spooler");
    EXPECT_EQ(inline_.take(), static_cast<std::int32_t>(scm::kStopped));
}

} // namespace
