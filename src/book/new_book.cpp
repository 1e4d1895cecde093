#include "book/new_book.h"

namespace folivra {

Book make_new_book(double now) {
  constexpr const char kClickToEdit[] = "\xB5\xE3\xBB\xF7\xB1\xE0\xBC\xAD";  // 点击编辑
  Book book;
  book.title = "\xD0\xC2\xB5\xC4\xCA\xE9\xBC\xAE";  // 新的书籍
  book.author = kClickToEdit;
  book.book_type = kClickToEdit;
  book.intro = kClickToEdit;
  book.time = now;
  return book;
}

}  // namespace folivra
