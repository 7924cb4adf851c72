#pragma once
#include "platform/IEventLog.h"

namespace kestrave::win32 {

// Events from source "Kestrave" in the Application log. The installer registers the source
// with the program as its message file; unregistered (the portable program) the same events
// are written, and Event Viewer shows their strings without the message's words.
class Win32EventLog : public IEventLog {
  public:
    void write(Type type, std::uint32_t id, const std::vector<std::wstring>& strings) override;
    std::wstring account() override;
};

} // namespace kestrave::win32
