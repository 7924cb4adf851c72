#include "cli/Arguments.h"

#include <cwctype>

namespace kestrave::cli {

namespace {
std::wstring lower(std::wstring s) {
    for (wchar_t& c : s) {
        c = static_cast<wchar_t>(std::towlower(c));
    }
    return s;
}

bool actionOf(const std::wstring& name, Action& out) {
    static const struct {
        const wchar_t* name;
        Action action;
    } kActions[] = {{L"status", Action::Status},   {L"repair", Action::Repair},
                    {L"disable", Action::Disable}, {L"diagnose", Action::Diagnose},
                    {L"restore", Action::Restore}, {L"quarantine", Action::Quarantine},
                    {L"?", Action::Help},
                    {L"help", Action::Help}};
    for (const auto& a : kActions) {
        if (name == a.name) {
            out = a.action;
            return true;
        }
    }
    return false;
}
} // namespace

Arguments parseArguments(const std::vector<std::wstring>& args) {
    Arguments result;
    bool haveAction = false;
    std::wstring keepSwitch; // /keep or /discard as it was given
    const auto reject = [&](const std::wstring& arg, Refusal why = Refusal::Unknown) {
        result.invalid = true;
        result.refusal = why;
        result.offending = arg;
        return result;
    };
    for (const std::wstring& arg : args) {
        if (arg.size() < 2 || (arg[0] != L'/' && arg[0] != L'-')) {
            return reject(arg);
        }
        const std::wstring body = arg.substr(1);
        if (lower(body.substr(0, 4)) == L"log:") {
            if (body.size() == 4 || !result.logFile.empty()) {
                return reject(arg);
            }
            result.logFile = body.substr(4); // the file's name keeps its case
            continue;
        }
        if (lower(body) == L"json") {
            if (result.json) {
                return reject(arg);
            }
            result.json = true;
            continue;
        }
        if (lower(body) == L"force") {
            if (result.force) {
                return reject(arg);
            }
            result.force = true;
            continue;
        }
        if (lower(body) == L"keep" || lower(body) == L"discard") {
            if (keepSwitch.size() > 0) {
                return reject(arg, Refusal::OnlyWithRepair); // one or the other
            }
            keepSwitch = arg;
            result.keep = lower(body) == L"keep" ? KeepRequest::Keep : KeepRequest::Discard;
            continue;
        }
        Action action{};
        if (lower(body.substr(0, 8)) == L"restore:" && body.size() > 8) {
            action = Action::Restore;
            result.restoreName = body.substr(8);
        } else if (lower(body.substr(0, 11)) == L"quarantine:" && body.size() > 11) {
            action = Action::Quarantine;
            result.plugIn = body.substr(11);
        } else if (lower(body.substr(0, 8)) == L"explain:" && body.size() > 8) {
            action = Action::Explain;
            result.code = body.substr(8);
        } else if (lower(body.substr(0, 13)) == L"unquarantine:" && body.size() > 13) {
            action = Action::Unquarantine;
            result.plugIn = body.substr(13);
        } else if (!actionOf(lower(body), action)) {
            return reject(arg);
        }
        if (haveAction) {
            return reject(arg, Refusal::SecondAction);
        }
        result.action = action;
        haveAction = true;
    }
    if (!keepSwitch.empty() && result.action != Action::Repair) {
        return reject(keepSwitch, Refusal::OnlyWithRepair);
    }
    if (result.force && (result.action != Action::Quarantine || result.plugIn.empty())) {
        return reject(L"/force", Refusal::ForceAlone);
    }
    if (!haveAction && !result.logFile.empty()) {
        return reject(L"/log:" + result.logFile, Refusal::LogWithoutAction); // a log of nothing
    }
    if (result.json && (!haveAction || result.action == Action::Help)) {
        return reject(L"/json", Refusal::LogWithoutAction);
    }
    return result;
}

} // namespace kestrave::cli
