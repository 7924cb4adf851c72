#pragma once
#include "platform/IServiceManager.h"
#include "platform/win32/Win32Api.h"

namespace kestrave::win32 {

// advapi32's Service Control Manager functions, passed through argument for argument, and a
// few calls at the level of what the program wants from them.
class Win32ServiceManager : public IServiceManager {
  public:
    ScHandle OpenSCManagerW(const wchar_t* machine, const wchar_t* database,
                            std::uint32_t access) override;
    ScHandle OpenServiceW(ScHandle manager, const wchar_t* name, std::uint32_t access) override;
    bool QueryServiceStatus(ScHandle service, ServiceStatus& status) override;
    bool StartServiceW(ScHandle service, std::uint32_t argc, const wchar_t** argv) override;
    bool ControlService(ScHandle service, std::uint32_t control, ServiceStatus& status) override;
    bool CloseServiceHandle(ScHandle handle) override;
    std::uint32_t configRecordSize() const override;
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
    bool ActiveDependents(ScHandle service, std::vector<DependentService>& out) override;
    bool QueryStartType(ScHandle service, std::uint32_t& startType) override;
    bool ChangeStartType(ScHandle service, std::uint32_t startType) override;
    std::uint32_t lastError() const override;

  private:
    // Per thread: the diagnosis reads the manager on a thread of its own while the window's
    // refresh reads it on the window's thread.
    static inline thread_local std::uint32_t last_ = 0;
    bool keep(BOOL ok) {
        last_ = ok ? 0 : ::GetLastError();
        return ok != FALSE;
    }
};

} // namespace kestrave::win32
