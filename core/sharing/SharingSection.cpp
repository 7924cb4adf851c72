#include "core/sharing/SharingReport.h"

#include "core/text/TextFormat.h"
#include "resources/StringIds.h"

namespace kestrave::sharing {

namespace {
std::optional<std::uint32_t> numberOf(IRegistry& registry, const wchar_t* name) {
    const Setting* s = settingNamed(name);
    const Reading r = readSetting(registry, *s);
    return r.state == Reading::State::Number ? std::optional(r.number) : std::nullopt;
}
} // namespace

std::wstring valueText(const Reading& r, const WindowsBuild& build, const IStringTable& strings) {
    switch (r.state) {
    case Reading::State::Number:
        for (const ValueMeaning& m : r.setting->values) {
            if (m.value == r.number) {
                return decimal(r.number) + L" (" + strings.text(m.text) + L")";
            }
        }
        return decimal(r.number);
    case Reading::State::Text:
    case Reading::State::List:
        return r.text;
    case Reading::State::WrongType:
        return strings.text(IDS_SHA_WRONG_TYPE);
    case Reading::State::Unreadable:
        return substitute(strings.text(IDS_SHA_UNREADABLE), L"0x" + decimal(r.code, 8, 16));
    case Reading::State::Absent:
        break;
    }
    return strings.text(absentMeaning(*r.setting, build));
}

ReportSection sharingSection(IRegistry& registry, const IStringTable& strings,
                             bool spoolerRunning) {
    ReportSection sec{IDS_DX_SHARING, {}};
    sec.first = true;
    const WindowsBuild build = windowsBuild(registry);
    sec.findings.push_back(
        {Finding::Kind::Info,
         build.build == 0 ? strings.text(IDS_SH_BUILD_UNKNOWN)
         : build.revisionKnown
             ? substitute(strings.text(IDS_SH_BUILD), {decimal(build.build), decimal(build.revision)})
             : substitute(strings.text(IDS_SH_BUILD_NO_REVISION), decimal(build.build))});
    for (const Side side : {Side::Client, Side::Server}) {
        sec.findings.push_back({Finding::Kind::Info, strings.text(side == Side::Client
                                                                      ? IDS_SH_AS_CLIENT
                                                                      : IDS_SH_AS_SERVER)});
        if (side == Side::Client) {
            sec.findings.push_back({Finding::Kind::Info, strings.text(IDS_SH_CLIENT_11B)});
        }
        for (const Setting& s : settings()) {
            if (s.side != side) {
                continue;
            }
            const Reading r = readSetting(registry, s);
            sec.findings.push_back(
                {Finding::Kind::Info, substitute(strings.text(IDS_SH_VALUE),
                                                 {s.name, std::wstring(L"HKLM\\") + s.key,
                                                  valueText(r, build, strings)})});
            sec.findings.push_back({Finding::Kind::Info, L"    " + strings.text(s.about)});
        }
    }

    // What exposes the machine, said with what it exposes.
    const auto restrict = numberOf(registry, L"RestrictDriverInstallationToAdministrators");
    if (restrict && *restrict == 0) {
        sec.findings.push_back({Finding::Kind::Problem, strings.text(IDS_SHP_DRIVERS_EVERYONE)});
    }
    const auto noWarning = numberOf(registry, L"NoWarningNoElevationOnInstall");
    const auto prompt = numberOf(registry, L"UpdatePromptSettings");
    if ((noWarning && *noWarning == 1) || (prompt && *prompt == 2)) {
        sec.findings.push_back({Finding::Kind::Problem, strings.text(IDS_SHP_NO_PROMPT)});
    }
    const auto endpoint = numberOf(registry, L"RegisterSpoolerRemoteRpcEndPoint");
    if (spoolerRunning && isDomainController(registry) && !(endpoint && *endpoint == 2)) {
        sec.findings.push_back({Finding::Kind::Problem, strings.text(IDS_SHP_DOMAIN_CONTROLLER)});
    }
    const auto privacy = numberOf(registry, L"RpcAuthnLevelPrivacyEnabled");
    if (privacy && *privacy == 0) {
        sec.findings.push_back({Finding::Kind::Note, strings.text(IDS_SHN_PRIVACY_OFF)});
    }
    return sec;
}

} // namespace kestrave::sharing
