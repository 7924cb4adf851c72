#include "core/service/ServiceControl.h"

#include <cwchar>

#include "platform/IWorkstation.h"
#include "platform/SystemError.h"

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

std::int32_t ServiceControl::status() {
    return static_cast<std::int32_t>(readState().state); // every failure reads the same: 0
}

std::uint32_t ServiceControl::readStatus(ServiceStatus& out) {
    return scm_.queryStatus(service(), out);
}

std::uint32_t ServiceControl::start() {
    return scm_.start(service());
}

std::uint32_t ServiceControl::stop() {
    return scm_.stop(service());
}

ServiceControl::StateReading ServiceControl::readState() {
    ServiceStatus status{};
    if (const std::uint32_t code = scm_.queryStatus(service(), status); code != 0) {
        return {0, code};
    }
    return {status.currentState, 0};
}

std::uint32_t ServiceControl::processId() {
    ServiceProcess reading;
    return readProcess(reading) == 0 ? reading.processId : 0;
}

std::uint32_t ServiceControl::readProcess(ServiceProcess& out) {
    return scm_.queryProcess(service(), out);
}

std::uint32_t ServiceControl::imagePath(std::wstring& out) {
    return scm_.queryImagePath(service(), out);
}

std::uint32_t ServiceControl::activeDependents(std::vector<DependentService>& out) {
    out.clear();
    return scm_.activeDependents(service(), out);
}

std::uint32_t ServiceControl::startType(std::uint32_t& out) {
    return scm_.queryStartType(service(), out);
}

std::uint32_t ServiceControl::changeStartType(std::uint32_t type) {
    return scm_.changeStartType(service(), type);
}

std::uint32_t ServiceControl::queryConfig() {
    std::wstring account;
    const std::uint32_t code = scm_.queryAccount(service(), account);
    if (code == 0) {
        account_ = account;
    }
    return code;
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
    NewService made;
    made.name = name_;
    made.displayName = displayName_;
    made.description = description_;
    made.command = command_;
    made.password = password_;
    made.account = account_;
    made.serviceType = static_cast<std::uint32_t>(interact_);
    made.startType = static_cast<std::uint32_t>(startType_);
    return scm_.create(made);
}

std::uint32_t ServiceControl::remove() {
    return scm_.remove(service());
}

} // namespace kestrave
