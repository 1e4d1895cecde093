#include "document/chapter_look.h"

#include "text/plain_text.h"
#include "text/rtf_check.h"
#include "text/text_rtf.h"

namespace folivra {

std::string_view shown_content(const Chapter& chapter) {
  const std::string_view content = chapter.content;
  return content.substr(0, content.find('\0'));
}

ChapterLook chapter_look(const Chapter& chapter) {
  const std::string_view content = shown_content(chapter);
  if (content.empty() && !chapter.kept_content.empty()) return ChapterLook::damaged;
  if (looks_like_rtf(content) && !rtf_fits_control(content, kAnyDepth)) return ChapterLook::damaged;
  if (looks_like_rtf(content) && !rtf_fits_control(content)) {
    return rtf_tables_fit_control(content) ? ChapterLook::too_deep : ChapterLook::odd_tables;
  }
  if (count_line_breaks(content) > kMaxShownParagraphs) return ChapterLook::too_long;
  return chapter.kind == 1 ? ChapterLook::editable : ChapterLook::read_only;
}

bool shown_as_text(ChapterLook look) {
  return look == ChapterLook::too_long || look == ChapterLook::too_deep ||
         look == ChapterLook::odd_tables;
}

std::string text_preview(const Chapter& chapter, ChapterLook look) {
  const std::vector<std::string> lines = plain_lines(shown_content(chapter));
  std::vector<std::u16string> shown;
  shown.push_back(utf8_to_utf16(
      look == ChapterLook::too_deep
          ? "（这一章的格式嵌套多于编辑器能显示的 " + std::to_string(kMaxControlDepth) +
                " 层：这里只读地显示它的文字，原文保存时不变。）"
      : look == ChapterLook::odd_tables
          ? std::string(
                "（这一章的表格写法编辑器无法显示：这里只读地显示它的文字，原文保存时不变。）")
          : "（这一章有 " + std::to_string(lines.size()) + " 段，多于编辑器一次能显示的 " +
                std::to_string(kMaxShownParagraphs) + " 段：这里只读地显示它的前 " +
                std::to_string(kMaxShownParagraphs) + " 段文字，原文保存时不变。）"));
  for (size_t i = 0; i < lines.size() && i < kMaxShownParagraphs; ++i) {
    shown.push_back(utf8_to_utf16(lines[i]));
  }
  return rtf_of_lines(shown, RtfFont{});
}

}  // namespace folivra
