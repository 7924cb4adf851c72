#include "tests/fakes/FakeServiceManager.h"

#include <cstring>
#include <cwchar>

#include "platform/SystemError.h"

namespace kestrave::fake {

FakeServiceManager::Service& FakeServiceManager::add(const std::wstring& name,
                                                     std::uint32_t state) {
    Service& s = services[name];
    s.state = state;
    if (state != scm::kStopped) {
        s.processId = nextProcessId_++;
    }
    return s;
}

ScHandle FakeServiceManager::OpenSCManagerW(const wchar_t*, const wchar_t*, std::uint32_t access) {
    calls.push_back("open-manager");
    if (managerUnavailable) {
        fail(err::kServiceRequestTimeout);
        return 0;
    }
    if ((access & managerDeniedAccess) != 0) {
        fail(err::kAccessDenied);
        return 0;
    }
    const ScHandle h = next_++;
    handles_[h] = Handle{true, L"", access};
    return h;
}

ScHandle FakeServiceManager::OpenServiceW(ScHandle manager, const wchar_t* name,
                                          std::uint32_t access) {
    calls.push_back("open-service");
    const auto m = handles_.find(manager);
    if (m == handles_.end() || !m->second.isManager) {
        fail(err::kInvalidHandle);
        return 0;
    }
    if (name == nullptr) {
        fail(err::kInvalidParameter); // what the real manager says for a missing name
        return 0;
    }
    const auto s = services.find(name);
    if (s == services.end() || s->second.markedForDelete) {
        fail(s == services.end() ? err::kServiceDoesNotExist : err::kServiceMarkedForDelete);
        return 0;
    }
    if ((access & s->second.deniedAccess) != 0) {
        fail(err::kAccessDenied);
        return 0;
    }
    const ScHandle h = next_++;
    handles_[h] = Handle{false, name, access};
    return h;
}

FakeServiceManager::Service* FakeServiceManager::serviceOf(ScHandle h) {
    const auto it = handles_.find(h);
    if (it == handles_.end() || it->second.isManager) {
        lastError_ = err::kInvalidHandle;
        return nullptr;
    }
    const auto s = services.find(it->second.service);
    if (s == services.end()) {
        lastError_ = err::kServiceDoesNotExist;
        return nullptr;
    }
    return &s->second;
}

void FakeServiceManager::settle(Service& s) {
    if (s.settlesTo == 0) {
        return;
    }
    if (s.settleAfter > 0) {
        --s.settleAfter;
        return;
    }
    s.state = s.settlesTo;
    s.settlesTo = 0;
}

bool FakeServiceManager::QueryServiceStatus(ScHandle service, ServiceStatus& status) {
    if (onQueryStatus) {
        onQueryStatus();
    }
    calls.push_back("query");
    ++statusQueries;
    Service* s = serviceOf(service);
    if (s == nullptr) {
        return false;
    }
    settle(*s);
    status = ServiceStatus{};
    status.serviceType = s->serviceType;
    status.currentState = s->state;
    status.win32ExitCode = s->exitCode;
    status.serviceSpecificExitCode = s->specificExitCode;
    return true;
}

bool FakeServiceManager::StartServiceW(ScHandle service, std::uint32_t, const wchar_t**) {
    calls.push_back("start");
    Service* s = serviceOf(service);
    if (s == nullptr) {
        return false;
    }
    if (s->startType == 4) {
        return fail(1058); // ERROR_SERVICE_DISABLED
    }
    if (s->refuseStart != 0) {
        return fail(s->refuseStart);
    }
    if (s->state != scm::kStopped && !s->processEnded) {
        return fail(err::kServiceAlreadyRunning);
    }
    s->processEnded = false;
    s->processId = nextProcessId_++;
    s->state = scm::kStartPending;
    s->settlesTo = scm::kRunning;
    s->settleAfter = s->pendingQueries;
    return true;
}

bool FakeServiceManager::ControlService(ScHandle service, std::uint32_t control,
                                        ServiceStatus& status) {
    calls.push_back("control");
    Service* s = serviceOf(service);
    if (s == nullptr) {
        return false;
    }
    if (control != scm::kControlStop) {
        return fail(err::kInvalidParameter);
    }
    if (s->state == scm::kStopped) {
        return fail(err::kServiceNotActive);
    }
    if (s->refuseStop != 0) {
        return fail(s->refuseStop);
    }
    if (s->state != scm::kRunning && s->state != scm::kPaused) {
        return fail(err::kServiceCannotAcceptCtrl);
    }
    s->state = scm::kStopPending;
    s->settlesTo = s->stopNeverCompletes ? 0 : scm::kStopped;
    s->settleAfter = s->pendingQueries;
    status.currentState = s->state;
    return true;
}

bool FakeServiceManager::CloseServiceHandle(ScHandle handle) {
    const auto it = handles_.find(handle);
    if (it == handles_.end()) {
        calls.push_back("close-invalid");
        return fail(err::kInvalidHandle);
    }
    calls.push_back(it->second.isManager ? "close-manager" : "close-service");
    handles_.erase(it);
    return true;
}

bool FakeServiceManager::QueryServiceConfigW(ScHandle service, void* buffer, std::uint32_t size,
                                             std::uint32_t* needed) {
    calls.push_back("config");
    Service* s = serviceOf(service);
    if (s == nullptr) {
        return false;
    }
    if (growConfigAfterFirstQuery && configQueries_++ == 1) {
        s->account += std::wstring(40, L'x');
    }
    const std::uint32_t textBytes =
        static_cast<std::uint32_t>((s->account.size() + 1) * sizeof(wchar_t));
    *needed = kRecord + textBytes;
    if (size < *needed) {
        return fail(err::kInsufficientBuffer);
    }
    auto* bytes = static_cast<unsigned char*>(buffer);
    std::memset(bytes, 0, size);
    std::memcpy(bytes + kRecord, s->account.c_str(), textBytes);
    return true;
}

const wchar_t* FakeServiceManager::configStartName(const void* buffer) const {
    return reinterpret_cast<const wchar_t*>(static_cast<const unsigned char*>(buffer) + kRecord);
}

ScHandle FakeServiceManager::CreateServiceW(ScHandle manager, const wchar_t* name,
                                            const wchar_t* displayName, std::uint32_t access,
                                            std::uint32_t serviceType, std::uint32_t startType,
                                            std::uint32_t errorControl, const wchar_t* binaryPath,
                                            const wchar_t* loadOrderGroup, std::uint32_t* tagId,
                                            const wchar_t* dependencies, const wchar_t* startName,
                                            const wchar_t* password) {
    calls.push_back("create");
    const auto text = [](const wchar_t* t) {
        return t ? std::wstring(t) : std::wstring(L"<null>");
    };
    lastCreateArgs = {text(name),
                      text(displayName),
                      std::to_wstring(access),
                      std::to_wstring(serviceType),
                      std::to_wstring(startType),
                      std::to_wstring(errorControl),
                      text(binaryPath),
                      text(loadOrderGroup),
                      tagId ? L"tag" : L"<null>",
                      text(dependencies),
                      text(startName),
                      text(password)};
    const auto m = handles_.find(manager);
    if (m == handles_.end() || !m->second.isManager) {
        fail(err::kInvalidHandle);
        return 0;
    }
    if (name == nullptr || binaryPath == nullptr || (serviceType & 0x30) == 0 || startType > 4) {
        fail(err::kInvalidParameter);
        return 0;
    }
    if (services.count(name) != 0) {
        fail(err::kServiceExists);
        return 0;
    }
    Service& s = services[name];
    s.serviceType = serviceType;
    s.startType = startType;
    s.displayName = displayName ? displayName : name;
    s.binaryPath = binaryPath;
    s.account = startName ? startName : L"LocalSystem";
    const ScHandle h = next_++;
    handles_[h] = Handle{false, name, access};
    return h;
}

bool FakeServiceManager::ChangeServiceConfig2W(ScHandle service, std::uint32_t,
                                               const wchar_t* description) {
    calls.push_back("describe");
    if (descriptionUnsupported) {
        throw SystemError(127, "ChangeServiceConfig2W is not available");
    }
    Service* s = serviceOf(service);
    if (s == nullptr) {
        return false;
    }
    s->hasDescription = description != nullptr;
    s->description = description ? description : L"";
    return true;
}

bool FakeServiceManager::DeleteService(ScHandle service) {
    calls.push_back("delete");
    Service* s = serviceOf(service);
    if (s == nullptr) {
        return false;
    }
    if (s->markedForDelete) {
        return fail(err::kServiceMarkedForDelete);
    }
    const auto it = handles_.find(service);
    const std::wstring name = it->second.service;
    if (s->state == scm::kStopped || s->state == scm::kStopPending) {
        services.erase(name);
    } else {
        s->markedForDelete = true;
    }
    return true;
}

bool FakeServiceManager::QueryServiceProcess(ScHandle service, ServiceProcess& out) {
    calls.push_back("query-process");
    if (onQueryProcess) {
        onQueryProcess();
    }
    Service* s = serviceOf(service);
    if (s == nullptr) {
        return false;
    }
    settle(*s);
    out.state = s->state;
    out.serviceType = s->serviceType;
    out.processId = s->state == scm::kStopped || s->processEnded ? 0 : s->processId;
    return true;
}

bool FakeServiceManager::QueryImagePath(ScHandle service, std::wstring& out) {
    calls.push_back("query-image");
    Service* s = serviceOf(service);
    if (s == nullptr) {
        return false;
    }
    out = s->binaryPath;
    return true;
}

std::wstring FakeServiceManager::imageOfProcess(std::uint32_t processId) const {
    for (const auto& [name, s] : services) {
        if (s.processId == processId && s.state != scm::kStopped) {
            return s.binaryPath;
        }
    }
    return {};
}

bool FakeServiceManager::ActiveDependents(ScHandle service, std::vector<DependentService>& out) {
    calls.push_back("dependents");
    out.clear();
    if (dependentsUnsupported) {
        return fail(120); // ERROR_CALL_NOT_IMPLEMENTED
    }
    const auto it = handles_.find(service);
    if (serviceOf(service) == nullptr) {
        return false;
    }
    for (const auto& [name, other] : services) {
        for (const auto& needed : other.dependsOn) {
            if (needed == it->second.service && other.state != scm::kStopped) {
                out.push_back({name, other.state});
            }
        }
    }
    return true;
}

bool FakeServiceManager::QueryStartType(ScHandle service, std::uint32_t& startType) {
    calls.push_back("query-start-type");
    Service* s = serviceOf(service);
    if (s == nullptr) {
        return false;
    }
    startType = s->startType;
    return true;
}

bool FakeServiceManager::ChangeStartType(ScHandle service, std::uint32_t startType) {
    calls.push_back("change-start-type");
    Service* s = serviceOf(service);
    if (s == nullptr) {
        return false;
    }
    if (s->refuseStartTypeChange != 0) {
        return fail(s->refuseStartTypeChange);
    }
    s->startType = startType;
    return true;
}

void FakeServiceManager::processEnded(std::uint32_t processId) {
    for (auto& [name, s] : services) {
        if (s.processId == processId && s.state != scm::kStopped) {
            s.processEnded = true;
        }
    }
}

} // namespace kestrave::fake
