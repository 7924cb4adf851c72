#include "core/system/CommandRunner.h"

namespace kestrave {

std::wstring systemProgramPath(const std::wstring& commandLine, const std::wstring& systemDir) {
    std::wstring program;
    std::size_t i = 0;
    while (i < commandLine.size() && commandLine[i] == L' ') {
        ++i;
    }
    if (i < commandLine.size() && commandLine[i] == L'"') {
        const std::size_t close = commandLine.find(L'"', i + 1);
        program = commandLine.substr(i + 1, close == std::wstring::npos ? std::wstring::npos
                                                                        : close - i - 1);
    } else {
        const std::size_t end = commandLine.find_first_of(L" \t", i);
        program = commandLine.substr(i, end == std::wstring::npos ? std::wstring::npos : end - i);
    }
    if (program.find_first_of(L"\\/:") != std::wstring::npos) {
        return program;
    }
    if (program.find(L'.') == std::wstring::npos) {
        program += L".exe";
    }
    return systemDir + L"\\" + program;
}

void CommandRunner::runAndWait(const std::wstring& commandLine, int windowStyle) {
    const std::wstring systemDir = files_.systemDirectory();
    auto process = processes_.start(systemProgramPath(commandLine, systemDir), commandLine,
                                    windowStyle, systemDir);
    for (;;) {
        const bool ended = process->waitExitOrInput();
        events_.doEvents();
        if (ended) {
            break;
        }
    }
}

} // namespace kestrave
