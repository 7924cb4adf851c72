#pragma once
#include <cstdint>
#include <memory>
#include <string>

namespace kestrave {

// How a started program shows its first window (the system's SW_ values).
namespace show {
constexpr int kHidden = 0;
constexpr int kNormal = 1;
} // namespace show

// A started process; destroying it closes our handle, not the process.
class IRunningProcess {
  public:
    virtual ~IRunningProcess() = default;
    // Blocks until the process has ended (true), window input is waiting or ms have passed
    // (false).
    virtual bool waitExitOrInput(int ms) = 0;
    // Whether the process has ended, waiting up to ms milliseconds for it.
    virtual bool waitExit(int ms) = 0;
    // Ends it at once (its code 1). Throws SystemError.
    virtual void terminate() = 0;
};

// A running process opened by its id: while it is open, the id cannot pass to another process.
class IOpenedProcess : public IRunningProcess {
  public:
    // The full path of its program file. Throws SystemError.
    virtual std::wstring imagePath() = 0;
};

class IProcesses {
  public:
    virtual ~IProcesses() = default;
    // Starts applicationPath (a full path: nothing is searched for) with commandLine as its
    // command line, the given show-window value and working directory; it inherits no handle.
    // Throws SystemError when it cannot be started.
    virtual std::unique_ptr<IRunningProcess> start(const std::wstring& applicationPath,
                                                   const std::wstring& commandLine, int showWindow,
                                                   const std::wstring& workingDirectory) = 0;
    // Opens the running process of that id to read its program file, end it and wait for it.
    // Throws SystemError when it cannot be opened.
    virtual std::unique_ptr<IOpenedProcess> open(std::uint32_t processId) = 0;
};

} // namespace kestrave
