#pragma once
// The stage of the quarantine's tests: a vendor's print processor used by two printers (every
// kind of value, keys inside keys, security descriptors), winprint beside it, and on demand a
// port monitor with ports and a driver naming it as its language monitor.
#include <gtest/gtest.h>

#include <algorithm>

#include "core/plugins/PlugInQuarantine.h"
#include "tests/fakes/FakeConsole.h"
#include "tests/fakes/KeepScene.h"

namespace kestrave::test {

const std::wstring kProcessors =
    L"SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\Windows x64\\Print Processors";
const std::wstring kAcme = kProcessors + L"\\AcmeFastPrint";
const std::wstring kMonitor = L"SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\Acme Port";
const std::wstring kPrinters = L"SYSTEM\\CurrentControlSet\\Control\\Print\\Printers";
const std::wstring kDrivers =
    L"SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\Windows x64\\Drivers\\Version-3";

struct QuarantineStage : KeepStage {
    QuarantineStage() {
        w.registry.setString(kProcessors + L"\\winprint", L"Driver", L"winprint.dll");
        // Every kind of value a vendor's key holds, and keys inside keys.
        w.registry.setString(kAcme, L"Driver", L"acmepp.dll");
        w.registry.setRaw(kAcme, L"Blob", reg::kBinary, {0, 1, 2, 0xFF});
        w.registry.setRaw(kAcme, L"Empty", reg::kBinary, {});
        w.registry.setRaw(kAcme, L"Nothing", reg::kNone, {});
        w.registry.setString(kAcme, L"Types", L"ACME_EMF\0ACME_RAW\0", reg::kMultiSz);
        w.registry.setString(kAcme, L"Home", L"%ProgramFiles%\\Acme", reg::kExpandSz);
        w.registry.setRaw(kAcme, L"Big", reg::kQword, {1, 2, 3, 4, 5, 6, 7, 8});
        w.registry.setDword(kAcme + L"\\Options\\Deeper", L"Level", 3);
        w.registry.security[kAcme] = {1, 0, 4, 0x80, 9, 9};
        w.registry.security[kAcme + L"\\Options"] = {1, 0, 4, 0x80, 7, 7};
        printer(L"Office", L"AcmeFastPrint", L"ACME_EMF", L"IP_10.0.0.5", L"Acme Laser");
        printer(L"Lobby", L"acmefastprint", L"RAW", L"LPT1:", L"Acme Laser");
        printer(L"Plain", L"winprint", L"RAW", L"LPT2:", L"Generic");
        w.diagnosis.processors.push_back({L"AcmeFastPrint", L"acmepp.dll", L"C:\\pp\\acmepp.dll"});
        w.diagnosis.files[L"C:\\pp\\acmepp.dll"] = {true, L"Acme Corporation"};
    }
    void printer(const std::wstring& name, const std::wstring& processor,
                 const std::wstring& datatype, const std::wstring& port,
                 const std::wstring& driver) {
        const std::wstring key = kPrinters + L"\\" + name;
        w.registry.setString(key, L"Print Processor", processor);
        w.registry.setString(key, L"Datatype", datatype);
        w.registry.setString(key, L"Port", port);
        w.registry.setString(key, L"Printer Driver", driver);
    }
    void monitor() {
        w.registry.setString(kMonitor, L"Driver", L"acmemon.dll");
        w.registry.setString(kMonitor + L"\\Ports\\ACME_USB001", L"Description", L"USB");
        w.registry.setString(kMonitor + L"\\Ports", L"ACME_NET:", L"");
        w.registry.setString(kDrivers + L"\\Acme Laser", L"Monitor", L"Acme Port");
        printer(L"Desk", L"winprint", L"RAW", L"ACME_USB001", L"Generic");
        printer(L"Hall", L"winprint", L"RAW", L"LPT3:, ACME_NET:", L"Generic");
    }
    Outcome run(const std::wstring& name, bool back = false, bool force = false) {
        return plugins::PlugInQuarantine(world(), w.diagnosis, w.eventLog, steps, {name, back, force}).run();
    }
    std::wstring text(const std::wstring& key, const std::wstring& name) {
        const RegistryData* d = w.registry.find(key, name);
        if (d == nullptr) {
            return L"(none)";
        }
        std::wstring s;
        for (std::size_t i = 0; i + 1 < d->bytes.size(); i += 2) {
            s += static_cast<wchar_t>(d->bytes[i] | (d->bytes[i + 1] << 8));
        }
        return s.empty() ? s : s.substr(0, s.size() - 1);
    }
    // Everything but the quarantine itself (and the empty key it sits in).
    std::map<std::wstring, fake::FakeRegistry::Values, fake::NoCase> live() {
        auto k = w.registry.keys;
        for (auto i = k.begin(); i != k.end();) {
            i = i->first.rfind(L"SOFTWARE", 0) == 0 ? k.erase(i) : std::next(i);
        }
        return k;
    }
    int cli(std::vector<std::wstring> args, fake::FakeConsole& console) {
        fake::FakeLogFile log;
        cli::CliWorld world = commandLine(console, log);
        return runCommandLine(cli::parseArguments(args), world);
    }
    static bool has(const std::vector<Problem>& list, ProblemKind kind, const std::wstring& s) {
        return std::any_of(list.begin(), list.end(),
                           [&](const Problem& p) { return p.kind == kind && p.subject == s; });
    }
};

} // namespace kestrave::test
