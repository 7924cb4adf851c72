#pragma once
#include <functional>

#include "platform/IServiceManager.h"
#include "platform/win32/Handles.h"
#include "platform/win32/Win32Api.h"

namespace kestrave::win32 {

// advapi32's Service Control Manager, one operation a call: the manager and the service are
// opened with the rights that operation needs, owned here, and closed before it returns
// (service first). The code is taken right after the call that failed: closing the handles
// may change the thread's last-error value.
class Win32ServiceManager : public IServiceManager {
  public:
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

  private:
    // A connection and the named service, opened with `access`; `code` says why not.
    struct Opened {
        UniqueScHandle manager;
        UniqueScHandle service;
        DWORD code = 0;
    };
    static Opened open(const std::wstring& service, DWORD access);
    // The named service's configuration record, handed to `take` while its buffer lives.
    static std::uint32_t withConfig(const std::wstring& service,
                                    const std::function<void(const QUERY_SERVICE_CONFIGW&)>& take);
};

} // namespace kestrave::win32
