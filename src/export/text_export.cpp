#include "export/text_export.h"

#include <algorithm>

#include "book/book_time.h"
#include "book/gbk.h"

namespace folivra {

namespace {

constexpr std::string_view kCrlf = "\r\n";
constexpr std::string_view kChapterGap = "\r\n\r\n\r\n";
constexpr int kBatch = 10;

}  // namespace

bool export_book_header(const Book& book, const std::function<bool(std::string_view)>& write) {
  const std::string lines[] = {
      gbk_of("书籍信息\r\n"),
      gbk_of("书名：") + book.title + "\r\n",
      gbk_of("作者：") + book.author + "\r\n",
      gbk_of("类型：") + book.book_type + "\r\n",
      gbk_of("时间：") + format_book_time(book.time) + "\r\n",
      gbk_of("简介：\r\n    ") + book.intro + "\r\n",
  };
  for (const std::string& line : lines) {
    if (!write(line)) return false;
  }
  if (!book.remarks.empty() && !write(gbk_of("备注：") + book.remarks + "\r\n")) return false;
  return write(gbk_of("章节数量：") + std::to_string(book.chapter_count) +
               std::string(kChapterGap));
}

void append_chapter_text(std::string& out, const Chapter& chapter, bool last) {
  out += chapter.name;
  out += kCrlf;
  out += kCrlf;
  out += chapter.content;
  if (!last) out += kChapterGap;
}

int chapters_in_text(const Book& book) {
  // The count line says chapter_count; the chapters written are those there are.
  return std::min(book.chapter_count, static_cast<int32_t>(book.chapters.size()));
}

bool export_book_text(const Book& book, const std::function<bool(std::string_view)>& write) {
  if (!export_book_header(book, write)) return false;
  std::string batch;
  const int count = chapters_in_text(book);
  for (int i = 1; i <= count; ++i) {
    append_chapter_text(batch, book.chapters[static_cast<size_t>(i - 1)], i == count);
    if (i % kBatch == 0) {
      if (!write(batch)) return false;
      batch.clear();
    }
  }
  return batch.empty() || write(batch);
}

std::string book_text(const Book& book) {
  std::string text;
  export_book_text(book, [&](std::string_view bytes) {
    text += bytes;
    return true;
  });
  return text;
}

}  // namespace folivra
