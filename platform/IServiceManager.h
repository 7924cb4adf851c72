#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kestrave {

// The seven values of the platform's SERVICE_STATUS record, in its order.
struct ServiceStatus {
    std::uint32_t serviceType = 0;
    std::uint32_t currentState = 0;
    std::uint32_t controlsAccepted = 0;
    std::uint32_t win32ExitCode = 0;
    std::uint32_t serviceSpecificExitCode = 0;
    std::uint32_t checkPoint = 0;
    std::uint32_t waitHint = 0;
};

// A service's state as QueryServiceStatusEx gives it, with the process it runs in.
struct ServiceProcess {
    std::uint32_t state = 0;
    std::uint32_t serviceType = 0;
    std::uint32_t processId = 0;
};

// A service that depends on another, with its current state.
struct DependentService {
    std::wstring name;
    std::uint32_t state = 0;
};

namespace scm {
constexpr std::uint32_t kManagerConnect = 0x0001;
constexpr std::uint32_t kManagerCreateService = 0x0002;
constexpr std::uint32_t kQueryConfig = 0x0001;
constexpr std::uint32_t kChangeConfig = 0x0002;
constexpr std::uint32_t kQueryStatus = 0x0004;
constexpr std::uint32_t kEnumerateDependents = 0x0008;
constexpr std::uint32_t kStart = 0x0010;
constexpr std::uint32_t kStop = 0x0020;
constexpr std::uint32_t kAllAccess = 0xF01FF;
constexpr std::uint32_t kControlStop = 1;
constexpr std::uint32_t kErrorNormal = 1;
constexpr std::uint32_t kConfigDescription = 1;

constexpr std::uint32_t kOwnProcess = 0x10;   // a service type bit: a process of its own
constexpr std::uint32_t kSharedProcess = 0x20; // ... or one shared with other services

constexpr std::uint32_t kAutoStart = 2;
constexpr std::uint32_t kDemandStart = 3;
constexpr std::uint32_t kDisabled = 4;

constexpr std::uint32_t kStopped = 1;
constexpr std::uint32_t kStartPending = 2;
constexpr std::uint32_t kStopPending = 3;
constexpr std::uint32_t kRunning = 4;
constexpr std::uint32_t kContinuePending = 5;
constexpr std::uint32_t kPausePending = 6;
constexpr std::uint32_t kPaused = 7;
} // namespace scm

// What a new service is made of; a text not given goes to the manager as none.
struct NewService {
    std::optional<std::wstring> name, displayName, description, command, password;
    std::wstring account; // the account it runs as
    std::uint32_t serviceType = scm::kOwnProcess;
    std::uint32_t startType = scm::kDemandStart;
};

// The Service Control Manager, in the operations the program asks of one service, by name:
// each connects, opens the service with the rights that operation needs, does it, and closes
// what it opened, the service before the manager; no handle leaves the platform.
// Errors: every call returns 0 or the system's code (1060 for no such service, 5 for rights
// refused); nothing throws.
class IServiceManager {
  public:
    virtual ~IServiceManager() = default;
    // The status record (QueryServiceStatus). Needs the status-query right.
    virtual std::uint32_t queryStatus(const std::wstring& service, ServiceStatus& out) = 0;
    // The state, the type and the id of the service's process (0 when it has none running);
    // QueryServiceStatusEx, SC_STATUS_PROCESS_INFO.
    virtual std::uint32_t queryProcess(const std::wstring& service, ServiceProcess& out) = 0;
    virtual std::uint32_t start(const std::wstring& service) = 0;
    // SERVICE_CONTROL_STOP: the stop is asked for, not waited for.
    virtual std::uint32_t stop(const std::wstring& service) = 0;
    // The configuration's account, its command line as stored (lpBinaryPathName) and its start
    // type (2 automatic, 3 on demand, 4 disabled). Need query-config.
    virtual std::uint32_t queryAccount(const std::wstring& service, std::wstring& out) = 0;
    virtual std::uint32_t queryImagePath(const std::wstring& service, std::wstring& out) = 0;
    virtual std::uint32_t queryStartType(const std::wstring& service, std::uint32_t& out) = 0;
    // Sets the start type alone (ChangeServiceConfigW, everything else unchanged).
    virtual std::uint32_t changeStartType(const std::wstring& service,
                                          std::uint32_t startType) = 0;
    // The services that depend on this one and are active (EnumDependentServicesW,
    // SERVICE_ACTIVE), closest dependents first.
    virtual std::uint32_t activeDependents(const std::wstring& service,
                                           std::vector<DependentService>& out) = 0;
    // Creates the service; its description is set where the system can (a courtesy: the
    // service exists either way).
    virtual std::uint32_t create(const NewService& service) = 0;
    // Asks it to stop, then deletes it (deleted when it has stopped).
    virtual std::uint32_t remove(const std::wstring& service) = 0;
};

} // namespace kestrave
