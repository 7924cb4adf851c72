#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "platform/IServiceManager.h"
#include "service/ScHandleOwner.h"

namespace kestrave {

class IWorkstation;

// Names one service and talks to the Service Control Manager about it. Every operation opens
// its own connection, does one thing, closes what it opened (service before manager) and
// reports through its result; nothing is raised, shown or waited for.
class ClsSrvCtrl {
  public:
    explicit ClsSrvCtrl(IServiceManager& scm, IWorkstation* workstation = nullptr);

    std::int32_t GetServiceStatus();
    std::int32_t GetServiceConfig();
    std::int32_t SetNTService();
    std::int32_t DeleteNTService();
    std::wstring GetDomainName();
    std::int32_t StartNTService();
    std::int32_t StopNTService();

    // Write-only properties.
    void Name(const std::wstring& sSrvName) { name_ = sSrvName; }
    void DisplayName(const std::wstring& sDisName) { displayName_ = sDisName; }
    void Description(const std::wstring& sDes) { description_ = sDes; }
    void Command(const std::wstring& sSrvCmd) { command_ = sSrvCmd; }
    void Account(const std::wstring& sSrvAccount) {
        if (!sSrvAccount.empty()) {
            account_ = sSrvAccount;
        }
    }
    void Password(const std::wstring& sSrvPassword) { password_ = sSrvPassword; }
    void StartType(std::int32_t lType) { startType_ = lType; }
    void Interact(std::int32_t lType) { interact_ = lType; }

    // For tests only: the object offers no read-back to the program.
    const std::wstring& accountForTest() const { return account_; }

  private:
    static const wchar_t* arg(const std::optional<std::wstring>& s) {
        return s ? s->c_str() : nullptr;
    }
    // A connection and the named service opened with the given rights, closed service first;
    // when either open fails, failure holds that step's code.
    struct Opened {
        ScHandleOwner manager;
        ScHandleOwner service;
        std::int32_t failure;
    };
    Opened open(std::uint32_t serviceAccess);
    // The manager's code for the call that just failed.
    std::int32_t code() const;

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
