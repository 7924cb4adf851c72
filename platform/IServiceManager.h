#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace kestrave {

// Opaque handle of the Service Control Manager or of one service; 0 is the null handle.
using ScHandle = std::uintptr_t;

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

// The Service Control Manager, one call per platform function. Handle-returning calls give 0
// and leave a code for lastError() on failure; the others give false and do the same.
class IServiceManager {
  public:
    virtual ~IServiceManager() = default;
    virtual ScHandle OpenSCManagerW(const wchar_t* machine, const wchar_t* database,
                                    std::uint32_t access) = 0;
    virtual ScHandle OpenServiceW(ScHandle manager, const wchar_t* name, std::uint32_t access) = 0;
    virtual bool QueryServiceStatus(ScHandle service, ServiceStatus& status) = 0;
    virtual bool StartServiceW(ScHandle service, std::uint32_t argc, const wchar_t** argv) = 0;
    virtual bool ControlService(ScHandle service, std::uint32_t control, ServiceStatus& status) = 0;
    virtual bool CloseServiceHandle(ScHandle handle) = 0;

    // The fixed part of the configuration record as this build lays it out, the number of
    // bytes a query writes into it, and the account text inside a filled buffer.
    virtual std::uint32_t configRecordSize() const = 0;
    virtual bool QueryServiceConfigW(ScHandle service, void* buffer, std::uint32_t size,
                                     std::uint32_t* needed) = 0;
    virtual const wchar_t* configStartName(const void* buffer) const = 0;

    virtual ScHandle CreateServiceW(ScHandle manager, const wchar_t* name,
                                    const wchar_t* displayName, std::uint32_t access,
                                    std::uint32_t serviceType, std::uint32_t startType,
                                    std::uint32_t errorControl, const wchar_t* binaryPath,
                                    const wchar_t* loadOrderGroup, std::uint32_t* tagId,
                                    const wchar_t* dependencies, const wchar_t* startName,
                                    const wchar_t* password) = 0;
    // SERVICE_CONFIG_DESCRIPTION only. Throws SystemError when the platform lacks the call.
    virtual bool ChangeServiceConfig2W(ScHandle service, std::uint32_t infoLevel,
                                       const wchar_t* description) = 0;
    virtual bool DeleteService(ScHandle service) = 0;

    // The state, the type and the id of the service's process (0 when it has none running);
    // QueryServiceStatusEx, SC_STATUS_PROCESS_INFO. Needs the status-query right.
    virtual bool QueryServiceProcess(ScHandle service, ServiceProcess& out) = 0;
    // The configured command line (QueryServiceConfigW's lpBinaryPathName), as stored.
    // Needs query-config.
    virtual bool QueryImagePath(ScHandle service, std::wstring& out) = 0;
    // The services that depend on this one and are active (EnumDependentServicesW,
    // SERVICE_ACTIVE), closest dependents first. Needs the enumerate-dependents right.
    virtual bool ActiveDependents(ScHandle service, std::vector<DependentService>& out) = 0;
    // The configured start type (QueryServiceConfigW's dwStartType). Needs query-config.
    virtual bool QueryStartType(ScHandle service, std::uint32_t& startType) = 0;
    // Sets the start type alone (ChangeServiceConfigW, everything else unchanged). Needs
    // change-config.
    virtual bool ChangeStartType(ScHandle service, std::uint32_t startType) = 0;

    virtual std::uint32_t lastError() const = 0;
};

} // namespace kestrave
