// zqb grep: the lines of the chapters' text that hold a pattern, as grep
// prints them: chapter number, chapter name, the line (UTF-8).
#include <iostream>
#include <regex>

#include "book/book_file.h"
#include "book/gbk.h"
#include "cli/zqb_commands.h"
#include "text/plain_text.h"

namespace folivra::zqb {

namespace {

// A line as the regular expressions see it: one wchar_t per UTF-16 unit.
std::wstring wide_of(std::string_view utf8) {
  const std::u16string units = utf8_to_utf16(utf8);
  return {units.begin(), units.end()};
}

}  // namespace

int grep(const Arguments& args) {
  std::string password;
  if (args.password) {
    std::optional<std::string> gbk = utf8_to_gbk(*args.password);
    if (!gbk) {
      std::cerr << "zqb: the password holds a character that GBK cannot represent\n";
      return kUsageError;
    }
    password = *gbk;
  }
  std::wregex pattern;
  if (args.regex) {
    try {
      pattern = std::wregex(wide_of(args.positional[1]), std::regex::ECMAScript);
    } catch (const std::regex_error&) {
      std::cerr << "zqb: '" << args.positional[1] << "' is not a regular expression\n";
      return kUsageError;
    }
  }
  Book book;
  const ReadStatus status = read_book(args.positional[0], password, book);
  if (status != ReadStatus::ok) {
    std::cerr << "zqb: " << args.positional[0] << ": cannot read the book (status "
              << static_cast<int>(status) << ")\n";
    return static_cast<int>(status);
  }
  bool found = false;
  for (size_t i = 0; i < book.chapters.size(); ++i) {
    const std::string name = gbk_to_utf8(book.chapters[i].name);
    for (const std::string& line : plain_lines(book.chapters[i].content)) {
      const bool hit = args.regex ? std::regex_search(wide_of(line), pattern)
                                  : line.find(args.positional[1]) != std::string::npos;
      if (!hit) continue;
      found = true;
      std::cout << i + 1 << "\t" << name << "\t" << line << "\n";
    }
  }
  return found ? 0 : kNoMatch;
}

}  // namespace folivra::zqb
