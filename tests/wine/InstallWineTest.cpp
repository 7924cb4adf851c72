#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "platform/win32/Win32Api.h"

#include <lm.h>

#include "platform/win32/Win32ServiceManager.h"
#include "platform/win32/Win32Workstation.h"
#include "core/service/ServiceControl.h"
#include "tests/wine/WineSupport.h"

using namespace kestrave;

namespace {

const wchar_t kName[] = L"KestraveTestSvc";

void removeTestService() {
    const win32::UniqueScHandle m(::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
    const win32::UniqueScHandle s(m ? ::OpenServiceW(m.get(), kName, SERVICE_ALL_ACCESS) : nullptr);
    if (s) {
        SERVICE_STATUS st{};
        ::ControlService(s.get(), SERVICE_CONTROL_STOP, &st);
        ::DeleteService(s.get());
    }
}

std::wstring description(const wchar_t* name) {
    const win32::UniqueScHandle m(::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
    const win32::UniqueScHandle s(::OpenServiceW(m.get(), name, SERVICE_QUERY_CONFIG));
    DWORD needed = 0;
    ::QueryServiceConfig2W(s.get(), SERVICE_CONFIG_DESCRIPTION, nullptr, 0, &needed);
    std::vector<BYTE> buf(needed + sizeof(SERVICE_DESCRIPTIONW));
    std::wstring text;
    if (::QueryServiceConfig2W(s.get(), SERVICE_CONFIG_DESCRIPTION, buf.data(),
                               static_cast<DWORD>(buf.size()), &needed)) {
        const auto* d = reinterpret_cast<SERVICE_DESCRIPTIONW*>(buf.data());
        text = d->lpDescription ? d->lpDescription : L"";
    }
    return text;
}

struct InstallWine : ::testing::Test {
    win32::Win32ServiceManager scm;
    win32::Win32Workstation workstation;
    ServiceControl srv{scm, &workstation};
    void SetUp() override { removeTestService(); }
    void TearDown() override { removeTestService(); }
    void describe(const std::wstring& binary) {
        srv.setName(kName);
        srv.setDisplayName(L"Kestrave test service");
        srv.setCommand(binary);
        srv.setDescription(L"用于测试的服务");
        srv.setStartType(3);
        srv.setInteract(0x10);
    }
};

TEST_F(InstallWine, CreateReadBackRecreateAndDelete) {
    describe(L"C:\\windows\\system32\\spoolsv.exe");
    EXPECT_EQ(srv.install(), 0);
    EXPECT_EQ(description(kName), L"用于测试的服务");
    srv.setAccount(L"someone\\else");
    EXPECT_EQ(srv.queryConfig(), 0);
    EXPECT_EQ(srv.account(), L"LocalSystem");
    srv.setDescription(L"changed");
    EXPECT_EQ(srv.install(), 1073);
    EXPECT_EQ(description(kName), L"用于测试的服务"); // the existing one untouched
    EXPECT_EQ(srv.remove(), 0);
    EXPECT_EQ(srv.remove(), 1060);
    EXPECT_EQ(srv.queryConfig(), 1060);
}

TEST_F(InstallWine, DeletingARunningServiceStopsIt) {
    describe(L"C:\\windows\\system32\\spoolsv.exe");
    ASSERT_EQ(srv.install(), 0);
    ASSERT_EQ(srv.start(), 0);
    ASSERT_TRUE(test::serviceTo(kName, SERVICE_RUNNING));
    EXPECT_EQ(srv.remove(), 0);
    for (int i = 0; i < 100 && srv.status() != 0; ++i) {
        test::pumpFor(50);
    }
    EXPECT_EQ(srv.status(), 0); // stopped and gone
}

TEST_F(InstallWine, DomainNameIsWhatTheWorkstationSays) {
    WKSTA_USER_INFO_1* info = nullptr;
    std::wstring expected;
    if (::NetWkstaUserGetInfo(nullptr, 1, reinterpret_cast<BYTE**>(&info)) == 0) {
        expected = info->wkui1_logon_domain ? info->wkui1_logon_domain : L"";
        ::NetApiBufferFree(info);
    }
    EXPECT_EQ(srv.logonDomain(), expected);
    std::printf("logon domain under Wine: '%ls'\n", expected.c_str());
}

} // namespace
