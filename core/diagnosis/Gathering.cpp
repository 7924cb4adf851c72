#include "core/diagnosis/Gathering.h"

namespace kestrave {

Gathering::Gathering(IThreads& threads, const DiagnosisWorld& world, const IStringTable& strings)
    : outcome_(std::make_shared<Outcome>()) {
    job_ = threads.start([outcome = outcome_, world = DiagnosisWorld(world), &strings]() mutable {
        try {
            outcome->report = diagnose(world, strings);
        } catch (...) {
            outcome->error = std::current_exception();
        }
    });
}

Report Gathering::report() const {
    if (outcome_->error) {
        std::rethrow_exception(outcome_->error);
    }
    return outcome_->report;
}

} // namespace kestrave
