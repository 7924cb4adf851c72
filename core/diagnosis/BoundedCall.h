#pragma once
#include <chrono>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/IThreads.h"

namespace kestrave {

// A call that may block for ever, made on a thread of its own and waited for at most a bound.
// At most one thread per call is ever out: while an earlier one still runs, it is waited for
// instead of starting another beside it, and its answer is taken when it was asked the same.
template <typename T> class BoundedCall {
  public:
    // The answer, or none when the bound ran out; rethrows what the call threw.
    std::optional<T> call(IThreads& threads, const std::wstring& question,
                          std::function<T()> work, std::uint32_t boundMs) {
        using Clock = std::chrono::steady_clock;
        const auto deadline = Clock::now() + std::chrono::milliseconds(boundMs);
        const auto left = [&] {
            const auto ms =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            return static_cast<std::uint32_t>(ms.count() > 0 ? ms.count() : 0);
        };
        if (job_ && !job_->wait(0)) {
            if (!job_->wait(left())) {
                return std::nullopt;
            }
            if (question_ == question) {
                return answer();
            }
        }
        auto state = std::make_shared<State>();
        job_ = threads.start([state, work = std::move(work)] {
            try {
                state->value = work();
            } catch (...) {
                state->error = std::current_exception();
            }
        });
        state_ = std::move(state);
        question_ = question;
        if (!job_->wait(left())) {
            return std::nullopt;
        }
        return answer();
    }

  private:
    struct State {
        std::optional<T> value;
        std::exception_ptr error;
    };
    std::optional<T> answer() const {
        if (state_->error) {
            std::rethrow_exception(state_->error);
        }
        return state_->value;
    }
    std::shared_ptr<State> state_;
    std::unique_ptr<IJob> job_;
    std::wstring question_;
};

} // namespace kestrave
