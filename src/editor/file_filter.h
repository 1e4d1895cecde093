#pragma once

#include <string>
#include <string_view>

namespace folivra {

// The file choosers' filter texts, "description|pattern|…".
inline constexpr std::string_view kBookFilter = "ZQB\xCA\xE9\xBC\xAE(*.zqb)|*.zqb";
inline constexpr std::string_view kProgramFilter = "\xD3\xA6\xD3\xC3\xB3\xCC\xD0\xF2(*.exe)|*.exe";
inline constexpr std::string_view kTextFilter =
    "\xCE\xC4\xB1\xBE\xCE\xC4\xB5\xB5(*.txt)|*.txt|(\xCB\xF9\xD3\xD0\xCE\xC4\xBC\xFE*.*)|*.*";
inline constexpr std::string_view kDefaultSaveFilter =
    "TXT\xCE\xC4\xB5\xB5(*.txt)|*.txt|\xCB\xF9\xD3\xD0\xCE\xC4\xBC\xFE(*.*)|*.*";
inline constexpr std::string_view kDefaultOpenFilter = "\xCB\xF9\xD3\xD0\xCE\xC4\xBC\xFE(*.*)|*.*";

// The platform's filter list: every "|" becomes a zero byte and a second
// zero byte ends the list.
std::string filter_list(std::string_view filter);

}  // namespace folivra
