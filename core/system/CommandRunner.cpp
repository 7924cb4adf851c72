#include "core/system/CommandRunner.h"

#include <algorithm>

#include "platform/SystemError.h"

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

bool CommandRunner::runAndWait(const std::wstring& commandLine, int windowStyle, int boundMs) {
    const std::wstring systemDir = files_.systemDirectory();
    auto process = processes_.start(systemProgramPath(commandLine, systemDir), commandLine,
                                    windowStyle, systemDir);
    const std::uint64_t started = events_.milliseconds();
    for (;;) {
        int wait = 1000;
        if (boundMs > 0) {
            const std::uint64_t spent = events_.milliseconds() - started;
            if (spent >= static_cast<std::uint64_t>(boundMs)) {
                try {
                    process->terminate();
                } catch (const SystemError&) {
                    // It may have ended just now: either way it is not waited for any more.
                }
                return false;
            }
            wait = static_cast<int>(std::min<std::uint64_t>(wait, boundMs - spent));
        }
        const bool ended = process->waitExitOrInput(wait);
        events_.doEvents();
        if (ended) {
            return true;
        }
    }
}

void CommandRunner::start(const std::wstring& commandLine, int windowStyle) {
    const std::wstring systemDir = files_.systemDirectory();
    processes_.start(systemProgramPath(commandLine, systemDir), commandLine, windowStyle,
                     systemDir);
}

} // namespace kestrave
