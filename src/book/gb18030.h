#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace folivra {

// The four-byte form of GB18030: every code point that has no two-byte form,
// written as four bytes whose second and fourth are the digits 0x30..0x39.
// A GBK lead byte is never followed by such a digit, so the form mixes with
// GBK text without ambiguity.
std::string gb18030_four_bytes(char32_t code_point);
// The code point of four such bytes, or nothing when they are not one.
std::optional<char32_t> gb18030_code_point(std::string_view four);

// True when `bytes` starts a four-byte sequence.
bool starts_gb18030_four(std::string_view bytes);

}  // namespace folivra
