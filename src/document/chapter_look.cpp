#include "document/chapter_look.h"

#include <algorithm>
#include <cctype>
#include <cstdint>

#include "text/plain_text.h"
#include "text/rtf_check.h"
#include "text/rtf_walk.h"
#include "text/text_rtf.h"

namespace folivra {

std::string_view shown_content(const Chapter& chapter) {
  const std::string_view content = chapter.content;
  return content.substr(0, content.find('\0'));
}

namespace {

// A chapter shown as text shows this much of its start, in pieces of at
// most kPreviewPiece characters: enough to see what it is, quickly.
constexpr size_t kPreviewPiece = 1000;
constexpr size_t kPreviewCharacters = 200000;
constexpr size_t kPreviewBytes = 16 * kPreviewCharacters;  // of the stored content, read for it

// The work of laying out a text: the sum of the squares of its
// paragraphs' lengths.
uint64_t layout_work(size_t length) { return uint64_t{length} * length; }

bool hex_digit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// A paragraph holds no more characters than the bytes stored between the
// breaks that end paragraphs (\par in RTF), a \'xx escape counted as one,
// so the work of these stretches is at least the text's: only a content
// where it runs high is walked.
uint64_t stored_layout_work(std::string_view content) {
  const bool rtf = looks_like_rtf(content);
  uint64_t work = 0;
  size_t stretch = 0;
  for (size_t i = 0; i < content.size(); ++i, ++stretch) {
    const char c = content[i];
    if (!rtf) {
      if (c != '\r' && c != '\n') continue;
    } else if (c != '\\') {
      continue;
    } else if (i + 3 < content.size() && content[i + 1] == '\'' && hex_digit(content[i + 2]) &&
               hex_digit(content[i + 3])) {
      i += 3;  // the escape's other bytes
      continue;
    } else if (content.substr(i + 1, 3) != "par" ||
               (i + 4 < content.size() &&
                std::isalpha(static_cast<unsigned char>(content[i + 4])))) {
      continue;
    }
    work += layout_work(stretch);
    stretch = 0;
  }
  return work + layout_work(stretch);
}

uint64_t text_layout_work(std::string_view content) {
  uint64_t work = 0;
  size_t length = 0;
  for_each_text_character(content, [&](const TextCharacter& c) {
    if (c.unit == u'\r') {
      work += layout_work(length);
      length = 0;
    } else {
      ++length;
    }
  });
  return work + layout_work(length);
}

bool beyond_the_control(std::string_view content) {
  if (count_line_breaks(content) > kMaxShownParagraphs) return true;
  // No more characters than bytes but for a table's marks.
  if (content.size() > kMaxShownCharacters && chapter_text_length(content) > kMaxShownCharacters) {
    return true;
  }
  return stored_layout_work(content) > kMaxControlLayout &&
         text_layout_work(content) > kMaxControlLayout;
}

}  // namespace

bool chapter_damaged(const Chapter& chapter) {
  const std::string_view content = shown_content(chapter);
  if (content.empty() && !chapter.kept_content.empty()) return true;
  return looks_like_rtf(content) && !rtf_fits_control(content, kAnyDepth);
}

ChapterLook chapter_look(const Chapter& chapter) {
  const std::string_view content = shown_content(chapter);
  if (chapter_damaged(chapter)) return ChapterLook::damaged;
  if (looks_like_rtf(content) && !rtf_fits_control(content)) {
    return rtf_tables_fit_control(content) ? ChapterLook::too_deep : ChapterLook::odd_tables;
  }
  if (beyond_the_control(content)) return ChapterLook::too_long;
  return chapter.kind == 1 ? ChapterLook::editable : ChapterLook::read_only;
}

bool shown_as_text(ChapterLook look) {
  return look == ChapterLook::too_long || look == ChapterLook::too_deep ||
         look == ChapterLook::odd_tables;
}

std::string text_preview(const Chapter& chapter, ChapterLook look) {
  // Only the start is shown: a huge chapter is not read to its end for it.
  const std::string_view content = shown_content(chapter);
  const std::vector<std::string> lines = plain_lines(content.substr(0, kPreviewBytes));
  const size_t paragraphs = count_line_breaks(content) + 1;
  const bool many_paragraphs = paragraphs > kMaxShownParagraphs;
  std::vector<std::u16string> shown;
  shown.push_back(utf8_to_utf16(
      look == ChapterLook::too_deep
          ? "（这一章的格式嵌套多于编辑器能显示的 " + std::to_string(kMaxControlDepth) +
                " 层：这里只读地显示它的文字，原文保存时不变。）"
      : look == ChapterLook::odd_tables
          ? std::string(
                "（这一章的表格写法编辑器无法显示：这里只读地显示它的文字，原文保存时不变。）")
      : many_paragraphs
          ? "（这一章有 " + std::to_string(paragraphs) + " 段，多于编辑器一次能显示的 " +
                std::to_string(kMaxShownParagraphs) +
                " 段：这里只读地显示它开头的文字，原文保存时不变。）"
          : std::string("（这一章的文字或其中的长段多于编辑器一次能排版的：这里只读地显示它开头"
                        "的文字，长段分开显示，原文保存时不变。）")));
  // Long paragraphs in pieces, as much as the control lays out at once.
  size_t characters = 0;
  uint64_t work = layout_work(shown.front().size());
  for (size_t i = 0; i < lines.size() && i < kMaxShownParagraphs; ++i) {
    // No more of a long line than can be shown (three bytes at most each).
    const std::u16string line =
        utf8_to_utf16(std::string_view(lines[i]).substr(0, 3 * (kPreviewCharacters - characters)));
    for (size_t at = 0; at == 0 || at < line.size(); at += kPreviewPiece) {
      std::u16string piece = line.substr(at, kPreviewPiece);
      piece.resize(std::min(piece.size(), kPreviewCharacters - characters));
      characters += piece.size();
      work += layout_work(piece.size());
      if (work > kMaxControlLayout) return rtf_of_lines(shown, RtfFont{});
      shown.push_back(std::move(piece));
      if (characters == kPreviewCharacters) return rtf_of_lines(shown, RtfFont{});
    }
  }
  return rtf_of_lines(shown, RtfFont{});
}

}  // namespace folivra
