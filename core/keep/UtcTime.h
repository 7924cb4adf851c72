#pragma once
#include <cstdint>
#include <optional>
#include <string>

namespace kestrave {

// A moment of the proleptic Gregorian calendar, UTC, to the second.
struct UtcTime {
    int year = 1601, month = 1, day = 1, hour = 0, minute = 0, second = 0;
};

// FILETIMEs (100 ns since 1601-01-01 UTC) and calendar times, both ways; none for a time
// that is no real date (2026-02-30, 24:00) or falls before 1601 or after 30827.
std::optional<std::uint64_t> fileTimeOf(const UtcTime& t);
UtcTime utcTimeOf(std::uint64_t fileTime);
// As the lists show it: 2026-12-08 04:30:00.
std::wstring utcText(std::uint64_t fileTime);
// As a name can hold it: 20261208-043000.
std::wstring compactUtcText(std::uint64_t fileTime);

inline constexpr std::uint64_t kFileTimeSecond = 10'000'000;
inline constexpr std::int64_t kSecondsPerDay = 86'400;

} // namespace kestrave
