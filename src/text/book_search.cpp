#include "text/book_search.h"

#include <atomic>

#include "text/plain_text.h"

namespace folivra {

namespace {

bool report_all(int position, HitField field, const std::u16string& text,
                const TextPattern& pattern, const std::function<bool(const BookHit&)>& each,
                const std::atomic<bool>* stop) {
  const TextMatches all = pattern.find_all(text, stop);
  for (const TextMatch& match : all.found) {
    if (!each(BookHit{position, field, match, context_line(text, match)})) return false;
  }
  if (all.end == SearchEnd::stopped) return false;
  if (all.end == SearchEnd::too_complex) {
    return each(BookHit{position, field, {}, {}, true});
  }
  return true;
}

}  // namespace

bool search_book(const Book& book, const TextPattern& pattern, bool names,
                 const std::function<bool(const BookHit&)>& each, const std::atomic<bool>* stop) {
  const auto stopped = [stop] { return stop && stop->load(std::memory_order_relaxed); };
  const struct {
    HitField field;
    const std::string& text;
  } info[] = {{HitField::title, book.title},
              {HitField::author, book.author},
              {HitField::book_type, book.book_type},
              {HitField::intro, book.intro}};
  for (const auto& [field, text] : info) {
    if (!report_all(0, field, gbk_to_utf16(text), pattern, each, stop)) return false;
  }
  for (size_t i = 0; i < book.chapters.size(); ++i) {
    if (stopped()) return false;
    const Chapter& chapter = book.chapters[i];
    const int position = static_cast<int>(i + 1);
    if (names &&
        !report_all(position, HitField::name, gbk_to_utf16(chapter.name), pattern, each, stop)) {
      return false;
    }
    if (!report_all(position, HitField::content, chapter_text16(chapter.content), pattern, each,
                    stop)) {
      return false;
    }
  }
  return true;
}

}  // namespace folivra
