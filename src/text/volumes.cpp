#include "text/volumes.h"

#include <algorithm>
#include <string_view>

#include "text/numerals.h"
#include "text/plain_text.h"

namespace folivra {

namespace {

constexpr std::string_view kMark = "{\\*\\folivravolume}";
// A volume's RTF is a header and nothing else; longer content is a chapter's.
constexpr size_t kMostVolumeBytes = 4096;

bool is_volume_unit(char16_t c) { return c == u'卷' || c == u'部' || c == u'篇' || c == u'集'; }

// What may follow a heading's word: nothing, a space or a separator before
// its title ("第一卷 风起", "第一卷：风起"); not more of a sentence.
bool heading_ends(std::u16string_view name, size_t at) {
  if (at >= name.size()) return true;
  return std::u16string_view(u" \u3000\t:：·.、-—_（(【[「《").find(name[at]) !=
         std::u16string_view::npos;
}

}  // namespace

bool is_volume_heading(std::u16string_view name) {
  size_t at = 0;
  while (at < name.size() && (name[at] == u' ' || name[at] == u'\u3000')) ++at;
  name.remove_prefix(at);
  if (name.size() < 2) return false;
  long value = 0;
  bool full_width = false;
  auto numeral = [&](size_t from) {
    const size_t digits = read_arabic_numeral(name, from, value, full_width);
    return digits ? digits : read_chinese_numeral(name, from, value);
  };
  if (name[0] == u'第') {  // 第一卷, 第2部 …
    const size_t length = numeral(1);
    return length && 1 + length < name.size() && is_volume_unit(name[1 + length]) &&
           heading_ends(name, 2 + length);
  }
  if (name[0] == u'卷') {  // 卷一, 卷2
    const size_t length = numeral(1);
    return length && heading_ends(name, 1 + length);
  }
  if (std::u16string_view(u"上中下").find(name[0]) != std::u16string_view::npos) {  // 上卷
    return name[1] != u'集' && is_volume_unit(name[1]) && heading_ends(name, 2);
  }
  return false;
}

bool holds_no_text(const Chapter& chapter) {
  if (chapter.content.size() > kMostVolumeBytes || !chapter.kept_content.empty() ||
      chapter.content_pending) {
    return false;  // a content still being read is larger than a volume's
  }
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
  return is_volume(chapter, gbk_to_utf16(chapter.name));
}

bool is_volume(const Chapter& chapter, std::u16string_view name) {
  if (chapter.kind != 1 || chapter.content.size() > kMostVolumeBytes) return false;
  if (!has_volume_mark(chapter) && !is_volume_heading(name)) return false;
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
