// Where a plug-in lives in the spooler's registry, and which printers it serves.
#include "core/plugins/PlugInQuarantine.h"

#include "core/plugins/PlugInNames.h"

namespace kestrave::plugins {

LivePlugIn findPlugIn(IRegistry& registry, IDiagnosisSources& sources, const std::wstring& name) {
    LivePlugIn found;
    const struct {
        PlugInKind kind;
        std::wstring folder;
    } places[] = {{PlugInKind::Processor, processorsKey(sources.spoolerEnvironment())},
                  {PlugInKind::Monitor, kMonitorsKey}};
    for (const auto& place : places) {
        std::vector<std::wstring> names;
        if (registry.machineSubKeys(place.folder, names) != 0) {
            continue;
        }
        for (const std::wstring& n : names) {
            if (sameName(n, name)) {
                found = {true, place.kind, n, place.folder + L"\\" + n, {}};
                break;
            }
        }
        if (found.found) {
            break;
        }
    }
    if (found.found) {
        const std::vector<PlugIn> listed = found.kind == PlugInKind::Processor
                                               ? sources.printProcessors()
                                               : sources.portMonitors();
        for (const PlugIn& p : listed) {
            if (sameName(p.name, found.name)) {
                found.file = p.path.empty() ? p.driver : p.path;
            }
        }
    }
    return found;
}

std::vector<PrinterUse> printersUsing(IRegistry& registry, const std::wstring& processor) {
    std::vector<PrinterUse> out;
    std::vector<std::wstring> printers;
    registry.machineSubKeys(kPrintersKey, printers);
    for (const std::wstring& p : printers) {
        const std::wstring key = std::wstring(kPrintersKey) + L"\\" + p;
        if (sameName(readText(registry, key, L"Print Processor"), processor)) {
            out.push_back({p, readText(registry, key, L"Print Processor"),
                           readText(registry, key, L"Datatype")});
        }
    }
    return out;
}

std::vector<std::wstring> printersWaitingFor(IRegistry& registry, const std::wstring& environment,
                                             const LivePlugIn& monitor) {
    std::vector<std::wstring> out;
    if (!monitor.found || monitor.kind != PlugInKind::Monitor) {
        return out;
    }
    // Its ports: what it keeps under Ports, as keys or as values.
    std::vector<std::wstring> ports;
    registry.machineSubKeys(monitor.key + L"\\Ports", ports);
    RegistryKeyCopy portValues;
    if (registry.readMachineKey(monitor.key + L"\\Ports", portValues) == 0) {
        for (const auto& [name, data] : portValues.values) {
            ports.push_back(name);
        }
    }
    std::vector<std::wstring> printers;
    registry.machineSubKeys(kPrintersKey, printers);
    const std::wstring drivers = std::wstring(kPrintKey) + L"\\Environments\\" + environment +
                                 L"\\Drivers";
    std::vector<std::wstring> versions;
    registry.machineSubKeys(drivers, versions);
    for (const std::wstring& p : printers) {
        const std::wstring key = std::wstring(kPrintersKey) + L"\\" + p;
        bool waits = false;
        // A printer may print to several ports, named with commas between them.
        std::wstring portList = readText(registry, key, L"Port") + L",";
        for (std::size_t from = 0, comma; (comma = portList.find(L',', from)) != std::wstring::npos;
             from = comma + 1) {
            std::wstring port = portList.substr(from, comma - from);
            while (!port.empty() && port.front() == L' ') {
                port.erase(0, 1);
            }
            for (const std::wstring& own : ports) {
                waits = waits || (!port.empty() && sameName(port, own));
            }
        }
        const std::wstring driver = readText(registry, key, L"Printer Driver");
        for (const std::wstring& v : versions) {
            waits = waits || (!driver.empty() &&
                              sameName(readText(registry, drivers + L"\\" + v + L"\\" + driver,
                                                L"Monitor"),
                                       monitor.name));
        }
        if (waits) {
            out.push_back(p);
        }
    }
    return out;
}

} // namespace kestrave::plugins
