#include "export/plain_export.h"

#include "book/gbk.h"
#include "text/plain_text.h"

namespace folivra {

namespace {

// UTF-8 as GBK; a character GBK cannot hold becomes '?'.
std::string to_gbk(std::string_view utf8) {
  if (std::optional<std::string> whole = utf8_to_gbk(utf8)) return *whole;
  std::string out;
  for (size_t i = 0; i < utf8.size();) {
    const auto b = static_cast<unsigned char>(utf8[i]);
    const size_t n = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
    out += utf8_to_gbk(utf8.substr(i, n)).value_or("?");
    i += n;
  }
  return out;
}

void add_line(std::string& out, std::string_view utf8) {
  out.append(utf8);
  out += "\r\n";
}

// A text's lines, each ending in CRLF, without the empty one its last
// paragraph break leaves.
void add_text(std::string& out, std::string_view content) {
  const size_t start = out.size();
  out.reserve(start + content.size() + 2);
  append_plain_text(out, content, "\r\n");
  if (out.size() - start < 2 || !std::string_view(out).substr(start).ends_with("\r\n")) {
    out += "\r\n";
  }
}

}  // namespace

std::string plain_book_header(const Book& book, PlainEncoding encoding) {
  std::string text = encoding == PlainEncoding::utf8_bom ? "\xEF\xBB\xBF" : "";
  add_line(text, gbk_to_utf8(book.title));
  if (!book.author.empty()) add_line(text, "作者：" + gbk_to_utf8(book.author));
  if (!book.intro.empty()) {
    add_line(text, "");
    add_text(text, book.intro);
  }
  return encoding == PlainEncoding::gbk ? to_gbk(text) : text;
}

std::string plain_chapter_text(const Chapter& chapter, PlainEncoding encoding) {
  std::string text;
  add_line(text, "");
  add_line(text, gbk_to_utf8(chapter.name));
  add_line(text, "");
  add_text(text, chapter.content);
  return encoding == PlainEncoding::gbk ? to_gbk(text) : text;
}

std::string book_plain_text(const Book& book, PlainEncoding encoding) {
  std::string text = plain_book_header(book, encoding);
  for (const Chapter& chapter : book.chapters) text += plain_chapter_text(chapter, encoding);
  return text;
}

}  // namespace folivra
