#pragma once

#include <vector>

#include "book/book.h"
#include "document/document.h"

namespace folivra {

// 重排章节编号: the chapters whose names change so that their numbers run
// in order, with their new names. `per_volume`: each volume's chapters are
// numbered on their own.
std::vector<ChapterEdit> renumbering_edits(const Book& book, bool per_volume);

}  // namespace folivra
