#pragma once
// A strict reader of the JSON the program writes, so tests check the document as a fleet's
// parser reads it rather than as text. Throws std::runtime_error on anything malformed.
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace kestrave::test::json {

struct Value {
    enum class Kind { Null, Bool, Number, String, Array, Object } kind = Kind::Null;
    bool flag = false;
    double number = 0;
    std::wstring text;
    std::vector<Value> items;
    std::map<std::string, Value> members;
    std::vector<std::string> order; // the members' keys, as written

    const Value& operator[](const std::string& key) const {
        const auto it = members.find(key);
        if (kind != Kind::Object || it == members.end()) {
            throw std::runtime_error("no member " + key);
        }
        return it->second;
    }
    bool has(const std::string& key) const { return members.count(key) != 0; }
    long long integer() const { return static_cast<long long>(number); }
};

class Reader {
  public:
    explicit Reader(const std::string& s) : s_(s) {}
    Value document() {
        Value v = value();
        if (i_ != s_.size()) {
            fail("text after the document");
        }
        return v;
    }

  private:
    [[noreturn]] void fail(const char* why) {
        throw std::runtime_error(std::string(why) + " at " + std::to_string(i_));
    }
    char next() { return i_ < s_.size() ? s_[i_] : '\0'; }
    void expect(char c) {
        if (next() != c) {
            fail("unexpected character");
        }
        ++i_;
    }
    unsigned hex4() {
        unsigned u = 0;
        for (int k = 0; k < 4; ++k) {
            const char c = next();
            ++i_;
            u = u * 16 + (c >= '0' && c <= '9' ? c - '0'
                          : c >= 'a' && c <= 'f' ? c - 'a' + 10
                          : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                 : (fail("bad \\u"), 0));
        }
        return u;
    }
    std::wstring string() {
        expect('"');
        std::wstring out;
        while (next() != '"') {
            const char c = next();
            if (c == '\0' || static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) > 0x7E) {
                fail("not printable ASCII inside a string");
            }
            ++i_;
            if (c != '\\') {
                out += static_cast<wchar_t>(c);
                continue;
            }
            const char e = next();
            ++i_;
            switch (e) {
            case '"': out += L'"'; break;
            case '\\': out += L'\\'; break;
            case '/': out += L'/'; break;
            case 'n': out += L'\n'; break;
            case 'r': out += L'\r'; break;
            case 't': out += L'\t'; break;
            case 'b': out += L'\b'; break;
            case 'f': out += L'\f'; break;
            case 'u': {
                unsigned u = hex4();
                if (u >= 0xD800 && u < 0xDC00) {
                    expect('\\');
                    expect('u');
                    const unsigned low = hex4();
                    if (low < 0xDC00 || low >= 0xE000) {
                        fail("a lone high surrogate");
                    }
                    if constexpr (sizeof(wchar_t) == 2) {
                        out += static_cast<wchar_t>(u);
                        u = low;
                    } else {
                        u = 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00);
                    }
                }
                out += static_cast<wchar_t>(u);
                break;
            }
            default: fail("bad escape");
            }
        }
        ++i_;
        return out;
    }
    Value value() {
        Value v;
        const char c = next();
        if (c == '{') {
            v.kind = Value::Kind::Object;
            ++i_;
            while (next() != '}') {
                if (!v.order.empty()) {
                    expect(',');
                }
                const std::wstring key = string();
                expect(':');
                const std::string k(key.begin(), key.end());
                if (v.members.count(k) != 0) {
                    fail("a key twice");
                }
                v.order.push_back(k);
                v.members[k] = value();
            }
            ++i_;
        } else if (c == '[') {
            v.kind = Value::Kind::Array;
            ++i_;
            while (next() != ']') {
                if (!v.items.empty()) {
                    expect(',');
                }
                v.items.push_back(value());
            }
            ++i_;
        } else if (c == '"') {
            v.kind = Value::Kind::String;
            v.text = string();
        } else if (s_.compare(i_, 4, "true") == 0 || s_.compare(i_, 5, "false") == 0) {
            v.kind = Value::Kind::Bool;
            v.flag = c == 't';
            i_ += v.flag ? 4 : 5;
        } else if (s_.compare(i_, 4, "null") == 0) {
            i_ += 4;
        } else if (c == '-' || (c >= '0' && c <= '9')) {
            const std::size_t from = i_;
            while (next() == '-' || next() == '.' || (next() >= '0' && next() <= '9')) {
                ++i_;
            }
            v.kind = Value::Kind::Number;
            v.number = std::stod(s_.substr(from, i_ - from));
        } else {
            fail("no value");
        }
        return v;
    }
    const std::string& s_;
    std::size_t i_ = 0;
};

inline Value parse(const std::wstring& line) {
    std::string ascii;
    for (const wchar_t c : line) {
        if (c > 0x7E || c < 0x20) {
            throw std::runtime_error("the document is not printable ASCII");
        }
        ascii += static_cast<char>(c);
    }
    return Reader(ascii).document();
}

} // namespace kestrave::test::json
