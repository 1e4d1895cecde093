#include "book/gbk.h"
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace folivra {

// The face (GBK) and size in points that new chapter text is written in.
struct RtfFont {
  std::string name = gbk_of("宋体");
  int size = 12;
};

// RTF as the editor reads it: one paragraph per line, in `font`. Characters
// GBK has are written as GBK bytes (\ansicpg936), the others as \uN.
std::string rtf_of_lines(const std::vector<std::u16string>& lines, const RtfFont& font);

// A text for a field the format keeps as GBK: characters GBK lacks become
// '?', and `replaced` (when given) grows by their number.
std::string gbk_field(std::u16string_view text, size_t* replaced = nullptr);

}  // namespace folivra
