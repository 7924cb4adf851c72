#pragma once
#include <exception>
#include <functional>
#include <memory>
#include <optional>

#include "platform/IThreads.h"

namespace kestrave {

// Work run on a thread of its own, its result (or what it threw) kept for whoever asks once
// it has ended. Letting go of it does not wait: the thread keeps what it writes to.
template <typename T> class Background {
  public:
    Background(IThreads& threads, std::function<T()> work) : outcome_(std::make_shared<Outcome>()) {
        job_ = threads.start([outcome = outcome_, work = std::move(work)] {
            try {
                outcome->value = work();
            } catch (...) {
                outcome->error = std::current_exception();
            }
        });
    }
    // True once the work has ended; waits at most that long.
    bool finished(std::uint32_t waitMs = 0) { return job_->wait(waitMs); }
    // Once finished: the result, or what the work threw, thrown again here.
    T result() const {
        if (outcome_->error) {
            std::rethrow_exception(outcome_->error);
        }
        return *outcome_->value;
    }

  private:
    struct Outcome {
        std::optional<T> value;
        std::exception_ptr error;
    };
    std::shared_ptr<Outcome> outcome_;
    std::unique_ptr<IJob> job_;
};

} // namespace kestrave
