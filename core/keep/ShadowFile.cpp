#include "core/keep/ShadowFile.h"

#include "core/keep/UtcTime.h"

namespace kestrave {

namespace {
constexpr std::size_t kMaxChars = 1024; // a document name longer than this is not shown

// Where each layout keeps its fields (byte offsets from the start of the file).
struct Layout {
    ShadowLayout kind;
    std::uint32_t signature;
    std::size_t offsetWidth; // 4 or 8
    std::size_t owner, document, printer, submitted, size, pages;
    std::size_t minimumHeader; // the header must reach past every field read
};
constexpr Layout kLayouts[] = {
    {ShadowLayout::Server2003, 0x4968, 4, 20, 28, 36, 60, 84, 88, 92},
    {ShadowLayout::Windows10, 0x5123, 8, 24, 40, 56, 104, 128, 132, 136},
};
constexpr std::size_t kJobIdAt = 12;
constexpr std::size_t kHeaderSizeAt = 4;

class Reader {
  public:
    explicit Reader(const std::vector<std::uint8_t>& bytes) : b_(bytes) {}
    std::size_t size() const { return b_.size(); }
    bool u16(std::size_t at, std::uint16_t& out) const {
        if (at > b_.size() || b_.size() - at < 2) {
            return false;
        }
        out = static_cast<std::uint16_t>(b_[at] | (b_[at + 1] << 8));
        return true;
    }
    bool u32(std::size_t at, std::uint32_t& out) const {
        std::uint16_t low = 0, high = 0;
        if (!u16(at, low) || !u16(at + 2, high)) {
            return false;
        }
        out = low | (static_cast<std::uint32_t>(high) << 16);
        return true;
    }
    // An offset of the layout's width; none where it does not fit in what was read.
    bool offset(std::size_t at, std::size_t width, std::size_t& out) const {
        std::uint32_t low = 0, high = 0;
        if (!u32(at, low) || (width == 8 && (!u32(at + 4, high) || high != 0))) {
            return false;
        }
        out = low;
        return true;
    }
    // A NUL-terminated UTF-16 string at `at`, which must lie after the header; empty where
    // it is absent (offset 0), runs out, is too long, or does not read as text.
    std::wstring text(std::size_t at, std::size_t header) const {
        if (at == 0 || at < header || at >= b_.size()) {
            return {};
        }
        std::wstring out;
        for (std::size_t i = at;; i += 2) {
            std::uint16_t unit = 0;
            if (!u16(i, unit) || out.size() > kMaxChars) {
                return {}; // no terminator within the file or the bound
            }
            if (unit == 0) {
                break;
            }
            out += static_cast<wchar_t>(unit);
        }
        return readable(out) ? out : std::wstring{};
    }

  private:
    // Printable text: no control characters, every surrogate in its pair.
    static bool readable(const std::wstring& s) {
        for (std::size_t i = 0; i < s.size(); ++i) {
            const auto c = static_cast<std::uint32_t>(s[i]);
            if (c < 0x20 || (c >= 0x7F && c < 0xA0)) {
                return false;
            }
            if (c >= 0xD800 && c <= 0xDBFF) {
                if (i + 1 >= s.size() || s[i + 1] < 0xDC00 || s[i + 1] > 0xDFFF) {
                    return false;
                }
                ++i;
            } else if (c >= 0xDC00 && c <= 0xDFFF) {
                return false;
            }
        }
        return true;
    }
    const std::vector<std::uint8_t>& b_;
};

std::optional<std::uint64_t> submittedAt(const Reader& r, std::size_t at) {
    std::uint16_t f[8] = {}; // year, month, day of week, day, hour, minute, second, ms
    for (std::size_t i = 0; i < 8; ++i) {
        if (!r.u16(at + 2 * i, f[i])) {
            return std::nullopt;
        }
    }
    if (f[2] > 6 || f[7] > 999) {
        return std::nullopt;
    }
    return fileTimeOf({f[0], f[1], f[3], f[4], f[5], f[6]});
}
} // namespace

std::optional<ShadowJob> parseShadowFile(const std::vector<std::uint8_t>& bytes) {
    const Reader r(bytes);
    std::uint32_t signature = 0, header = 0;
    if (!r.u32(0, signature) || !r.u32(kHeaderSizeAt, header)) {
        return std::nullopt;
    }
    for (const Layout& l : kLayouts) {
        if (signature != l.signature) {
            continue;
        }
        if (header < l.minimumHeader || header > r.size()) {
            return std::nullopt;
        }
        ShadowJob job;
        job.layout = l.kind;
        std::size_t owner = 0, document = 0, printer = 0;
        if (!r.u32(kJobIdAt, job.jobId) || !r.offset(l.owner, l.offsetWidth, owner) ||
            !r.offset(l.document, l.offsetWidth, document) ||
            !r.offset(l.printer, l.offsetWidth, printer) || !r.u32(l.size, job.size) ||
            !r.u32(l.pages, job.pages)) {
            return std::nullopt;
        }
        job.owner = r.text(owner, header);
        job.document = r.text(document, header);
        job.printer = r.text(printer, header);
        job.submitted = submittedAt(r, l.submitted);
        return job;
    }
    return std::nullopt;
}

} // namespace kestrave
