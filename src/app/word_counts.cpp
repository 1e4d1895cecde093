#include "app/word_counts.h"

#include "book/gbk_wide.h"
#include "document/chapter_look.h"

namespace folivra {

void WordCounts::count_all_later(HWND window, UINT message) {
  abandon();
  if (doc_.loading()) {
    from_load_ = true;
    return;
  }
  std::vector<std::string> contents;
  contents.reserve(doc_.book().chapters.size());
  for (const Chapter& chapter : doc_.book().chapters) contents.push_back(chapter.content);
  // One worker, so that the window keeps a core of its own for the tree,
  // the chapter shown and what the author does meanwhile.
  stop_ = false;
  const WPARAM serial = ++serial_;
  worker_ = std::thread([this, window, message, serial, contents = std::move(contents)] {
    counted_.reserve(contents.size());
    for (const std::string& content : contents) {
      if (stop_) return;
      counted_.push_back(count_words(content));
    }
    PostMessageW(window, message, serial, 0);
  });
}

// The counts of a book no longer shown are not waited for.
void WordCounts::abandon() {
  from_load_ = false;
  if (!worker_.joinable()) return;
  stop_ = true;
  worker_.join();
  counted_.clear();
}

void WordCounts::wait() {
  if (from_load_) {
    from_load_ = false;
    counts_.take(doc_.take_loaded_counts());
    return;
  }
  if (!worker_.joinable()) return;
  worker_.join();
  counts_.take(std::move(counted_));
  counted_.clear();
}

void WordCounts::keep_up() {
  wait();
  if (counts_.size() != doc_.count()) counts_.count_all(doc_.book());
}

bool WordCounts::counts_typing_in(int position) const {
  return position >= 1 && position <= doc_.count() &&
         chapter_look(doc_.chapter(position)) == ChapterLook::editable;
}

void WordCounts::typed(int position, std::u16string_view text) {
  keep_up();
  counts_.set(position, count_words(text));
}

std::wstring WordCounts::status_text(int position) {
  if (counting()) return L"字数：统计中…";
  keep_up();
  std::wstring text = L"字数：";
  if (position >= 1 && position <= counts_.size()) {
    text += L"本章 " + std::to_wstring(counts_.chapter(position).words) + L"　";
  }
  return text + L"全书 " + std::to_wstring(counts_.total().words);
}

void WordCounts::show_window(HWND owner, UINT dpi, std::optional<WordCount> selection) {
  keep_up();
  std::vector<CountRow> rows;
  for (int p = 1; p <= counts_.size(); ++p) {
    rows.push_back({p, gbk_to_wide(doc_.chapter(p).name), counts_.chapter(p)});
  }
  window_.show(owner, dpi, std::move(rows), counts_.total(), selection);
}

}  // namespace folivra
