#include "service/ClsSrvCtrl.h"

#include <cwchar>
#include <memory>

#include "platform/IWorkstation.h"
#include "platform/SystemError.h"
#include "service/ScHandleOwner.h"

namespace kestrave {

namespace {
constexpr wchar_t kLocalSystem[] = L"LocalSystem";
}

ClsSrvCtrl::ClsSrvCtrl(IServiceManager& scm, IWorkstation* workstation)
    : scm_(scm), workstation_(workstation) {
    if (account_.empty()) {
        account_ = kLocalSystem;
    }
}

std::int32_t ClsSrvCtrl::GetServiceStatus() {
    std::int32_t result = 0;
    ServiceStatus status{};
    ScHandleOwner manager(scm_, scm_.OpenSCManagerW(nullptr, nullptr, scm::kManagerConnect));
    if (!manager) {
        return 0;
    }
    ScHandleOwner service(scm_, scm_.OpenServiceW(manager.get(), arg(name_), scm::kQueryStatus));
    if (!service) {
        return 0;
    }
    if (scm_.QueryServiceStatus(service.get(), status)) {
        result = static_cast<std::int32_t>(status.currentState);
    }
    return result;
}

std::int32_t ClsSrvCtrl::StartNTService() {
    std::int32_t result = 0;
    ScHandleOwner manager(scm_, scm_.OpenSCManagerW(nullptr, nullptr, scm::kManagerConnect));
    if (!manager) {
        return static_cast<std::int32_t>(scm_.lastError());
    }
    ScHandleOwner service(scm_, scm_.OpenServiceW(manager.get(), arg(name_), scm::kStart));
    if (!service) {
        return static_cast<std::int32_t>(scm_.lastError());
    }
    if (!scm_.StartServiceW(service.get(), 0, nullptr)) {
        result = static_cast<std::int32_t>(scm_.lastError());
    }
    return result;
}

std::int32_t ClsSrvCtrl::StopNTService() {
    return controlStop(scm::kStop);
}

std::int32_t ClsSrvCtrl::controlStop(std::uint32_t serviceAccess) {
    std::int32_t result = 0;
    ScHandleOwner manager(scm_, scm_.OpenSCManagerW(nullptr, nullptr, scm::kManagerConnect));
    if (!manager) {
        return static_cast<std::int32_t>(scm_.lastError());
    }
    ScHandleOwner service(scm_, scm_.OpenServiceW(manager.get(), arg(name_), serviceAccess));
    if (!service) {
        return static_cast<std::int32_t>(scm_.lastError());
    }
    ServiceStatus status{};
    if (!scm_.ControlService(service.get(), scm::kControlStop, status)) {
        result = static_cast<std::int32_t>(scm_.lastError());
    }
    return result;
}

std::int32_t ClsSrvCtrl::GetServiceConfig() {
    std::int32_t result = 0;
    ScHandleOwner manager(scm_, scm_.OpenSCManagerW(nullptr, nullptr, scm::kManagerConnect));
    if (!manager) {
        return static_cast<std::int32_t>(scm_.lastError());
    }
    ScHandleOwner service(scm_, scm_.OpenServiceW(manager.get(), arg(name_), scm::kQueryConfig));
    if (!service) {
        return static_cast<std::int32_t>(scm_.lastError());
    }
    // The buffer is counted in whole records so that its start stays aligned for the record.
    const std::uint32_t unit = scm_.configRecordSize();
    std::uint32_t needed = 0;
    auto buffer = std::make_unique<std::byte[]>(unit);
    if (scm_.QueryServiceConfigW(service.get(), buffer.get(), unit, &needed)) {
        // Only a record with no texts at all would fit; take it as it is.
    } else {
        const std::uint32_t code = scm_.lastError();
        if (code != err::kInsufficientBuffer) {
            return static_cast<std::int32_t>(code);
        }
        const std::uint32_t units = needed / unit + 1;
        buffer = std::make_unique<std::byte[]>(static_cast<std::size_t>(units) * unit);
        if (!scm_.QueryServiceConfigW(service.get(), buffer.get(), units * unit, &needed)) {
            return static_cast<std::int32_t>(scm_.lastError());
        }
    }
    const wchar_t* startName = scm_.configStartName(buffer.get());
    account_ = startName ? std::wstring(startName, std::wcslen(startName)) : std::wstring();
    return result;
}

std::wstring ClsSrvCtrl::GetDomainName() {
    std::wstring result;
    if (workstation_ == nullptr) {
        return result;
    }
    void* record = nullptr;
    if (workstation_->NetWkstaUserGetInfo(nullptr, 1, &record) != 0) {
        return result;
    }
    const wchar_t* domain = workstation_->logonDomain(record);
    const std::size_t length = domain ? std::wcslen(domain) : 0;
    if (length > 0) {
        result.assign(domain, length);
    }
    workstation_->NetApiBufferFree(record);
    return result;
}

std::int32_t ClsSrvCtrl::SetNTService() {
    std::int32_t result = 0;
    if (account_.empty()) {
        account_ = kLocalSystem;
    }
    if (account_ != kLocalSystem && account_.find(L'\\') == std::wstring::npos) {
        std::wstring domain = GetDomainName();
        if (domain.empty()) {
            domain = L".";
        }
        account_ = domain + L"\\" + account_;
    }
    ScHandleOwner manager(scm_, scm_.OpenSCManagerW(nullptr, nullptr, scm::kManagerCreateService));
    if (!manager) {
        return static_cast<std::int32_t>(scm_.lastError());
    }
    ScHandleOwner service(
        scm_, scm_.CreateServiceW(manager.get(), arg(name_), arg(displayName_), scm::kAllAccess,
                                  static_cast<std::uint32_t>(interact_),
                                  static_cast<std::uint32_t>(startType_), scm::kErrorNormal,
                                  arg(command_), nullptr, nullptr, nullptr, account_.c_str(),
                                  arg(password_)));
    if (!service) {
        return static_cast<std::int32_t>(scm_.lastError());
    }
    try {
        scm_.ChangeServiceConfig2W(service.get(), scm::kConfigDescription, arg(description_));
    } catch (...) {
        // The description is a courtesy; the service exists either way.
    }
    return result;
}

std::int32_t ClsSrvCtrl::DeleteNTService() {
    std::int32_t result = 0;
    ScHandleOwner manager(scm_, scm_.OpenSCManagerW(nullptr, nullptr, scm::kManagerConnect));
    if (!manager) {
        return static_cast<std::int32_t>(scm_.lastError());
    }
    ScHandleOwner service(scm_, scm_.OpenServiceW(manager.get(), arg(name_), scm::kAllAccess));
    if (!service) {
        return static_cast<std::int32_t>(scm_.lastError());
    }
    ServiceStatus status{};
    scm_.ControlService(service.get(), scm::kControlStop, status);
    if (!scm_.DeleteService(service.get())) {
        result = static_cast<std::int32_t>(scm_.lastError());
    }
    return result;
}

} // namespace kestrave
