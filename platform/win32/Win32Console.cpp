#include "platform/win32/Win32Console.h"

#include <cwctype>

#include "core/text/TextFormat.h"
#include "platform/win32/FileTrust.h"
#include "platform/win32/RelativeOpen.h"


namespace kestrave::win32 {

namespace {
bool usable(HANDLE h) {
    return h != nullptr && h != INVALID_HANDLE_VALUE;
}

bool isConsole(HANDLE h) {
    DWORD mode = 0;
    return usable(h) && ::GetFileType(h) == FILE_TYPE_CHAR && ::GetConsoleMode(h, &mode);
}

// A standard handle that was redirected to a file or a pipe.
bool isRedirected(HANDLE h) {
    if (!usable(h)) {
        return false;
    }
    const DWORD type = ::GetFileType(h);
    return type == FILE_TYPE_DISK || type == FILE_TYPE_PIPE;
}
} // namespace

std::string toUtf8(const std::wstring& text) {
    if (text.empty()) {
        return {};
    }
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                        nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n,
                          nullptr, nullptr);
    return out;
}

Win32Console::Win32Console() {
    out_ = ::GetStdHandle(STD_OUTPUT_HANDLE);
    err_ = ::GetStdHandle(STD_ERROR_HANDLE);
    const bool redirected = isRedirected(out_) || isRedirected(err_);
    // Started from a console without redirection: write to that console.
    if (!redirected && ::AttachConsole(ATTACH_PARENT_PROCESS)) {
        out_ = ::CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_WRITE, nullptr,
                             OPEN_EXISTING, 0, nullptr);
        err_ = out_;
    }
    outConsole_ = isConsole(out_);
    errConsole_ = isConsole(err_);
}

void Win32Console::write(HANDLE h, bool console, const std::wstring& line) {
    if (!usable(h)) {
        return;
    }
    DWORD written = 0;
    if (console) {
        const std::wstring text = line + L"\r\n";
        ::WriteConsoleW(h, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        return;
    }
    const std::string bytes = toUtf8(line) + "\r\n";
    ::WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

std::uint32_t Win32LogFile::open(const std::wstring& path, LogFileFacts& facts) {
    file_.reset();
    std::wstring full(32768, L'\0');
    const DWORD n =
        ::GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (n == 0 || n >= full.size()) {
        return n == 0 ? ::GetLastError() : ERROR_FILENAME_EXCED_RANGE;
    }
    full.resize(n);
    const std::size_t slash = full.rfind(L'\\');
    if (slash == std::wstring::npos || slash + 1 == full.size()) {
        return ERROR_INVALID_NAME;
    }
    std::wstring folderPath = full.substr(0, slash);
    if (folderPath.size() == 2 && folderPath[1] == L':') {
        folderPath += L'\\'; // a drive's root
    }
    const std::wstring name = full.substr(slash + 1);
    const UniqueFileHandle folder = openWithoutFollowing(
        (folderPath.rfind(L"\\\\", 0) == 0 ? folderPath : L"\\\\?\\" + folderPath),
        FILE_TRAVERSE | FILE_READ_ATTRIBUTES | READ_CONTROL, OPEN_EXISTING,
        FILE_FLAG_BACKUP_SEMANTICS);
    if (!folder) {
        return ::GetLastError();
    }
    LogFileFacts read;
    read.elevated = runsElevated();
    read.folderReached = checkRealFolder(folder.get()) == 0 && leadsTo(folder.get(), folderPath);
    read.folderOwnerTrusted = checkTrustedOwner(folder.get()) == 0;
    if (!read.folderReached) {
        facts = read; // nothing is made in a folder reached through a link
        return 0;
    }
    AdminOnlySecurity security(true);
    RelativeOpen how;
    how.access = FILE_APPEND_DATA | FILE_READ_ATTRIBUTES | READ_CONTROL;
    how.share = FILE_SHARE_READ | FILE_SHARE_WRITE;
    how.disposition = 3; // FILE_OPEN_IF
    how.security =
        security.attributes() != nullptr ? security.attributes()->lpSecurityDescriptor : nullptr;
    if (const std::uint32_t code = openRelative(folder.get(), name, how, file_); code != 0) {
        return code;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(file_.get(), &info)) {
        const DWORD code = ::GetLastError();
        file_.reset();
        return code;
    }
    // A link the system followed all the same shows in where the handle went.
    const std::wstring filePath =
        folderPath.back() == L'\\' ? folderPath + name : folderPath + L"\\" + name;
    read.fileIsLink = (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 ||
                      !leadsTo(file_.get(), filePath);
    read.names = info.nNumberOfLinks;
    read.fileOwnerTrusted = checkTrustedOwner(file_.get()) == 0;
    facts = read;
    return 0;
}

void Win32LogFile::append(const std::wstring& line) {
    if (!file_) {
        return;
    }
    SYSTEMTIME local{};
    ::GetLocalTime(&local);
    TIME_ZONE_INFORMATION zone{};
    const DWORD which = ::GetTimeZoneInformation(&zone);
    LONG bias = zone.Bias + (which == TIME_ZONE_ID_DAYLIGHT   ? zone.DaylightBias
                             : which == TIME_ZONE_ID_STANDARD ? zone.StandardBias
                                                              : 0);
    const wchar_t* sign = bias <= 0 ? L"+" : L"-"; // the bias is UTC minus local time
    bias = bias < 0 ? -bias : bias;
    const std::wstring stamp = decimal(local.wYear, 4) + L"-" + decimal(local.wMonth, 2) + L"-" +
                               decimal(local.wDay, 2) + L"T" + decimal(local.wHour, 2) + L":" +
                               decimal(local.wMinute, 2) + L":" + decimal(local.wSecond, 2) +
                               sign + decimal(bias / 60, 2) + L":" + decimal(bias % 60, 2) + L" ";
    const std::string bytes = toUtf8(stamp + line) + "\r\n";
    DWORD written = 0;
    ::WriteFile(file_.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

} // namespace kestrave::win32
