#include <gtest/gtest.h>

#include <string>

#include <windows.h>
#include <winternl.h>

#include "core/system/RegistryValue.h"
#include "platform/SystemError.h"
#include "platform/win32/Handles.h"
#include "platform/win32/Win32Registry.h"

using namespace kestrave;

namespace {

class RegistryWine : public ::testing::Test {
  protected:
    void SetUp() override {
        path_ = L"Software\\KestraveTest\\" + std::to_wstring(::GetCurrentProcessId());
        ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, path_.c_str(), 0, nullptr, 0,
                                    KEY_ALL_ACCESS, nullptr, key_.put(), nullptr),
                  ERROR_SUCCESS);
    }
    void TearDown() override {
        key_.reset();
        ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"Software\\KestraveTest");
    }
    // Stored exactly as given, below the registry functions (which may add a terminator).
    void setRaw(const wchar_t* name, DWORD type, const void* data, DWORD size) {
        using SetValue = LONG(NTAPI*)(HANDLE, UNICODE_STRING*, ULONG, ULONG, const void*, ULONG);
        const auto setValue = reinterpret_cast<SetValue>(reinterpret_cast<void*>(
            ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "NtSetValueKey")));
        ASSERT_NE(setValue, nullptr);
        std::wstring text = name;
        UNICODE_STRING value{static_cast<USHORT>(text.size() * sizeof(wchar_t)),
                             static_cast<USHORT>(text.size() * sizeof(wchar_t)), text.data()};
        ASSERT_EQ(setValue(key_.get(), &value, 0, type, data, size), 0);
    }
    void set(const wchar_t* name, DWORD type, const void* data, DWORD size) {
        ASSERT_EQ(::RegSetValueExW(key_.get(), name, 0, type, static_cast<const BYTE*>(data), size),
                  ERROR_SUCCESS);
    }

    std::wstring path_;
    win32::UniqueRegKey key_;
    win32::Win32Registry reg_;
};

TEST_F(RegistryWine, TextsOutsideTheCodePageAndNumbersAsStored) {
    // A fullwidth letter and Thai: neither is in code page 936 nor 1252.
    const std::wstring path = L"C:\\\xFF53pool\\\x0E07\x0E32\x0E19";
    set(L"Path", REG_SZ, path.c_str(), static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t)));
    const DWORD all = 0xFFFFFFFF;
    set(L"All", REG_DWORD, &all, 4);
    RegistryText text;
    ASSERT_EQ(readRegistryText(reg_, path_, L"Path", text), 0u);
    EXPECT_EQ(text.text, path);
    std::uint32_t number = 0;
    ASSERT_EQ(readRegistryDword(reg_, path_, L"All", number), 0u);
    EXPECT_EQ(number, 0xFFFFFFFFu);
}

TEST_F(RegistryWine, WhatIsNotWhatItClaimsIsAnError) {
    // Written without its terminator: the registry keeps it so.
    setRaw(L"Unterminated", REG_SZ, L"C:\\spool", 8 * sizeof(wchar_t));
    setRaw(L"Odd", REG_SZ, L"C:\\spool", 5);
    set(L"Multi", REG_MULTI_SZ, L"a\0b\0", 10);
    const unsigned long long eight = 7;
    set(L"LongDword", REG_DWORD, &eight, 8);
    set(L"Text", REG_SZ, L"3", 4);
    RegistryText text{L"untouched", false};
    EXPECT_EQ(readRegistryText(reg_, path_, L"Unterminated", text), err::kInvalidData);
    EXPECT_EQ(readRegistryText(reg_, path_, L"Odd", text), err::kInvalidData);
    EXPECT_EQ(readRegistryText(reg_, path_, L"Multi", text), err::kDatatypeMismatch);
    EXPECT_EQ(readRegistryText(reg_, path_, L"Missing", text), err::kFileNotFound);
    EXPECT_EQ(readRegistryText(reg_, L"Software\\KestraveNoSuchKey", L"x", text),
              err::kFileNotFound);
    EXPECT_EQ(text.text, L"untouched");
    std::uint32_t number = 9;
    EXPECT_EQ(readRegistryDword(reg_, path_, L"LongDword", number), err::kInvalidData);
    EXPECT_EQ(readRegistryDword(reg_, path_, L"Text", number), err::kDatatypeMismatch);
    EXPECT_EQ(number, 9u);
}

TEST_F(RegistryWine, ExpandableTextsAreMarkedAndTheSpoolerStartTypeIsADword) {
    set(L"Expand", REG_EXPAND_SZ, L"%SystemRoot%", 13 * sizeof(wchar_t));
    RegistryText text;
    ASSERT_EQ(readRegistryText(reg_, path_, L"Expand", text), 0u);
    EXPECT_EQ(text.text, L"%SystemRoot%");
    EXPECT_TRUE(text.expandable);
    std::uint32_t start = 0;
    ASSERT_EQ(
        readRegistryDword(reg_, L"SYSTEM\\CurrentControlSet\\Services\\Spooler", L"Start", start),
        0u);
    EXPECT_TRUE(start >= 2 && start <= 4) << start;
}

} // namespace
