#include "export/text_export.h"

#include <algorithm>

#include "book/book_time.h"

namespace folivra {

namespace {

constexpr std::string_view kCrlf = "\r\n";
constexpr std::string_view kChapterGap = "\r\n\r\n\r\n";
constexpr int kBatch = 10;

}  // namespace

bool export_book_header(const Book& book, const std::function<bool(std::string_view)>& write) {
  const std::string lines[] = {
      "\xCA\xE9\xBC\xAE\xD0\xC5\xCF\xA2\r\n",                             // 书籍信息
      "\xCA\xE9\xC3\xFB\xA3\xBA" + book.title + "\r\n",                   // 书名：
      "\xD7\xF7\xD5\xDF\xA3\xBA" + book.author + "\r\n",                  // 作者：
      "\xC0\xE0\xD0\xCD\xA3\xBA" + book.book_type + "\r\n",               // 类型：
      "\xCA\xB1\xBC\xE4\xA3\xBA" + format_book_time(book.time) + "\r\n",  // 时间：
      "\xBC\xF2\xBD\xE9\xA3\xBA\r\n    " + book.intro + "\r\n",           // 简介：
  };
  for (const std::string& line : lines) {
    if (!write(line)) return false;
  }
  if (!book.remarks.empty() && !write("\xB1\xB8\xD7\xA2\xA3\xBA" + book.remarks + "\r\n")) {
    return false;  // 备注：
  }
  // 章节数量：
  return write("\xD5\xC2\xBD\xDA\xCA\xFD\xC1\xBF\xA3\xBA" + std::to_string(book.chapter_count) +
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
