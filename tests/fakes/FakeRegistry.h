#pragma once
#include <map>
#include <string>
#include <vector>

#include "platform/IRegistry.h"
#include "platform/SystemError.h"

namespace kestrave::fake {

// HKEY_LOCAL_MACHINE in memory: keys by path, values as type and raw bytes, as stored.
class FakeRegistry : public IRegistry {
  public:
    std::map<std::wstring, std::map<std::wstring, RegistryData>> keys;
    std::map<std::wstring, std::uint32_t> refusedKeys; // opening these fails with the code

    void setDword(const std::wstring& key, const std::wstring& name, std::uint32_t v) {
        setRaw(key, name, reg::kDword,
               {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
                static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 24)});
    }
    // Stored as the wide API stores it: UTF-16 little-endian with its terminator.
    void setString(const std::wstring& key, const std::wstring& name, const std::wstring& s,
                   std::uint32_t type = reg::kSz) {
        std::vector<std::uint8_t> bytes;
        for (const wchar_t c : s + L'\0') {
            bytes.push_back(static_cast<std::uint8_t>(c & 0xFF));
            bytes.push_back(static_cast<std::uint8_t>((c >> 8) & 0xFF));
        }
        setRaw(key, name, type, std::move(bytes));
    }
    void setRaw(const std::wstring& key, const std::wstring& name, std::uint32_t type,
                std::vector<std::uint8_t> data) {
        keys[key][name] = RegistryData{type, std::move(data)};
    }

    std::uint32_t readMachineValue(const std::wstring& subKey, const std::wstring& name,
                                   RegistryData& out) override {
        if (const auto refused = refusedKeys.find(subKey); refused != refusedKeys.end()) {
            return refused->second;
        }
        const auto k = keys.find(subKey);
        if (k == keys.end()) {
            return err::kFileNotFound;
        }
        const auto v = k->second.find(name);
        if (v == k->second.end()) {
            return err::kFileNotFound;
        }
        out = v->second;
        return 0;
    }
    std::uint32_t machineSubKeys(const std::wstring& subKey,
                                 std::vector<std::wstring>& out) override {
        if (const auto refused = refusedKeys.find(subKey); refused != refusedKeys.end()) {
            return refused->second;
        }
        out.clear();
        const std::wstring prefix = subKey + L"\\";
        bool found = keys.count(subKey) != 0;
        for (const auto& [path, values] : keys) {
            if (path.rfind(prefix, 0) == 0) {
                found = true;
                const std::wstring child =
                    path.substr(prefix.size(), path.find(L'\\', prefix.size()) - prefix.size());
                if (out.empty() || out.back() != child) {
                    out.push_back(child);
                }
            }
        }
        return found ? 0 : err::kFileNotFound;
    }
    std::uint32_t writeMachineDword(const std::wstring& subKey, const std::wstring& name,
                                    std::uint32_t value) override {
        if (const auto refused = refusedKeys.find(subKey); refused != refusedKeys.end()) {
            return refused->second;
        }
        setDword(subKey, name, value);
        return 0;
    }
};

} // namespace kestrave::fake
