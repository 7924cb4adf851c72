#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace kestrave::cli::json {

// JSON as fleets read it: pure ASCII, every other character written as \uXXXX (a pair of them
// beyond the Basic Multilingual Plane), so that no code page a shell decodes it in can break it.

// The text as a JSON string, quotes included. With `limit`, cut (and "..." put after it) so the
// whole string stays within that many characters as written.
std::string quoted(const std::wstring& text, std::size_t limit = std::string::npos);
std::string quoted(const char* ascii);

// An object built member by member, in order.
class Object {
  public:
    Object& add(const char* key, const std::string& json); // a value already in JSON
    Object& text(const char* key, const std::wstring& value,
                 std::size_t limit = std::string::npos);
    Object& name(const char* key, const char* ascii); // a stable English identifier
    Object& number(const char* key, std::uint64_t value);
    Object& integer(const char* key, long long value);
    Object& flag(const char* key, bool value);
    std::string str() const { return body_ + "}"; }

  private:
    std::string body_ = "{";
};

std::string array(const std::vector<std::string>& items);

} // namespace kestrave::cli::json
