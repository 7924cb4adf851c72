#pragma once
#include <string>

namespace kestrave::maker {

// The maker's details in one place. The project has no site of its own yet: these addresses
// are placeholders under example.com, a domain reserved for documentation.
inline const std::wstring kSiteName = L"example.com";
inline const std::wstring kSiteUrl = L"https://www.example.com/kestrave/";
inline const std::wstring kDonateUrl = L"https://www.example.com/kestrave/donate";
inline const std::wstring kDonateTip = L"GoTo Donate-Page";
inline const std::wstring kNotice = L"© 2026 Kestrave 开发组  作者：Kestrave 开发者";

} // namespace kestrave::maker
