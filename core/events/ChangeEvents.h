#pragma once
#include <cstdint>
#include <string>

#include "core/events/EventIds.h"
#include "core/spooler/OutcomeText.h"
#include "platform/IEventLog.h"

namespace kestrave::events {

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
