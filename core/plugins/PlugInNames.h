#pragma once
#include <string>

namespace kestrave::plugins {

// Where the spooler's plug-ins and printers are kept, under HKEY_LOCAL_MACHINE.
inline constexpr wchar_t kPrintKey[] = L"SYSTEM\\CurrentControlSet\\Control\\Print";
inline constexpr wchar_t kMonitorsKey[] = L"SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors";
inline constexpr wchar_t kPrintersKey[] = L"SYSTEM\\CurrentControlSet\\Control\\Print\\Printers";
// What is taken out waits here: a key only administrators may change.
inline constexpr wchar_t kQuarantineKey[] = L"SOFTWARE\\Kestrave\\Quarantine";
// The print processor every printer can fall back on, and the datatype it always takes.
inline constexpr wchar_t kWindowsProcessor[] = L"winprint";
inline constexpr wchar_t kRawDatatype[] = L"RAW";

// The print processors of one environment (Windows x64 for the 64-bit spooler).
std::wstring processorsKey(const std::wstring& environment);

// Names as the registry compares them: without regard to case, never as paths.
bool sameName(const std::wstring& a, const std::wstring& b);

// Whether a print processor or monitor of that name is one Windows itself ships: those are
// never taken out, whatever their files claim.
bool isWindowsOwn(const std::wstring& name);

// Whether a file's version record names the system's maker (forgeable, and kept by plug-ins
// built from its samples: a reason to ask again, never to refuse outright).
bool claimsSystemMaker(const std::wstring& company, const std::wstring& systemMaker);

} // namespace kestrave::plugins
