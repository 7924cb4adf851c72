#pragma once
#include <string>
#include <vector>

#include "platform/IPrinters.h"
#include "core/printers/CurrentPrinter.h"

namespace kestrave {

// The installed printers' device names in the system's order; empty when they can't be read.
std::vector<std::wstring> installedPrinters(IPrinters& printers);

class DefaultPrinter {
  public:
    DefaultPrinter(IPrinters& printers, INetworkObjectFactory& network, CurrentPrinter& current)
        : printers_(printers), network_(network), current_(current) {}

    // Makes the printer of exactly that device name the user's default printer and the
    // program's current printer. Success is what the system says: the default printer read
    // back names it; only then does the current printer change.
    bool setDefaultPrinter(const std::wstring& deviceName);

  private:
    bool setSystemDefault(const std::wstring& deviceName);

    IPrinters& printers_;
    INetworkObjectFactory& network_;
    CurrentPrinter& current_;
};

} // namespace kestrave
