#pragma once

#include <string>
#include <string_view>

namespace folivra {

// The file choosers' filter texts, "description|pattern|…".
inline constexpr std::wstring_view kBookFilter = L"ZQB书籍(*.zqb)|*.zqb";
inline constexpr std::wstring_view kProgramFilter = L"应用程序(*.exe)|*.exe";
inline constexpr std::wstring_view kTextFilter = L"文本文档(*.txt)|*.txt|(所有文件*.*)|*.*";
inline constexpr std::wstring_view kDefaultSaveFilter = L"TXT文档(*.txt)|*.txt|所有文件(*.*)|*.*";
inline constexpr std::wstring_view kDefaultOpenFilter = L"所有文件(*.*)|*.*";

// The platform's filter list: every "|" becomes a zero and a second zero
// ends the list.
std::wstring filter_list(std::wstring_view filter);

}  // namespace folivra
