#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "core/service/ServiceControl.h"
#include "platform/IThreads.h"

namespace kestrave {

// A service's state read on a thread of its own, started before other work (a window being
// made) so that the answer is there when that work is done, instead of being asked for
// after it. Where no thread can be made, the state is read when it is taken.
class StateReadAhead {
  public:
    StateReadAhead(IThreads& threads, IServiceManager& scm, IWorkstation* workstation,
                   const std::wstring& service);
    // Waits for the read: it uses the service manager it was given.
    ~StateReadAhead();
    StateReadAhead(const StateReadAhead&) = delete;
    StateReadAhead& operator=(const StateReadAhead&) = delete;

    // The state as ServiceControl::status gives it, once the read has ended.
    std::int32_t take();

  private:
    struct Reading {
        ServiceControl control;
        std::int32_t state = 0; // written by the thread, read after its end
    };
    std::shared_ptr<Reading> reading_;
    std::unique_ptr<IJob> job_;
};

} // namespace kestrave
