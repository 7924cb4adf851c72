#include "core/service/ServiceControl.h"

#include <cwchar>
#include <memory>

#include "platform/IWorkstation.h"
#include "platform/SystemError.h"
#include "core/service/ScHandleOwner.h"

namespace kestrave {

namespace {
constexpr wchar_t kLocalSystem[] = L"LocalSystem";
}

ServiceControl::ServiceControl(IServiceManager& scm, IWorkstation* workstation)
    : scm_(scm), workstation_(workstation) {
    if (account_.empty()) {
        account_ = kLocalSystem;
    }
}

std::uint32_t ServiceControl::code() const {
    return scm_.lastError();
}

ServiceControl::Opened ServiceControl::open(std::uint32_t serviceAccess) {
    Opened o{ScHandleOwner(scm_), ScHandleOwner(scm_), 0};
    o.manager.reset(scm_.OpenSCManagerW(nullptr, nullptr, scm::kManagerConnect));
    if (!o.manager) {
        o.failure = code();
        return o;
    }
    o.service.reset(scm_.OpenServiceW(o.manager.get(), arg(name_), serviceAccess));
    if (!o.service) {
        o.failure = code();
    }
    return o;
}

std::int32_t ServiceControl::status() {
    return static_cast<std::int32_t>(readState().state); // every failure reads the same: 0
}

std::uint32_t ServiceControl::readStatus(ServiceStatus& out) {
    const Opened o = open(scm::kQueryStatus);
    if (!o.service) {
        return o.failure;
    }
    return scm_.QueryServiceStatus(o.service.get(), out) ? 0 : code();
}

std::uint32_t ServiceControl::start() {
    const Opened o = open(scm::kStart);
    if (!o.service) {
        return o.failure;
    }
    return scm_.StartServiceW(o.service.get(), 0, nullptr) ? 0 : code();
}

std::uint32_t ServiceControl::stop() {
    const Opened o = open(scm::kStop);
    if (!o.service) {
        return o.failure;
    }
    ServiceStatus status{};
    return scm_.ControlService(o.service.get(), scm::kControlStop, status) ? 0 : code();
}

ServiceControl::StateReading ServiceControl::readState() {
    const Opened o = open(scm::kQueryStatus);
    if (!o.service) {
        return {0, o.failure};
    }
    ServiceStatus status{};
    if (!scm_.QueryServiceStatus(o.service.get(), status)) {
        return {0, code()};
    }
    return {status.currentState, 0};
}

std::uint32_t ServiceControl::processId() {
    ServiceProcess reading;
    return readProcess(reading) == 0 ? reading.processId : 0;
}

std::uint32_t ServiceControl::readProcess(ServiceProcess& out) {
    const Opened o = open(scm::kQueryStatus);
    if (!o.service) {
        return o.failure;
    }
    return scm_.QueryServiceProcess(o.service.get(), out) ? 0 : code();
}

std::uint32_t ServiceControl::imagePath(std::wstring& out) {
    const Opened o = open(scm::kQueryConfig);
    if (!o.service) {
        return o.failure;
    }
    return scm_.QueryImagePath(o.service.get(), out) ? 0 : code();
}

std::uint32_t ServiceControl::activeDependents(std::vector<DependentService>& out) {
    out.clear();
    const Opened o = open(scm::kEnumerateDependents);
    if (!o.service) {
        return o.failure;
    }
    return scm_.ActiveDependents(o.service.get(), out) ? 0 : code();
}

std::uint32_t ServiceControl::startType(std::uint32_t& out) {
    const Opened o = open(scm::kQueryConfig);
    if (!o.service) {
        return o.failure;
    }
    return scm_.QueryStartType(o.service.get(), out) ? 0 : code();
}

std::uint32_t ServiceControl::changeStartType(std::uint32_t type) {
    const Opened o = open(scm::kChangeConfig);
    if (!o.service) {
        return o.failure;
    }
    return scm_.ChangeStartType(o.service.get(), type) ? 0 : code();
}

std::uint32_t ServiceControl::queryConfig() {
    const Opened o = open(scm::kQueryConfig);
    if (!o.service) {
        return o.failure;
    }
    const ScHandle service = o.service.get();
    // The buffer is counted in whole records so that its start stays aligned for the record.
    const std::uint32_t unit = scm_.configRecordSize();
    std::uint32_t needed = 0;
    auto buffer = std::make_unique<std::byte[]>(unit);
    if (scm_.QueryServiceConfigW(service, buffer.get(), unit, &needed)) {
        // Only a record with no texts at all would fit; take it as it is.
    } else {
        if (scm_.lastError() != err::kInsufficientBuffer) {
            return code();
        }
        const std::uint32_t units = needed / unit + 1;
        buffer = std::make_unique<std::byte[]>(static_cast<std::size_t>(units) * unit);
        if (!scm_.QueryServiceConfigW(service, buffer.get(), units * unit, &needed)) {
            return code();
        }
    }
    const wchar_t* startName = scm_.configStartName(buffer.get());
    account_ = startName ? std::wstring(startName, std::wcslen(startName)) : std::wstring();
    return 0;
}

std::wstring ServiceControl::logonDomain() {
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

std::uint32_t ServiceControl::install() {
    if (account_.empty()) {
        account_ = kLocalSystem;
    }
    if (account_ != kLocalSystem && account_.find(L'\\') == std::wstring::npos) {
        std::wstring domain = logonDomain();
        if (domain.empty()) {
            domain = L".";
        }
        account_ = domain + L"\\" + account_;
    }
    ScHandleOwner manager(scm_, scm_.OpenSCManagerW(nullptr, nullptr, scm::kManagerCreateService));
    if (!manager) {
        return code();
    }
    ScHandleOwner service(
        scm_, scm_.CreateServiceW(manager.get(), arg(name_), arg(displayName_), scm::kAllAccess,
                                  static_cast<std::uint32_t>(interact_),
                                  static_cast<std::uint32_t>(startType_), scm::kErrorNormal,
                                  arg(command_), nullptr, nullptr, nullptr, account_.c_str(),
                                  arg(password_)));
    if (!service) {
        return code();
    }
    try {
        scm_.ChangeServiceConfig2W(service.get(), scm::kConfigDescription, arg(description_));
    } catch (...) {
        // The description is a courtesy; the service exists either way.
    }
    return 0;
}

std::uint32_t ServiceControl::remove() {
    const Opened o = open(scm::kAllAccess);
    if (!o.service) {
        return o.failure;
    }
    ServiceStatus status{};
    scm_.ControlService(o.service.get(), scm::kControlStop, status); // deleted all the same
    return scm_.DeleteService(o.service.get()) ? 0 : code();
}

} // namespace kestrave
