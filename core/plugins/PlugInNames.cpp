#include "core/plugins/PlugInNames.h"

#include <cwctype>

namespace kestrave::plugins {

namespace {
// What Windows installs under Print Processors and Monitors, in any of its editions or
// optional features, by the key names it gives them.
constexpr const wchar_t* kWindowsOwn[] = {
    L"winprint",                      // the print processor (winprint.dll)
    L"Local Port",                    // localspl.dll: LPT, COM, FILE:, local ports
    L"Standard TCP/IP Port",          // tcpmon.dll
    L"USB Monitor",                   // usbmon.dll
    L"WSD Port",                      // wsdmon.dll: Web Services for Devices
    L"Microsoft Shared Fax Monitor",  // fxsmon.dll: the fax service
    L"Appmon",                        // appmon.dll: printing from Store apps
    L"LPR Port",                      // lprmon.dll: the LPR Port Monitor feature
    L"PJL Language Monitor",          // pjlmon.dll: in-box PJL drivers
    L"BJ Language Monitor",           // cnbjmon.dll: in-box Canon BJ drivers
    L"Microsoft Document Imaging Writer Monitor", // mdimon.dll
    L"Universal Print Monitor",       // the cloud print connector
    L"IPP Port",                      // the Internet Printing Protocol class driver
};

wchar_t folded(wchar_t c) {
    return static_cast<wchar_t>(std::towupper(c));
}
} // namespace

std::wstring processorsKey(const std::wstring& environment) {
    return std::wstring(kPrintKey) + L"\\Environments\\" + environment + L"\\Print Processors";
}

bool sameName(const std::wstring& a, const std::wstring& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (folded(a[i]) != folded(b[i])) {
            return false;
        }
    }
    return true;
}

bool isWindowsOwn(const std::wstring& name) {
    for (const wchar_t* own : kWindowsOwn) {
        if (sameName(name, own)) {
            return true;
        }
    }
    return false;
}

bool claimsSystemMaker(const std::wstring& company, const std::wstring& systemMaker) {
    std::wstring c = company;
    for (wchar_t& ch : c) {
        ch = folded(ch);
    }
    return (!systemMaker.empty() && sameName(company, systemMaker)) ||
           c.find(L"MICROSOFT") != std::wstring::npos;
}

} // namespace kestrave::plugins
