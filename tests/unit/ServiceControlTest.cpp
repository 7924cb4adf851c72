#include <gtest/gtest.h>

#include "tests/fakes/FakeWorld.h"
#include "core/service/ServiceControl.h"

using namespace kestrave;
using Calls = std::vector<std::string>;

namespace {

struct ServiceTest : ::testing::Test {
    fake::FakeServiceManager scm;
    fake::FakeWorkstation workstation;
    ServiceControl srv{scm, &workstation};
};

TEST_F(ServiceTest, FreshObjectHasLocalSystemAndCannotReachAnyService) {
    scm.add(L"Spooler", scm::kRunning);
    EXPECT_EQ(srv.account(), L"LocalSystem");
    EXPECT_EQ(srv.status(), 0);
    EXPECT_NE(srv.start(), 0);
    EXPECT_NE(srv.stop(), 0);
    EXPECT_EQ(scm.services[L"Spooler"].state, scm::kRunning);
    EXPECT_TRUE(scm.calls.empty()) << "no service named: nothing reached";
}

TEST_F(ServiceTest, AccountSetterKeepsPreviousOnEmpty) {
    srv.setAccount(L"");
    EXPECT_EQ(srv.account(), L"LocalSystem");
    srv.setAccount(L"svc");
    EXPECT_EQ(srv.account(), L"svc");
    srv.setAccount(L"");
    EXPECT_EQ(srv.account(), L"svc");
}

TEST_F(ServiceTest, MissingServiceGivesZeroStateAnd1060) {
    srv.setName(L"NoSuchService");
    EXPECT_EQ(srv.status(), 0);
    EXPECT_EQ(srv.start(), 1060);
    EXPECT_EQ(srv.stop(), 1060);
    EXPECT_TRUE(scm.calls.empty());
}

TEST_F(ServiceTest, StatesAndPendingTransitions) {
    scm.add(L"Spooler", scm::kStopped).pendingQueries = 1;
    srv.setName(L"Spooler");
    EXPECT_EQ(srv.status(), scm::kStopped);
    EXPECT_EQ(srv.start(), 0);
    EXPECT_EQ(srv.status(), scm::kStartPending);
    EXPECT_EQ(srv.status(), scm::kRunning);
    EXPECT_EQ(srv.start(), 1056); // already running, state unchanged
    EXPECT_EQ(srv.status(), scm::kRunning);
    EXPECT_EQ(srv.stop(), 0);
    EXPECT_EQ(srv.status(), scm::kStopPending);
    EXPECT_EQ(srv.status(), scm::kStopped);
    EXPECT_EQ(srv.stop(), 1062); // not started
    EXPECT_EQ(srv.status(), scm::kStopped);
}

TEST_F(ServiceTest, QueryOnlyRightsGiveTrueStateButRefuseControl) {
    auto& s = scm.add(L"Spooler", scm::kRunning);
    s.deniedAccess = scm::kStart | scm::kStop;
    srv.setName(L"Spooler");
    EXPECT_EQ(srv.status(), scm::kRunning);
    EXPECT_EQ(srv.stop(), 5);
    EXPECT_EQ(srv.start(), 5);
}

TEST_F(ServiceTest, EachReadingIsOneOperationAndAnUnreachableManagerSaysWhy) {
    scm.add(L"Spooler", scm::kStopped);
    srv.setName(L"Spooler");
    // Query succeeds; stop refused by the service; connect refused.
    EXPECT_EQ(srv.status(), scm::kStopped);
    EXPECT_EQ(srv.stop(), 1062);
    EXPECT_EQ(scm.calls, (Calls{"query", "control"}));
    scm.calls.clear();
    scm.managerUnavailable = true;
    EXPECT_EQ(srv.status(), 0);
    EXPECT_EQ(srv.readState().error, 1053u);
    EXPECT_EQ(srv.start(), 1053u);
    EXPECT_TRUE(scm.calls.empty());
}

TEST_F(ServiceTest, DependentServicesKeepTheStopRefused) {
    scm.add(L"Spooler", scm::kRunning).refuseStop = 1051;
    srv.setName(L"Spooler");
    EXPECT_EQ(srv.stop(), 1051);
    EXPECT_EQ(srv.status(), scm::kRunning);
}

TEST_F(ServiceTest, ConfigQueryReadsTheAccount) {
    scm.add(L"Svc").account = L"NT AUTHORITY\\LocalService";
    srv.setName(L"Svc");
    EXPECT_EQ(srv.queryConfig(), 0);
    EXPECT_EQ(srv.account(), L"NT AUTHORITY\\LocalService");
    EXPECT_EQ(scm.calls, (Calls{"config"}));
    // Already qualified: creating with it does not qualify again.
    srv.setName(L"Svc2");
    srv.setCommand(L"C:\\svc.exe");
    srv.setStartType(3);
    srv.setInteract(0x10);
    EXPECT_EQ(srv.install(), 0);
    EXPECT_EQ(workstation.queries, 0);
    EXPECT_EQ(scm.services[L"Svc2"].account, L"NT AUTHORITY\\LocalService");
}

TEST_F(ServiceTest, AnEmptyAccountIsReadAsSuchAndAFailedReadChangesNothing) {
    scm.add(L"Svc").account = L"";
    srv.setName(L"Svc");
    EXPECT_EQ(srv.queryConfig(), 0);
    EXPECT_EQ(srv.account(), L"");

    srv.setAccount(L"before");
    scm.services[L"Svc"].deniedAccess = scm::kQueryConfig;
    EXPECT_EQ(srv.queryConfig(), 5u);
    EXPECT_EQ(srv.account(), L"before");

    srv.setName(L"Missing");
    EXPECT_EQ(srv.queryConfig(), 1060u);
    EXPECT_EQ(srv.account(), L"before");
}

struct CreateCase {
    std::wstring account;
    std::wstring domain;
    std::wstring expected;
    int domainQueries;
    friend void PrintTo(const CreateCase& c, std::ostream* os) {
        *os << "account of " << c.account.size() << " characters";
    }
};

class AccountQualification : public ::testing::TestWithParam<CreateCase> {};

TEST_P(AccountQualification, QualifiesBeforeCreating) {
    fake::FakeServiceManager scm;
    fake::FakeWorkstation workstation;
    workstation.domain = GetParam().domain;
    ServiceControl srv(scm, &workstation);
    srv.setName(L"New");
    srv.setCommand(L"C:\\new.exe");
    srv.setStartType(3);
    srv.setInteract(0x10);
    srv.setAccount(GetParam().account);
    EXPECT_EQ(srv.install(), 0);
    EXPECT_EQ(srv.account(), GetParam().expected);
    EXPECT_EQ(scm.lastCreated.account, GetParam().expected);
    EXPECT_EQ(workstation.queries, GetParam().domainQueries);
    EXPECT_EQ(workstation.frees, GetParam().domainQueries);
}

INSTANTIATE_TEST_SUITE_P(Accounts, AccountQualification,
                         ::testing::Values(CreateCase{L"", L"OFFICE", L"LocalSystem", 0},
                                           CreateCase{L"LocalSystem", L"OFFICE", L"LocalSystem", 0},
                                           CreateCase{L"alice", L"OFFICE", L"OFFICE\\alice", 1},
                                           CreateCase{L"alice", L"", L".\\alice", 1},
                                           CreateCase{L"HOST\\bob", L"OFFICE", L"HOST\\bob", 0},
                                           CreateCase{L"localsystem", L"OFFICE",
                                                      L"OFFICE\\localsystem", 1}));

TEST_F(ServiceTest, CreationArgumentsAndRefusals) {
    srv.setName(L"New");
    srv.setAccount(L"alice");
    // StartType and Interact still 0: refused, but the account is qualified all the same.
    EXPECT_EQ(srv.install(), 87);
    EXPECT_EQ(srv.account(), L"OFFICE\\alice");
    const NewService& asked = scm.lastCreated;
    EXPECT_EQ(asked.name, L"New");
    EXPECT_FALSE(asked.displayName || asked.command || asked.password || asked.description)
        << "texts not set go as none";
    EXPECT_EQ(asked.account, L"OFFICE\\alice");
    EXPECT_EQ(asked.serviceType, 0u);
    EXPECT_EQ(asked.startType, 0u);
    srv.setCommand(L"C:\\new.exe");
    srv.setStartType(2);
    srv.setInteract(0x110);
    srv.setPassword(L"");
    EXPECT_EQ(srv.install(), 0);
    EXPECT_EQ(srv.account(), L"OFFICE\\alice"); // not qualified twice
    EXPECT_EQ(scm.lastCreated.password, L"");   // set but empty goes as ""
    EXPECT_EQ(scm.lastCreated.command, L"C:\\new.exe");
    EXPECT_EQ(scm.lastCreated.startType, 2u);
    EXPECT_EQ(scm.lastCreated.serviceType, 0x110u);
    EXPECT_FALSE(scm.services[L"New"].hasDescription);
    // Same name again: 1073, the existing one left alone, no description attached.
    srv.setDescription(L"other");
    scm.calls.clear();
    EXPECT_EQ(srv.install(), 1073);
    EXPECT_EQ(scm.calls, (Calls{"create"}));
    EXPECT_EQ(scm.services[L"New"].description, L"");
}

TEST_F(ServiceTest, DescriptionIsBestEffort) {
    srv.setName(L"New");
    srv.setCommand(L"C:\\new.exe");
    srv.setStartType(3);
    srv.setInteract(0x10);
    srv.setDescription(L"Queues print jobs");
    scm.descriptionUnsupported = true;
    EXPECT_EQ(srv.install(), 0);
    EXPECT_EQ(scm.services.count(L"New"), 1u) << "made, though it cannot be described";
    EXPECT_FALSE(scm.services[L"New"].hasDescription);
    scm.descriptionUnsupported = false;
    srv.setName(L"New2");
    EXPECT_EQ(srv.install(), 0);
    EXPECT_EQ(scm.services[L"New2"].description, L"Queues print jobs");
}

TEST_F(ServiceTest, DeleteStopsThenDeletes) {
    scm.add(L"Svc", scm::kRunning);
    srv.setName(L"Svc");
    EXPECT_EQ(srv.remove(), 0);
    EXPECT_EQ(scm.calls, (Calls{"control", "delete"}));
    EXPECT_EQ(scm.services.count(L"Svc"), 0u);
    scm.calls.clear();
    EXPECT_EQ(srv.remove(), 1060);
    EXPECT_TRUE(scm.calls.empty());
    // A stopped service refuses the stop and is deleted all the same.
    scm.add(L"Svc", scm::kStopped);
    EXPECT_EQ(srv.remove(), 0);
}

TEST_F(ServiceTest, DomainLookupFailureReleasesNothing) {
    workstation.failWith = 2221;
    EXPECT_EQ(srv.logonDomain(), L"");
    EXPECT_EQ(workstation.frees, 0);
    workstation.failWith = 0;
    workstation.domain = L"";
    EXPECT_EQ(srv.logonDomain(), L"");
    EXPECT_EQ(workstation.frees, 1);
}

} // namespace
