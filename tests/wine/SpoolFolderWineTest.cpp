#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/App.h"
#include "core/spooler/SpoolerRepair.h"
#include "tests/wine/WineSupport.h"

using namespace kestrave;

namespace {

constexpr wchar_t kPrintersKey[] = L"SYSTEM\\CurrentControlSet\\Control\\Print\\Printers";

bool exists(const std::wstring& path) {
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void touch(const std::wstring& path) {
    HANDLE h = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE) << ::GetLastError();
    ::CloseHandle(h);
}

struct NoSteps : IOperationObserver {
    void step(Step, std::size_t, std::size_t) override {}
};

// The configured spool folder is named with characters outside the ANSI code page (run in
// the Chinese prefix, code page 936, and again in English, 1252): exactly it is cleared.
struct SpoolFolderWine : ::testing::Test {
    App app{::GetModuleHandleW(nullptr)};
    std::vector<std::wstring> made;
    void TearDown() override {
        ::RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kPrintersKey, L"DefaultSpoolDirectory");
        for (auto it = made.rbegin(); it != made.rend(); ++it) {
            ::DeleteFileW(it->c_str());
            ::RemoveDirectoryW(it->c_str());
        }
    }
    void folder(const std::wstring& path) {
        ::CreateDirectoryW(path.c_str(), nullptr);
        made.push_back(path);
    }
    void file(const std::wstring& path) {
        touch(path);
        made.push_back(path);
    }
    void configure(const std::wstring& path) {
        ASSERT_EQ(::RegSetKeyValueW(HKEY_LOCAL_MACHINE, kPrintersKey, L"DefaultSpoolDirectory",
                                    REG_SZ, path.c_str(),
                                    static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t))),
                  ERROR_SUCCESS);
    }
    Outcome repair() {
        NoSteps steps;
        return SpoolerRepair({app.scm, app.registry, app.processes, app.files, app.ui, app.lock},
                             steps)
            .run();
    }
};

TEST_F(SpoolFolderWine, ANameOutsideTheCodePageIsClearedAndItsLookAlikeKept) {
    std::printf("ANSI code page %u\n", ::GetACP());
    // A fullwidth s, which code page 1252 turns into a plain s; Thai, which neither 936 nor
    // 1252 holds (it becomes "?", no name at all).
    const std::wstring fullwidth = L"C:\\kestrave-\xFF53pool";
    const std::wstring lookAlike = L"C:\\kestrave-spool";
    const std::wstring thai = L"C:\\kestrave-\x0E07\x0E32\x0E19";
    const std::wstring systemQueue = app.files.systemDirectory() + L"\\spool\\PRINTERS";
    for (const std::wstring& f : {fullwidth, lookAlike, thai}) {
        folder(f);
    }
    file(lookAlike + L"\\thesis.docx");
    file(systemQueue + L"\\kestrave-other.spl");
    for (const std::wstring& configured : {fullwidth, thai}) {
        file(configured + L"\\00001.SPL");
        file(configured + L"\\00001.SHD");
        configure(configured);
        const Outcome o = repair();
        EXPECT_TRUE(o.problems.empty());
        EXPECT_EQ(o.filesDeleted, 2u);
        EXPECT_FALSE(exists(configured + L"\\00001.SPL"));
        EXPECT_FALSE(exists(configured + L"\\00001.SHD"));
        EXPECT_TRUE(o.spoolerRunning);
    }
    EXPECT_TRUE(exists(lookAlike + L"\\thesis.docx"));
    EXPECT_TRUE(exists(systemQueue + L"\\kestrave-other.spl"));
}

} // namespace
