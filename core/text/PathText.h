#pragma once
#include <string>

namespace kestrave {

// A drive path without the "\\?\" form or trailing backslashes (a root keeps its own).
std::wstring plainPath(std::wstring path);
// A path as the file system compares it: plain, and in upper case as names are compared.
std::wstring pathKey(std::wstring path);

// The program file a service's command line starts: the quoted part, or up to ".exe", as
// stored (environment variables unexpanded).
std::wstring programOf(const std::wstring& commandLine);

} // namespace kestrave
