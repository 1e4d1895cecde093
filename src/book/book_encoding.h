#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "book/book.h"

namespace folivra {

// Where each item of a written image went: a chapter's name and content in
// turn, and the cover.
struct EncodedItems {
  std::vector<StoredItem> chapters;
  StoredItem cover;
};

// How many of a book's chapters are encoded so far, of how many.
using WriteProgress = std::function<void(size_t done, size_t total)>;

// The file image of `book` stamped with `now`, leaving the book as it is;
// empty when it would grow past `max_size` (the format's 32-bit positions).
// `progress` hears of every batch of chapters, on the calling thread.
std::string encode_book(const Book& book, double now, size_t max_size = 0x7FFFFFFF,
                        EncodedItems* items = nullptr, const WriteProgress& progress = {});
// A number no other image of this process has had, for StoredItem::image.
uint64_t new_image_id();
// After `image` reached the disk: the book's items now point into it.
void adopt_image(Book& book, std::string image, const EncodedItems& items);
// Bit 0 of `flags` and `chapter_count` as a written book has them.
void bring_in_line(Book& book);

}  // namespace folivra
