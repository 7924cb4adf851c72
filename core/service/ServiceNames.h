#pragma once

namespace kestrave::service {

// The print spooler's service name, as the service manager knows it.
inline constexpr wchar_t kSpooler[] = L"Spooler";

} // namespace kestrave::service
