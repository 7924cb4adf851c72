#include "platform/win32/SystemLibrary.h"

namespace kestrave::win32 {

std::wstring systemMessage(DWORD code) {
    wchar_t* text = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring message = length != 0 ? std::wstring(text, length) : std::wstring();
    if (text != nullptr) {
        ::LocalFree(text);
    }
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' ||
                                message.back() == L' ' || message.back() == L'.')) {
        message.pop_back();
    }
    if (message.empty()) {
        message = L"0x" + [&] {
            wchar_t buf[16];
            ::wsprintfW(buf, L"%08X", code);
            return std::wstring(buf);
        }();
    }
    return message + L" (" + std::to_wstring(code) + L")";
}

FARPROC SystemLibrary::proc(const char* function) {
    if (!tried_) {
        tried_ = true;
        module_.reset(::LoadLibraryExW(name_, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
    }
    return module_ ? ::GetProcAddress(module_.get(), function) : nullptr;
}

} // namespace kestrave::win32
