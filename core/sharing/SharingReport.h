#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/diagnosis/Diagnosis.h"
#include "core/sharing/SharingSettings.h"

namespace kestrave::sharing {

// A value as the report says it: its number with what it means, its text, or what Windows
// does without it on this build.
std::wstring valueText(const Reading& reading, const WindowsBuild& build,
                       const IStringTable& strings);

// "Printing to shared printers": the settings as a client and as a print server, each with
// its value and what it does; what exposes the machine (drivers open to every user, Point and
// Print without a prompt, a domain controller's spooler taking connections) as problems.
ReportSection sharingSection(IRegistry& registry, const IStringTable& strings,
                             bool spoolerRunning);

// An error code as typed: hexadecimal with or without 0x; digits alone are also read as a
// decimal number. Empty when it is no code.
struct CodeReadings {
    std::vector<std::uint32_t> codes; // the hexadecimal reading first
    bool decimalToo = false;          // the second is the decimal reading of the same digits
};
CodeReadings readCode(const std::wstring& typed);

// What a printing error means, the settings here that bear on it with their values, and what
// to try; for a code it does not know, the system's own message, said as such. `known` tells
// whether any reading was one it explains.
std::vector<std::wstring> explainCode(const CodeReadings& readings, IRegistry& registry,
                                      const IStringTable& strings,
                                      const std::function<std::wstring(std::uint32_t)>& message,
                                      bool& known);

} // namespace kestrave::sharing
