#include <gtest/gtest.h>

#include "platform/win32/Win32ServiceManager.h"
#include "service/ClsSrvCtrl.h"
#include "tests/wine/WineSupport.h"

using namespace kestrave;

TEST(ServiceWine, SpoolerStatesThroughTheRealManager) {
    ASSERT_TRUE(test::serviceTo(L"Spooler", SERVICE_STOPPED));
    win32::Win32ServiceManager scm;
    ClsSrvCtrl srv(scm);
    srv.Name(L"Spooler");
    EXPECT_EQ(srv.GetServiceStatus(), 1);
    EXPECT_EQ(srv.StopNTService(), 1062); // not started
    EXPECT_EQ(srv.StartNTService(), 0);
    EXPECT_TRUE(test::serviceTo(L"Spooler", SERVICE_RUNNING));
    EXPECT_EQ(srv.GetServiceStatus(), 4);
    EXPECT_EQ(srv.StartNTService(), 1056); // already running
    EXPECT_EQ(srv.StopNTService(), 0);
    const std::int32_t right = srv.GetServiceStatus();
    EXPECT_TRUE(right == 3 || right == 1) << right;
    EXPECT_TRUE(test::serviceTo(L"Spooler", SERVICE_STOPPED));
    EXPECT_EQ(srv.GetServiceStatus(), 1);
}

TEST(ServiceWine, MissingServiceGivesZeroAnd1060) {
    win32::Win32ServiceManager scm;
    ClsSrvCtrl srv(scm);
    srv.Name(L"KestraveNoSuchService");
    EXPECT_EQ(srv.GetServiceStatus(), 0);
    EXPECT_EQ(srv.StartNTService(), 1060);
    EXPECT_EQ(srv.StopNTService(), 1060);
    ClsSrvCtrl unnamed(scm);
    EXPECT_EQ(unnamed.GetServiceStatus(), 0);
    EXPECT_NE(unnamed.StartNTService(), 0);
}
