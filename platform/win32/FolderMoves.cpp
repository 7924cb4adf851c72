#include <vector>

#include "platform/win32/RelativeOpen.h"
#include "platform/win32/Win32OpenFolder.h"

namespace kestrave::win32 {

namespace {
constexpr DWORD kCopyChunk = 1024 * 1024;

std::uint32_t copyContents(HANDLE from, HANDLE to) {
    std::vector<std::uint8_t> buffer(kCopyChunk);
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(from, buffer.data(), kCopyChunk, &got, nullptr)) {
            return ::GetLastError();
        }
        if (got == 0) {
            return 0;
        }
        DWORD written = 0;
        if (!::WriteFile(to, buffer.data(), got, &written, nullptr) || written != got) {
            const DWORD code = ::GetLastError();
            return code != 0 ? code : ERROR_WRITE_FAULT;
        }
    }
}

// The file's times go with it, so what was kept still says when it was spooled.
void copyTimes(HANDLE from, HANDLE to) {
    FILE_BASIC_INFO times{};
    if (::GetFileInformationByHandleEx(from, FileBasicInfo, &times, sizeof times)) {
        times.FileAttributes = 0; // as they are
        ::SetFileInformationByHandle(to, FileBasicInfo, &times, sizeof times);
    }
}

// Another volume: a new file of the same name in the target, never one that exists, written
// through to the disk, then the original deleted. Whatever fails on the way takes the copy
// back, and the original stays: the file is in exactly one place, whole.
std::uint32_t copyThenDelete(HANDLE fromFolder, HANDLE toFolder, const std::wstring& name) {
    RelativeOpen reading;
    reading.access = FILE_READ_DATA | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES | DELETE;
    reading.share = FILE_SHARE_READ; // nobody writes to it or deletes it meanwhile
    UniqueKernelHandle source;
    if (const std::uint32_t code = openRelative(fromFolder, name, reading, source); code != 0) {
        return code;
    }
    RelativeOpen writing;
    writing.access = FILE_WRITE_DATA | FILE_WRITE_ATTRIBUTES | DELETE;
    writing.share = 0;
    writing.disposition = 2; // FILE_CREATE
    UniqueKernelHandle copy;
    if (const std::uint32_t code = openRelative(toFolder, name, writing, copy); code != 0) {
        return code == ERROR_ALREADY_EXISTS ? ERROR_FILE_EXISTS : code;
    }
    const auto takeBack = [&](std::uint32_t code) {
        FILE_DISPOSITION_INFO gone{TRUE};
        ::SetFileInformationByHandle(copy.get(), FileDispositionInfo, &gone, sizeof gone);
        return code;
    };
    if (const std::uint32_t code = copyContents(source.get(), copy.get()); code != 0) {
        return takeBack(code);
    }
    copyTimes(source.get(), copy.get());
    // On the disk before the original goes: power lost now leaves both, never a short copy.
    if (!::FlushFileBuffers(copy.get())) {
        return takeBack(::GetLastError());
    }
    if (const std::uint32_t code = markForDeletion(source.get()); code != 0) {
        return takeBack(code); // kept twice would be a copy no list names
    }
    return 0;
}
} // namespace

std::uint32_t moveBetweenFolders(HANDLE from, HANDLE to, const std::wstring& name) {
    RelativeOpen how;
    how.access = DELETE;
    UniqueKernelHandle file;
    if (const std::uint32_t code = openRelative(from, name, how, file); code != 0) {
        return code;
    }
    const std::uint32_t renamed = renameRelative(file.get(), to, name);
    if (renamed != ERROR_NOT_SAME_DEVICE) {
        return renamed;
    }
    file.reset();
    return copyThenDelete(from, to, name);
}

} // namespace kestrave::win32
