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
    try {
        auto net = network_.create(L"WScript.Network");
        net->setDefaultPrinter(deviceName);
        return true;
    } catch (const SystemError&) {
        // Script Host disabled or the object refused: the system call does the same job.
    }
    return printers_.setDefaultPrinter(deviceName) == 0;
}

void DefaultPrinter::setDefaultPrinter(const std::wstring& deviceName) {
    const std::vector<std::wstring> list = installedPrinters(printers_);
    std::int32_t position = 0;
    for (const std::wstring& printer : list) {
        if (printer == deviceName) {
            const std::wstring& atPosition = list[static_cast<std::size_t>(position)];
            if (setSystemDefault(atPosition)) {
                current_.replace(atPosition);
            }
            break;
        }
        ++position;
    }
}

} // namespace kestrave
