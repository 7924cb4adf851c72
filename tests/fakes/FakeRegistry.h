#pragma once
#include <cwctype>
#include <map>
#include <string>
#include <vector>

#include "platform/IRegistry.h"
#include "platform/SystemError.h"

namespace kestrave::fake {

// Names as the registry compares them: without regard to case.
struct NoCase {
    bool operator()(const std::wstring& a, const std::wstring& b) const {
        const std::size_t n = std::min(a.size(), b.size());
        for (std::size_t i = 0; i < n; ++i) {
            const wint_t x = std::towupper(a[i]);
            const wint_t y = std::towupper(b[i]);
            if (x != y) {
                return x < y;
            }
        }
        return a.size() < b.size();
    }
};

// HKEY_LOCAL_MACHINE in memory: keys by path, values as type and raw bytes, as stored, in
// the order they were written (as a real key enumerates them).
class FakeRegistry : public IRegistry {
  public:
    using Values = std::vector<std::pair<std::wstring, RegistryData>>;
    std::map<std::wstring, Values, NoCase> keys;
    std::map<std::wstring, std::vector<std::uint8_t>, NoCase> security;
    std::map<std::wstring, std::uint32_t, NoCase> refusedKeys; // opening these fails
    std::map<std::wstring, std::uint32_t, NoCase> unsafeKeys;  // secureMachineKey's answer
    // The change of that number (counted from 0) fails with 5, the ones after it succeed.
    int failChange = -1;
    int changesMade = 0;

    void setDword(const std::wstring& key, const std::wstring& name, std::uint32_t v) {
        setRaw(key, name, reg::kDword,
               {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
                static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 24)});
    }
    // Stored as the wide API stores it: UTF-16 little-endian with its terminator.
    void setString(const std::wstring& key, const std::wstring& name, const std::wstring& s,
                   std::uint32_t type = reg::kSz) {
        setRaw(key, name, type, wideBytes(s + L'\0'));
    }
    static std::vector<std::uint8_t> wideBytes(const std::wstring& s) {
        std::vector<std::uint8_t> bytes;
        for (const wchar_t c : s) {
            bytes.push_back(static_cast<std::uint8_t>(c & 0xFF));
            bytes.push_back(static_cast<std::uint8_t>((c >> 8) & 0xFF));
        }
        return bytes;
    }
    void setRaw(const std::wstring& key, const std::wstring& name, std::uint32_t type,
                std::vector<std::uint8_t> data) {
        makePath(key);
        put(keys[key], name, RegistryData{type, std::move(data)});
    }
    const RegistryData* find(const std::wstring& key, const std::wstring& name) const {
        const auto k = keys.find(key);
        if (k == keys.end()) {
            return nullptr;
        }
        for (const auto& [n, v] : k->second) {
            if (!NoCase{}(n, name) && !NoCase{}(name, n)) {
                return &v;
            }
        }
        return nullptr;
    }

    std::uint32_t readMachineValue(const std::wstring& subKey, const std::wstring& name,
                                   RegistryData& out) override {
        if (const auto refused = refusedKeys.find(subKey); refused != refusedKeys.end()) {
            return refused->second;
        }
        const RegistryData* v = find(subKey, name);
        if (v == nullptr) {
            return err::kFileNotFound;
        }
        out = *v;
        return 0;
    }
    std::uint32_t machineSubKeys(const std::wstring& subKey,
                                 std::vector<std::wstring>& out) override {
        if (const auto refused = refusedKeys.find(subKey); refused != refusedKeys.end()) {
            return refused->second;
        }
        out = children(subKey);
        return keys.count(subKey) != 0 || !out.empty() ? 0 : err::kFileNotFound;
    }
    std::uint32_t writeMachineDword(const std::wstring& subKey, const std::wstring& name,
                                    std::uint32_t value) override {
        if (const std::uint32_t code = change(subKey); code != 0) {
            return code;
        }
        setDword(subKey, name, value);
        return 0;
    }
    std::uint32_t writeMachineValue(const std::wstring& subKey, const std::wstring& name,
                                    const RegistryData& data) override {
        if (keys.count(subKey) == 0) {
            return err::kFileNotFound;
        }
        if (const std::uint32_t code = change(subKey); code != 0) {
            return code;
        }
        put(keys[subKey], name, data);
        return 0;
    }
    std::uint32_t deleteMachineValue(const std::wstring& subKey, const std::wstring& name) override {
        if (find(subKey, name) == nullptr) {
            return err::kFileNotFound;
        }
        if (const std::uint32_t code = change(subKey); code != 0) {
            return code;
        }
        Values& values = keys[subKey];
        for (auto v = values.begin(); v != values.end(); ++v) {
            if (!NoCase{}(v->first, name) && !NoCase{}(name, v->first)) {
                values.erase(v);
                break;
            }
        }
        return 0;
    }
    std::uint32_t readMachineKey(const std::wstring& subKey, RegistryKeyCopy& out) override {
        if (const auto refused = refusedKeys.find(subKey); refused != refusedKeys.end()) {
            return refused->second;
        }
        if (keys.count(subKey) == 0) {
            return err::kFileNotFound;
        }
        out = copyOf(subKey, subKey);
        return 0;
    }
    std::uint32_t createMachineKey(const std::wstring& subKey, const RegistryKeyCopy& copy,
                                   bool withSecurity) override {
        if (keys.count(subKey) != 0) {
            return err::kAlreadyExists;
        }
        if (const std::uint32_t code = change(subKey); code != 0) {
            return code;
        }
        makePath(subKey);
        make(subKey, copy, withSecurity);
        return 0;
    }
    std::uint32_t deleteMachineKey(const std::wstring& subKey) override {
        if (keys.count(subKey) == 0) {
            return err::kFileNotFound;
        }
        if (const std::uint32_t code = change(subKey); code != 0) {
            return code;
        }
        for (auto k = keys.begin(); k != keys.end();) {
            if (!NoCase{}(k->first, subKey) && !NoCase{}(subKey, k->first)) {
                security.erase(k->first);
                k = keys.erase(k);
            } else if (within(k->first, subKey)) {
                security.erase(k->first);
                k = keys.erase(k);
            } else {
                ++k;
            }
        }
        return 0;
    }
    std::uint32_t secureMachineKey(const std::wstring& subKey) override {
        if (const auto unsafe = unsafeKeys.find(subKey); unsafe != unsafeKeys.end()) {
            return unsafe->second;
        }
        if (keys.count(subKey) == 0) {
            if (const std::uint32_t code = change(subKey); code != 0) {
                return code;
            }
            makePath(subKey);
        }
        return 0;
    }

    // The keys directly under a key, by their own names.
    std::vector<std::wstring> children(const std::wstring& subKey) const {
        std::vector<std::wstring> out;
        for (const auto& [path, values] : keys) {
            if (within(path, subKey) && path.find(L'\\', subKey.size() + 1) == std::wstring::npos) {
                out.push_back(path.substr(subKey.size() + 1));
            }
        }
        return out;
    }

  private:
    static bool within(const std::wstring& path, const std::wstring& key) {
        return path.size() > key.size() + 1 && path[key.size()] == L'\\' &&
               !NoCase{}(path.substr(0, key.size()), key) &&
               !NoCase{}(key, path.substr(0, key.size()));
    }
    static void put(Values& values, const std::wstring& name, RegistryData data) {
        for (auto& [n, v] : values) {
            if (!NoCase{}(n, name) && !NoCase{}(name, n)) {
                v = std::move(data);
                return;
            }
        }
        values.emplace_back(name, std::move(data));
    }
    std::uint32_t change(const std::wstring& subKey) {
        if (const auto refused = refusedKeys.find(subKey); refused != refusedKeys.end()) {
            return refused->second;
        }
        return changesMade++ == failChange ? err::kAccessDenied : 0;
    }
    // Every key above exists too, as in a real registry.
    void makePath(const std::wstring& key) {
        for (std::size_t at = key.find(L'\\'); at != std::wstring::npos;
             at = key.find(L'\\', at + 1)) {
            keys[key.substr(0, at)];
        }
        keys[key];
    }
    RegistryKeyCopy copyOf(const std::wstring& path, const std::wstring& name) const {
        RegistryKeyCopy c;
        c.name = name;
        c.values = keys.at(path);
        if (const auto s = security.find(path); s != security.end()) {
            c.security = s->second;
        }
        for (const std::wstring& child : children(path)) {
            c.subkeys.push_back(copyOf(path + L"\\" + child, child));
        }
        return c;
    }
    void make(const std::wstring& path, const RegistryKeyCopy& copy, bool withSecurity) {
        keys[path] = copy.values;
        if (withSecurity && !copy.security.empty()) {
            security[path] = copy.security;
        }
        for (const RegistryKeyCopy& sub : copy.subkeys) {
            make(path + L"\\" + sub.name, sub, withSecurity);
        }
    }
};

} // namespace kestrave::fake
