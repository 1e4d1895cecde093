#include "text/novel_import.h"

#include <algorithm>

#include "book/task_pool.h"
#include "text/rtf_check.h"

namespace folivra {

namespace {

int digit_of(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'０' && c <= u'９') return c - u'０';
  return -1;
}

}  // namespace

namespace {

bool sentence_end(char16_t c) {
  return c == u'。' || c == u'！' || c == u'？' || c == u'…' || c == u'!' || c == u'?' ||
         c == u'.' || c == u'”' || c == u'」';
}

// A line longer than a control takes, as paragraphs it takes: each ends
// after the last sentence end in its second half, else at the limit (never
// between the two halves of a surrogate pair). Gives how many it added.
size_t split_long_line(std::u16string_view line, std::vector<std::u16string>& out) {
  size_t pieces = 0;
  while (line.size() > kMaxControlParagraph) {
    size_t end = kMaxControlParagraph;
    for (size_t i = kMaxControlParagraph; i > kMaxControlParagraph / 2; --i) {
      if (sentence_end(line[i - 1]) && !sentence_end(line[i])) {
        end = i;
        break;
      }
    }
    if (line[end - 1] >= 0xD800 && line[end - 1] <= 0xDBFF) --end;
    out.emplace_back(line.substr(0, end));
    line.remove_prefix(end);
    ++pieces;
  }
  out.emplace_back(line);
  return pieces;
}

}  // namespace

ImportedChapters chapters_of(const std::vector<TextChapter>& found, const RtfFont& font) {
  ImportedChapters out;
  out.chapters.resize(found.size());
  for (size_t i = 0; i < found.size(); ++i) {
    out.chapters[i].number = static_cast<int32_t>(i + 1);
    out.chapters[i].name = gbk_field(found[i].name, &out.names_replaced);
  }
  std::vector<size_t> split(found.size());
  run_parallel(found.size(), item_workers(found.size()), [&](size_t i) {
    const std::vector<std::u16string>& lines = found[i].lines;
    const bool fits = std::all_of(lines.begin(), lines.end(), [](const std::u16string& line) {
      return line.size() <= kMaxControlParagraph;
    });
    if (fits) {
      out.chapters[i].content = rtf_of_lines(lines, font);
      return;
    }
    std::vector<std::u16string> paragraphs;
    for (const std::u16string& line : lines) split[i] += split_long_line(line, paragraphs) > 0;
    out.chapters[i].content = rtf_of_lines(paragraphs, font);
  });
  for (const size_t n : split) out.lines_split += n;
  return out;
}

TextChapter whole_text_chapter(std::u16string name, std::u16string_view text) {
  // A rule no line matches keeps every line in the one chapter.
  std::vector<TextChapter> all = split_chapters(text, u"(?!)").chapters;
  TextChapter chapter{std::move(name), {}};
  if (!all.empty()) chapter.lines = std::move(all.front().lines);
  return chapter;
}

bool natural_less(std::u16string_view a, std::u16string_view b) {
  size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    if (digit_of(a[i]) >= 0 && digit_of(b[j]) >= 0) {
      // Compare the numbers: skip leading zeros, then the longer one is larger.
      while (i < a.size() && digit_of(a[i]) == 0) ++i;
      while (j < b.size() && digit_of(b[j]) == 0) ++j;
      size_t ei = i, ej = j;
      while (ei < a.size() && digit_of(a[ei]) >= 0) ++ei;
      while (ej < b.size() && digit_of(b[ej]) >= 0) ++ej;
      if (ei - i != ej - j) return ei - i < ej - j;
      for (; i < ei; ++i, ++j) {
        if (digit_of(a[i]) != digit_of(b[j])) return digit_of(a[i]) < digit_of(b[j]);
      }
      continue;
    }
    if (a[i] != b[j]) return a[i] < b[j];
    ++i, ++j;
  }
  return a.size() - i < b.size() - j;
}

bool looks_binary(std::string_view bytes, TextEncoding encoding) {
  if (encoding != TextEncoding::utf16le && encoding != TextEncoding::utf16be) {
    return bytes.find('\0') != std::string_view::npos;
  }
  // In UTF-16 a NUL character is a unit of two zero bytes.
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    if (bytes[i] == '\0' && bytes[i + 1] == '\0') return true;
  }
  return false;
}

}  // namespace folivra
