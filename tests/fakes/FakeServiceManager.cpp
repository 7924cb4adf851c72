#include "tests/fakes/FakeServiceManager.h"

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

FakeServiceManager::Service* FakeServiceManager::opened(const std::wstring& name,
                                                        std::uint32_t access, std::uint32_t& code) {
    code = 0;
    if (managerUnavailable) {
        code = err::kServiceRequestTimeout;
    } else if ((scm::kManagerConnect & managerDeniedAccess) != 0) {
        code = err::kAccessDenied;
    } else if (name.empty()) {
        code = err::kInvalidParameter; // what the real manager says for a missing name
    } else if (const auto s = services.find(name); s == services.end()) {
        code = err::kServiceDoesNotExist;
    } else if (s->second.markedForDelete) {
        code = err::kServiceMarkedForDelete;
    } else if ((access & s->second.deniedAccess) != 0) {
        code = err::kAccessDenied;
    } else {
        return &s->second;
    }
    return nullptr;
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

std::uint32_t FakeServiceManager::queryStatus(const std::wstring& name, ServiceStatus& out) {
    std::uint32_t code = 0;
    if (opened(name, scm::kQueryStatus, code) == nullptr) {
        return code;
    }
    if (onQueryStatus) {
        onQueryStatus(); // the world may change between the open and the query
    }
    calls.push_back("query");
    ++statusQueries;
    const auto it = services.find(name);
    if (it == services.end()) {
        return err::kServiceDoesNotExist;
    }
    Service& s = it->second;
    settle(s);
    out = ServiceStatus{};
    out.serviceType = s.serviceType;
    out.currentState = s.state;
    out.win32ExitCode = s.exitCode;
    out.serviceSpecificExitCode = s.specificExitCode;
    return 0;
}

std::uint32_t FakeServiceManager::start(const std::wstring& name) {
    std::uint32_t code = 0;
    Service* s = opened(name, scm::kStart, code);
    if (s == nullptr) {
        return code;
    }
    calls.push_back("start");
    if (s->startType == 4) {
        return 1058; // ERROR_SERVICE_DISABLED
    }
    if (s->refuseStart != 0) {
        return s->refuseStart;
    }
    if (s->state != scm::kStopped && !s->processEnded) {
        return err::kServiceAlreadyRunning;
    }
    s->processEnded = false;
    s->processId = nextProcessId_++;
    s->state = scm::kStartPending;
    s->settlesTo = scm::kRunning;
    s->settleAfter = s->pendingQueries;
    return 0;
}

std::uint32_t FakeServiceManager::stop(const std::wstring& name) {
    std::uint32_t code = 0;
    Service* s = opened(name, scm::kStop, code);
    if (s == nullptr) {
        return code;
    }
    calls.push_back("control");
    if (s->state == scm::kStopped) {
        return err::kServiceNotActive;
    }
    if (s->refuseStop != 0) {
        return s->refuseStop;
    }
    if (s->state != scm::kRunning && s->state != scm::kPaused) {
        return err::kServiceCannotAcceptCtrl;
    }
    s->state = scm::kStopPending;
    s->settlesTo = s->stopNeverCompletes ? 0 : scm::kStopped;
    s->settleAfter = s->pendingQueries;
    return 0;
}

std::uint32_t FakeServiceManager::queryAccount(const std::wstring& name, std::wstring& out) {
    std::uint32_t code = 0;
    Service* s = opened(name, scm::kQueryConfig, code);
    if (s == nullptr) {
        return code;
    }
    calls.push_back("config");
    out = s->account;
    return 0;
}

std::uint32_t FakeServiceManager::queryImagePath(const std::wstring& name, std::wstring& out) {
    std::uint32_t code = 0;
    Service* s = opened(name, scm::kQueryConfig, code);
    if (s == nullptr) {
        return code;
    }
    calls.push_back("query-image");
    out = s->binaryPath;
    return 0;
}

std::uint32_t FakeServiceManager::queryStartType(const std::wstring& name, std::uint32_t& out) {
    std::uint32_t code = 0;
    Service* s = opened(name, scm::kQueryConfig, code);
    if (s == nullptr) {
        return code;
    }
    calls.push_back("query-start-type");
    out = s->startType;
    return 0;
}

std::uint32_t FakeServiceManager::changeStartType(const std::wstring& name,
                                                  std::uint32_t startType) {
    std::uint32_t code = 0;
    Service* s = opened(name, scm::kChangeConfig, code);
    if (s == nullptr) {
        return code;
    }
    calls.push_back("change-start-type");
    if (s->refuseStartTypeChange != 0) {
        return s->refuseStartTypeChange;
    }
    s->startType = startType;
    return 0;
}

std::uint32_t FakeServiceManager::activeDependents(const std::wstring& name,
                                                   std::vector<DependentService>& out) {
    out.clear();
    std::uint32_t code = 0;
    if (opened(name, scm::kEnumerateDependents, code) == nullptr) {
        return code;
    }
    calls.push_back("dependents");
    if (dependentsUnsupported) {
        return 120; // ERROR_CALL_NOT_IMPLEMENTED
    }
    for (const auto& [other, s] : services) {
        for (const auto& needed : s.dependsOn) {
            if (needed == name && s.state != scm::kStopped) {
                out.push_back({other, s.state});
            }
        }
    }
    return 0;
}

std::uint32_t FakeServiceManager::create(const NewService& made) {
    if (managerUnavailable) {
        return err::kServiceRequestTimeout;
    }
    if ((scm::kManagerCreateService & managerDeniedAccess) != 0) {
        return err::kAccessDenied;
    }
    calls.push_back("create");
    lastCreated = made;
    if (!made.name || !made.command || (made.serviceType & 0x30) == 0 || made.startType > 4) {
        return err::kInvalidParameter;
    }
    if (services.count(*made.name) != 0) {
        return err::kServiceExists;
    }
    Service& s = services[*made.name];
    s.serviceType = made.serviceType;
    s.startType = made.startType;
    s.displayName = made.displayName.value_or(*made.name);
    s.binaryPath = *made.command;
    s.account = made.account;
    s.hasDescription = !descriptionUnsupported && made.description.has_value();
    s.description = s.hasDescription ? *made.description : L"";
    return 0;
}

std::uint32_t FakeServiceManager::remove(const std::wstring& name) {
    std::uint32_t code = 0;
    Service* s = opened(name, scm::kAllAccess, code);
    if (s == nullptr) {
        return code;
    }
    stop(name); // deleted all the same
    calls.push_back("delete");
    if (s->state == scm::kStopped || s->state == scm::kStopPending) {
        services.erase(name);
    } else {
        s->markedForDelete = true;
    }
    return 0;
}

std::uint32_t FakeServiceManager::queryProcess(const std::wstring& name, ServiceProcess& out) {
    std::uint32_t code = 0;
    if (opened(name, scm::kQueryStatus, code) == nullptr) {
        return code;
    }
    calls.push_back("query-process");
    if (onQueryProcess) {
        onQueryProcess();
    }
    const auto it = services.find(name);
    if (it == services.end()) {
        return err::kServiceDoesNotExist;
    }
    Service& s = it->second;
    settle(s);
    out.state = s.state;
    out.serviceType = s.serviceType;
    out.processId = s.state == scm::kStopped || s.processEnded ? 0 : s.processId;
    return 0;
}

std::wstring FakeServiceManager::imageOfProcess(std::uint32_t processId) const {
    for (const auto& [name, s] : services) {
        if (s.processId == processId && s.state != scm::kStopped) {
            return s.binaryPath;
        }
    }
    return {};
}

void FakeServiceManager::processEnded(std::uint32_t processId) {
    for (auto& [name, s] : services) {
        if (s.processId == processId && s.state != scm::kStopped) {
            s.processEnded = true;
        }
    }
}

} // namespace kestrave::fake
