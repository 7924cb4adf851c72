#include <gtest/gtest.h>

#include <string>

#include "platform/win32/Handles.h"
#include "platform/win32/Win32Registry.h"
#include "core/system/RegistryValue.h"

using namespace kestrave;

namespace {

class RegistryWine : public ::testing::Test {
  protected:
    void SetUp() override {
        path_ = "Software\\KestraveTest\\" + std::to_string(::GetCurrentProcessId());
        ASSERT_EQ(::RegCreateKeyExA(HKEY_LOCAL_MACHINE, path_.c_str(), 0, nullptr, 0,
                                    KEY_ALL_ACCESS, nullptr, key_.put(), nullptr),
                  ERROR_SUCCESS);
    }
    void TearDown() override {
        key_.reset();
        ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, "Software\\KestraveTest");
    }
    void set(const char* name, DWORD type, const void* data, DWORD size) {
        ASSERT_EQ(::RegSetValueExA(key_.get(), name, 0, type, static_cast<const BYTE*>(data), size),
                  ERROR_SUCCESS);
    }
    RegVariant read(const std::wstring& name) {
        return RegistryReader(reg_, ansi_)
            .readRegistryValue(kHkeyLocalMachine, std::wstring(path_.begin(), path_.end()), name);
    }

    std::string path_;
    win32::UniqueRegKey key_;
    win32::Win32Registry reg_;
    win32::Win32AnsiCodePage ansi_;
};

TEST_F(RegistryWine, DwordAndStringValues) {
    const DWORD four = 4;
    const DWORD all = 0xFFFFFFFF;
    set("Four", REG_DWORD, &four, 4);
    set("All", REG_DWORD, &all, 4);
    set("Text", REG_SZ, "3", 2);
    EXPECT_EQ(read(L"Four"), RegVariant(std::int32_t{4}));
    EXPECT_EQ(read(L"All"), RegVariant(std::int32_t{-1}));
    EXPECT_EQ(read(L"Text"), RegVariant(std::wstring(L"3")));
    EXPECT_EQ(leadingNumber(variantText(read(L"Text"))), 3.0);
}

TEST_F(RegistryWine, UnreadTypesAndMissingGiveEmpty) {
    const BYTE bin[3] = {1, 2, 3};
    const unsigned long long eight = 7;
    set("Expand", REG_EXPAND_SZ, "%SystemRoot%", 13);
    set("Multi", REG_MULTI_SZ, "a\0b\0", 5);
    set("Binary", REG_BINARY, bin, 3);
    set("LongDword", REG_DWORD, &eight, 8); // longer than the integer it would go into
    for (const wchar_t* name : {L"Expand", L"Multi", L"Binary", L"LongDword", L"Missing"}) {
        EXPECT_TRUE(std::holds_alternative<std::monostate>(read(name))) << name;
    }
    EXPECT_TRUE(std::holds_alternative<std::monostate>(
        RegistryReader(reg_, ansi_)
            .readRegistryValue(kHkeyLocalMachine, L"Software\\KestraveNoSuchKey", L"x")));
    RegVariant out = std::wstring(L"untouched");
    RegKey opened = 0;
    reg_.RegOpenKeyExA(kHkeyLocalMachine, path_.c_str(), 0, 0x3F, &opened);
    EXPECT_EQ(RegistryReader(reg_, ansi_).queryRegistryValue(opened, L"Multi", out), -1);
    EXPECT_EQ(RegistryReader(reg_, ansi_).queryRegistryValue(opened, L"Binary", out), -1);
    reg_.RegCloseKey(opened);
    EXPECT_EQ(RegistryReader(reg_, ansi_).queryRegistryValue(0, L"Four", out), -1);
    EXPECT_EQ(out, RegVariant(std::wstring(L"untouched")));
}

TEST_F(RegistryWine, SpoolerStartTypeIsReadable) {
    const RegVariant start =
        RegistryReader(reg_, ansi_)
            .readRegistryValue(kHkeyLocalMachine, L"SYSTEM\\CurrentControlSet\\Services\\Spooler",
                               L"Start");
    ASSERT_TRUE(std::holds_alternative<std::int32_t>(start));
    const auto value = std::get<std::int32_t>(start);
    EXPECT_TRUE(value >= 2 && value <= 4) << value;
}

} // namespace
