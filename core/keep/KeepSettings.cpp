#include "core/keep/KeepSettings.h"

#include "core/system/RegistryValue.h"

namespace kestrave {

namespace {
constexpr std::uint32_t kMaxDays = 3650;
constexpr std::uint32_t kMaxMegabytes = 1024 * 1024; // a terabyte

bool readIn(IRegistry& registry, const wchar_t* key, const wchar_t* name, std::uint32_t low,
            std::uint32_t high, std::uint32_t& out) {
    std::uint32_t value = 0;
    if (readRegistryDword(registry, key, name, value) != 0 || value < low || value > high) {
        return false;
    }
    out = value;
    return true;
}
} // namespace

KeepSettings readKeepSettings(IRegistry& registry) {
    KeepSettings settings;
    std::uint32_t keep = 0;
    if (readIn(registry, keepkeys::kPolicy, keepkeys::kKeep, 0, 1, keep)) {
        settings.keep = keep == 1;
        settings.keepByPolicy = true;
    } else if (readIn(registry, keepkeys::kMachine, keepkeys::kKeep, 0, 1, keep)) {
        settings.keep = keep == 1;
    }
    std::uint32_t days = 0;
    if (readIn(registry, keepkeys::kPolicy, keepkeys::kDays, 1, kMaxDays, days)) {
        settings.days = days;
    }
    std::uint32_t megabytes = 0;
    if (readIn(registry, keepkeys::kPolicy, keepkeys::kMegabytes, 1, kMaxMegabytes, megabytes)) {
        settings.bytes = static_cast<std::uint64_t>(megabytes) << 20;
    }
    return settings;
}

std::uint32_t writeKeepChoice(IRegistry& registry, bool keep) {
    return registry.writeMachineDword(keepkeys::kMachine, keepkeys::kKeep, keep ? 1 : 0);
}

} // namespace kestrave
