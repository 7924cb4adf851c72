#include <gtest/gtest.h>

#include "platform/win32/Win32ServiceManager.h"
#include "core/service/ServiceControl.h"
#include "tests/wine/WineSupport.h"

using namespace kestrave;

TEST(ServiceWine, SpoolerStatesThroughTheRealManager) {
    ASSERT_TRUE(test::serviceTo(L"Spooler", SERVICE_STOPPED));
    win32::Win32ServiceManager scm;
    ServiceControl srv(scm);
    srv.setName(L"Spooler");
    EXPECT_EQ(srv.status(), 1);
    EXPECT_EQ(srv.stop(), 1062); // not started
    EXPECT_EQ(srv.start(), 0);
    EXPECT_TRUE(test::serviceTo(L"Spooler", SERVICE_RUNNING));
    EXPECT_EQ(srv.status(), 4);
    EXPECT_EQ(srv.start(), 1056); // already running
    EXPECT_EQ(srv.stop(), 0);
    const std::int32_t right = srv.status();
    EXPECT_TRUE(right == 3 || right == 1) << right;
    EXPECT_TRUE(test::serviceTo(L"Spooler", SERVICE_STOPPED));
    EXPECT_EQ(srv.status(), 1);
}

TEST(ServiceWine, MissingServiceGivesZeroAnd1060) {
    win32::Win32ServiceManager scm;
    ServiceControl srv(scm);
    srv.setName(L"KestraveNoSuchService");
    EXPECT_EQ(srv.status(), 0);
    EXPECT_EQ(srv.start(), 1060);
    EXPECT_EQ(srv.stop(), 1060);
    ServiceControl unnamed(scm);
    EXPECT_EQ(unnamed.status(), 0);
    EXPECT_NE(unnamed.start(), 0);
}

// Each of the manager's operations against Wine's own: what it reads of the spooler, a start
// type changed and put back, and every one of them saying 1060 for a service that is not there.
TEST(ServiceWine, EveryOperationReadsTheSpoolerAndSays1060ForNoService) {
    ASSERT_TRUE(test::serviceTo(L"Spooler", SERVICE_RUNNING));
    win32::Win32ServiceManager scm;
    ServiceProcess process;
    ASSERT_EQ(scm.queryProcess(L"Spooler", process), 0u);
    EXPECT_EQ(process.state, static_cast<std::uint32_t>(SERVICE_RUNNING));
    EXPECT_NE(process.processId, 0u);
    std::wstring text;
    ASSERT_EQ(scm.queryImagePath(L"Spooler", text), 0u);
    EXPECT_NE(text.find(L"spoolsv"), std::wstring::npos) << text;
    ASSERT_EQ(scm.queryAccount(L"Spooler", text), 0u);
    EXPECT_EQ(text, L"LocalSystem");
    std::uint32_t before = 0;
    std::uint32_t now = 0;
    ASSERT_EQ(scm.queryStartType(L"Spooler", before), 0u);
    const std::uint32_t other = before == SERVICE_AUTO_START ? SERVICE_DEMAND_START
                                                             : SERVICE_AUTO_START;
    EXPECT_EQ(scm.changeStartType(L"Spooler", other), 0u);
    EXPECT_EQ(scm.queryStartType(L"Spooler", now), 0u);
    EXPECT_EQ(now, other);
    EXPECT_EQ(scm.changeStartType(L"Spooler", before), 0u);

    const std::wstring none = L"KestraveNoSuchService";
    ServiceStatus status;
    std::vector<DependentService> dependents;
    for (const std::uint32_t code :
         {scm.queryStatus(none, status), scm.queryProcess(none, process), scm.start(none),
          scm.stop(none), scm.queryAccount(none, text), scm.queryImagePath(none, text),
          scm.queryStartType(none, now), scm.changeStartType(none, other),
          scm.activeDependents(none, dependents), scm.remove(none)}) {
        EXPECT_EQ(code, 1060u);
    }
}
