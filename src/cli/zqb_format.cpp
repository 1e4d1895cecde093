// zqb format and renumber: the shape of a book's chapters.
#include <charconv>
#include <iostream>

#include "book/book_file.h"
#include "cli/zqb_commands.h"
#include "cli/zqb_store.h"
#include "document/chapter_look.h"
#include "document/document.h"
#include "document/renumbering.h"
#include "text/chapter_numbers.h"
#include "text/plain_text.h"
#include "text/text_layout.h"
#include "text/text_rtf.h"

namespace folivra::zqb {

namespace {

int usage(const std::string& message) {
  std::cerr << "zqb: " << message << "\n";
  return kUsageError;
}

}  // namespace

int format(const Arguments& args) {
  LayoutOptions options;
  if (args.indent) {
    if (*args.indent != "yes" && *args.indent != "no") return usage("--indent is yes or no");
    options.indent = *args.indent == "yes";
  }
  if (args.blank) {
    if (*args.blank != "0" && *args.blank != "1") return usage("--blank is 0 or 1");
    options.blank_lines = *args.blank == "1" ? 1 : 0;
  }
  if (args.punctuation) {
    if (*args.punctuation != "yes" && *args.punctuation != "no") {
      return usage("--punctuation is yes or no");
    }
    options.punctuation = *args.punctuation == "yes";
  }
  Document doc;
  if (const int status = open_for_change(args, doc)) return status;
  const Book& book = doc.book();
  int first = 1, last = static_cast<int>(book.chapters.size());
  if (args.positional.size() > 1) {
    int n = 0;
    const std::string& text = args.positional[1];
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), n);
    if (error != std::errc() || end != text.data() + text.size() || n < 1 || n > last) {
      return usage("no chapter " + text + " (the book has " + std::to_string(last) + ")");
    }
    first = last = n;
  }
  record_in_store(args, args.positional[0], book);  // what the layout replaces
  std::vector<ChapterEdit> edits;
  int paragraphs = 0;
  for (int p = first; p <= last; ++p) {
    const Chapter& chapter = book.chapters[static_cast<size_t>(p - 1)];
    if (chapter_look(chapter) != ChapterLook::editable) continue;  // kept as stored
    int touched = 0;
    std::optional<std::string> laid = layout_content(chapter.content, options, &touched);
    if (!laid || touched == 0 || *laid == chapter.content) continue;
    paragraphs += touched;
    edits.push_back({p, std::move(*laid), std::nullopt});
  }
  const size_t chapters = edits.size();
  if (!edits.empty()) {
    doc.edit_chapters(std::move(edits), "排版");
    if (write_book(args.positional[0], doc.book()) != 0) {
      std::cerr << "zqb: cannot write " << args.positional[0] << "; it is unchanged\n";
      return kCannotWrite;
    }
    record_in_store(args, args.positional[0], doc.book());
  }
  std::cout << paragraphs << " paragraphs adjusted in " << chapters << " chapters\n";
  return 0;
}

// 重排章节编号: the numbered chapters' names run in order again.
int renumber(const Arguments& args) {
  Document doc;
  if (const int status = open_for_change(args, doc)) return status;
  const Book& book = doc.book();
  std::vector<ChapterEdit> edits = renumbering_edits(book, args.per_volume);
  const size_t count = edits.size();
  if (!edits.empty()) {
    record_in_store(args, args.positional[0], book);
    doc.edit_chapters(std::move(edits), "重排章节编号");
    if (write_book(args.positional[0], doc.book()) != 0) {
      std::cerr << "zqb: cannot write " << args.positional[0] << "; it is unchanged\n";
      return kCannotWrite;
    }
    record_in_store(args, args.positional[0], doc.book());
  }
  std::cout << count << " chapters renamed\n";
  return 0;
}

}  // namespace folivra::zqb
