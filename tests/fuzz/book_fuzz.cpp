// libFuzzer target: the book reader and the block codec on arbitrary bytes.
// Beyond not crashing, a book that reads must survive being written and
// read again unchanged, damaged items included, and never decode more than
// its file's budget.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <span>
#include <string>

#include "book/block_codec.h"
#include "book/book_file.h"
#include "book/task_pool.h"
#include "export/epub_export.h"
#include "text/text_import.h"
#include "text/text_rtf.h"
#include "text/chapter_cut.h"
#include "text/plain_text.h"
#include "text/rtf_check.h"
#include "text/text_search.h"
#include "text/word_count.h"

using namespace folivra;

namespace {

bool same_report(const ReadReport& a, const ReadReport& b) {
  if (a.damaged.size() != b.damaged.size() || a.truncated != b.truncated ||
      a.chapters_declared != b.chapters_declared || a.chapters_read != b.chapters_read) {
    return false;
  }
  for (size_t i = 0; i < a.damaged.size(); ++i) {
    if (a.damaged[i].field != b.damaged[i].field || a.damaged[i].chapter != b.damaged[i].chapter ||
        a.damaged[i].over_budget != b.damaged[i].over_budget) {
      return false;
    }
  }
  return true;
}

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
  // The faster decoder answers for every block exactly as zlib does.
  for (size_t budget : {size_t{4096}, SIZE_MAX}) {
    std::string fast, slow;
    if (decode_block(bytes, budget, fast) != decode_block_with_zlib(bytes, budget, slow) ||
        fast != slow) {
      std::abort();
    }
  }

  peek_book_lock(bytes);
  rtf_fits_control(bytes);
  // Counting and cutting walk hostile RTF without a control: they must hold.
  const WordCount count = count_words(bytes);
  if (count.characters_no_space > count.characters) std::abort();
  if (const auto halves = cut_chapter_content(bytes, chapter_text_length(bytes) / 2)) {
    join_chapter_contents(halves->first, halves->second);
  }
  // A chapter shown in pieces is the chapter: the same characters in order,
  // and no piece the control would refuse when the whole would pass.
  const std::vector<std::string> pieces =
      cut_into_pieces(bytes, std::max<size_t>(16, bytes.size() / 8));
  std::string whole_text, pieces_text;
  const auto note = [](std::string& out) {
    return [&out](const TextCharacter& c) {
      out += static_cast<char>(c.kind);
      out.append(reinterpret_cast<const char*>(&c.value), sizeof c.value);
      out += static_cast<char>(c.style);
    };
  };
  if (looks_like_rtf(bytes)) {
    for_each_text_character(bytes, note(whole_text));
    for (const std::string& piece : pieces) {
      for_each_text_character(piece, note(pieces_text));
      if (pieces.size() > 1 && rtf_fits_control(bytes) && !rtf_fits_control(piece)) std::abort();
    }
  } else {  // plain text is cut, nothing added
    whole_text = bytes;
    for (const std::string& piece : pieces) pieces_text += piece;
  }
  if (pieces_text != whole_text) std::abort();
  // The text the search sees has one unit per control position, and every
  // match lies inside it.
  const std::u16string text = chapter_text16(bytes);
  if (const auto pattern = TextPattern::make(text.substr(0, 2), {})) {
    size_t end = 0;  // matches come in order and never overlap
    for (const TextMatch& m : pattern->find_all(text).found) {
      if (m.start < end || m.length == 0 || m.start + m.length > text.size()) std::abort();
      end = m.start + m.length;
    }
  }
  // Any bytes may be a text file to import: every line lands in a chapter.
  const std::u16string novel = decode_text(bytes, detect_encoding(bytes));
  const ChapterSplit found = split_chapters(novel, default_heading_rule());
  if (found.outcome != RuleOutcome::split) std::abort();
  for (const TextChapter& chapter : found.chapters) {
    if (chapter.name.size() > 40) std::abort();
    rtf_fits_control(rtf_of_lines(chapter.lines, RtfFont{}));
  }
  // A budget far below the reader's own: a bomb costs the fuzzer little, and
  // every path past the budget is still taken.
  ReadOptions small;
  small.budget = 4u << 20;
  // Items decoded on several threads give exactly what one thread gives.
  Book book, alone;
  ReadReport report, alone_report;
  size_t consumed = 0, alone_consumed = 0;
  set_item_workers(1);
  const ReadStatus alone_status =
      parse_book(bytes, "pw", alone, &alone_consumed, &alone_report, small);
  set_item_workers(3);
  const ReadStatus status = parse_book(bytes, "pw", book, &consumed, &report, small);
  set_item_workers(0);
  // Read a few chapters at a time, the chapters are the same, and none stay.
  Book streamed;
  std::vector<Chapter> seen;
  ReadOptions streaming = small;
  streaming.each_chapters = [&](std::span<const Chapter> chapters, size_t first) {
    if (first != seen.size()) std::abort();
    seen.insert(seen.end(), chapters.begin(), chapters.end());
  };
  if (parse_book(bytes, "pw", streamed, nullptr, nullptr, streaming) != status) std::abort();
  if (status == ReadStatus::ok) {
    if (seen.size() != book.chapters.size()) std::abort();
    for (size_t i = 0; i < seen.size(); ++i) {
      if (seen[i].content != book.chapters[i].content || seen[i].name != book.chapters[i].name ||
          !streamed.chapters[i].content.empty()) {
        std::abort();
      }
    }
  }
  // Shown from its names first, the book decoded later is the book read
  // whole, findings included; a chapter decoded alone for showing is the
  // one the whole read gives.
  Book shown;
  ReadReport shown_report;
  PendingContents pending;
  if (parse_book_deferring(bytes, "pw", shown, shown_report, pending, small) != status) {
    std::abort();
  }
  if (status == ReadStatus::ok && !pending.empty()) {
    for (size_t i = 0; i < shown.chapters.size(); ++i) {
      const std::optional<std::string> alone_content = decode_pending_content(pending, i);
      if (alone_content &&
          (!book.chapters[i].kept_content.empty() || *alone_content != book.chapters[i].content)) {
        std::abort();
      }
    }
    install_contents(shown, decode_pending(pending, shown_report, 2));
  }
  if (status == ReadStatus::ok &&
      (!same_content(book, shown) || !same_report(report, shown_report))) {
    std::abort();
  }
  if (status != alone_status) std::abort();
  if (status != ReadStatus::ok) return 0;
  if (!same_content(alone, book) || !same_report(alone_report, report) ||
      consumed != alone_consumed) {
    std::abort();
  }
  size_t decoded = book.title.size() + book.author.size() + book.book_type.size() +
                   book.intro.size() + book.cover.size() + book.password_hint.size();
  for (const Chapter& chapter : book.chapters) {
    decoded += chapter.name.size() + chapter.content.size();
    rtf_fits_control(chapter.content);
  }
  if (decoded > small.budget) std::abort();
  if (report.chapters_read != static_cast<int32_t>(book.chapters.size())) std::abort();

  // A save that writes unchanged items back as stored means what a full one does.
  Book copy = book;
  const std::string image = write_book_image(copy);
  // (Only for small books: encoding a large one twice more costs the fuzzer its pace.)
  Book full = book;
  if (decoded < (4u << 20)) {
    Book fresh = book;
    fresh.stored_image.reset();
    full = {};
    if (parse_book(write_book_image(fresh), book.password, full, nullptr, nullptr, small) !=
        ReadStatus::ok) {
      std::abort();
    }
  }
  Book again;
  ReadReport second;
  if (parse_book(image, book.password, again, nullptr, &second, small) != ReadStatus::ok) {
    std::abort();
  }
  if (second.truncated) std::abort();
  // The budget follows the file's size, which a rewrite changes.
  for (const DamagedItem& item : second.damaged) {
    if (item.over_budget) return 0;
  }
  if (!same_content(book, again) || !same_content(full, again)) std::abort();
  // Small books go out as EPUB too (a big one only costs the fuzzer time).
  if (decoded < (1u << 20) && book_epub(book).substr(0, 4) != "PK\x03\x04") std::abort();
  return 0;
}
