#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kestrave {

// The two layouts of a print job's shadow file (.SHD) the program reads. Neither is
// documented by Microsoft; their descriptions are public reverse-engineering:
// - Windows Server 2003 (signature 0x4968), 32-bit offsets: the SHD_HEADER of ReactOS's
//   local spooler (win32ss/printing/providers/localspl/precomp.h), which cites
//   undocprint.org's "formats/winspool/shd".
// - Windows 10 and later (signature 0x5123), the same fields with 64-bit offsets after a
//   4-byte pad: the "SHD spool shadow file" WinHex template of C. Katsavounidis (2021).
// Any other signature, or a header these do not fit, is not guessed at.
enum class ShadowLayout { Server2003, Windows10 };

struct ShadowJob {
    ShadowLayout layout{};
    std::uint32_t jobId = 0;
    std::wstring document; // empty where the file has none, or none that reads as text
    std::wstring owner;
    std::wstring printer;
    std::optional<std::uint64_t> submitted; // UTC FILETIME, where it is a real time
    std::uint32_t pages = 0;
    std::uint32_t size = 0; // the spool file's size, as the spooler wrote it down
};

// At most this much of a shadow file is read: the header and its strings come first, and
// what follows (a security descriptor, a printer's settings) is not needed.
inline constexpr std::size_t kShadowReadLimit = 64 * 1024;

// Reads a job's description from (the start of) its shadow file. The bytes are untrusted:
// every offset and length is checked against what was read, no string runs past it or past
// a bound, and a string with control characters or broken UTF-16 is left out. None where
// the layout is not one of the above.
std::optional<ShadowJob> parseShadowFile(const std::vector<std::uint8_t>& bytes);

} // namespace kestrave
