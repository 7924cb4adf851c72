// The version is written once, in the project: the version record and what the windows and
// the command line show all read it from there.
#include <gtest/gtest.h>

#include "KestraveVersion.h"
#include "platform/win32/VersionRecord.h"
#include "platform/win32/Win32Api.h"

using namespace kestrave;

namespace {

TEST(VersionWine, TheVersionRecordCarriesTheProjectsVersion) {
    const ui::AppVersion v = win32::readVersionRecord();
    EXPECT_EQ(v.productName, L"Kestrave");
    EXPECT_EQ(v.major, KESTRAVE_VERSION_MAJOR);
    EXPECT_EQ(v.minor, KESTRAVE_VERSION_MINOR);
    EXPECT_EQ(v.revision, KESTRAVE_VERSION_PATCH);
    EXPECT_EQ(std::to_wstring(v.major) + L"." + std::to_wstring(v.minor) + L"." +
                  std::to_wstring(v.revision),
              KESTRAVE_VERSION_WIDE);
    // Windows Installer compares only three parts; the record's fourth stays 0.
    wchar_t self[MAX_PATH];
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    EXPECT_EQ(win32::versionText(self, L"FileVersion"), KESTRAVE_VERSION_WIDE L".0");
    EXPECT_EQ(win32::versionText(self, L"ProductVersion"), KESTRAVE_VERSION_WIDE L".0");
}

} // namespace
