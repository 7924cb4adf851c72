#pragma once
#include <cstdint>
#include <string>

#include "core/spooler/OutcomeText.h"
#include "platform/IEventLog.h"

namespace kestrave::events {

// The event ids, as resources/Events.mc numbers them, with its severity bits (information
// 0x40000000, error 0xC0000000): one per change and verdict. The README lists them.
enum : std::uint32_t {
    kRepairDone = 0x400003E8,     // 1000
    kRepairFailed = 0xC00003E9,   // 1001
    kDisableDone = 0x400003F2,    // 1010
    kDisableFailed = 0xC00003F3,  // 1011
    kRestoreDone = 0x400003FC,    // 1020
    kRestoreFailed = 0xC00003FD,  // 1021
    kQuarantineDone = 0x40000410,   // 1040
    kQuarantineFailed = 0xC0000411, // 1041
    kUnquarantineDone = 0x4000041A,   // 1050
    kUnquarantineFailed = 0xC000041B, // 1051
    kKeepSettingSet = 0x40000406, // 1030
    kKeepSettingFailed = 0xC0000407, // 1031
};

// Where a change was asked for.
enum class Origin { Window, CommandLine };

// The longest an insertion string gets: Event Viewer shows it whole, and a planted name of
// thousands of characters does not fill the log.
constexpr std::size_t kInsertionLimit = 2000;

// A text as an insertion string: bounded, and every % followed by an invisible word joiner, so
// that Event Viewer expands nothing in it (a file named "%%1" is shown as it is).
std::wstring insertion(const std::wstring& text);

// One event for an operation's end: its outcome line, its problems, the account and where it
// was asked for.
void recordOperation(IEventLog& log, Operation operation, const Outcome& outcome, Origin origin,
                     const IStringTable& strings, const SystemMessage& systemMessage);
// One event for the keep setting changed (`code` 0) or not (the system's code).
void recordKeepSetting(IEventLog& log, bool keep, std::uint32_t code, Origin origin,
                       const IStringTable& strings, const SystemMessage& systemMessage);

} // namespace kestrave::events
