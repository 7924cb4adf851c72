// The message table Event Viewer reads: each event id the program writes has its words in both
// program files, in every language, with the insertions where the program puts its strings.
#include <gtest/gtest.h>

#include "core/events/ChangeEvents.h"
#include "tests/common/Win32TestHelpers.h"

namespace {

std::wstring beside(const wchar_t* name) {
    const std::wstring self = kestrave::testhelp::selfPath();
    return self.substr(0, self.find_last_of(L'\\') + 1) + name;
}

// The message as Event Viewer formats it, from the program file as data.
std::wstring message(HMODULE module, DWORD id, WORD language,
                     const std::vector<std::wstring>& strings) {
    std::vector<DWORD_PTR> args;
    for (const std::wstring& s : strings) {
        args.push_back(reinterpret_cast<DWORD_PTR>(s.c_str()));
    }
    wchar_t* text = nullptr;
    const DWORD n = ::FormatMessageW(
        FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_ARGUMENT_ARRAY,
        module, id, MAKELANGID(language, language == LANG_CHINESE ? SUBLANG_CHINESE_SIMPLIFIED
                                                                  : SUBLANG_ENGLISH_US),
        reinterpret_cast<LPWSTR>(&text), 0, reinterpret_cast<va_list*>(args.data()));
    std::wstring out = n != 0 ? std::wstring(text, n) : std::wstring();
    ::LocalFree(text);
    return out;
}

TEST(EventMessagesWine, EveryEventIdHasItsWordsInBothProgramsAndLanguages) {
    using namespace kestrave::events;
    const DWORD ids[] = {kRepairDone,   kRepairFailed,   kDisableDone,    kDisableFailed,
                         kRestoreDone,  kRestoreFailed,  kKeepSettingSet, kKeepSettingFailed};
    for (const wchar_t* program : {L"Kestrave.exe", L"Kestrave.com"}) {
        const HMODULE module = ::LoadLibraryExW(beside(program).c_str(), nullptr,
                                                LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(module, nullptr) << ::GetLastError();
        for (const DWORD id : ids) {
            for (const WORD language : {WORD(LANG_ENGLISH), WORD(LANG_CHINESE)}) {
                const std::wstring text =
                    message(module, id, language, {L"<line>", L"<problems>", L"DOM\\admin", L"<from>"});
                ASSERT_FALSE(text.empty()) << std::hex << id << " " << ::GetLastError();
                for (const wchar_t* part : {L"<line>", L"<problems>", L"DOM\\admin", L"<from>"}) {
                    EXPECT_NE(text.find(part), std::wstring::npos) << std::hex << id;
                }
                EXPECT_EQ(text.find(L"Kestrave "), 0u);
                const bool failed = (id & 0xC0000000u) == 0xC0000000u;
                if (language == LANG_ENGLISH) {
                    EXPECT_EQ(text.find(L"could not") != std::wstring::npos, failed) << std::hex << id;
                } else {
                    EXPECT_EQ(text.find(L"未能") != std::wstring::npos, failed) << std::hex << id;
                }
            }
        }
        // An id the program never writes has no words: the table is the program's own.
        EXPECT_TRUE(message(module, 0x400003E7, LANG_ENGLISH, {}).empty());
        ::FreeLibrary(module);
    }
}

} // namespace
