#include "document/book_replace.h"

#include <algorithm>
#include <mutex>
#include <optional>

#include "book/gbk.h"
#include "book/task_pool.h"
#include "document/chapter_look.h"
#include "text/plain_text.h"
#include "text/text_replace.h"

namespace folivra {

namespace {

constexpr size_t kBatch = 64;  // chapters a worker takes at a time, and between reports

// Nothing when the expression was too complex for this text: it is then
// left as it is rather than replaced in part.
std::optional<std::vector<ContentReplacement>> replacements_in(const TextPattern& pattern,
                                                               std::u16string_view text,
                                                               const std::u16string& with) {
  const TextMatches all = pattern.find_all(text);
  if (all.end != SearchEnd::whole) return std::nullopt;
  std::vector<ContentReplacement> out;
  for (const TextMatch& m : all.found) {
    out.push_back({m.start, m.length, pattern.replacement(text, m, with)});
  }
  return out;
}

// A name is GBK text: a character GBK lacks in the replacement becomes '?'.
std::string gbk_name(const std::u16string& name) {
  std::string utf8;
  for (size_t i = 0; i < name.size(); ++i) {
    uint32_t cp = name[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < name.size()) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (name[++i] - 0xDC00u);
    }
    std::string one;
    append_utf8(one, cp);
    utf8 += utf8_to_gbk(one) ? one : "?";
  }
  return utf8_to_gbk(utf8).value_or("");
}

ChapterEdit edit_of(const Chapter& chapter, int position, const TextPattern& pattern,
                    const std::u16string& with, bool names, size_t& places, bool& too_complex) {
  ChapterEdit edit{position, std::nullopt, std::nullopt};
  if (chapter_look(chapter) == ChapterLook::editable) {
    const auto all = replacements_in(pattern, chapter_text16(chapter.content), with);
    if (!all) too_complex = true;
    if (all && !all->empty()) {
      edit.content = replace_in_content(chapter.content, *all);
      if (edit.content) places += all->size();
    }
  }
  if (names) {
    std::u16string name = gbk_to_utf16(chapter.name);
    const auto all = replacements_in(pattern, name, with);
    if (!all) too_complex = true;
    if (all && !all->empty()) {
      for (auto r = all->rbegin(); r != all->rend(); ++r)
        name.replace(r->start, r->length, r->text);
      edit.name = gbk_name(name);
      places += all->size();
    }
  }
  return edit;
}

}  // namespace

BookReplacement plan_book_replacement(const Book& book, const TextPattern& pattern,
                                      const std::u16string& with, bool names,
                                      const std::function<void(size_t, size_t)>& progress,
                                      const std::atomic<bool>* stop) {
  const size_t count = book.chapters.size();
  const size_t batches = (count + kBatch - 1) / kBatch;
  std::vector<std::vector<ChapterEdit>> found(batches);
  std::vector<size_t> places(batches, 0);
  std::vector<std::vector<int>> complex(batches);
  std::atomic<size_t> done{0};
  std::mutex report;
  run_parallel(batches, item_workers(count), [&](size_t b) {
    if (stop && *stop) return;
    const size_t end = std::min(count, (b + 1) * kBatch);
    for (size_t i = b * kBatch; i < end; ++i) {
      bool too_complex = false;
      ChapterEdit edit = edit_of(book.chapters[i], static_cast<int>(i + 1), pattern, with, names,
                                 places[b], too_complex);
      if (too_complex) complex[b].push_back(static_cast<int>(i + 1));
      if (edit.content || edit.name) found[b].push_back(std::move(edit));
    }
    const size_t now = done += end - b * kBatch;
    if (progress) {
      const std::lock_guard lock(report);
      progress(now, count);
    }
  });
  BookReplacement plan;
  if (stop && *stop) {
    plan.stopped = true;
    return plan;
  }
  for (size_t b = 0; b < batches; ++b) {
    plan.places += places[b];
    for (ChapterEdit& e : found[b]) plan.edits.push_back(std::move(e));
    plan.too_complex.insert(plan.too_complex.end(), complex[b].begin(), complex[b].end());
  }
  return plan;
}

}  // namespace folivra
