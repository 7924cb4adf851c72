#pragma once
#include <string>
#include <vector>

#include "platform/IEventLog.h"

namespace kestrave::fake {

// The Application log in memory: every event as it was written.
class FakeEventLog : public IEventLog {
  public:
    struct Event {
        Type type;
        std::uint32_t id;
        std::vector<std::wstring> strings;
    };
    void write(Type type, std::uint32_t id, const std::vector<std::wstring>& strings) override {
        events.push_back({type, id, strings});
    }
    std::wstring account() override { return accountName; }

    std::vector<Event> events;
    std::wstring accountName = L"KESTRAVE-PC\\admin";
};

} // namespace kestrave::fake
