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
    bool descriptionUnsupported = false; // the system cannot describe a service
    // EnumDependentServicesW answers "not implemented" (120), as Wine's does.
    bool dependentsUnsupported = false;

    // Every operation by name, for order checks ("query", "query-process", "start",
    // "control", "config", "query-image", "query-start-type", "change-start-type",
    // "dependents", "create", "delete").
    std::vector<std::string> calls;
    int statusQueries = 0;
    // Runs as a process reading begins: the world may change at that very moment.
    std::function<void()> onQueryProcess;
    // Runs as a status query begins (on whichever thread asks).
    std::function<void()> onQueryStatus;

    Service& add(const std::wstring& name, std::uint32_t state = scm::kStopped);

    std::uint32_t queryStatus(const std::wstring& service, ServiceStatus& out) override;
    std::uint32_t queryProcess(const std::wstring& service, ServiceProcess& out) override;
    std::uint32_t start(const std::wstring& service) override;
    std::uint32_t stop(const std::wstring& service) override;
    std::uint32_t queryAccount(const std::wstring& service, std::wstring& out) override;
    std::uint32_t queryImagePath(const std::wstring& service, std::wstring& out) override;
    std::uint32_t queryStartType(const std::wstring& service, std::uint32_t& out) override;
    std::uint32_t changeStartType(const std::wstring& service, std::uint32_t startType) override;
    std::uint32_t activeDependents(const std::wstring& service,
                                   std::vector<DependentService>& out) override;
    std::uint32_t create(const NewService& service) override;
    std::uint32_t remove(const std::wstring& service) override;
    // The configured image of the service whose process has that id; empty when none has.
    std::wstring imageOfProcess(std::uint32_t processId) const;

    // The process of that id was ended from outside: its service reads as before (a stop
    // that was pending stays pending) but can be started again.
    void processEnded(std::uint32_t processId);

    // What the last creation asked for.
    NewService lastCreated;

  private:
    // The named service as the manager would open it with `access`: null, with `code` set,
    // where the connection or the open is refused.
    Service* opened(const std::wstring& name, std::uint32_t access, std::uint32_t& code);
    void settle(Service& s);

    std::uint32_t nextProcessId_ = 1000;
};

} // namespace kestrave::fake
