#include "core/diagnosis/BoundedSources.h"

#include "core/text/TextFormat.h"

namespace kestrave {

namespace {

std::uint32_t seconds(std::uint32_t ms) {
    return (ms + 999) / 1000;
}

} // namespace

std::vector<PrinterDetails> BoundedSources::printers() {
    auto list = printers_.call(
        threads_, L"", [this] { return inner_.printers(); }, bounds_.printersMs);
    if (!list) {
        throw SourceTimedOut(seconds(bounds_.printersMs));
    }
    return std::move(*list);
}

EventTally BoundedSources::tally(BoundedCall<EventTally>& call, const std::wstring& question,
                                 std::function<EventTally()> work) {
    try {
        if (auto found = call.call(threads_, question, std::move(work), bounds_.eventLogMs)) {
            return std::move(*found);
        }
        EventTally late;
        late.error = err::kTimeout;
        late.waitedSeconds = seconds(bounds_.eventLogMs);
        return late;
    } catch (const SystemError& e) {
        // No thread to ask on: said like any log that cannot be read.
        EventTally failed;
        failed.error = e.code();
        return failed;
    }
}

EventTally BoundedSources::serviceFailures(const std::wstring& displayName, int days) {
    return tally(failures_, displayName + L"|" + decimal(days),
                 [this, displayName, days] { return inner_.serviceFailures(displayName, days); });
}

EventTally BoundedSources::printServiceErrors(int days) {
    return tally(pluginErrors_, decimal(days),
                 [this, days] { return inner_.printServiceErrors(days); });
}

} // namespace kestrave
