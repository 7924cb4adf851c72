#include "cli/JsonText.h"

#include <charconv>

namespace kestrave::cli::json {

namespace {
const char kHex[] = "0123456789abcdef";

std::string digits(std::uint64_t value, bool negative = false) {
    char buffer[24];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    return (negative ? "-" : "") + std::string(buffer, end);
}

void unit(std::string& out, unsigned u) {
    out += "\\u";
    for (int shift = 12; shift >= 0; shift -= 4) {
        out += kHex[(u >> shift) & 0xF];
    }
}

// One character as JSON writes it; `c` is a UTF-16 unit on Windows, a code point elsewhere.
void escape(std::string& out, std::uint32_t c) {
    switch (c) {
    case '"':
        out += "\\\"";
        return;
    case '\\':
        out += "\\\\";
        return;
    case '\n':
        out += "\\n";
        return;
    case '\r':
        out += "\\r";
        return;
    case '\t':
        out += "\\t";
        return;
    default:
        break;
    }
    if (c >= 0x20 && c < 0x7F) {
        out += static_cast<char>(c);
    } else if (c > 0xFFFF) {
        const std::uint32_t v = c - 0x10000;
        unit(out, 0xD800 + (v >> 10));
        unit(out, 0xDC00 + (v & 0x3FF));
    } else {
        unit(out, c);
    }
}
} // namespace

std::string quoted(const std::wstring& text, std::size_t limit) {
    std::string out = "\"";
    std::string one;
    for (std::size_t i = 0; i < text.size(); ++i) {
        one.clear();
        escape(one, static_cast<std::uint32_t>(text[i]));
        // A surrogate pair goes whole or not at all.
        if (text[i] >= 0xD800 && text[i] < 0xDC00 && i + 1 < text.size()) {
            escape(one, static_cast<std::uint32_t>(text[++i]));
        }
        out += one;
    }
    out += "\"";
    if (out.size() <= limit) {
        return out;
    }
    // Too long: again, up to what leaves room for the "..." and the closing quote.
    std::string cut = "\"";
    for (std::size_t i = 0; i < text.size(); ++i) {
        one.clear();
        escape(one, static_cast<std::uint32_t>(text[i]));
        if (text[i] >= 0xD800 && text[i] < 0xDC00 && i + 1 < text.size()) {
            escape(one, static_cast<std::uint32_t>(text[++i]));
        }
        if (cut.size() + one.size() + 4 > limit) {
            break;
        }
        cut += one;
    }
    return cut + "...\"";
}

std::string quoted(const char* ascii) {
    return quoted(std::wstring(ascii, ascii + std::char_traits<char>::length(ascii)));
}

Object& Object::add(const char* key, const std::string& json) {
    if (body_.size() > 1) {
        body_ += ",";
    }
    body_ += quoted(key) + ":" + json;
    return *this;
}

Object& Object::text(const char* key, const std::wstring& value, std::size_t limit) {
    return add(key, quoted(value, limit));
}

Object& Object::name(const char* key, const char* ascii) {
    return add(key, quoted(ascii));
}

Object& Object::number(const char* key, std::uint64_t value) {
    return add(key, digits(value));
}

Object& Object::integer(const char* key, long long value) {
    return add(key, value < 0 ? digits(static_cast<std::uint64_t>(-(value + 1)) + 1, true)
                              : digits(static_cast<std::uint64_t>(value)));
}

Object& Object::flag(const char* key, bool value) {
    return add(key, value ? "true" : "false");
}

std::string array(const std::vector<std::string>& items) {
    std::string out = "[";
    for (const std::string& item : items) {
        out += (out.size() > 1 ? "," : "") + item;
    }
    return out + "]";
}

} // namespace kestrave::cli::json
