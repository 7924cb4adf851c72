#include "core/sharing/SharingSettings.h"

#include "core/plugins/PlugInNames.h"
#include "core/system/RegistryValue.h"
#include "platform/SystemError.h"
#include "resources/StringIds.h"

namespace kestrave::sharing {

namespace {
constexpr wchar_t kPrint[] = L"SYSTEM\\CurrentControlSet\\Control\\Print";
constexpr wchar_t kPrinters[] = L"SOFTWARE\\Policies\\Microsoft\\Windows NT\\Printers";
constexpr wchar_t kRpc[] = L"SOFTWARE\\Policies\\Microsoft\\Windows NT\\Printers\\RPC";
constexpr wchar_t kPointAndPrint[] =
    L"SOFTWARE\\Policies\\Microsoft\\Windows NT\\Printers\\PointAndPrint";
constexpr wchar_t kPackage[] =
    L"SOFTWARE\\Policies\\Microsoft\\Windows NT\\Printers\\PackagePointAndPrint";
constexpr wchar_t kPackageServers[] =
    L"SOFTWARE\\Policies\\Microsoft\\Windows NT\\Printers\\PackagePointAndPrint\\ListofServers";
constexpr wchar_t kProtectedPrint[] = L"SOFTWARE\\Policies\\Microsoft\\Windows NT\\Printers\\WPP";
constexpr std::size_t kTextBound = 512; // characters of a text or list shown

// The first update revisions of the monthly updates that changed a default, by build (their
// knowledge-base articles in the README). Builds released after the update carry it always.
constexpr UpdateThreshold kSeptember2021[] = {
    {14393, 4651}, {17763, 2183}, {18363, 1801}, {19041, 1237}, {19042, 1237},
    {19043, 1237}, {19044, 0},    {19045, 0},    {20348, 230},  {22000, 0}};
constexpr UpdateThreshold kAugust2021[] = {
    {14393, 4583}, {17763, 2114}, {18363, 1734}, {19041, 1165}, {19042, 1165},
    {19043, 1165}, {19044, 0},    {19045, 0},    {20348, 169},  {22000, 0}};
// Windows 11 22H2 reads the RPC settings; before it they do not exist.
constexpr UpdateThreshold k22H2[] = {{22621, 0}};

constexpr ValueMeaning kOnOff[] = {{0, IDS_SHV_OFF}, {1, IDS_SHV_ON}};
constexpr ValueMeaning kClientProtocol[] = {{0, IDS_SHV_TCP}, {1, IDS_SHV_PIPES}};
constexpr ValueMeaning kClientAuth[] = {
    {0, IDS_SHV_AUTH_DEFAULT}, {1, IDS_SHV_AUTH_ON}, {2, IDS_SHV_AUTH_OFF}};
constexpr ValueMeaning kListen[] = {{3, IDS_SHV_PIPES}, {5, IDS_SHV_TCP}, {7, IDS_SHV_PIPES_TCP}};
constexpr ValueMeaning kKerberos[] = {{0, IDS_SHV_NEGOTIATE}, {1, IDS_SHV_KERBEROS}};
constexpr ValueMeaning kPort[] = {{0, IDS_SHV_DYNAMIC}};
constexpr ValueMeaning kRestrict[] = {{0, IDS_SHV_EVERYONE}, {1, IDS_SHV_ADMINS}};
constexpr ValueMeaning kNoWarning[] = {{0, IDS_SHV_PROMPT_BOTH}, {1, IDS_SHV_PROMPT_NONE}};
constexpr ValueMeaning kPrompt[] = {
    {0, IDS_SHV_PROMPT_BOTH}, {1, IDS_SHV_PROMPT_WARN}, {2, IDS_SHV_PROMPT_NONE}};
constexpr ValueMeaning kListed[] = {{0, IDS_SHV_ANY_SERVER}, {1, IDS_SHV_LISTED_ONLY}};
constexpr ValueMeaning kEndpoint[] = {{1, IDS_SHV_ALLOWED}, {2, IDS_SHV_REFUSED}};

constexpr Setting kSettings[] = {
    {Side::Client, kRpc, L"RpcUseNamedPipeProtocol", Type::Dword, IDS_SH_NAMED_PIPE,
     kClientProtocol, {IDS_SHA_TCP, IDS_SHA_NOT_READ, k22H2}},
    {Side::Client, kRpc, L"RpcAuthentication", Type::Dword, IDS_SH_RPC_AUTH, kClientAuth,
     {IDS_SHA_DEFAULT, IDS_SHA_NOT_READ, k22H2}},
    {Side::Client, kPointAndPrint, L"RestrictDriverInstallationToAdministrators", Type::Dword,
     IDS_SH_RESTRICT, kRestrict, {IDS_SHA_ADMINS, IDS_SHA_ADMINS_BEFORE, kAugust2021}},
    {Side::Client, kPointAndPrint, L"NoWarningNoElevationOnInstall", Type::Dword,
     IDS_SH_NO_WARNING, kNoWarning, {IDS_SHA_PROMPT, 0, {}}},
    {Side::Client, kPointAndPrint, L"UpdatePromptSettings", Type::Dword, IDS_SH_UPDATE_PROMPT,
     kPrompt, {IDS_SHA_PROMPT, 0, {}}},
    {Side::Client, kPointAndPrint, L"TrustedServers", Type::Dword, IDS_SH_TRUSTED, kListed,
     {IDS_SHA_FOREST, 0, {}}},
    {Side::Client, kPointAndPrint, L"ServerList", Type::Text, IDS_SH_SERVER_LIST, {},
     {IDS_SHA_NONE, 0, {}}},
    {Side::Client, kPackage, L"PackagePointAndPrintOnly", Type::Dword, IDS_SH_PACKAGE_ONLY,
     kOnOff, {IDS_SHA_OFF, 0, {}}},
    {Side::Client, kPackage, L"PackagePointAndPrintServerList", Type::Dword, IDS_SH_PACKAGE_LIST,
     kListed, {IDS_SHA_ANY, 0, {}}},
    {Side::Client, kPackageServers, L"ListofServers", Type::ValueList, IDS_SH_PACKAGE_SERVERS,
     {}, {IDS_SHA_NONE, 0, {}}},
    {Side::Client, kProtectedPrint, L"WindowsProtectedPrintGroupPolicyState", Type::Dword,
     IDS_SH_WPP, kOnOff, {IDS_SHA_OFF, 0, {}}},
    {Side::Server, kPrint, L"RpcAuthnLevelPrivacyEnabled", Type::Dword, IDS_SH_PRIVACY, kOnOff,
     {IDS_SHA_PRIVACY, IDS_SHA_PRIVACY_BEFORE, kSeptember2021}},
    {Side::Server, kRpc, L"RpcProtocols", Type::Dword, IDS_SH_RPC_PROTOCOLS, kListen,
     {IDS_SHA_LISTEN_TCP, IDS_SHA_NOT_READ, k22H2}},
    {Side::Server, kRpc, L"ForceKerberosForRpc", Type::Dword, IDS_SH_KERBEROS, kKerberos,
     {IDS_SHA_NEGOTIATE, IDS_SHA_NOT_READ, k22H2}},
    {Side::Server, kRpc, L"RpcTcpPort", Type::Dword, IDS_SH_TCP_PORT, kPort,
     {IDS_SHA_DYNAMIC, IDS_SHA_NOT_READ, k22H2}},
    {Side::Server, kPrinters, L"RegisterSpoolerRemoteRpcEndPoint", Type::Dword,
     IDS_SH_REMOTE_RPC, kEndpoint, {IDS_SHA_ACCEPTED, 0, {}}},
};
} // namespace

std::span<const Setting> settings() {
    return kSettings;
}

const Setting* settingNamed(const std::wstring& name) {
    for (const Setting& s : kSettings) {
        if (plugins::sameName(s.name, name)) {
            return &s;
        }
    }
    return nullptr;
}

WindowsBuild windowsBuild(IRegistry& registry) {
    constexpr wchar_t kVersion[] = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
    WindowsBuild b;
    RegistryText text;
    if (readRegistryText(registry, kVersion, L"CurrentBuildNumber", text) == 0) {
        for (const wchar_t c : text.text) {
            if (c < L'0' || c > L'9' || b.build > 1'000'000) {
                b.build = 0;
                break;
            }
            b.build = b.build * 10 + static_cast<std::uint32_t>(c - L'0');
        }
    }
    b.revisionKnown = readRegistryDword(registry, kVersion, L"UBR", b.revision) == 0;
    return b;
}

bool isDomainController(IRegistry& registry) {
    RegistryText type;
    return readRegistryText(registry, L"SYSTEM\\CurrentControlSet\\Control\\ProductOptions",
                            L"ProductType", type) == 0 &&
           plugins::sameName(type.text, L"LanmanNT");
}

Reading readSetting(IRegistry& registry, const Setting& setting) {
    Reading r;
    r.setting = &setting;
    const auto failed = [&r](std::uint32_t code) {
        if (code == err::kFileNotFound) {
            r.state = Reading::State::Absent;
        } else if (code == err::kDatatypeMismatch || code == err::kInvalidData) {
            r.state = Reading::State::WrongType;
        } else {
            r.state = Reading::State::Unreadable;
            r.code = code;
        }
    };
    const auto bounded = [](std::wstring s) {
        return s.size() > kTextBound ? s.substr(0, kTextBound) + L"…" : s;
    };
    if (setting.type == Type::Dword) {
        const std::uint32_t code = readRegistryDword(registry, setting.key, setting.name, r.number);
        code == 0 ? void(r.state = Reading::State::Number) : failed(code);
    } else if (setting.type == Type::Text) {
        RegistryText text;
        const std::uint32_t code = readRegistryText(registry, setting.key, setting.name, text);
        if (code == 0) {
            r.state = Reading::State::Text;
            r.text = bounded(text.text);
        } else {
            failed(code);
        }
    } else {
        RegistryKeyCopy key;
        const std::uint32_t code = registry.readMachineKey(setting.key, key);
        if (code != 0) {
            failed(code);
            return r;
        }
        std::wstring list;
        for (const auto& [name, data] : key.values) {
            RegistryText one;
            const std::wstring server = registryText(data, one) == 0 && !one.text.empty()
                                            ? one.text
                                            : name;
            list += (list.empty() ? L"" : L"; ") + server;
        }
        r.state = list.empty() ? Reading::State::Absent : Reading::State::List;
        r.text = bounded(list);
    }
    return r;
}

int absentMeaning(const Setting& setting, const WindowsBuild& build) {
    const Absent& a = setting.absent;
    if (a.from.empty()) {
        return a.whenTold;
    }
    if (build.build == 0) {
        return IDS_SHA_DEPENDS;
    }
    // Thresholds are in build order: a build past the last carries the change from its start,
    // one before the first predates it.
    if (build.build > a.from.back().build) {
        return a.whenTold;
    }
    for (const UpdateThreshold& t : a.from) {
        if (t.build == build.build) {
            if (t.revision == 0) {
                return a.whenTold;
            }
            return !build.revisionKnown ? IDS_SHA_DEPENDS
                   : build.revision >= t.revision ? a.whenTold
                                                  : a.otherwise;
        }
    }
    // A build between the listed ones (an Insider build, or one unlisted): cannot be told;
    // before the first listed one, Windows predates the change unless a rollup brought it.
    return build.build < a.from.front().build && a.otherwise == IDS_SHA_NOT_READ ? a.otherwise
                                                                                : IDS_SHA_DEPENDS;
}

} // namespace kestrave::sharing
