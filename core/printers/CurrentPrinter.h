#pragma once
#include <optional>
#include <string>

#include "platform/IPrinters.h"

namespace kestrave {

// The program's current printer: the user's default printer at first, replaceable after.
class CurrentPrinter {
  public:
    explicit CurrentPrinter(IPrinters& printers) : printers_(printers) {}
    // Its device name; empty when there is no printer at all.
    std::wstring deviceName() {
        if (!known_) {
            name_ = printers_.defaultPrinter().value_or(std::wstring());
            known_ = true;
        }
        return name_;
    }
    void replace(const std::wstring& deviceName) {
        name_ = deviceName;
        known_ = true;
    }

  private:
    IPrinters& printers_;
    std::wstring name_;
    bool known_ = false;
};

} // namespace kestrave
