// zqb: the command-line tool over Folivra's book core.
#include <cstdio>
#ifdef __GLIBC__
#include <malloc.h>
#endif
#include <cstring>
#include <filesystem>
#include <string>
#include <iostream>
#include <string_view>

#include "cli/zqb_commands.h"

namespace {

using namespace folivra::zqb;

constexpr const char* kHelp = R"(zqb - read and write Folivra book files (.zqb)

usage:
  zqb dump BOOK [--password TEXT]   print the book as JSON (UTF-8)
  zqb build SPEC.json OUT           write a book file from a JSON spec
  zqb txt BOOK OUT [--password TEXT]
                                    write the book as the editor's GBK text conversion
  zqb txt BOOK OUT --plain [--encoding utf8|utf8-bom|gbk]
                                    write it as readable text: title, author,
                                    introduction, each chapter's name and text
  zqb check BOOK [--password TEXT]  read every field and chapter, print a summary
  zqb pack BOOK OUT.exe [--password TEXT] [--reader READER.exe]
                                    compile the book into a stand-alone reader
  zqb unpack READER.exe OUT         take the book out of a compiled reader
  zqb chapters BOOK                 list the chapters: number, kind, name, bytes, and
                                    "volume" after a volume (分卷)
  zqb count BOOK [--json]           字数 of each chapter and the book: number, name,
                                    字数, characters, characters without spaces
  zqb grep BOOK PATTERN [--regex]   the lines of the chapters' text that hold PATTERN:
                                    chapter number, name, line; --regex: a Perl-style
                                    regular expression (^ and $ at each line)
  zqb import NOVEL.txt|FOLDER OUT.zqb [--encoding E] [--rule REGEX] [--title T] [--author A]
             [--unwrap auto|on|off]
                                    a book from a text novel, a chapter at each heading
                                    the rule matches (or one per .txt file of FOLDER,
                                    in natural order); E: utf8, utf16le, utf16be, gb18030
                                    (detected when not given); --unwrap: join lines cut
                                    at a fixed width into paragraphs (auto: when detected)
  zqb epub BOOK OUT.epub [--password TEXT]
                                    write the book as an EPUB 3 publication
  zqb insert BOOK N NAME            a new empty chapter at position N
  zqb delete BOOK N                 delete chapter N
  zqb rename BOOK N NAME            rename chapter N
  zqb move BOOK N TO                move chapter N to position TO
  zqb split BOOK N AT [NAME]        cut chapter N before character AT of its text;
                                    the rest becomes chapter N+1 (named NAME, or
                                    the old name with "（续）")
  zqb merge BOOK N                  join chapter N and the next, a paragraph apart
  zqb history BOOK [N]              the versions of the book's chapters (of chapter N)
                                    the writing store keeps: chapter, version, time,
                                    字数, name; then the deleted chapters
  zqb history BOOK N --show K       print version K of chapter N as plain text
  zqb restore BOOK N K              make chapter N version K again (recorded itself)
  zqb stats [--days D] [--json]     the words written on each of the last D days
                                    (30), today's words per hour, each book's 字数
  zqb format BOOK [N] [--indent yes|no] [--blank 0|1] [--punctuation yes|no]
                                    一键排版 of chapter N or every chapter: an indent of
                                    two full-width spaces (yes), spaces at the ends of
                                    paragraphs removed, 0 or 1 blank lines between
                                    paragraphs (0), ASCII punctuation after Chinese
                                    text made full-width (yes); formatting kept
  zqb renumber BOOK [--per-volume]  the numbers of chapter names (第12章, 第十二章, 12.)
                                    made to run in order again from the smallest,
                                    each in the numerals it is written in; with
                                    --per-volume each volume's chapters start again
  zqb --help                        show this text

The chapter commands take --password for a protected book and write it back
in place; names are UTF-8 and must be GBK text. They, restore and import record
the book in the writing store before and after the change, so it can be taken
back; --store FILE names the store (default: $XDG_DATA_HOME/folivra/folivra.db,
else ~/.local/share/folivra/folivra.db). A protected book's text is not kept
there, only its 字数.

dump prints format_version, flags, password_hint, title, author, book_type,
intro, time, time_text, cover (base64) and chapters (kind, name, content as
base64). build reads the same keys, every one optional, plus "password".

exit status: 0 done; for dump, txt and check 1 not a book file, 2 password missing or
wrong, 3 cannot open; for check 4 the book reads but is damaged or cut short
(each problem on a line of its own); for grep 5 no line matched, 6 the expression was too complex for a chapter; for import 3 cannot read the text; 64 wrong usage, 65 bad spec, 73 cannot write.
)";

struct Command {
  std::string_view name;
  size_t positional, optional;
  int (*run)(const Arguments&);
};

constexpr Command kCommands[] = {
    {"dump", 1, 0, dump},
    {"build", 2, 0, build},
    {"txt", 2, 0, txt},
    {"check", 1, 0, check},
    {"pack", 2, 0, pack},
    {"unpack", 2, 0, unpack},
    {"chapters", 1, 0, chapters},
    {"count", 1, 0, count},
    {"grep", 2, 0, grep},
    {"import", 2, 0, import},
    {"epub", 2, 0, epub},
    {"insert", 3, 0, change_chapters},
    {"delete", 2, 0, change_chapters},
    {"rename", 3, 0, change_chapters},
    {"move", 3, 0, change_chapters},
    {"split", 3, 1, change_chapters},
    {"merge", 2, 0, change_chapters},
    {"history", 1, 1, history},
    {"restore", 3, 0, restore},
    {"stats", 0, 0, stats},
    {"format", 1, 1, format},
    {"renumber", 1, 0, renumber},
};

int usage_error(const std::string& message) {
  std::cerr << "zqb: " << message << "\nTry 'zqb --help'.\n";
  return kUsageError;
}

// The reader program the Windows tree builds beside this program's tree
// (build/native/zqb, build/windows/folivra_reader.exe), found from where
// this program is, not from where it was built.
std::string default_reader(const char* argv0) {
  std::error_code error;
  std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) self = std::filesystem::absolute(argv0, error);
  return (self.parent_path().parent_path() / "windows" / "folivra_reader.exe").string();
}

}  // namespace

int main(int argc, char** argv) {
#ifdef __GLIBC__
  // Chapters come and go a few at a time. Their buffers live in the heap
  // and are reused (mapping each afresh costs a page fault per page), and
  // the heap keeps at most 64 MB free; a fixed threshold also stops glibc
  // from raising it to the largest buffer freed and keeping them all.
  mallopt(M_MMAP_THRESHOLD, 64 << 20);
  mallopt(M_TRIM_THRESHOLD, 64 << 20);
#endif
  if (argc < 2) return usage_error("missing command");
  const std::string_view name = argv[1];
  if (name == "--help" || name == "-h" || name == "help") {
    std::cout << kHelp;
    return 0;
  }
  const Command* command = nullptr;
  for (const Command& c : kCommands) {
    if (c.name == name) command = &c;
  }
  if (!command) return usage_error("unknown command '" + std::string(name) + "'");

  Arguments args;
  args.command = std::string(name);
  for (int i = 2; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--password" || arg == "--reader" || arg == "--encoding" || arg == "--rule" ||
        arg == "--title" || arg == "--author" || arg == "--unwrap" || arg == "--store" ||
        arg == "--show" || arg == "--days" || arg == "--indent" || arg == "--blank" ||
        arg == "--punctuation") {
      if (i + 1 == argc) return usage_error(std::string(arg) + " needs a value");
      (arg == "--password"      ? args.password
       : arg == "--reader"      ? args.reader
       : arg == "--encoding"    ? args.encoding
       : arg == "--rule"        ? args.rule
       : arg == "--title"       ? args.title
       : arg == "--unwrap"      ? args.unwrap
       : arg == "--store"       ? args.store
       : arg == "--show"        ? args.show
       : arg == "--days"        ? args.days
       : arg == "--indent"      ? args.indent
       : arg == "--blank"       ? args.blank
       : arg == "--punctuation" ? args.punctuation
                                : args.author) = argv[++i];
    } else if (arg == "--plain") {
      args.plain = true;
    } else if (arg == "--json") {
      args.json = true;
    } else if (arg == "--regex") {
      args.regex = true;
    } else if (arg == "--per-volume") {
      args.per_volume = true;
    } else if (arg.size() > 1 && arg[0] == '-') {
      return usage_error("unknown option '" + std::string(arg) + "'");
    } else {
      args.positional.emplace_back(arg);
    }
  }
  const size_t given = args.positional.size();
  if (given < command->positional || given > command->positional + command->optional) {
    return usage_error(std::string(name) + " takes " + std::to_string(command->positional) +
                       (command->optional ? " or more" : "") + " arguments");
  }
  if (!args.reader) args.reader = default_reader(argv[0]);
  const int status = command->run(args);
  // A listing cut short by a full disk or a closed pipe is no success.
  std::cout.flush();
  if (!std::cout || std::fflush(stdout) != 0 || std::ferror(stdout)) {
    std::cerr << "zqb: cannot write to standard output\n";
    return kCannotWrite;
  }
  return status;
}
