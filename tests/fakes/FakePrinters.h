#pragma once
#include <memory>
#include <string>
#include <vector>

#include "platform/IPrinters.h"
#include "platform/SystemError.h"

namespace kestrave::fake {

class FakePrinters : public IPrinters {
  public:
    std::vector<std::wstring> printers;
    std::optional<std::wstring> systemDefault;
    bool listFails = false;
    bool setRefused = false;
    int directSets = 0;

    std::vector<std::wstring> enumPrinters() override {
        if (listFails) {
            throw SystemError(1722, "printer list unavailable");
        }
        return printers;
    }
    std::optional<std::wstring> defaultPrinter() override { return systemDefault; }
    std::uint32_t setDefaultPrinter(const std::wstring& name) override {
        ++directSets;
        for (const auto& p : printers) {
            if (p == name && !setRefused) {
                systemDefault = name;
                return 0;
            }
        }
        return err::kInvalidPrinterName;
    }
};

// The scripting network object: can be missing, or refuse every name.
class FakeNetworkFactory : public INetworkObjectFactory {
  public:
    explicit FakeNetworkFactory(FakePrinters& printers) : printers_(printers) {}
    bool missing = false;
    bool refuses = false;
    int created = 0;
    int released = 0;
    std::vector<std::wstring> progIds;
    std::vector<std::wstring> setNames;

    std::unique_ptr<INetworkObject> create(const std::wstring& progId) override {
        progIds.push_back(progId);
        if (missing) {
            throw SystemError(0x800401F3u, "invalid class string");
        }
        ++created;
        return std::make_unique<Object>(*this);
    }

  private:
    class Object : public INetworkObject {
      public:
        explicit Object(FakeNetworkFactory& f) : f_(f) {}
        ~Object() override { ++f_.released; }
        void setDefaultPrinter(const std::wstring& name) override {
            f_.setNames.push_back(name);
            if (f_.refuses) {
                throw SystemError(0x80020009u, "exception occurred");
            }
            f_.printers_.systemDefault = name;
        }

      private:
        FakeNetworkFactory& f_;
    };
    FakePrinters& printers_;
};

} // namespace kestrave::fake
