#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/SystemError.h"

namespace kestrave {

// What the diagnosis reads besides the service manager and the file system; nothing here
// changes anything.
struct RecoveryAction {
    std::uint32_t type = 0; // 0 none, 1 restart, 2 reboot, 3 run a command
    std::uint32_t delayMs = 0;
};

struct ServiceDetails {
    std::wstring displayName;
    std::wstring imagePath;
    std::vector<std::wstring> dependsOn; // a "+" before a name marks a load-order group
    std::vector<RecoveryAction> recovery;
};

struct PlugIn {
    std::wstring name;   // the registry key's name
    std::wstring driver; // its Driver value
    std::wstring path;   // where that file should be: empty for System32
};

struct SystemFile {
    bool exists = false;
    std::wstring company; // from its version record; empty when it has none
};

struct PrinterDetails {
    std::wstring name;
    std::wstring driver;
    std::wstring port;
    std::uint32_t status = 0; // PRINTER_STATUS_* bits
    std::uint32_t jobs = 0;
};

struct QueuedFile {
    std::wstring name;
    std::uint64_t size = 0;
    std::int64_t ageSeconds = 0;
};

// Events found in a log: how many, and the newest one's local time.
struct EventTally {
    bool readable = false;
    std::uint32_t error = 0; // why not, when not readable
    std::size_t count = 0;
    std::wstring newest;
    std::uint32_t waitedSeconds = 0; // with error err::kTimeout: how long it was given
};

// A source that gave no answer within its bound.
class SourceTimedOut : public SystemError {
  public:
    explicit SourceTimedOut(std::uint32_t waitedSeconds)
        : SystemError(err::kTimeout, "no answer in time"), waitedSeconds_(waitedSeconds) {}
    std::uint32_t waitedSeconds() const noexcept { return waitedSeconds_; }

  private:
    std::uint32_t waitedSeconds_;
};

class IDiagnosisSources {
  public:
    virtual ~IDiagnosisSources() = default;
    virtual std::optional<ServiceDetails> serviceDetails(const std::wstring& service) = 0;
    // The spooler's own environment: "Windows x64" for the 64-bit spooler, whichever program asks.
    virtual std::wstring spoolerEnvironment() = 0;
    virtual std::vector<PlugIn> printProcessors() = 0;
    virtual std::vector<PlugIn> portMonitors() = 0;
    // A file in System32 by its name (or a full path, taken as it is).
    virtual SystemFile systemFile(const std::wstring& name) = 0;
    // The company the operating system's own files name (from kernel32.dll's record).
    virtual std::wstring systemMaker() = 0;
    // The user's printers (EnumPrintersW level 2). Throws SystemError when unreadable,
    // SourceTimedOut when bounded and too slow.
    virtual std::vector<PrinterDetails> printers() = 0;
    // The plain files directly in a folder, with size and age. Throws SystemError.
    virtual std::vector<QueuedFile> queuedFiles(const std::wstring& folder) = 0;
    // The service manager's events 7031 and 7034 (a service ended unexpectedly) for the
    // service of that display name in the System log, over the last days.
    virtual EventTally serviceFailures(const std::wstring& displayName, int days) = 0;
    // Entries 808 (a plug-in failed to load) and 6161 in the print service's Admin log.
    virtual EventTally printServiceErrors(int days) = 0;
    // Point and Print's RestrictDriverInstallationToAdministrators; none when not set.
    virtual std::optional<std::uint32_t> restrictDriverInstallation() = 0;
};

} // namespace kestrave
