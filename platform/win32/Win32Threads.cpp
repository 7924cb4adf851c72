#include "platform/win32/Win32Threads.h"

#include "platform/SystemError.h"
#include "platform/win32/Handles.h"

namespace kestrave::win32 {

namespace {

DWORD WINAPI runWork(void* parameter) {
    const std::unique_ptr<std::function<void()>> work(
        static_cast<std::function<void()>*>(parameter));
    try {
        (*work)();
    } catch (...) {
        // The work keeps its own errors; nothing may leave a thread's first function.
    }
    return 0;
}

class ThreadJob : public IJob {
  public:
    explicit ThreadJob(HANDLE thread) : thread_(thread) {}
    bool wait(std::uint32_t milliseconds) override {
        return ::WaitForSingleObject(thread_.get(), milliseconds) == WAIT_OBJECT_0;
    }

  private:
    UniqueKernelHandle thread_; // closing it leaves the thread running
};

} // namespace

std::unique_ptr<IJob> Win32Threads::start(std::function<void()> work) {
    auto owned = std::make_unique<std::function<void()>>(std::move(work));
    HANDLE thread = ::CreateThread(nullptr, 0, runWork, owned.get(), 0, nullptr);
    if (thread == nullptr) {
        throw SystemError(::GetLastError(), "CreateThread");
    }
    owned.release(); // the thread owns it now
    return std::make_unique<ThreadJob>(thread);
}

} // namespace kestrave::win32
