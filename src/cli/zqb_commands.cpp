#include "cli/zqb_commands.h"

#include <fstream>
#include <iostream>
#include <sstream>

#include "book/book_file.h"
#include "book/gbk.h"
#include "book/task_pool.h"
#include "book/file_io.h"
#include "cli/book_json.h"
#include "export/epub_export.h"
#include "book/reader_image.h"
#include "export/plain_export.h"
#include "export/text_export.h"
#include "text/rtf_check.h"

namespace folivra::zqb {

namespace {

const char* read_status_message(ReadStatus status) {
  switch (status) {
    case ReadStatus::format_error:
      return "文件格式错误，请重新选择文件";
    case ReadStatus::password_error:
      return "文件密码错误，请重新打开文件";
    case ReadStatus::cannot_open:
      return "文件打开失败，请确定文件是否被占用";
    case ReadStatus::ok:
      break;
  }
  return "";
}

// The typed password in GBK; false (with a message) when GBK cannot hold it.
bool gbk_password(const Arguments& args, std::string& out) {
  if (!args.password) return true;
  auto gbk = utf8_to_gbk(*args.password);
  if (!gbk) {
    std::cerr << "zqb: the password holds a character that GBK cannot represent\n";
    return false;
  }
  out = std::move(*gbk);
  return true;
}

const char* field_name(ItemField field) {
  switch (field) {
    case ItemField::hint:
      return "password hint";
    case ItemField::title:
      return "title";
    case ItemField::author:
      return "author";
    case ItemField::book_type:
      return "type";
    case ItemField::intro:
      return "introduction";
    case ItemField::cover:
      return "cover";
    case ItemField::name:
      return "name";
    case ItemField::content:
      return "content";
  }
  return "";
}

// The chapters whose RTF the editor will not hand to its control (1-based).
std::vector<size_t> unfit_chapters(std::span<const Chapter> chapters, size_t first) {
  // Checked on every core: this is most of what check does.
  const size_t n = chapters.size();
  std::vector<char> fits(n);
  run_parallel(n, item_workers(n), [&](size_t i) {
    const std::string& content = chapters[i].content;
    // Nested deeper than a control takes is no damage: the editor shows
    // such a chapter as its text.
    fits[i] = !looks_like_rtf(content) || rtf_fits_control(content, kAnyDepth);
  });
  std::vector<size_t> unfit;
  for (size_t i = 0; i < n; ++i) {
    if (!fits[i]) unfit.push_back(first + i + 1);
  }
  return unfit;
}

// One line per finding: damaged items, chapters the editor will not show, a cut.
std::vector<std::string> findings(const ReadReport& report, const std::vector<size_t>& unfit) {
  std::vector<std::string> lines;
  for (const DamagedItem& item : report.damaged) {
    std::string line = item.chapter ? "chapter " + std::to_string(item.chapter) + " " : "";
    line += field_name(item.field);
    line += item.over_budget ? ": beyond what one file may decode to, kept as stored"
                             : ": damaged, kept as stored";
    lines.push_back(line);
  }
  for (const size_t p : unfit) {
    lines.push_back("chapter " + std::to_string(p) +
                    " content: RTF too deeply nested or too large to show");
  }
  if (report.truncated) {
    lines.push_back("the file is cut short: " + std::to_string(report.chapters_read) + " of " +
                    std::to_string(report.chapters_declared) + " chapters read");
  }
  return lines;
}

std::string json_text(const nlohmann::json& value) {
  return value.dump(2, ' ', false, nlohmann::json::error_handler_t::replace);
}

}  // namespace

int load(const Arguments& args, Book& book, std::vector<std::string>* found,
         const ChapterSink& each) {
  std::string password;
  if (!gbk_password(args, password)) return kUsageError;
  ReadReport report;
  std::vector<size_t> unfit;
  ReadOptions options;
  if (each) {
    options.each_chapters = [&](std::span<const Chapter> chapters, size_t first) {
      const std::vector<size_t> bad = unfit_chapters(chapters, first);
      unfit.insert(unfit.end(), bad.begin(), bad.end());
      each(chapters, first);
    };
  }
  const ReadStatus status = read_book(args.positional[0], password, book, &report, options);
  if (status != ReadStatus::ok) {
    std::cerr << "zqb: " << args.positional[0] << ": " << read_status_message(status) << "\n";
    return static_cast<int>(status);
  }
  if (!each) unfit = unfit_chapters(book.chapters, 0);
  std::vector<std::string> lines = findings(report, unfit);
  if (found) {
    *found = std::move(lines);
  } else {
    for (const std::string& line : lines) {
      std::cerr << "zqb: " << args.positional[0] << ": warning: " << line << "\n";
    }
  }
  return 0;
}

// The book's JSON, written chapter by chapter as they are read: its
// information first, then "chapters" last, one entry at a time.
int dump(const Arguments& args) {
  Book book;
  size_t written = 0;
  const auto start = [&] {
    std::string head = json_text(book_information_json(book));
    head.resize(head.size() - 2);  // the closing "\n}": the chapters follow
    std::cout << head << ",\n  \"chapters\": [";
  };
  const int status = load(args, book, nullptr, [&](std::span<const Chapter> batch, size_t) {
    if (written == 0) start();
    for (const Chapter& chapter : batch) {
      std::string entry = json_text(chapter_json(chapter));
      for (size_t at = entry.find('\n'); at != std::string::npos; at = entry.find('\n', at + 1)) {
        entry.insert(at + 1, "    ");  // one level deeper, inside the array
      }
      std::cout << (written++ ? ",\n    " : "\n    ") << entry;
    }
  });
  if (status) return status;
  if (written == 0) start();
  std::cout << (written ? "\n  ]\n}\n" : "]\n}\n");
  return 0;
}

int build(const Arguments& args) {
  if (args.password) {
    std::cerr << "zqb: build takes the password from the \"password\" key of its JSON\n";
    return kUsageError;
  }
  // Read in one piece: a stream's buffer grows by copies, tens of MB each.
  std::string text;
  if (!read_whole_file(args.positional[0], text)) {
    std::cerr << "zqb: cannot read " << args.positional[0] << "\n";
    return kBadInput;
  }
  const nlohmann::json spec = nlohmann::json::parse(text, nullptr, false);
  std::string().swap(text);
  if (spec.is_discarded()) {
    std::cerr << "zqb: " << args.positional[0] << " is not valid JSON\n";
    return kBadInput;
  }
  Book book;
  std::string error;
  if (!book_from_json(spec, book, error)) {
    std::cerr << "zqb: " << error << "; nothing was written\n";
    return kBadInput;
  }
  const std::string image = write_book_image(book);
  if (image.empty()) {
    std::cerr << "zqb: the book would be larger than a book file can be (2 GB); nothing was "
                 "written\n";
    return kBadInput;
  }
  if (!replace_file_contents(args.positional[1], image)) {
    std::cerr << "zqb: cannot write " << args.positional[1] << "\n";
    return kCannotWrite;
  }
  return 0;
}

int txt(const Arguments& args) {
  std::optional<PlainEncoding> encoding;
  if (args.plain) {
    const std::string e = args.encoding.value_or("utf8");
    encoding = e == "utf8"       ? std::optional(PlainEncoding::utf8)
               : e == "utf8-bom" ? std::optional(PlainEncoding::utf8_bom)
               : e == "gbk"      ? std::optional(PlainEncoding::gbk)
                                 : std::nullopt;
    if (!encoding) {
      std::cerr << "zqb: the encoding is utf8, utf8-bom or gbk\n";
      return kUsageError;
    }
  }
  // Either text is written as the chapters are read, a few at a time.
  Book book;
  ReplacingFile out(args.positional[1]);
  bool written = out.open();
  bool started = false;
  const auto write = [&](std::string_view bytes) { return written = written && out.write(bytes); };
  const auto start = [&] {
    if (started) return;
    started = true;
    if (encoding) {
      write(plain_book_header(book, *encoding));
    } else {
      export_book_header(book, write);
    }
  };
  const int status = load(args, book, nullptr, [&](std::span<const Chapter> batch, size_t first) {
    start();
    if (encoding) {
      for (const Chapter& chapter : batch) write(plain_chapter_text(chapter, *encoding));
      return;
    }
    std::string text;
    const size_t count = static_cast<size_t>(chapters_in_text(book));
    for (size_t i = 0; i < batch.size() && first + i < count; ++i) {
      append_chapter_text(text, batch[i], first + i + 1 == count);
    }
    write(text);
  });
  if (status) return status;
  start();
  written = written && out.commit();
  if (!written) {
    std::cerr << "zqb: cannot write " << args.positional[1] << "\n";
    return kCannotWrite;
  }
  return 0;
}

// Written as the chapters are read, a few at a time.
int epub(const Arguments& args) {
  Book book;
  ReplacingFile out(args.positional[1]);
  bool written = out.open();
  EpubWriter epub([&](std::string_view bytes) { return written = written && out.write(bytes); });
  bool started = false;
  const int status = load(args, book, nullptr, [&](std::span<const Chapter> batch, size_t) {
    // The chapters' count is known before the first batch: too many, and
    // nothing is written.
    if (book.chapters.size() > kMaxEpubChapters || !written) return;
    if (!started) started = epub.begin();
    epub.add_chapters(batch);
  });
  if (status) return status;
  if (book.chapters.size() > kMaxEpubChapters) {
    std::cerr << "zqb: the book has " << book.chapters.size() << " chapters; an EPUB holds at most "
              << kMaxEpubChapters << "\n";
    return kBadInput;
  }
  if (!started) started = epub.begin();
  if (!started || !epub.finish(book) || !written || !out.commit()) {
    std::cerr << "zqb: cannot write " << args.positional[1] << "\n";
    return kCannotWrite;
  }
  return 0;
}

int pack(const Arguments& args) {
  const std::string reader_path = args.reader.value_or("");
  std::string reader;
  if (!read_whole_file(reader_path, reader) || pe_image_end(reader) != reader.size()) {
    std::cerr << "zqb: " << reader_path << " is not the reader program (give one with --reader)\n";
    return kBadInput;
  }
  Book book;
  if (const int status = load(args, book)) return status;
  if (!replace_file_contents(args.positional[1], reader_executable(reader, book))) {
    std::cerr << "zqb: cannot write " << args.positional[1] << "\n";
    return kCannotWrite;
  }
  return 0;
}

int unpack(const Arguments& args) {
  std::string exe;
  if (!read_whole_file(args.positional[0], exe)) {
    std::cerr << "zqb: cannot read " << args.positional[0] << "\n";
    return kBadInput;
  }
  const std::optional<std::string> image = book_image_of(exe);
  if (!image) {
    std::cerr << "zqb: " << args.positional[0] << " carries no book\n";
    return kBadInput;
  }
  if (!replace_file_contents(args.positional[1], *image)) {
    std::cerr << "zqb: cannot write " << args.positional[1] << "\n";
    return kCannotWrite;
  }
  return 0;
}

int check(const Arguments& args) {
  Book book;
  std::vector<std::string> found;
  size_t content = 0;
  const int status = load(args, book, &found, [&](std::span<const Chapter> batch, size_t) {
    for (const Chapter& chapter : batch) content += chapter.content.size();
  });
  if (status) return status;
  std::cout << args.positional[0] << ": " << book.chapter_count << " chapters, " << content
            << " bytes of content, cover " << book.cover.size() << " bytes"
            << (book.flags & kFlagProtected ? ", protected" : "")
            << (found.empty() ? "" : ", " + std::to_string(found.size()) + " problems") << "\n";
  for (const std::string& line : found) std::cout << "  " << line << "\n";
  return found.empty() ? 0 : kDamaged;
}

}  // namespace folivra::zqb
