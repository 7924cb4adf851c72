#include "core/text/PathText.h"

#include "core/text/TextFormat.h"

namespace kestrave {

std::wstring plainPath(std::wstring path) {
    if (path.rfind(L"\\\\?\\", 0) == 0) {
        path.erase(0, 4);
    }
    while (path.size() > 3 && path.back() == L'\\') {
        path.pop_back();
    }
    return path;
}

std::wstring pathKey(std::wstring path) {
    return nameKey(plainPath(std::move(path)));
}

std::wstring programOf(const std::wstring& commandLine) {
    if (!commandLine.empty() && commandLine.front() == L'"') {
        const std::size_t close = commandLine.find(L'"', 1);
        return commandLine.substr(1, close == std::wstring::npos ? close : close - 1);
    }
    const std::size_t exe = nameKey(commandLine).find(L".EXE");
    return exe == std::wstring::npos ? commandLine : commandLine.substr(0, exe + 4);
}

} // namespace kestrave
