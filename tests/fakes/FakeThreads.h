#pragma once
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/IThreads.h"
#include "platform/SystemError.h"

namespace kestrave::fake {

// Something that ends or opens once, waited for with a bound.
class Signal {
  public:
    void raise() {
        {
            const std::lock_guard<std::mutex> hold(m_);
            raised_ = true;
        }
        cv_.notify_all();
    }
    void lower() {
        const std::lock_guard<std::mutex> hold(m_);
        raised_ = false;
    }
    bool wait(std::uint32_t ms) {
        std::unique_lock<std::mutex> hold(m_);
        return cv_.wait_for(hold, std::chrono::milliseconds(ms), [this] { return raised_; });
    }
    void waitForever() {
        std::unique_lock<std::mutex> hold(m_);
        cv_.wait(hold, [this] { return raised_; });
    }

  private:
    std::mutex m_;
    std::condition_variable cv_;
    bool raised_ = false;
};

// Real threads, all joined when the stand-in goes: whatever holds one up must be let go first.
class FakeThreads : public IThreads {
  public:
    ~FakeThreads() override {
        for (std::thread& t : threads_) {
            t.join();
        }
    }
    std::unique_ptr<IJob> start(std::function<void()> work) override {
        if (refuse) {
            throw SystemError(8, "CreateThread"); // not enough memory for another
        }
        auto ended = std::make_shared<Signal>();
        const std::lock_guard<std::mutex> hold(m_);
        threads_.emplace_back([work = std::move(work), ended] {
            work();
            ended->raise();
        });
        ++started;
        return std::make_unique<Job>(ended);
    }
    std::atomic<int> started{0};
    bool refuse = false; // as a system out of threads

  private:
    struct Job : IJob {
        explicit Job(std::shared_ptr<Signal> e) : ended(std::move(e)) {}
        bool wait(std::uint32_t ms) override { return ended->wait(ms); }
        std::shared_ptr<Signal> ended;
    };
    std::mutex m_;
    std::vector<std::thread> threads_;
};

} // namespace kestrave::fake
