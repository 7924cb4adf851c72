#pragma once
#include <cstdint>
#include <fstream>
#include <map>
#include <memory>
#include <mutex>
#include <regex>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/IStringTable.h"

namespace kestrave::fake {

// The program's real string table, read from its resource script, every block of it, shown
// in one language: the tests see exactly the texts the program file carries.
class FakeStringTable : public IStringTable {
  public:
    enum class Language { Chinese, English, Traditional };

    explicit FakeStringTable(Language language = Language::Chinese)
        : FakeStringTable(blockOf(language)) {}
    // The block a UI language reads, as the program chooses it.
    explicit FakeStringTable(std::uint16_t uiLanguage,
                             const std::string& script = read("Strings.rc"))
        : parsed_(parsed(script)), language_(lang::forUiLanguage(uiLanguage)) {}

    std::wstring text(int id) const override {
        return lang::textOrEnglish([this](std::uint16_t b, int n) { return textIn(b, n); },
                                   language_.block, id);
    }
    const lang::Language& language() const override { return language_; }
    // One block's own texts, with no falling back.
    std::wstring textIn(std::uint16_t block, int id) const {
        const auto b = parsed_->blocks.find(block);
        if (b == parsed_->blocks.end()) {
            return {};
        }
        const auto it = b->second.find(id);
        return it == b->second.end() ? std::wstring() : it->second;
    }
    const std::map<int, std::wstring>& all() const { return parsed_->blocks.at(language_.block); }
    const std::map<int, std::wstring>& block(std::uint16_t id) const {
        return parsed_->blocks.at(id);
    }
    // The blocks the script has, by language id.
    std::vector<std::uint16_t> blocks() const {
        std::vector<std::uint16_t> ids;
        for (const auto& [id, texts] : parsed_->blocks) {
            ids.push_back(id);
        }
        return ids;
    }
    // The id a name has in StringIds.h.
    int id(const std::string& name) const { return parsed_->ids.at(name); }
    static std::string read(const std::string& name) {
        std::ifstream in(std::string(KESTRAVE_SOURCE_DIR) + "/resources/" + name);
        if (!in) {
            throw std::runtime_error("cannot read resources/" + name);
        }
        std::ostringstream all;
        all << in.rdbuf();
        return all.str();
    }

  private:
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

    static std::uint16_t blockOf(Language language) {
        switch (language) {
        case Language::English:
            return lang::kEnglish;
        case Language::Traditional:
            return lang::kTraditional;
        case Language::Chinese:
            break;
        }
        return lang::kSimplified;
    }

    // A script read once per test program: every table made from the same script shares it
    // (reading it is most of what a test of a window costs, many times over under valgrind).
    struct Parsed {
        std::map<std::string, int> ids;
        std::map<std::uint16_t, std::map<int, std::wstring>> blocks;
    };
    static std::shared_ptr<const Parsed> parsed(const std::string& script) {
        static std::mutex guard;
        static std::map<std::string, std::shared_ptr<const Parsed>> done;
        const std::lock_guard<std::mutex> hold(guard);
        std::shared_ptr<const Parsed>& entry = done[script];
        if (!entry) {
            entry = load(script);
        }
        return entry;
    }

    static std::shared_ptr<const Parsed> load(const std::string& script) {
        auto out = std::make_shared<Parsed>();
        auto& ids_ = out->ids;
        auto& blocks_ = out->blocks;
        const std::regex define(R"(#define\s+(IDS_\w+)\s+(\d+))");
        const std::string ids = read("StringIds.h");
        for (std::sregex_iterator it(ids.begin(), ids.end(), define), end; it != end; ++it) {
            ids_[(*it)[1]] = std::stoi((*it)[2]);
        }
        // The blocks as the language table names them in the script.
        std::map<std::string, std::uint16_t> languages;
        for (const lang::Language& l : lang::all()) {
            languages[std::string(l.script)] = l.block;
        }
        const std::regex header(R"(LANGUAGE\s+(\w+,\s*\w+))");
        const std::regex entry(R"rx((IDS_\w+)\s+"((?:[^"]|"")*)")rx");
        for (std::sregex_iterator h(script.begin(), script.end(), header), end; h != end; ++h) {
            const std::size_t from = static_cast<std::size_t>(h->position());
            const std::size_t to = script.find("\nEND", from);
            const std::string block = script.substr(from, to - from);
            auto& texts = blocks_[languages.at((*h)[1])];
            for (std::sregex_iterator it(block.begin(), block.end(), entry); it != end; ++it) {
                std::string value = (*it)[2];
                for (std::size_t q = value.find("\"\""); q != std::string::npos;
                     q = value.find("\"\"", q + 1)) {
                    value.erase(q, 1);
                }
                texts[ids_.at((*it)[1])] = fromUtf8(value);
            }
        }
        return out;
    }

    std::shared_ptr<const Parsed> parsed_;
    const lang::Language& language_;
};

} // namespace kestrave::fake
