#include "core/service/StateReadAhead.h"

#include "platform/SystemError.h"

namespace kestrave {

StateReadAhead::StateReadAhead(IThreads& threads, IServiceManager& scm, IWorkstation* workstation,
                               const std::wstring& service)
    : reading_(std::make_shared<Reading>(Reading{ServiceControl(scm, workstation), 0})) {
    reading_->control.setName(service);
    try {
        job_ = threads.start([r = reading_] { r->state = r->control.status(); });
    } catch (const SystemError&) {
        // No thread to be had: take() reads it then, on the caller's thread.
    }
}

StateReadAhead::~StateReadAhead() {
    if (job_) {
        job_->wait(IJob::kForever);
    }
}

std::int32_t StateReadAhead::take() {
    if (!job_) {
        return reading_->control.status();
    }
    job_->wait(IJob::kForever);
    return reading_->state;
}

} // namespace kestrave
