// zqb import and zqb epub: novels in from text files, books out as EPUB.
#include <algorithm>
#include <filesystem>
#include <iostream>

#include "book/book_file.h"
#include "book/file_io.h"
#include "book/book_time.h"
#include "cli/zqb_commands.h"
#include "cli/zqb_store.h"
#include "text/novel_import.h"
#include "text/plain_text.h"
#include "text/rtf_check.h"
#include "text/text_rtf.h"

namespace folivra::zqb {

namespace {

namespace fs = std::filesystem;

std::u16string file_name16(const fs::path& path) {
  const std::u8string u8 = path.u8string();
  return utf8_to_utf16(std::string_view(reinterpret_cast<const char*>(u8.data()), u8.size()));
}

// The text of a file, or nothing when it cannot be read, is too large or is
// no text (said on standard error).
std::optional<std::u16string> decoded(const fs::path& path, const Arguments& args) {
  std::error_code error;
  const uint64_t size = fs::file_size(path, error);
  if (!error && size > kMaxNovelBytes) {
    std::cerr << "zqb: " << path.string() << " is too large to import (" << (size >> 20)
              << " MB; at most " << (kMaxNovelBytes >> 20) << " MB)\n";
    return std::nullopt;
  }
  std::string bytes;
  if (!read_whole_file(path, bytes)) {
    std::cerr << "zqb: cannot read " << path.string() << "\n";
    return std::nullopt;
  }
  const TextEncoding encoding =
      args.encoding ? *encoding_named(*args.encoding) : detect_encoding(bytes);
  if (looks_binary(bytes, encoding)) {
    std::cerr << "zqb: " << path.string() << " is not a text file\n";
    return std::nullopt;
  }
  return decode_text(bytes, encoding);
}

}  // namespace

int import(const Arguments& args) {
  if (args.encoding && !encoding_named(*args.encoding)) {
    std::cerr << "zqb: the encoding is utf8, utf8-bom, utf16le, utf16be or gb18030\n";
    return kUsageError;
  }
  const fs::path source(args.positional[0]);
  std::vector<TextChapter> found;
  std::u16string head_title, head_author;  // what the text says of itself
  bool unwrapped = false;
  std::error_code error;
  if (fs::is_directory(source, error)) {
    // A folder: one chapter per text file, in natural order of their names.
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(source, error)) {
      std::string ext = entry.path().extension().string();
      std::transform(ext.begin(), ext.end(), ext.begin(), ::tolower);
      if (entry.is_regular_file() && ext == ".txt") files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end(), [](const fs::path& a, const fs::path& b) {
      return natural_less(file_name16(a.filename()), file_name16(b.filename()));
    });
    for (const fs::path& file : files) {
      const auto text = decoded(file, args);
      if (!text) return kCannotRead;
      found.push_back(whole_text_chapter(file_name16(file.stem()), *text));
    }
  } else {
    const auto text = decoded(source, args);
    if (!text) return kCannotRead;
    const std::u16string rule = args.rule ? utf8_to_utf16(*args.rule) : default_heading_rule();
    const std::string unwrap = args.unwrap.value_or("auto");
    if (unwrap != "auto" && unwrap != "on" && unwrap != "off") {
      std::cerr << "zqb: --unwrap is auto, on or off\n";
      return kUsageError;
    }
    ChapterSplit split = split_chapters(*text, rule,
                                        unwrap == "on"    ? Unwrap::on
                                        : unwrap == "off" ? Unwrap::off
                                                          : Unwrap::detect);
    if (split.outcome == RuleOutcome::invalid) {
      std::cerr << "zqb: the rule is not a valid regular expression\n";
      return kUsageError;
    }
    if (split.outcome == RuleOutcome::too_complex) {
      std::cerr << "zqb: the rule is too complex: it needs more work on a line than a line may "
                   "take\n";
      return kUsageError;
    }
    found = std::move(split.chapters);
    unwrapped = split.unwrapped;
    head_title = std::move(split.title);
    head_author = std::move(split.author);
  }
  ImportedChapters imported = chapters_of(found, RtfFont{});
  Book book;
  book.time = current_date_time();
  book.chapters = std::move(imported.chapters);
  size_t replaced = imported.names_replaced;
  const std::u16string title = args.title            ? utf8_to_utf16(*args.title)
                               : !head_title.empty() ? head_title
                                                     : file_name16(source.stem());
  book.title = gbk_field(title, &replaced);
  const std::u16string author = args.author ? utf8_to_utf16(*args.author) : head_author;
  if (!author.empty()) book.author = gbk_field(author, &replaced);
  // Never a book its own reader would refuse.
  if (!book_reads_back(book)) {
    std::cerr << "zqb: the text is too large for one book file (its chapters decode to more "
                 "than a book file may hold); nothing was written\n";
    return kBadInput;
  }
  if (write_book(args.positional[1], book) != 0) {
    std::cerr << "zqb: cannot write " << args.positional[1] << "\n";
    return kCannotWrite;
  }
  record_in_store(args, args.positional[1], book);
  std::cout << book.chapters.size() << " chapters\n";
  if (unwrapped) std::cout << "lines cut at a fixed width were joined into paragraphs\n";
  if (imported.lines_split) {
    std::cout << imported.lines_split << " lines longer than " << kMaxControlParagraph
              << " characters were made several paragraphs\n";
  }
  if (replaced) std::cout << replaced << " characters of names GBK cannot hold became '?'\n";
  return 0;
}

}  // namespace folivra::zqb
