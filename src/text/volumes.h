#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "book/book.h"

namespace folivra {

// 分卷: a volume is an ordinary text chapter that holds no text and whose
// name is a volume heading (第一卷 …) or that carries the volume mark
// (设为分卷, 新建分卷). The chapters after it, up to the next volume, are its
// chapters. The mark is an RTF destination every reader skips, so any reader
// of the book still sees an empty chapter.
bool is_volume(const Chapter& chapter);
// A volume heading: "第一卷 …", "第2部", "第三篇", "第四集", "卷五 …", "上卷",
// "下部 …". A name of a heading followed by its title counts too.
bool is_volume_heading(std::u16string_view name);
// The same, given the chapter's name as UTF-16 (converted by the caller).
bool is_volume(const Chapter& chapter, std::u16string_view name);
bool has_volume_mark(const Chapter& chapter);
// Nothing but spaces and line ends in the chapter's text.
bool holds_no_text(const Chapter& chapter);
// The content of a marked volume.
std::string volume_content();

// The book's volumes: their positions, in order.
std::vector<int> volume_positions(const Book& book);
// The last position of the volume starting at `position` (its last
// chapter, or itself when it holds none), given the book's volumes.
int volume_end(const std::vector<int>& volumes, int count, int position);
// The volume holding the chapter at `position` (0: none; a volume holds
// itself).
int volume_holding(const std::vector<int>& volumes, int position);

}  // namespace folivra
