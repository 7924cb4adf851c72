#pragma once
#include <cstdint>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <stdexcept>
#include <string>

#include "platform/IStringTable.h"

namespace kestrave::fake {

// The program's real string table, read from its resource script, in one of its languages:
// the tests see exactly the texts the program file carries.
class FakeStringTable : public IStringTable {
  public:
    enum class Language { Chinese, English };

    explicit FakeStringTable(Language language = Language::Chinese) { load(language); }

    std::wstring text(int id) const override {
        const auto it = texts_.find(id);
        return it == texts_.end() ? std::wstring() : it->second;
    }
    const std::map<int, std::wstring>& all() const { return texts_; }
    // The id a name has in StringIds.h.
    int id(const std::string& name) const { return ids_.at(name); }

  private:
    static std::string read(const std::string& name) {
        std::ifstream in(std::string(KESTRAVE_SOURCE_DIR) + "/resources/" + name);
        if (!in) {
            throw std::runtime_error("cannot read resources/" + name);
        }
        std::ostringstream all;
        all << in.rdbuf();
        return all.str();
    }

    static std::wstring fromUtf8(const std::string& s) {
        std::wstring out;
        for (std::size_t i = 0; i < s.size();) {
            const auto c = static_cast<unsigned char>(s[i]);
            const int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
            std::uint32_t cp = extra == 0 ? c : c & (0x3F >> extra);
            for (int k = 1; k <= extra && i + static_cast<std::size_t>(k) < s.size(); ++k) {
                cp = (cp << 6) |
                     (static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]) & 0x3F);
            }
            out += static_cast<wchar_t>(cp);
            i += static_cast<std::size_t>(extra) + 1;
        }
        return out;
    }

    void load(Language language) {
        const std::regex define(R"(#define\s+(IDS_\w+)\s+(\d+))");
        const std::string ids = read("StringIds.h");
        for (std::sregex_iterator it(ids.begin(), ids.end(), define), end; it != end; ++it) {
            ids_[(*it)[1]] = std::stoi((*it)[2]);
        }
        const std::string script = read("Strings.rc");
        const std::string marker = language == Language::Chinese ? "LANG_CHINESE" : "LANG_ENGLISH";
        const std::size_t from = script.find("LANGUAGE " + marker);
        const std::size_t to = script.find("\nEND", from);
        const std::string block = script.substr(from, to - from);
        const std::regex entry(R"rx((IDS_\w+)\s+"((?:[^"]|"")*)")rx");
        for (std::sregex_iterator it(block.begin(), block.end(), entry), end; it != end; ++it) {
            std::string value = (*it)[2];
            for (std::size_t q = value.find("\"\""); q != std::string::npos;
                 q = value.find("\"\"", q + 1)) {
                value.erase(q, 1);
            }
            texts_[ids_.at((*it)[1])] = fromUtf8(value);
        }
    }

    std::map<std::string, int> ids_;
    std::map<int, std::wstring> texts_;
};

} // namespace kestrave::fake
