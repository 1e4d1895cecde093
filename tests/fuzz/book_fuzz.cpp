// libFuzzer target: the book reader and the block codec on arbitrary bytes.
// Beyond not crashing, a book that reads must survive being written and
// read again unchanged, damaged items included, and never decode more than
// its file's budget.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "book/block_codec.h"
#include "book/book_file.h"
#include "text/chapter_cut.h"
#include "text/plain_text.h"
#include "text/rtf_check.h"
#include "text/text_search.h"
#include "text/word_count.h"

using namespace folivra;

namespace {

bool same_content(const Book& a, const Book& b) {
  if (a.title != b.title || a.author != b.author || a.book_type != b.book_type ||
      a.intro != b.intro || a.cover != b.cover || a.password_hint != b.password_hint ||
      a.kept.title != b.kept.title || a.kept.cover != b.kept.cover || a.kept.hint != b.kept.hint ||
      a.chapters.size() != b.chapters.size()) {
    return false;
  }
  for (size_t i = 0; i < a.chapters.size(); ++i) {
    if (a.chapters[i].kind != b.chapters[i].kind || a.chapters[i].name != b.chapters[i].name ||
        a.chapters[i].content != b.chapters[i].content ||
        a.chapters[i].kept_name != b.chapters[i].kept_name ||
        a.chapters[i].kept_content != b.chapters[i].kept_content) {
      return false;
    }
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const std::string plain = decompress_block(bytes);
  if (!plain.empty() && decompress_block(compress_block(plain)) != plain) std::abort();

  peek_book_lock(bytes);
  rtf_fits_control(bytes);
  // Counting and cutting walk hostile RTF without a control: they must hold.
  const WordCount count = count_words(bytes);
  if (count.characters_no_space > count.characters) std::abort();
  if (const auto halves = cut_chapter_content(bytes, chapter_text_length(bytes) / 2)) {
    join_chapter_contents(halves->first, halves->second);
  }
  // The text the search sees has one unit per control position, and every
  // match lies inside it.
  const std::u16string text = chapter_text16(bytes);
  if (const auto pattern = TextPattern::make(text.substr(0, 2), {})) {
    size_t end = 0;  // matches come in order and never overlap
    for (const TextMatch& m : pattern->find_all(text)) {
      if (m.start < end || m.length == 0 || m.start + m.length > text.size()) std::abort();
      end = m.start + m.length;
    }
  }
  Book book;
  ReadReport report;
  if (parse_book(bytes, "pw", book, nullptr, &report) != ReadStatus::ok) return 0;
  size_t decoded = book.title.size() + book.author.size() + book.book_type.size() +
                   book.intro.size() + book.cover.size() + book.password_hint.size();
  for (const Chapter& chapter : book.chapters) {
    decoded += chapter.name.size() + chapter.content.size();
    rtf_fits_control(chapter.content);
  }
  if (decoded > decoded_budget(bytes.size())) std::abort();
  if (report.chapters_read != static_cast<int32_t>(book.chapters.size())) std::abort();

  Book copy = book;
  const std::string image = write_book_image(copy);
  Book again;
  ReadReport second;
  if (parse_book(image, book.password, again, nullptr, &second) != ReadStatus::ok) std::abort();
  if (second.truncated) std::abort();
  // The budget follows the file's size, which a rewrite changes.
  for (const DamagedItem& item : second.damaged) {
    if (item.over_budget) return 0;
  }
  if (!same_content(book, again)) std::abort();
  return 0;
}
