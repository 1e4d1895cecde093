// zqb's chapter commands: list, insert, delete, rename, move, split, merge.
// Each reads the book, does one operation of the document and writes the
// book back through the safe writer.
#include <charconv>
#include <iostream>

#include "book/book_file.h"
#include "book/gbk.h"
#include "book/task_pool.h"
#include "cli/zqb_commands.h"
#include "cli/zqb_store.h"
#include "document/document.h"
#include "text/chapter_cut.h"
#include "text/volumes.h"
#include "text/word_count.h"
#include <nlohmann/json.hpp>

namespace folivra::zqb {

namespace {

int usage(const std::string& message) {
  std::cerr << "zqb: " << message << "\n";
  return kUsageError;
}

std::optional<size_t> number_of(const std::string& text) {
  size_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// A chapter position of the book, or a message and nothing.
std::optional<int> position_of(const Document& doc, const std::string& text, int extra = 0) {
  const std::optional<size_t> n = number_of(text);
  if (!n || *n < 1 || *n > static_cast<size_t>(doc.count() + extra)) {
    std::cerr << "zqb: no chapter " << text << " (the book has " << doc.count() << ")\n";
    return std::nullopt;
  }
  return static_cast<int>(*n);
}

std::optional<std::string> gbk_name(const std::string& utf8) {
  std::optional<std::string> name = utf8_to_gbk(utf8);
  if (!name || name->empty()) std::cerr << "zqb: a chapter name must be GBK text, not empty\n";
  return name && !name->empty() ? name : std::nullopt;
}

int write_back(const Arguments& args, Document& doc) {
  if (write_book(args.positional[0], doc.book()) != 0) {
    std::cerr << "zqb: cannot write " << args.positional[0] << "; it is unchanged\n";
    return kCannotWrite;
  }
  record_in_store(args, args.positional[0], doc.book());
  return 0;
}

}  // namespace

// Reads the book for a change; a cut file is not written back, as that
// would lose what could not be read.
int open_for_change(const Arguments& args, Document& doc, bool changing) {
  Book book;
  std::string password;
  if (args.password) {
    std::optional<std::string> gbk = utf8_to_gbk(*args.password);
    if (!gbk) return usage("the password holds a character that GBK cannot represent");
    password = *gbk;
  }
  ReadReport report;
  const ReadStatus status = read_book(args.positional[0], password, book, &report);
  if (status != ReadStatus::ok) {
    std::cerr << "zqb: " << args.positional[0] << ": cannot read the book (status "
              << static_cast<int>(status) << "; zqb check tells more)\n";
    return static_cast<int>(status);
  }
  if (report.truncated && !changing) {
    std::cerr << "zqb: " << args.positional[0] << ": warning: the file is cut short; "
              << report.chapters_read << " of " << report.chapters_declared << " chapters read\n";
  } else if (report.truncated) {
    std::cerr << "zqb: " << args.positional[0]
              << ": the file is cut short; nothing was changed (open it in the editor to save "
                 "what is readable under a new name)\n";
    return kDamaged;
  }
  doc.replace(std::move(book));
  return 0;
}

// The listings read the book a few chapters at a time.
int chapters(const Arguments& args) {
  Book book;
  return load(args, book, nullptr, [](std::span<const Chapter> batch, size_t first) {
    for (size_t i = 0; i < batch.size(); ++i) {
      const Chapter& chapter = batch[i];
      std::cout << first + i + 1 << "\t" << chapter.kind << "\t" << gbk_to_utf8(chapter.name)
                << "\t" << chapter.content.size() << (is_volume(chapter) ? "\tvolume\n" : "\n");
    }
  });
}

int count(const Arguments& args) {
  WordCount total;
  nlohmann::json list = nlohmann::json::array();
  Book book;
  const int status = load(args, book, nullptr, [&](std::span<const Chapter> batch, size_t first) {
    std::vector<WordCount> counts(batch.size());
    run_parallel(batch.size(), item_workers(batch.size()),
                 [&](size_t i) { counts[i] = count_words(batch[i].content); });
    for (size_t i = 0; i < batch.size(); ++i) {
      const WordCount& c = counts[i];
      const size_t p = first + i + 1;
      total += c;
      const std::string name = gbk_to_utf8(batch[i].name);
      if (args.json) {
        list.push_back({{"number", p},
                        {"name", name},
                        {"words", c.words},
                        {"characters", c.characters},
                        {"characters_no_space", c.characters_no_space}});
      } else {
        std::cout << p << "\t" << name << "\t" << c.words << "\t" << c.characters << "\t"
                  << c.characters_no_space << "\n";
      }
    }
  });
  if (status) return status;
  if (args.json) {
    const nlohmann::json out = {{"chapters", list},
                                {"total",
                                 {{"words", total.words},
                                  {"characters", total.characters},
                                  {"characters_no_space", total.characters_no_space}}}};
    std::cout << out.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << "\n";
  } else {
    std::cout << "total\t\t" << total.words << "\t" << total.characters << "\t"
              << total.characters_no_space << "\n";
  }
  return 0;
}

int change_chapters(const Arguments& args) {
  const std::string& verb = args.command;
  const std::vector<std::string>& a = args.positional;
  Document doc;
  if (const int status = open_for_change(args, doc)) return status;
  record_in_store(args, args.positional[0], doc.book());  // what the change replaces
  ChapterChanges changes;
  if (verb == "delete" || verb == "merge") {
    const std::optional<int> p = position_of(doc, a[1]);
    if (!p) return kUsageError;
    if (verb == "delete") {
      changes = doc.remove(*p);
    } else {
      if (*p == doc.count()) return usage("chapter " + a[1] + " is the last; nothing follows");
      changes = doc.merge(
          *p, join_chapter_contents(doc.chapter(*p).content, doc.chapter(*p + 1).content));
      if (changes.empty()) return usage("only two chapters of readable text can be merged");
    }
  } else if (verb == "rename" || verb == "insert") {
    const std::optional<int> p = position_of(doc, a[1], verb == "insert" ? 1 : 0);
    const std::optional<std::string> name = p ? gbk_name(a[2]) : std::nullopt;
    if (!name) return kUsageError;
    changes = verb == "rename" ? doc.rename(*p, *name) : doc.insert(*p, *name);
    if (changes.empty()) return 0;  // renamed to the name it has
  } else if (verb == "move") {
    const std::optional<int> from = position_of(doc, a[1]);
    const std::optional<int> to = from ? position_of(doc, a[2]) : std::nullopt;
    if (!to) return kUsageError;
    changes = doc.move(*from, *to);
    if (changes.empty()) return 0;  // already there
  } else if (verb == "split") {
    const std::optional<int> p = position_of(doc, a[1]);
    const std::optional<size_t> at = p ? number_of(a[2]) : std::nullopt;
    if (!at) return p ? usage("the place to split at is a character count") : kUsageError;
    const Chapter& chapter = doc.chapter(*p);
    const std::optional<ContentHalves> halves = cut_chapter_content(chapter.content, *at);
    if (!halves) {
      return usage("chapter " + a[1] + " has " +
                   std::to_string(chapter_text_length(chapter.content)) +
                   " characters of text that can be cut");
    }
    std::optional<std::string> name =
        a.size() > 3 ? gbk_name(a[3]) : std::optional(chapter.name + gbk_of("（续）"));
    if (!name) return kUsageError;
    changes = doc.split(*p, halves->first, halves->second, *name);
    if (changes.empty()) return usage("only a chapter of readable text can be split");
  }
  return write_back(args, doc);
}

}  // namespace folivra::zqb
