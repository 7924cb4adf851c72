#pragma once
#include <chrono>
#include <memory>
#include <optional>
#include <string>

#include "core/system/Background.h"

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
        if (running_ && !running_->finished()) {
            if (!running_->finished(left())) {
                return std::nullopt;
            }
            if (question_ == question) {
                return running_->result();
            }
        }
        running_ = std::make_unique<Background<T>>(threads, std::move(work));
        question_ = question;
        if (!running_->finished(left())) {
            return std::nullopt;
        }
        return running_->result();
    }

  private:
    std::unique_ptr<Background<T>> running_;
    std::wstring question_;
};

} // namespace kestrave
