#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace folivra {

// A second reader of an RTF chapter's text, written apart from the core's
// walk and as plainly as can be, for the fuzzer to hold the walk against:
// recursive over groups, the whole text built before a row's start is put
// in front of its paragraph or the last paragraph break is dropped. Nothing
// for RTF nested deeper than it follows.
std::optional<std::u16string> reference_rtf_text(std::string_view rtf);

}  // namespace folivra
