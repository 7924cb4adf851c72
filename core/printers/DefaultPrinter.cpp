#include "core/printers/DefaultPrinter.h"

#include <cstdint>

#include "platform/SystemError.h"

namespace kestrave {

std::vector<std::wstring> installedPrinters(IPrinters& printers) {
    try {
        return printers.enumPrinters();
    } catch (const SystemError&) {
        return {};
    }
}

bool DefaultPrinter::setSystemDefault(const std::wstring& deviceName) {
    // Whatever either way answers, the system's own default printer, read back, is the judge.
    try {
        auto net = network_.create(L"WScript.Network");
        net->setDefaultPrinter(deviceName);
        if (printers_.defaultPrinter() == deviceName) {
            return true;
        }
    } catch (const SystemError&) {
        // Script Host disabled or the object refused: the system call does the same job.
    }
    return printers_.setDefaultPrinter(deviceName) == 0 && printers_.defaultPrinter() == deviceName;
}

bool DefaultPrinter::setDefaultPrinter(const std::wstring& deviceName) {
    const std::vector<std::wstring> list = installedPrinters(printers_);
    for (const std::wstring& printer : list) {
        if (printer == deviceName) {
            if (!setSystemDefault(printer)) {
                return false;
            }
            current_.replace(printer);
            return true;
        }
    }
    return false;
}

} // namespace kestrave
