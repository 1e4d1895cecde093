// zqb grep: the lines of the chapters' text that hold a pattern, as grep
// prints them: chapter number, chapter name, the line (UTF-8). The text and
// the matching are the editor's: the control's text of each chapter, one
// line per paragraph, and the same patterns.
#include <iostream>

#include "book/book_file.h"
#include "book/gbk.h"
#include "cli/zqb_commands.h"
#include "text/plain_text.h"
#include "text/text_search.h"

namespace folivra::zqb {

int grep(const Arguments& args) {
  const std::optional<TextPattern> pattern = TextPattern::make(
      utf8_to_utf16(args.positional[1]), {.match_case = true, .regex = args.regex});
  if (!pattern) {
    std::cerr << "zqb: '" << args.positional[1] << "' is "
              << (args.regex ? "not a regular expression" : "empty") << "\n";
    return kUsageError;
  }
  bool found = false, too_complex = false;
  Book book;
  const int status = load(args, book, nullptr, [&](std::span<const Chapter> batch, size_t first) {
    for (size_t i = 0; i < batch.size(); ++i) {
      const std::u16string text = chapter_text16(batch[i].content);
      const TextMatches all = pattern->find_all(text);
      const std::string name = gbk_to_utf8(batch[i].name);
      size_t printed_to = 0;  // lines end at a paragraph break; one print per line
      for (const TextMatch& m : all.found) {
        if (m.start < printed_to) continue;
        const size_t before = m.start == 0 ? std::u16string::npos : text.rfind(u'\r', m.start - 1);
        const size_t line_start = before == std::u16string::npos ? 0 : before + 1;
        const size_t line_end = std::min(text.find(u'\r', m.start), text.size());
        found = true;
        std::cout << first + i + 1 << "\t" << name << "\t"
                  << utf16_to_utf8(
                         std::u16string_view(text).substr(line_start, line_end - line_start))
                  << "\n";
        printed_to = line_end + 1;
      }
      if (all.end == SearchEnd::too_complex) {
        too_complex = true;
        std::cerr << "zqb: chapter " << first + i + 1
                  << ": the expression needs more work than it may take; its search stopped\n";
      }
    }
  });
  if (status) return status;
  if (too_complex) return kTooComplex;
  return found ? 0 : kNoMatch;
}

}  // namespace folivra::zqb
