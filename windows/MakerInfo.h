#pragma once
#include <string>

namespace kestrave::maker {

// The maker's addresses in one place (the texts are in the string table). The project has no site
// of its own yet: these addresses are placeholders under example.com, a domain reserved for
// documentation.
inline const std::wstring kSiteName = L"example.com";
inline const std::wstring kSiteUrl = L"https://www.example.com/kestrave/";
inline const std::wstring kDonateUrl = L"https://www.example.com/kestrave/donate";

} // namespace kestrave::maker
