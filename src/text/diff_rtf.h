#pragma once

#include <string>

#include "text/text_diff.h"

namespace folivra {

// A comparison as RTF for a control to show: removed text red and struck
// through, added text green and underlined, the rest as it is; `face` and
// `points` the editor's font (face in GBK).
std::string diff_as_rtf(const TextDiff& diff, const std::string& face, int points);

}  // namespace folivra
