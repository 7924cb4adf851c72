#include <gtest/gtest.h>

#include "tests/fakes/FakeWorld.h"

using namespace kestrave;

// The stand-ins must behave as the real platform does where the program relies on it.
TEST(StandIns, ServiceManagerPendingStatesAndInjectedFailures) {
    fake::FakeServiceManager scm;
    auto& s = scm.add(L"Svc", scm::kRunning);
    s.pendingQueries = 2;
    ServiceStatus st;
    ASSERT_EQ(scm.stop(L"Svc"), 0u);
    std::vector<std::uint32_t> seen;
    for (int i = 0; i < 4; ++i) {
        scm.queryStatus(L"Svc", st);
        seen.push_back(st.currentState);
    }
    EXPECT_EQ(seen, (std::vector<std::uint32_t>{3, 3, 1, 1}));
    s.state = scm::kRunning;
    s.stopNeverCompletes = true;
    ASSERT_EQ(scm.stop(L"Svc"), 0u);
    for (int i = 0; i < 100; ++i) {
        scm.queryStatus(L"Svc", st);
    }
    EXPECT_EQ(st.currentState, scm::kStopPending);
    EXPECT_EQ(scm.stop(L"Svc"), err::kServiceCannotAcceptCtrl);
    s.deniedAccess = scm::kStop;
    EXPECT_EQ(scm.stop(L"Svc"), err::kAccessDenied);
    EXPECT_EQ(scm.queryStatus(L"Svc", st), 0u) << "only the refused right is refused";
    EXPECT_EQ(scm.stop(L"Gone"), err::kServiceDoesNotExist);
    scm.managerUnavailable = true;
    EXPECT_EQ(scm.queryStatus(L"Svc", st), err::kServiceRequestTimeout);
}

TEST(StandIns, FileSystemHoldsListsAndKeepsAnOpenFolderItsOwn) {
    fake::FakeFileSystem fs;
    fs.addFile(L"C:\\d", L"a");
    fs.addFile(L"C:\\d", L"b");
    fs.addFile(L"C:\\elsewhere", L"b");
    fs.heldFor[L"C:\\d\\a"] = 1;
    auto d = fs.openFolder(L"\\\\?\\C:\\d");
    EXPECT_EQ(d->deleteEntry(L"a"), err::kSharingViolation);
    EXPECT_EQ(d->deleteEntry(L"a"), 0u);
    EXPECT_EQ(d->deleteEntry(L"a"), err::kFileNotFound);
    // Swapped for a link once open: the open folder is still the one deleted in; the name
    // can no longer be opened as a folder.
    fs.swappedFor[L"C:\\d"] = L"C:\\elsewhere";
    EXPECT_EQ(d->deleteEntry(L"b"), 0u);
    EXPECT_EQ(fs.entries[L"C:\\elsewhere"].size(), 1u);
    EXPECT_THROW(fs.openFolder(L"C:\\d"), SystemError);
    EXPECT_THROW(fs.openFolder(L"C:\\none"), SystemError);
    EXPECT_FALSE(fs.attributes(L"C:\\none").has_value());
}
