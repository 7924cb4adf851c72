#pragma once
#include <cstdint>

#include "platform/IRegistry.h"

namespace kestrave {

// Whether a repair keeps the print jobs it clears, and for how long. The machine's choice is
// HKLM\SOFTWARE\Kestrave; Group Policy's values under HKLM\SOFTWARE\Policies\Kestrave win
// over it, each value on its own.
struct KeepSettings {
    bool keep = false;
    bool keepByPolicy = false;        // the choice is policy's: the menu shows it, greyed
    std::uint32_t days = 7;           // a kept repair older than this goes
    std::uint64_t bytes = 1ull << 30; // all kept repairs together, at most
    std::size_t repairs = 5;          // the last this many repairs' folders stay
};

namespace keepkeys {
inline constexpr const wchar_t* kMachine = L"SOFTWARE\\Kestrave";
inline constexpr const wchar_t* kPolicy = L"SOFTWARE\\Policies\\Kestrave";
inline constexpr const wchar_t* kKeep = L"KeepClearedJobs";
inline constexpr const wchar_t* kDays = L"KeepDays";
inline constexpr const wchar_t* kMegabytes = L"KeepMegabytes";
} // namespace keepkeys

// Reads the settings; a value missing, of another type or out of range counts as not set.
KeepSettings readKeepSettings(IRegistry& registry);

// The machine's own choice (the menu's): 0 or the system's code.
std::uint32_t writeKeepChoice(IRegistry& registry, bool keep);

// What one run is told: as set, or /keep, or /discard (which win over the settings).
enum class KeepRequest { AsSet, Keep, Discard };

} // namespace kestrave
