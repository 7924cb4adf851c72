#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace kestrave {

// The Application event log, where administrators collect what changed on their machines.
class IEventLog {
  public:
    enum class Type { Information, Warning, Error };
    virtual ~IEventLog() = default;
    // One event from the program's source: `id` is the message table's full id (severity
    // bits included), `strings` its insertions in order. Writing is best effort: a log that
    // refuses changes nothing of what was done.
    virtual void write(Type type, std::uint32_t id, const std::vector<std::wstring>& strings) = 0;
    // The account the program acts as, as the event names it (DOMAIN\name).
    virtual std::wstring account() = 0;
};

} // namespace kestrave
