#include "cli/Arguments.h"

#include "cli/Switches.h"

namespace kestrave::cli {

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
        const std::size_t colon = body.find(L':');
        const bool valued = colon != std::wstring::npos;
        const std::wstring value = valued ? body.substr(colon + 1) : std::wstring(); // as typed
        const Switch* sw = switchNamed(valued ? std::wstring_view(body).substr(0, colon) : body);
        if (sw == nullptr || (valued && (sw->takes == Takes::Nothing || value.empty())) ||
            (!valued && sw->takes == Takes::Value)) {
            return reject(arg);
        }
        switch (sw->modifier) {
        case Modifier::Log:
            if (!result.logFile.empty()) {
                return reject(arg);
            }
            result.logFile = value; // the file's name keeps its case
            continue;
        case Modifier::Json:
        case Modifier::Force: {
            bool& on = sw->modifier == Modifier::Json ? result.json : result.force;
            if (on) {
                return reject(arg);
            }
            on = true;
            continue;
        }
        case Modifier::Keep:
        case Modifier::Discard:
            if (keepSwitch.size() > 0) {
                return reject(arg, Refusal::OnlyWithRepair); // one or the other
            }
            keepSwitch = arg;
            result.keep = sw->modifier == Modifier::Keep ? KeepRequest::Keep : KeepRequest::Discard;
            continue;
        case Modifier::None:
            break;
        }
        if (sw->action == Action::Restore) {
            result.restoreName = value;
        } else if (sw->action == Action::Quarantine || sw->action == Action::Unquarantine) {
            result.plugIn = value;
        } else if (sw->action == Action::Explain) {
            result.code = value;
        }
        if (haveAction) {
            return reject(arg, Refusal::SecondAction);
        }
        result.action = sw->action;
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
