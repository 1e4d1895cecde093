#include "document/renumbering.h"

#include <algorithm>

#include "text/chapter_numbers.h"
#include "text/plain_text.h"
#include "text/text_rtf.h"
#include "text/volumes.h"

namespace folivra {

std::vector<ChapterEdit> renumbering_edits(const Book& book, bool per_volume) {
  std::vector<std::u16string> names;
  std::vector<bool> restarts(book.chapters.size());
  for (const Chapter& chapter : book.chapters) names.push_back(gbk_to_utf16(chapter.name));
  if (per_volume) {
    for (int v : volume_positions(book)) restarts[static_cast<size_t>(v - 1)] = true;
  }
  const std::vector<std::u16string> renamed = renumbered_names(names, restarts);
  std::vector<ChapterEdit> edits;
  for (size_t i = 0; i < renamed.size(); ++i) {
    if (!renamed[i].empty()) {
      edits.push_back({static_cast<int>(i + 1), std::nullopt, gbk_field(renamed[i])});
    }
  }
  return edits;
}

}  // namespace folivra
