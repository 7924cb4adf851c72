#include <gtest/gtest.h>

#include "tests/wine/WineSupport.h"

#include <string>

#include "cli/LogFileCheck.h"
#include "platform/win32/Win32Console.h"
#include "tests/wine/HostLinks.h"

using namespace kestrave;
using cli::LogRefusal;

namespace {

std::string contents(const std::wstring& path) {
    std::string out;
    HANDLE f = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                             nullptr, OPEN_EXISTING, 0, nullptr);
    char buffer[4096];
    DWORD got = 0;
    while (f != INVALID_HANDLE_VALUE && ::ReadFile(f, buffer, sizeof buffer, &got, nullptr) &&
           got > 0) {
        out.append(buffer, got);
    }
    if (f != INVALID_HANDLE_VALUE) {
        ::CloseHandle(f);
    }
    return out;
}

struct LogFileWine : ::testing::Test {
    const std::wstring folder = L"C:\\kestrave-logs";
    const std::wstring elsewhere = L"C:\\kestrave-elsewhere";
    void SetUp() override {
        ::CreateDirectoryW(folder.c_str(), nullptr);
        ::CreateDirectoryW(elsewhere.c_str(), nullptr);
    }
    void TearDown() override {
        for (const std::wstring& d : {folder, elsewhere}) {
            WIN32_FIND_DATAW data{};
            HANDLE find = ::FindFirstFileW((d + L"\\*").c_str(), &data);
            while (find != INVALID_HANDLE_VALUE) {
                ::DeleteFileW((d + L"\\" + data.cFileName).c_str());
                if (!::FindNextFileW(find, &data)) {
                    ::FindClose(find);
                    break;
                }
            }
            ::RemoveDirectoryW(d.c_str());
        }
    }
};

TEST_F(LogFileWine, ANewLogIsMadeAndAppendedToAcrossRuns) {
    const std::wstring path = folder + L"\\fleet.log";
    for (int run = 0; run < 2; ++run) {
        win32::Win32LogFile log;
        ASSERT_TRUE(cli::openCheckedLog(log, path).ok()) << run;
        log.append(L"line " + std::to_wstring(run));
    }
    const std::string text = contents(path);
    EXPECT_NE(text.find(" line 0\r\n"), std::string::npos);
    EXPECT_NE(text.find(" line 1\r\n"), std::string::npos);
    EXPECT_LT(text.find(" line 0"), text.find(" line 1"));
}

TEST_F(LogFileWine, AHardLinkIsRefusedAndLeftAsItWas) {
    const std::wstring target = elsewhere + L"\\secret.txt";
    ::CloseHandle(
        ::CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    const std::wstring path = folder + L"\\fleet.log";
    ASSERT_TRUE(::CreateHardLinkW(path.c_str(), target.c_str(), nullptr));
    win32::Win32LogFile log;
    const cli::LogOpening opening = cli::openCheckedLog(log, path);
    EXPECT_EQ(opening.refusal, LogRefusal::HardLink);
    log.append(L"must not land");
    EXPECT_TRUE(contents(target).empty());
}

TEST_F(LogFileWine, AFolderOrAFileBehindAHostLinkIsRefusedAndNothingIsMadeThere) {
    // The log's folder becomes a link to another folder: no file is made in that one.
    const std::wstring linked = L"C:\\kestrave-logs-link";
    ASSERT_TRUE(test::startHostShell("ln -s '" + test::hostPath(elsewhere) + "' '" +
                                     test::hostPath(L"C:\\") + "kestrave-logs-link'"));
    ASSERT_TRUE(test::waitUntil([&] { return test::exists(linked); }));
    {
        win32::Win32LogFile log;
        EXPECT_EQ(cli::openCheckedLog(log, linked + L"\\fleet.log").refusal, LogRefusal::Link);
        log.append(L"must not land");
    }
    EXPECT_FALSE(test::exists(elsewhere + L"\\fleet.log"));
    // The log file itself is a link to a file elsewhere: that file is not written.
    const std::wstring target = elsewhere + L"\\secret.txt";
    ::CloseHandle(
        ::CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    ASSERT_TRUE(test::startHostShell("ln -s '" + test::hostPath(target) + "' '" +
                                     test::hostPath(folder) + "/fleet.log'"));
    ASSERT_TRUE(test::waitUntil([&] { return test::exists(folder + L"\\fleet.log"); }));
    {
        win32::Win32LogFile log;
        EXPECT_EQ(cli::openCheckedLog(log, folder + L"\\fleet.log").refusal, LogRefusal::Link);
        log.append(L"must not land");
    }
    EXPECT_TRUE(contents(target).empty());
    test::startHostShell("rm -f '" + test::hostPath(folder) + "/fleet.log' '" +
                         test::hostPath(L"C:\\") + "kestrave-logs-link'");
    EXPECT_TRUE(test::waitUntil([&] { return !test::exists(linked); }));
}

} // namespace
