#include "text/volumes.h"

#include <algorithm>
#include <string_view>

#include "text/chapter_numbers.h"
#include "text/plain_text.h"

namespace folivra {

namespace {

constexpr std::string_view kMark = "{\\*\\folivravolume}";
// A volume's RTF is a header and nothing else; longer content is a chapter's.
constexpr size_t kMostVolumeBytes = 4096;

}  // namespace

bool holds_no_text(const Chapter& chapter) {
  if (chapter.content.size() > kMostVolumeBytes || !chapter.kept_content.empty()) return false;
  for (char16_t c : chapter_text16(chapter.content)) {
    if (c != u' ' && c != u'\r' && c != u'\n' && c != u'\t' && c != u'\u3000') return false;
  }
  return true;
}

bool has_volume_mark(const Chapter& chapter) {
  return chapter.content.size() <= kMostVolumeBytes &&
         chapter.content.find(kMark) != std::string::npos;
}

bool is_volume(const Chapter& chapter) {
  if (chapter.kind != 1 || chapter.content.size() > kMostVolumeBytes) return false;
  if (!has_volume_mark(chapter) && !is_volume_heading(gbk_to_utf16(chapter.name))) return false;
  return holds_no_text(chapter);
}

std::string volume_content() { return "{\\rtf1\\ansi\\ansicpg936" + std::string(kMark) + "}"; }

std::vector<int> volume_positions(const Book& book) {
  std::vector<int> out;
  for (size_t i = 0; i < book.chapters.size(); ++i) {
    if (is_volume(book.chapters[i])) out.push_back(static_cast<int>(i + 1));
  }
  return out;
}

int volume_end(const std::vector<int>& volumes, int count, int position) {
  const auto next = std::upper_bound(volumes.begin(), volumes.end(), position);
  return next == volumes.end() ? count : *next - 1;
}

int volume_holding(const std::vector<int>& volumes, int position) {
  const auto after = std::upper_bound(volumes.begin(), volumes.end(), position);
  return after == volumes.begin() ? 0 : *(after - 1);
}

}  // namespace folivra
