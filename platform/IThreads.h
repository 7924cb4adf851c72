#pragma once
#include <cstdint>
#include <functional>
#include <memory>

namespace kestrave {

// Work started on a thread of its own. Letting go of the job does not wait for the work: a
// call that blocks for ever (a print server that never answers) is abandoned, not joined.
class IJob {
  public:
    // A wait that lasts as long as the work does.
    static constexpr std::uint32_t kForever = 0xFFFFFFFF;
    virtual ~IJob() = default;
    // True once the work has ended; waits at most that long for it.
    virtual bool wait(std::uint32_t milliseconds) = 0;
};

class IThreads {
  public:
    virtual ~IThreads() = default;
    // The work must catch what it throws. Throws SystemError when no thread can be made.
    virtual std::unique_ptr<IJob> start(std::function<void()> work) = 0;
};

} // namespace kestrave
