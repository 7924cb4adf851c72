#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/App.h"
#include <aclapi.h>
#include <sddl.h>
#include "core/spooler/OutcomeText.h"
#include "core/spooler/SpoolerRepair.h"
#include "tests/wine/HostLinks.h"
#include "tests/wine/WineSupport.h"

using namespace kestrave;

namespace {

constexpr wchar_t kPrintersKey[] = L"SYSTEM\\CurrentControlSet\\Control\\Print\\Printers";

void createEmpty(const std::wstring& path) {
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
        createEmpty(path);
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
        EXPECT_FALSE(test::exists(configured + L"\\00001.SPL"));
        EXPECT_FALSE(test::exists(configured + L"\\00001.SHD"));
        EXPECT_TRUE(o.spoolerRunning);
    }
    EXPECT_TRUE(test::exists(lookAlike + L"\\thesis.docx"));
    EXPECT_TRUE(test::exists(systemQueue + L"\\kestrave-other.spl"));
}

} // namespace

namespace {

// The window's events, with something done at the first chance to answer (after 64 deletes).
struct EventsThatSwap : IEventLoop {
    IEventLoop& real;
    std::function<void()> once;
    explicit EventsThatSwap(IEventLoop& r) : real(r) {}
    void doEvents() override {
        if (once) {
            auto f = std::move(once);
            once = nullptr;
            f();
        }
        real.doEvents();
    }
    void sleepResponsive(int ms) override { real.sleepResponsive(ms); }
    std::uint64_t milliseconds() override { return real.milliseconds(); }
};

TEST_F(SpoolFolderWine, AFolderOthersMayDeleteOrRenameIsNeverClearedOneTheyMayReadIs) {
    const std::wstring configured = L"C:\\kestrave-open-spool";
    folder(configured);
    file(configured + L"\\00002.SPL");
    // Opened to everyone (Wine keeps grants to Everyone as the host's mode bits): another
    // account could rename it away and put its own folder in its place.
    PSECURITY_DESCRIPTOR open = nullptr;
    ASSERT_TRUE(::ConvertStringSecurityDescriptorToSecurityDescriptorW(
        L"D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;WD)", SDDL_REVISION_1, &open, nullptr));
    BOOL present = FALSE;
    BOOL defaulted = FALSE;
    PACL dacl = nullptr;
    ::GetSecurityDescriptorDacl(open, &present, &dacl, &defaulted);
    ASSERT_EQ(::SetNamedSecurityInfoW(const_cast<wchar_t*>(configured.c_str()), SE_FILE_OBJECT,
                                      DACL_SECURITY_INFORMATION, nullptr, nullptr, dacl, nullptr),
              static_cast<DWORD>(ERROR_SUCCESS));
    ::LocalFree(open);
    configure(configured);
    Outcome o = repair();
    ASSERT_EQ(o.problems.size(), 1u);
    EXPECT_EQ(o.problems[0], (Problem{ProblemKind::SpoolFolderOpenToOthers, 0, configured}));
    EXPECT_TRUE(test::exists(configured + L"\\00002.SPL"));
    // Readable by everyone, as a folder made here is by default: cleared.
    const std::wstring readable = L"C:\\kestrave-readable-spool";
    folder(readable);
    file(readable + L"\\00003.SPL");
    configure(readable);
    o = repair();
    EXPECT_TRUE(o.problems.empty());
    EXPECT_FALSE(test::exists(readable + L"\\00003.SPL"));
}

TEST_F(SpoolFolderWine, TheDrivesRootOrTheWindowsFolderIsNeverCleared) {
    file(L"C:\\kestrave-root-sentinel.txt");
    file(L"C:\\windows\\kestrave-sentinel.txt");
    for (const wchar_t* configured : {L"C:\\", L"C:\\windows"}) {
        ASSERT_TRUE(test::serviceTo(L"Spooler", SERVICE_STOPPED));
        configure(configured);
        const Outcome o = repair();
        ASSERT_EQ(o.problems.size(), 1u) << configured;
        EXPECT_EQ(o.problems[0].kind, ProblemKind::SpoolFolderSystem) << configured;
        EXPECT_EQ(o.filesDeleted, 0u);
        EXPECT_TRUE(o.spoolerRunning) << configured;
        const std::wstring said = describeProblems(Operation::Repair, o.problems, app.strings,
                                                   [](std::uint32_t) { return L""; });
        EXPECT_NE(said.find(configured), std::wstring::npos) << configured;
    }
    EXPECT_TRUE(test::exists(L"C:\\kestrave-root-sentinel.txt"));
    EXPECT_TRUE(test::exists(L"C:\\windows\\kestrave-sentinel.txt"));
}

TEST_F(SpoolFolderWine, AFolderSwappedForAHostLinkMidRepairSendsNoDeleteThere) {
    const std::wstring spool = L"C:\\kestrave-swap";
    const std::wstring victim = L"C:\\kestrave-victim";
    folder(spool);
    folder(victim);
    constexpr int kFiles = 200;
    for (int i = 0; i < kFiles; ++i) {
        const std::wstring name = L"\\" + std::to_wstring(10000 + i) + L".SPL";
        createEmpty(spool + name);
        file(victim + name);
    }
    configure(spool);
    ASSERT_TRUE(test::serviceTo(L"Spooler", SERVICE_STOPPED));
    EventsThatSwap events(app.ui);
    bool swapped = false;
    events.once = [&] { swapped = test::swapForHostLink(spool, victim); };
    NoSteps steps;
    const Outcome o =
        SpoolerRepair({app.scm, app.registry, app.processes, app.files, events, app.lock}, steps)
            .run();
    ASSERT_TRUE(swapped);
    // Every delete went on in the folder that was opened, now under its new name.
    EXPECT_EQ(o.filesDeleted, static_cast<std::size_t>(kFiles));
    int left = 0;
    for (int i = 0; i < kFiles; ++i) {
        left += test::exists(victim + L"\\" + std::to_wstring(10000 + i) + L".SPL") ? 1 : 0;
    }
    EXPECT_EQ(left, kFiles);
    const std::string host = test::hostPath(spool);
    test::startHostShell("rm -f '" + host + "'; rm -rf '" + host + ".moved'");
    EXPECT_TRUE(
        test::waitUntil([&] { return !test::exists(spool) && !test::exists(spool + L".moved"); }));
}

} // namespace
