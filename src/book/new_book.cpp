#include "book/new_book.h"
#include "book/gbk.h"

namespace folivra {

Book make_new_book(double now) {
  const std::string kClickToEdit = gbk_of("点击编辑");
  Book book;
  book.title = gbk_of("新的书籍");
  book.author = kClickToEdit;
  book.book_type = kClickToEdit;
  book.intro = kClickToEdit;
  book.time = now;
  return book;
}

}  // namespace folivra
