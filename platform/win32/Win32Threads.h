#pragma once
#include "platform/IThreads.h"

namespace kestrave::win32 {

class Win32Threads : public IThreads {
  public:
    std::unique_ptr<IJob> start(std::function<void()> work) override;
};

} // namespace kestrave::win32
