#pragma once
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/IServiceManager.h"

namespace kestrave::fake {

// An in-memory Service Control Manager: services with states 1-7, pending states that settle
// after a number of status queries, and refusals with the system's codes.
class FakeServiceManager : public IServiceManager {
  public:
    struct Service {
        std::uint32_t state = scm::kStopped;
        // While pending: the state reached after `settleAfter` more status queries.
        std::uint32_t settlesTo = 0;
        int settleAfter = 0;
        int pendingQueries = 2; // how long a start or stop stays pending
        bool stopNeverCompletes = false;
        std::uint32_t refuseStop = 0;   // e.g. 1051 while dependents run
        std::uint32_t deniedAccess = 0; // access bits whose open is refused with 5
        std::uint32_t serviceType = 0x10;
        std::uint32_t startType = 3;
        std::wstring displayName;
        std::wstring binaryPath = L"%SystemRoot%\\System32\\spoolsv.exe";
        std::wstring account = L"LocalSystem";
        std::wstring description;
        bool hasDescription = false;
        bool markedForDelete = false;
        std::vector<std::wstring> dependsOn; // names of the services this one needs
        std::uint32_t processId = 0;         // its process while not stopped
        bool processEnded = false;           // its process was ended while it stopped
        std::uint32_t refuseStart = 0;       // e.g. 1053 for a start that times out
        std::uint32_t refuseStartTypeChange = 0;
        std::uint32_t exitCode = 0;         // why its last start ended, as it reports
        std::uint32_t specificExitCode = 0; // its own code, with exitCode 1066
    };

    std::map<std::wstring, Service> services;
    bool managerUnavailable = false;
    std::uint32_t managerDeniedAccess = 0;
    // Grows the configuration's account text between two queries, for the second-attempt case.
    bool growConfigAfterFirstQuery = false;
    bool descriptionUnsupported = false;
    // EnumDependentServicesW answers "not implemented" (120), as Wine's does.
    bool dependentsUnsupported = false;

    // Every call by name, for order checks ("open-manager", "open-service", "close-service",
    // "close-manager", "query", "start", "control", "config", "create", "describe", "delete").
    std::vector<std::string> calls;
    int openHandles() const { return static_cast<int>(handles_.size()); }
    int statusQueries = 0;
    // Runs as a process reading begins: the world may change at that very moment.
    std::function<void()> onQueryProcess;
    // Runs as a status query begins (on whichever thread asks).
    std::function<void()> onQueryStatus;

    Service& add(const std::wstring& name, std::uint32_t state = scm::kStopped);

    ScHandle OpenSCManagerW(const wchar_t* machine, const wchar_t* database,
                            std::uint32_t access) override;
    ScHandle OpenServiceW(ScHandle manager, const wchar_t* name, std::uint32_t access) override;
    bool QueryServiceStatus(ScHandle service, ServiceStatus& status) override;
    bool StartServiceW(ScHandle service, std::uint32_t argc, const wchar_t** argv) override;
    bool ControlService(ScHandle service, std::uint32_t control, ServiceStatus& status) override;
    bool CloseServiceHandle(ScHandle handle) override;
    std::uint32_t configRecordSize() const override { return kRecord; }
    bool QueryServiceConfigW(ScHandle service, void* buffer, std::uint32_t size,
                             std::uint32_t* needed) override;
    const wchar_t* configStartName(const void* buffer) const override;
    ScHandle CreateServiceW(ScHandle manager, const wchar_t* name, const wchar_t* displayName,
                            std::uint32_t access, std::uint32_t serviceType,
                            std::uint32_t startType, std::uint32_t errorControl,
                            const wchar_t* binaryPath, const wchar_t* loadOrderGroup,
                            std::uint32_t* tagId, const wchar_t* dependencies,
                            const wchar_t* startName, const wchar_t* password) override;
    bool ChangeServiceConfig2W(ScHandle service, std::uint32_t infoLevel,
                               const wchar_t* description) override;
    bool DeleteService(ScHandle service) override;
    bool QueryServiceProcess(ScHandle service, ServiceProcess& out) override;
    bool QueryImagePath(ScHandle service, std::wstring& out) override;
    // The configured image of the service whose process has that id; empty when none has.
    std::wstring imageOfProcess(std::uint32_t processId) const;
    bool ActiveDependents(ScHandle service, std::vector<DependentService>& out) override;
    bool QueryStartType(ScHandle service, std::uint32_t& startType) override;
    bool ChangeStartType(ScHandle service, std::uint32_t startType) override;
    std::uint32_t lastError() const override { return lastError_; }

    // The process of that id was ended from outside: its service reads as before (a stop
    // that was pending stays pending) but can be started again.
    void processEnded(std::uint32_t processId);

    // The arguments of the last CreateServiceW, null texts as "<null>".
    std::vector<std::wstring> lastCreateArgs;

  private:
    static constexpr std::uint32_t kRecord = 24; // our own fixed part: offset of the account
    struct Handle {
        bool isManager;
        std::wstring service;
        std::uint32_t access;
    };
    bool fail(std::uint32_t code) {
        lastError_ = code;
        return false;
    }
    Service* serviceOf(ScHandle h);
    void settle(Service& s);

    std::map<ScHandle, Handle> handles_;
    ScHandle next_ = 0x100;
    std::uint32_t nextProcessId_ = 1000;
    std::uint32_t lastError_ = 0;
    int configQueries_ = 0;
};

} // namespace kestrave::fake
