#pragma once
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/IRegistry.h"

namespace kestrave::sharing {

// The registry values behind printing to and from shared printers since the 2021 updates:
// read, never written. Each row is one value, the side it acts on, its documented values and
// what Windows does without it.
enum class Side { Client, Server };
enum class Type { Dword, Text, ValueList }; // ValueList: the values of a key, as a list

// Windows' behaviour without the value: fixed, or set by an update (from these builds and
// update revisions on; older Windows, or one whose revision cannot be read, cannot be told).
struct UpdateThreshold {
    std::uint32_t build;
    std::uint32_t revision; // the first revision carrying the update; 0: every revision
};
struct Absent {
    int whenTold = 0;   // what Windows does (string id)
    int otherwise = 0;  // before the update, or 0 when whenTold always holds
    std::span<const UpdateThreshold> from{};
};

struct ValueMeaning {
    std::uint32_t value;
    int text; // string id
};

struct Setting {
    Side side;
    const wchar_t* key; // under HKEY_LOCAL_MACHINE
    const wchar_t* name;
    Type type;
    int about; // what it does, which error it is behind, the safe course
    std::span<const ValueMeaning> values;
    Absent absent;
};

std::span<const Setting> settings();
const Setting* settingNamed(const std::wstring& name);

// Windows' build and update revision, as the registry records them (0 where unreadable).
struct WindowsBuild {
    std::uint32_t build = 0;
    std::uint32_t revision = 0;
    bool revisionKnown = false;
};
WindowsBuild windowsBuild(IRegistry& registry);
// Whether this machine is a domain controller (its product type, as the registry records it).
bool isDomainController(IRegistry& registry);

// One value as read: absent, a number, a text (cut to a bound), a list, or of a wrong type.
struct Reading {
    const Setting* setting = nullptr;
    enum class State { Absent, Number, Text, List, WrongType, Unreadable } state = State::Absent;
    std::uint32_t number = 0;
    std::wstring text;  // a text, or a list joined by "; "
    std::uint32_t code = 0; // the read's failure, for Unreadable
};
Reading readSetting(IRegistry& registry, const Setting& setting);

// What Windows does without the value on this build (a string id), or 0 when that depends on
// updates that cannot be told from here.
int absentMeaning(const Setting& setting, const WindowsBuild& build);

} // namespace kestrave::sharing
