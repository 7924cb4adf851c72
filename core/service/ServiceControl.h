#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/IServiceManager.h"

namespace kestrave {

class IWorkstation;

// Names one service and talks to the Service Control Manager about it, one operation at a
// time (the manager opens and closes what each needs); nothing is raised, shown or waited for.
// Errors: every operation returns 0 or the system's code (1060: no such service); status() gives 0
// for any failure.
class ServiceControl {
  public:
    explicit ServiceControl(IServiceManager& scm, IWorkstation* workstation = nullptr);

    std::int32_t status();
    std::uint32_t queryConfig();
    std::uint32_t install();
    std::uint32_t remove();
    std::wstring logonDomain();
    std::uint32_t start();
    std::uint32_t stop();

    // The state with the system's code when it could not be read (state 0 then), so a
    // missing service (1060) can be told from one the manager would not answer about.
    struct StateReading {
        std::uint32_t state = 0;
        std::uint32_t error = 0;
    };
    StateReading readState();
    // The whole status record, exit codes included: 0 or the system's code.
    std::uint32_t readStatus(ServiceStatus& out);
    // The id of the service's own process; 0 when it has none or it cannot be read.
    std::uint32_t processId();
    // State, type and process together, in one reading: 0 or the system's code.
    std::uint32_t readProcess(ServiceProcess& out);
    // The configured command line, as stored: 0 or the system's code.
    std::uint32_t imagePath(std::wstring& out);
    // The active services that depend on this one: 0 or the system's code.
    std::uint32_t activeDependents(std::vector<DependentService>& out);
    // The configured start type (2 automatic, 3 on demand, 4 disabled): 0 or the code.
    std::uint32_t startType(std::uint32_t& out);
    std::uint32_t changeStartType(std::uint32_t type);

    // Properties the operations read.
    void setName(const std::wstring& name) { name_ = name; }
    void setDisplayName(const std::wstring& displayName) { displayName_ = displayName; }
    void setDescription(const std::wstring& description) { description_ = description; }
    void setCommand(const std::wstring& command) { command_ = command; }
    void setAccount(const std::wstring& value) {
        if (!value.empty()) {
            account_ = value;
        }
    }
    void setPassword(const std::wstring& password) { password_ = password; }
    void setStartType(std::int32_t type) { startType_ = type; }
    void setInteract(std::int32_t type) { interact_ = type; }

    // The account queryConfig read, or the one set; "LocalSystem" on a fresh object.
    const std::wstring& account() const { return account_; }

  private:
    std::wstring service() const { return name_.value_or(std::wstring()); }

    IServiceManager& scm_;
    IWorkstation* workstation_;
    std::optional<std::wstring> name_;
    std::optional<std::wstring> displayName_;
    std::optional<std::wstring> command_;
    std::optional<std::wstring> description_;
    std::wstring account_;
    std::optional<std::wstring> password_;
    std::int32_t startType_ = 0;
    std::int32_t interact_ = 0;
};

} // namespace kestrave
