#pragma once
#include <string>

#include "platform/IEventLoop.h"
#include "platform/IFileSystem.h"
#include "platform/IProcesses.h"

namespace kestrave {

// The program a command line names, as a full path: a bare name such as "sc" or "cmd.exe"
// is taken from the system directory only, never from the program's own folder or PATH.
std::wstring systemProgramPath(const std::wstring& commandLine, const std::wstring& systemDir);

class CommandRunner {
  public:
    CommandRunner(IProcesses& processes, IFileSystem& files, IEventLoop& events)
        : processes_(processes), files_(files), events_(events) {}

    // Starts the command line and returns once the process has ended, handling window events
    // meanwhile; past boundMs (0: no bound) the process is ended and false returned. Throws
    // SystemError when it cannot be started. The exit code is not reported.
    bool runAndWait(const std::wstring& commandLine, int windowStyle, int boundMs = 0);
    // Starts the command line and lets it run on its own: nothing waits for it. Throws
    // SystemError when it cannot be started.
    void start(const std::wstring& commandLine, int windowStyle);

  private:
    IProcesses& processes_;
    IFileSystem& files_;
    IEventLoop& events_;
};

} // namespace kestrave
