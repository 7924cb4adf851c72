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
