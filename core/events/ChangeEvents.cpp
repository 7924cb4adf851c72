#include "core/events/ChangeEvents.h"

#include "resources/StringIds.h"

namespace kestrave::events {

namespace {
constexpr wchar_t kWordJoiner = L'\u2060';

std::wstring originText(Origin origin, const IStringTable& strings) {
    return strings.text(origin == Origin::Window ? IDS_EVENT_FROM_WINDOW
                                                 : IDS_EVENT_FROM_COMMAND_LINE);
}

void write(IEventLog& log, bool ok, std::uint32_t doneId, std::uint32_t failedId,
           const std::wstring& line, const std::wstring& problems, Origin origin,
           const IStringTable& strings) {
    log.write(ok ? IEventLog::Type::Information : IEventLog::Type::Error, ok ? doneId : failedId,
              {insertion(line), insertion(problems.empty() ? strings.text(IDS_EVENT_NO_PROBLEM)
                                                           : problems),
               insertion(log.account()), originText(origin, strings)});
}
} // namespace

std::wstring insertion(const std::wstring& text) {
    std::wstring out;
    for (const wchar_t c : text) {
        if (out.size() >= kInsertionLimit) {
            out += L"...";
            break;
        }
        out += c;
        if (c == L'%') {
            out += kWordJoiner;
        }
    }
    return out;
}

void recordOperation(IEventLog& log, Operation operation, const Outcome& outcome, Origin origin,
                     const IStringTable& strings, const SystemMessage& systemMessage) {
    const OperationRow& row = rowOf(operation);
    write(log, succeeded(operation, outcome), row.eventDone, row.eventFailed,
          outcomeLine(operation, outcome, strings),
          describeProblems(operation, outcome.problems, strings, systemMessage), origin, strings);
}

void recordKeepSetting(IEventLog& log, bool keep, std::uint32_t code, Origin origin,
                       const IStringTable& strings, const SystemMessage& systemMessage) {
    const std::wstring line = strings.text(IDS_MENU_KEEP) + L": " +
                              strings.text(keep ? IDS_EVENT_ON : IDS_EVENT_OFF);
    write(log, code == 0, kKeepSettingSet, kKeepSettingFailed, line,
          code == 0 ? std::wstring() : strings.text(IDS_KEEP_NOT_SAVED) + systemMessage(code),
          origin, strings);
}

} // namespace kestrave::events
