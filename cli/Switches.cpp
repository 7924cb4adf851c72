#include "cli/Switches.h"

#include <cwctype>

#include "resources/StringIds.h"

namespace kestrave::cli {

namespace {
constexpr Switch kSwitches[] = {
    {L"status", Takes::Nothing, Action::Status, Modifier::None, IDS_CLI_USAGE_3},
    {L"repair", Takes::Nothing, Action::Repair, Modifier::None, IDS_CLI_USAGE_4},
    {L"disable", Takes::Nothing, Action::Disable, Modifier::None, IDS_CLI_USAGE_5},
    {L"diagnose", Takes::Nothing, Action::Diagnose, Modifier::None, IDS_CLI_USAGE_6},
    {L"keep", Takes::Nothing, Action::Window, Modifier::Keep, IDS_CLI_USAGE_7},
    {L"discard", Takes::Nothing, Action::Window, Modifier::Discard, IDS_CLI_USAGE_7},
    {L"restore", Takes::OptionalValue, Action::Restore, Modifier::None, IDS_CLI_USAGE_8},
    {L"quarantine", Takes::OptionalValue, Action::Quarantine, Modifier::None,
     IDS_CLI_USAGE_QUARANTINE},
    {L"force", Takes::Nothing, Action::Window, Modifier::Force, IDS_CLI_USAGE_QUARANTINE},
    {L"unquarantine", Takes::Value, Action::Unquarantine, Modifier::None,
     IDS_CLI_USAGE_QUARANTINE},
    {L"explain", Takes::Value, Action::Explain, Modifier::None, IDS_CLI_USAGE_EXPLAIN},
    {L"json", Takes::Nothing, Action::Window, Modifier::Json, IDS_CLI_USAGE_JSON},
    {L"?", Takes::Nothing, Action::Help, Modifier::None, IDS_CLI_USAGE_9},
    {L"help", Takes::Nothing, Action::Help, Modifier::None, IDS_CLI_USAGE_9},
    {L"log", Takes::Value, Action::Window, Modifier::Log, IDS_CLI_USAGE_9},
};
} // namespace

std::span<const Switch> switches() {
    return kSwitches;
}

const Switch* switchNamed(std::wstring_view name) {
    for (const Switch& s : kSwitches) {
        bool same = s.name.size() == name.size();
        for (std::size_t i = 0; same && i < name.size(); ++i) {
            same = static_cast<wchar_t>(std::towlower(name[i])) == s.name[i];
        }
        if (same) {
            return &s;
        }
    }
    return nullptr;
}

} // namespace kestrave::cli
