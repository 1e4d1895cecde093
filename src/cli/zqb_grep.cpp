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
  std::wregex pattern;
  if (args.regex) {
    try {
      pattern = std::wregex(wide_of(args.positional[1]), std::regex::ECMAScript);
    } catch (const std::regex_error&) {
      std::cerr << "zqb: '" << args.positional[1] << "' is not a regular expression\n";
      return kUsageError;
    }
  }
  bool found = false;
  Book book;
  const int status = load(args, book, nullptr, [&](std::span<const Chapter> batch, size_t first) {
    for (size_t i = 0; i < batch.size(); ++i) {
      const std::string name = gbk_to_utf8(batch[i].name);
      for (const std::string& line : plain_lines(batch[i].content)) {
        const bool hit = args.regex ? std::regex_search(wide_of(line), pattern)
                                    : line.find(args.positional[1]) != std::string::npos;
        if (!hit) continue;
        found = true;
        std::cout << first + i + 1 << "\t" << name << "\t" << line << "\n";
      }
    }
  });
  if (status) return status;
  return found ? 0 : kNoMatch;
}

}  // namespace folivra::zqb
