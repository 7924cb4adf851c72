#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "core/spooler/Operation.h"
#include "platform/IRegistry.h"

namespace kestrave::plugins {

enum class PlugInKind { Processor, Monitor };

// A printer's settings as they were before its print processor was taken out.
struct PrinterUse {
    std::wstring printer;
    std::wstring processor;
    std::wstring datatype;
};

// One plug-in in the quarantine, as its journal says. The copy is written whole, then
// `complete`; the live key is deleted, then `moved`. Putting back marks `restoring`, writes the
// live key whole, then `restored`, and only then removes the entry.
struct QuarantineEntry {
    PlugInKind kind = PlugInKind::Processor;
    std::wstring name;  // as the live key spelt it
    std::wstring entry; // the entry's key
    std::wstring place; // the live key it came from
    std::uint64_t when = 0; // FILETIME, UTC
    std::wstring by;
    bool complete = false, moved = false, restoring = false, restored = false;
    bool liveKeyThere = false; // read with the entry
    std::vector<PrinterUse> printers;
};

// A text value, or empty where it is missing or no text.
std::wstring readText(IRegistry& registry, const std::wstring& key, const wchar_t* name);

// Every entry of the quarantine (none when it does not exist yet).
std::vector<QuarantineEntry> readQuarantine(IRegistry& registry);
std::wstring entryKey(PlugInKind kind, const std::wstring& name);

// The entry as one key: what it records, the live key's copy (its security descriptors kept
// as values beside it, so the copy itself takes the quarantine's own), and the printers.
RegistryKeyCopy entryCopy(const QuarantineEntry& entry, const RegistryKeyCopy& live);
// The live key again, security descriptors included, from an entry (0 or the code).
std::uint32_t liveCopyOf(IRegistry& registry, const QuarantineEntry& entry, RegistryKeyCopy& out);

std::uint32_t markEntry(IRegistry& registry, const QuarantineEntry& entry, const wchar_t* mark);
inline constexpr wchar_t kComplete[] = L"Complete";
inline constexpr wchar_t kMoved[] = L"Moved";
inline constexpr wchar_t kRestoring[] = L"Restoring";
inline constexpr wchar_t kRestored[] = L"Restored";

// Points the printers at winprint with RAW (`away`), or back at what they used. A printer
// no longer using what is expected is left and named in `left`. On a failure, what was
// changed is set back and the code returned.
std::uint32_t pointPrinters(IRegistry& registry, const std::vector<PrinterUse>& printers,
                            const std::wstring& plugIn, bool away, std::vector<std::wstring>* left);

// What an interrupted quarantine or restore left, settled before anything else is done: an
// incomplete copy dropped, a complete one whose live key is still there finished, a finished
// restore's entry removed. Each as a note; what cannot be told apart is left alone.
void settleQuarantine(IRegistry& registry, std::vector<Problem>& notes);

} // namespace kestrave::plugins
