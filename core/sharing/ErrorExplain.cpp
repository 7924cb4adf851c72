#include "core/sharing/SharingReport.h"

#include <cwctype>

#include "core/text/TextFormat.h"
#include "resources/StringIds.h"

namespace kestrave::sharing {

namespace {
// The printing errors met most since the 2021 updates, each with the settings behind it.
struct KnownCode {
    std::uint32_t code;
    int meaning;
    int whatToTry;
    const wchar_t* settings[4];
};
constexpr KnownCode kKnown[] = {
    {0x11B, IDS_EX_11B, IDS_EXT_11B, {L"RpcAuthnLevelPrivacyEnabled"}},
    {0x709, IDS_EX_709, IDS_EXT_709,
     {L"RpcUseNamedPipeProtocol", L"RpcAuthentication", L"RpcProtocols"}},
    {0x7C, IDS_EX_7C, IDS_EXT_7C,
     {L"RestrictDriverInstallationToAdministrators", L"PackagePointAndPrintOnly",
      L"PackagePointAndPrintServerList"}},
    {0xBC4, IDS_EX_BC4, IDS_EXT_BC4,
     {L"RpcUseNamedPipeProtocol", L"RpcProtocols", L"RpcTcpPort", L"ForceKerberosForRpc"}},
    {0xBCB, IDS_EX_BCB, IDS_EXT_BCB,
     {L"RestrictDriverInstallationToAdministrators", L"PackagePointAndPrintServerList",
      L"TrustedServers", L"ServerList"}},
    {0x6BA, IDS_EX_6BA, IDS_EXT_6BA,
     {L"RegisterSpoolerRemoteRpcEndPoint", L"RpcProtocols", L"RpcTcpPort"}},
};

const KnownCode* known(std::uint32_t code) {
    for (const KnownCode& k : kKnown) {
        if (k.code == code) {
            return &k;
        }
    }
    return nullptr;
}

std::wstring hex(std::uint32_t code) {
    return L"0x" + decimal(code, 8, 16);
}
} // namespace

CodeReadings readCode(const std::wstring& typed) {
    std::wstring s = typed;
    while (!s.empty() && std::iswspace(s.front())) {
        s.erase(0, 1);
    }
    while (!s.empty() && std::iswspace(s.back())) {
        s.pop_back();
    }
    const bool prefixed = s.size() > 2 && s[0] == L'0' && (s[1] == L'x' || s[1] == L'X');
    const std::wstring digits = prefixed ? s.substr(2) : s;
    if (digits.empty() || digits.size() > 8) {
        return {};
    }
    std::uint32_t hexValue = 0;
    std::uint64_t decimalValue = 0;
    bool decimalDigits = true;
    for (const wchar_t c : digits) {
        const int v = c >= L'0' && c <= L'9'   ? c - L'0'
                      : c >= L'a' && c <= L'f' ? c - L'a' + 10
                      : c >= L'A' && c <= L'F' ? c - L'A' + 10
                                               : -1;
        if (v < 0) {
            return {};
        }
        decimalDigits = decimalDigits && v < 10;
        hexValue = (hexValue << 4) | static_cast<std::uint32_t>(v);
        decimalValue = decimalValue * 10 + static_cast<std::uint64_t>(v);
    }
    CodeReadings r{{hexValue}, false};
    if (!prefixed && decimalDigits && decimalValue != hexValue &&
        known(static_cast<std::uint32_t>(decimalValue)) != nullptr) {
        r.codes.push_back(static_cast<std::uint32_t>(decimalValue));
        r.decimalToo = true;
    }
    return r;
}

std::vector<std::wstring> explainCode(const CodeReadings& readings, IRegistry& registry,
                                      const IStringTable& strings,
                                      const std::function<std::wstring(std::uint32_t)>& message,
                                      bool& anyKnown) {
    std::vector<std::wstring> out;
    anyKnown = false;
    const WindowsBuild build = windowsBuild(registry);
    for (std::size_t i = 0; i < readings.codes.size(); ++i) {
        const std::uint32_t code = readings.codes[i];
        if (i > 0) {
            out.push_back(L"");
            out.push_back(substitute(strings.text(IDS_EX_ALSO_DECIMAL), {decimal(code), hex(code)}));
        }
        const KnownCode* k = known(code);
        if (k == nullptr) {
            std::wstring said = message(code);
            while (!said.empty() && (said.back() == L'\n' || said.back() == L'\r')) {
                said.pop_back();
            }
            out.push_back(substitute(strings.text(IDS_EX_UNKNOWN), {hex(code), said}));
            continue;
        }
        anyKnown = true;
        out.push_back(hex(code) + L": " + strings.text(k->meaning));
        out.push_back(strings.text(IDS_EX_SETTINGS));
        for (const wchar_t* name : k->settings) {
            if (name == nullptr) {
                break;
            }
            const Setting* s = settingNamed(name);
            out.push_back(substitute(strings.text(IDS_SH_VALUE),
                                             {s->name, std::wstring(L"HKLM\\") + s->key,
                                              valueText(readSetting(registry, *s), build, strings)}));
        }
        out.push_back(substitute(strings.text(IDS_EX_TRY), strings.text(k->whatToTry)));
    }
    return out;
}

} // namespace kestrave::sharing
