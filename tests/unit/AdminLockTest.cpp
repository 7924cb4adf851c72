#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <vector>

#include "core/system/AdminLock.h"
#include "platform/SystemError.h"
#include "tests/fakes/FakeAdminObjects.h"

using namespace kestrave;
using Result = LockAttempt::Result;

namespace {

TEST(AdminLock, OtherAccountsCanNeitherTakeNorBlockIt) {
    for (const bool namespaces : {true, false}) {
        fake::FakeKernel kernel;
        // What used to block every repair: the old names, made first by a standard user.
        kernel.squattedOrdinaryNames = {L"Global\\Kestrave.SpoolerOperation",
                                        L"Local\\Kestrave.Window"};
        fake::FakeAdminObjects user(kernel, false);
        user.namespacesAvailable = namespaces;
        AdminLock squatter(user, L"SpoolerOperation");
        EXPECT_EQ(squatter.tryAcquire().result, Result::Failed) << namespaces;

        fake::FakeAdminObjects admin(kernel);
        admin.namespacesAvailable = namespaces;
        AdminLock ours(admin, L"SpoolerOperation");
        EXPECT_EQ(ours.tryAcquire().result, Result::Taken) << namespaces;
    }
}

TEST(AdminLock, ASecondKestraveIsBusyUntilTheFirstLetsGoOrEnds) {
    for (const bool namespaces : {true, false}) {
        fake::FakeKernel kernel;
        fake::FakeAdminObjects first(kernel), second(kernel);
        first.namespacesAvailable = second.namespacesAvailable = namespaces;
        auto a = std::make_unique<AdminLock>(first, L"SpoolerOperation");
        AdminLock b(second, L"SpoolerOperation");
        AdminLock otherName(second, L"Window.Session1");
        ASSERT_EQ(a->tryAcquire().result, Result::Taken);
        EXPECT_EQ(a->tryAcquire().result, Result::Taken); // taking it again keeps it
        EXPECT_EQ(b.tryAcquire().result, Result::Busy);
        EXPECT_EQ(otherName.tryAcquire().result, Result::Taken);
        a->release();
        EXPECT_EQ(b.tryAcquire().result, Result::Taken);
        EXPECT_EQ(a->tryAcquire().result, Result::Busy);
        b.release();
        ASSERT_EQ(a->tryAcquire().result, Result::Taken);
        first.processEnds(); // a holder that dies gives it back
        EXPECT_EQ(b.tryAcquire().result, Result::Taken);
        a.reset();
        EXPECT_EQ(kernel.openLockFiles.count(L"SpoolerOperation"), namespaces ? 0u : 1u);
    }
}

TEST(AdminLock, WithoutNamespacesTheLockFileIsUsedAndARefusedFolderIsNotBusy) {
    fake::FakeKernel kernel;
    fake::FakeAdminObjects admin(kernel);
    admin.namespacesAvailable = false;
    AdminLock lock(admin, L"SpoolerOperation");
    ASSERT_EQ(lock.tryAcquire().result, Result::Taken);
    EXPECT_EQ(kernel.openLockFiles.count(L"SpoolerOperation"), 1u);
    EXPECT_TRUE(kernel.namespaces.empty());
    lock.release();
    EXPECT_TRUE(kernel.openLockFiles.empty());
    // A folder a standard user made first is refused, and said so as such.
    admin.lockFolderRefused = err::kAccessDenied;
    const LockAttempt refused = lock.tryAcquire();
    EXPECT_EQ(refused.result, Result::Failed);
    EXPECT_EQ(refused.code, err::kAccessDenied);
}

// Many Kestraves taking, giving back and dying in every order, across the namespace being
// destroyed and made again: never two holders at once, and a free lock is always takeable.
TEST(AdminLock, TwoHoldersNeverCoexistAcrossNamespaceRecreation) {
    for (const bool namespaces : {true, false}) {
        fake::FakeKernel kernel;
        constexpr int kProcesses = 5;
        std::vector<std::unique_ptr<fake::FakeAdminObjects>> objects;
        std::vector<std::unique_ptr<AdminLock>> locks;
        std::vector<bool> holds(kProcesses, false);
        for (int i = 0; i < kProcesses; ++i) {
            objects.push_back(std::make_unique<fake::FakeAdminObjects>(kernel));
            objects.back()->namespacesAvailable = namespaces;
            locks.push_back(std::make_unique<AdminLock>(*objects.back(), L"SpoolerOperation"));
        }
        std::mt19937 random(20261207);
        int takes = 0;
        for (int step = 0; step < 20000; ++step) {
            const int p = static_cast<int>(random() % kProcesses);
            const int holders = static_cast<int>(std::count(holds.begin(), holds.end(), true));
            switch (random() % 3) {
            case 0: {
                const LockAttempt a = locks[p]->tryAcquire();
                ASSERT_NE(a.result, Result::Failed);
                if (a.result == Result::Taken) {
                    takes += holds[p] ? 0 : 1;
                    holds[p] = true;
                } else {
                    ASSERT_EQ(holders, 1) << "busy with no one holding it, step " << step;
                }
                break;
            }
            case 1:
                locks[p]->release();
                holds[p] = false;
                break;
            default: // the process ends and a new one starts in its place
                objects[p]->processEnds();
                locks[p] = std::make_unique<AdminLock>(*objects[p], L"SpoolerOperation");
                holds[p] = false;
                break;
            }
            ASSERT_LE(std::count(holds.begin(), holds.end(), true), 1) << "step " << step;
        }
        EXPECT_GT(takes, 1000); // the race was really run
        if (namespaces) {
            EXPECT_GT(kernel.namespaces[L"Kestrave.SpoolerOperation"].generation, 1000);
        }
    }
}

} // namespace
