#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace folivra {

// A run of characters that both texts share, or only the old or the new has.
struct DiffPiece {
  enum class Kind { same, removed, added } kind = Kind::same;
  std::u16string text;
};

// A paragraph of the comparison: as it was, gone, new, or changed (its
// pieces mark the characters taken out and put in).
struct DiffParagraph {
  enum class Kind { same, removed, added, changed } kind = Kind::same;
  std::vector<DiffPiece> pieces;
};

struct TextDiff {
  std::vector<DiffParagraph> paragraphs;
  int added = 0, removed = 0, changed = 0;
};

// What changed from `before` to `after`, texts as the control holds them
// (a paragraph ends at '\r'). Paragraphs are matched whole first; a removed
// paragraph and an added one in the same place that share most of their
// characters are one changed paragraph. Very far-apart texts are compared
// no further than a bound of work: what lies beyond it counts as replaced.
TextDiff diff_texts(std::u16string_view before, std::u16string_view after);

}  // namespace folivra
