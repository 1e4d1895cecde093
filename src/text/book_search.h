#pragma once

#include <atomic>
#include <functional>
#include <string>

#include "book/book.h"
#include "text/text_search.h"

namespace folivra {

// Where a hit is: a field of the book's information (position 0) or a
// chapter's name or text.
enum class HitField { title, author, book_type, intro, name, content };

struct BookHit {
  int position = 0;  // 0 for the book, else the chapter
  HitField field = HitField::content;
  TextMatch match;         // in the field's UTF-16 text (chapter_text16 for a chapter's text)
  std::u16string context;  // the line around it
  // Not a hit: the expression needed more work in this field than it may
  // take, and the field's search ended there (hits before it came first).
  bool too_complex = false;
};

// Every hit in the book in order: the information first, then each chapter's
// name (when `names`) and text. Stops when `each` returns false, or once
// `stop` is set (a cancelled search, seen between paragraphs); returns
// whether it went to the end.
bool search_book(const Book& book, const TextPattern& pattern, bool names,
                 const std::function<bool(const BookHit&)>& each,
                 const std::atomic<bool>* stop = nullptr);

}  // namespace folivra
