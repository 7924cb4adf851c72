#pragma once
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/IRegistry.h"
#include "platform/SystemError.h"

namespace kestrave::fake {

// Keys by full path below HKLM; values as type and raw bytes.
class FakeRegistry : public IRegistry {
  public:
    struct Value {
        std::uint32_t type = 0;
        std::vector<std::uint8_t> data;
    };
    std::map<std::string, std::map<std::string, Value>> keys;
    std::set<std::string> readOnlyKeys; // opening these for 0x3F is refused
    std::vector<RegKey> closed;
    int openCalls = 0;

    void setDword(const std::string& key, const std::string& name, std::uint32_t v) {
        Value val{reg::kDword, std::vector<std::uint8_t>(4)};
        std::memcpy(val.data.data(), &v, 4);
        keys[key][name] = val;
    }
    void setString(const std::string& key, const std::string& name, const std::string& s,
                   std::uint32_t type = reg::kSz) {
        Value val{type, std::vector<std::uint8_t>(s.begin(), s.end())};
        val.data.push_back(0);
        keys[key][name] = val;
    }
    void setRaw(const std::string& key, const std::string& name, std::uint32_t type,
                std::vector<std::uint8_t> data) {
        keys[key][name] = Value{type, std::move(data)};
    }

    std::int32_t RegOpenKeyExA(RegKey root, const char* subKey, std::uint32_t, std::uint32_t access,
                               RegKey* result) override {
        ++openCalls;
        if (root != kHkeyLocalMachine || keys.count(subKey) == 0) {
            return err::kFileNotFound;
        }
        if (readOnlyKeys.count(subKey) != 0 && (access & 0x3E) != 0) {
            return err::kAccessDenied;
        }
        const RegKey h = next_++;
        open_[h] = subKey;
        *result = h;
        return 0;
    }
    std::int32_t RegQueryValueExA(RegKey key, const char* valueName, std::uint32_t*,
                                  std::uint32_t* type, std::uint8_t* data,
                                  std::uint32_t* size) override {
        const auto k = open_.find(key);
        if (k == open_.end()) {
            return err::kInvalidHandle;
        }
        const auto& values = keys[k->second];
        const auto v = values.find(valueName);
        if (v == values.end()) {
            return err::kFileNotFound;
        }
        if (type != nullptr) {
            *type = v->second.type;
        }
        const auto need = static_cast<std::uint32_t>(v->second.data.size());
        if (data != nullptr) {
            if (*size < need) {
                *size = need;
                return 234; // ERROR_MORE_DATA
            }
            std::memcpy(data, v->second.data.data(), need);
        }
        *size = need;
        return 0;
    }
    std::int32_t RegCloseKey(RegKey key) override {
        closed.push_back(key);
        return open_.erase(key) != 0 ? 0 : err::kInvalidHandle;
    }

  private:
    std::map<RegKey, std::string> open_;
    RegKey next_ = 0x40;
};

} // namespace kestrave::fake
