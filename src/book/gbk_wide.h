#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace folivra {

// GBK bytes to and from the UTF-16 of the window system (elsewhere, for
// tests, code points: only the conversions to wide text).
std::wstring gbk_to_wide(std::string_view gbk);
// Empty when the text holds a character GBK cannot represent.
std::optional<std::string> wide_to_gbk(std::wstring_view wide);

}  // namespace folivra

namespace folivra {

// For text typed by the user: characters GBK cannot hold become '?'.
std::string wide_to_gbk_lossy(std::wstring_view wide);

// Paths, and messages that name them, kept as text: GBK, with each character
// GBK cannot hold in GB18030's four-byte form. That form never occurs in GBK
// text, so such a path still opens, saves and stays in the recent list, and
// every GBK path keeps its bytes.
std::wstring path_text_to_wide(std::string_view text);
std::string wide_to_path_text(std::wstring_view wide);

}  // namespace folivra
