// libFuzzer target: an author's session as the bytes script it — chapters
// added, removed, renamed, moved, split, merged, replaced, undone and redone
// — with the recovery copy written at every step. Whatever the steps, the
// copy reads back as exactly the book the document holds, chapter numbers are
// positions, and undoing every step gives the book it started from.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "book/book_file.h"
#include "document/document.h"
#include "text/chapter_cut.h"

using namespace folivra;

namespace {

struct Script {
  const uint8_t* data;
  size_t size, at = 0;
  bool more() const { return at < size; }
  uint8_t next() { return at < size ? data[at++] : 0; }
  int position(const Document& doc) { return doc.count() ? 1 + next() % (doc.count() + 1) : 1; }
  std::string text() {  // a few bytes of the script as a chapter's text
    const size_t n = std::min<size_t>(next() % 24, size - std::min(at, size));
    std::string out(reinterpret_cast<const char*>(data + at), n);
    at += n;
    return next() % 2 ? "{\\rtf1\\ansi " + out + "\\par x}" : out;
  }
  std::string name() {  // names are text: never a NUL
    std::string out = text();
    std::erase(out, '\0');
    return out;
  }
};

bool same_chapters(const Book& a, const Book& b) {
  if (a.chapters.size() != b.chapters.size() || a.title != b.title) return false;
  for (size_t i = 0; i < a.chapters.size(); ++i) {
    if (a.chapters[i].name != b.chapters[i].name ||
        a.chapters[i].content != b.chapters[i].content ||
        a.chapters[i].kind != b.chapters[i].kind) {
      return false;
    }
  }
  return true;
}

// What the recovery copy does: the book as it is now, written and read back.
void check_copy(const Document& doc) {
  Book copy = doc.book();
  Book read;
  if (parse_book(write_book_image(copy), "", read) != ReadStatus::ok) std::abort();
  if (!same_chapters(read, doc.book())) std::abort();
  for (int p = 1; p <= doc.count(); ++p) {
    if (doc.chapter(p).number != p) std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Script script{data, size};
  Book start;
  start.title = "t";
  for (int i = 0; i < 3; ++i) {
    Chapter chapter;
    chapter.name = "c" + std::to_string(i);
    chapter.content = script.text();
    start.chapters.push_back(chapter);
  }
  Document doc;
  doc.replace(start);
  const Book original = doc.book();
  size_t done = 0;
  while (script.more() && done < 64) {
    const uint8_t op = script.next() % 9;
    const int p = script.position(doc);
    ++done;
    switch (op) {
      case 0:
        doc.insert(p, script.name());
        break;
      case 1:
        doc.remove(p);
        break;
      case 2:
        doc.rename(p, script.name());
        break;
      case 3:
        doc.move(p, script.position(doc));
        break;
      case 4:
        if (p <= doc.count()) {
          const std::string& content = doc.chapter(p).content;
          if (const auto halves = cut_chapter_content(content, script.next())) {
            doc.split(p, halves->first, halves->second, "n");
          }
        }
        break;
      case 5:
        if (p < doc.count()) {
          doc.merge(p, join_chapter_contents(doc.chapter(p).content, doc.chapter(p + 1).content));
        }
        break;
      case 6:
        doc.edit_chapters({{p, script.text(), std::nullopt}, {p + 1, std::nullopt, script.name()}});
        break;
      case 7:
        doc.undo();
        break;
      case 8:
        doc.redo();
        break;
    }
    check_copy(doc);
  }
  while (!doc.undo_name().empty()) doc.undo();
  if (!same_chapters(doc.book(), original)) std::abort();
  return 0;
}
