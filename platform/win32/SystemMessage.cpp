#include "platform/win32/SystemMessage.h"

#include "core/text/TextFormat.h"
#include "platform/SystemError.h"
#include "platform/win32/Win32Registry.h"
#include "resources/StringIds.h"

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
        message = L"0x" + hexadecimal(code, 8);
    }
    return message + L" (" + decimal(code) + L")";
}

std::wstring unexpectedErrorText(const std::exception& e, const IStringTable& strings,
                                 std::wstring_view beforeSystemText) {
    std::wstring text = strings.text(IDS_UNEXPECTED_ERROR) + Win32AnsiCodePage().fromAnsi(e.what());
    if (const auto* se = dynamic_cast<const SystemError*>(&e)) {
        text += std::wstring(beforeSystemText) + systemMessage(se->code());
    }
    return text;
}

} // namespace kestrave::win32
