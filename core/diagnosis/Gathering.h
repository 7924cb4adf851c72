#pragma once
#include <exception>
#include <memory>

#include "core/diagnosis/Diagnosis.h"
#include "platform/IThreads.h"

namespace kestrave {

// One reading of the diagnosis on a thread of its own, so a window showing it stays free to
// move and close while a source is slow. What it reads must outlive the thread.
class Gathering {
  public:
    Gathering(IThreads& threads, const DiagnosisWorld& world, const IStringTable& strings);
    // True once the report is ready; waits at most that long.
    bool finished(std::uint32_t waitMs = 0) { return job_->wait(waitMs); }
    // Once finished: the report, or what the reading threw, thrown again here.
    Report report() const;

  private:
    struct Outcome {
        Report report;
        std::exception_ptr error;
    };
    std::shared_ptr<Outcome> outcome_;
    std::unique_ptr<IJob> job_;
};

} // namespace kestrave
