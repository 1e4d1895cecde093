// libFuzzer target: any bytes as a text novel to import. Whatever the bytes,
// the split keeps every line, the chapters made of it give those lines back
// through the book's RTF, and the book written from them reads back whole.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "book/book_file.h"
#include "text/novel_import.h"
#include "text/plain_text.h"
#include "text/rtf_check.h"

using namespace folivra;

namespace {

// A line as it comes back: a lone surrogate has no character to stand for,
// and control characters other than the tab are no text of a chapter.
std::u16string as_read_back(std::u16string_view line) {
  std::u16string out;
  for (char16_t c : utf8_to_utf16(utf16_to_utf8(line))) {
    if (c >= 0x20 || c == u'\t') out += c;
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const TextEncoding encoding = detect_encoding(bytes);
  if (looks_binary(bytes, encoding)) return 0;  // refused as no text
  const std::u16string text = decode_text(bytes, encoding);
  const ChapterSplit split = split_chapters(text, default_heading_rule());
  if (split.outcome != RuleOutcome::split) std::abort();
  size_t lines = 0;
  for (const TextChapter& chapter : split.chapters) {
    if (chapter.name.empty() || chapter.name.size() > 40) std::abort();
    lines += chapter.lines.size() + 1;
  }
  if (lines > text.size() + 2) std::abort();  // a line each at most per unit

  const ImportedChapters imported = chapters_of(split.chapters, RtfFont{});
  if (imported.chapters.size() != split.chapters.size()) std::abort();
  for (size_t i = 0; i < imported.chapters.size(); ++i) {
    const std::string& content = imported.chapters[i].content;
    if (!rtf_fits_control(content)) std::abort();
    const std::vector<std::string> back = plain_lines(content);
    const std::vector<std::u16string>& want = split.chapters[i].lines;
    if (want.empty()) continue;  // an empty chapter reads back as one empty line
    if (back.size() != want.size()) std::abort();
    for (size_t k = 0; k < back.size(); ++k) {
      if (utf8_to_utf16(back[k]) != as_read_back(want[k])) std::abort();
    }
  }

  Book book;
  book.chapters = imported.chapters;
  if (!book_reads_back(book)) return 0;
  Book again;
  if (parse_book(write_book_image(book), "", again) != ReadStatus::ok) std::abort();
  if (again.chapters.size() != imported.chapters.size()) std::abort();
  for (size_t i = 0; i < again.chapters.size(); ++i) {
    if (again.chapters[i].content != imported.chapters[i].content ||
        again.chapters[i].name != imported.chapters[i].name) {
      std::abort();
    }
  }
  return 0;
}
