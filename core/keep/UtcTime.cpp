#include "core/keep/UtcTime.h"

#include "core/text/TextFormat.h"

namespace kestrave {

namespace {
constexpr std::int64_t kDaysTo1970 = 719'468; // 0000-03-01 to 1970-01-01
constexpr std::int64_t kUnixFrom1601 = 11'644'473'600;

// The well-known era arithmetic: 400-year cycles of 146097 days, years counted from March.
std::int64_t daysFromCivil(int y, int m, int d) {
    y -= m <= 2 ? 1 : 0;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int yoe = static_cast<int>(y - era * 400);
    const int doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - kDaysTo1970;
}

bool leap(int y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int daysIn(int y, int m) {
    constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && leap(y) ? 29 : kDays[m - 1];
}
} // namespace

std::optional<std::uint64_t> fileTimeOf(const UtcTime& t) {
    if (t.year < 1601 || t.year > 30827 || t.month < 1 || t.month > 12 || t.day < 1 ||
        t.day > daysIn(t.year, t.month) || t.hour < 0 || t.hour > 23 || t.minute < 0 ||
        t.minute > 59 || t.second < 0 || t.second > 59) {
        return std::nullopt;
    }
    const std::int64_t seconds = daysFromCivil(t.year, t.month, t.day) * kSecondsPerDay +
                                 t.hour * 3600 + t.minute * 60 + t.second + kUnixFrom1601;
    return static_cast<std::uint64_t>(seconds) * kFileTimeSecond;
}

UtcTime utcTimeOf(std::uint64_t fileTime) {
    const std::int64_t seconds = static_cast<std::int64_t>(fileTime / kFileTimeSecond);
    const std::int64_t rest = seconds % kSecondsPerDay; // never negative: counted from 1601
    const std::int64_t days =
        seconds / kSecondsPerDay - kUnixFrom1601 / kSecondsPerDay + kDaysTo1970;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const int doe = static_cast<int>(days - era * 146097);
    const int yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int mp = (5 * doy + 2) / 153;
    UtcTime t;
    t.day = doy - (153 * mp + 2) / 5 + 1;
    t.month = mp + (mp < 10 ? 3 : -9);
    t.year = static_cast<int>(yoe + era * 400) + (t.month <= 2 ? 1 : 0);
    t.hour = static_cast<int>(rest / 3600);
    t.minute = static_cast<int>(rest / 60 % 60);
    t.second = static_cast<int>(rest % 60);
    return t;
}

namespace {
std::wstring joined(const UtcTime& t, const wchar_t* dateMark, const wchar_t* between,
                    const wchar_t* timeMark) {
    return decimal(t.year, 4) + dateMark + decimal(t.month, 2) + dateMark + decimal(t.day, 2) +
           between + decimal(t.hour, 2) + timeMark + decimal(t.minute, 2) + timeMark +
           decimal(t.second, 2);
}
} // namespace

std::wstring utcText(std::uint64_t fileTime) {
    return joined(utcTimeOf(fileTime), L"-", L" ", L":");
}

std::wstring compactUtcText(std::uint64_t fileTime) {
    return joined(utcTimeOf(fileTime), L"", L"-", L"");
}

} // namespace kestrave
