#pragma once
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kestrave {

// The printers installed for the user, in the system's order.
class IPrinters {
  public:
    virtual ~IPrinters() = default;
    // Throws SystemError when the list cannot be read.
    virtual std::vector<std::wstring> enumPrinters() = 0;
    // The user's default printer, none when there is none.
    virtual std::optional<std::wstring> defaultPrinter() = 0;
    // Makes a printer the user's default directly: 0 or the system's code.
    virtual std::uint32_t setDefaultPrinter(const std::wstring& name) = 0;
};

// The scripting network object, called by member name at run time.
class INetworkObject {
  public:
    virtual ~INetworkObject() = default;
    // Throws SystemError when the object refuses.
    virtual void setDefaultPrinter(const std::wstring& name) = 0;
};

class INetworkObjectFactory {
  public:
    virtual ~INetworkObjectFactory() = default;
    // Throws SystemError when the object cannot be created.
    virtual std::unique_ptr<INetworkObject> create(const std::wstring& progId) = 0;
};

} // namespace kestrave
