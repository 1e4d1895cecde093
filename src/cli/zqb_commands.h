#pragma once

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "book/book.h"

namespace folivra {
class Document;
}

namespace folivra::zqb {

// Exit statuses besides the read statuses 0 to 3 that dump returns.
inline constexpr int kUsageError = 64;
inline constexpr int kBadInput = 65;
inline constexpr int kCannotWrite = 73;
// check: the book reads, but items are damaged or the file is cut short.
inline constexpr int kDamaged = 4;
// grep: no line matched (1 stays "not a book file", as for the other commands).
inline constexpr int kNoMatch = 5;
// grep: the expression needed more work in some chapter than it may take;
// the lines found elsewhere are printed.
inline constexpr int kTooComplex = 6;
// import: a text file that cannot be read (as "cannot open" for books).
inline constexpr int kCannotRead = 3;

struct Arguments {
  std::string command;
  std::vector<std::string> positional;
  std::optional<std::string> password;  // UTF-8, as typed
  std::optional<std::string> reader;    // pack: the reader program to put in front
  bool json = false;                    // count: print JSON
  bool regex = false;                   // grep: the pattern is an ECMAScript regular expression
  bool per_volume = false;              // renumber: each volume's chapters on their own
  bool plain = false;                   // txt: readable text instead of the RTF-source conversion
  std::optional<std::string> encoding;  // txt --plain: utf8 (default), utf8-bom or gbk; import
  std::optional<std::string> rule;      // import: the heading rule (UTF-8 regular expression)
  std::optional<std::string> unwrap;    // import: auto, on or off
  std::optional<std::string> title, author;               // import: UTF-8
  std::optional<std::string> store;                       // the writing store's database
  std::optional<std::string> show;                        // history: the version to print
  std::optional<std::string> days;                        // stats: how many days
  std::optional<std::string> indent, blank, punctuation;  // format: yes/no, 0/1, yes/no
};

// Reads the book named first; on failure says why and gives the exit status.
// With `each`, its chapters go there a few at a time as they are read and
// the book keeps none of them. What is wrong with a book that reads goes to
// `found`, else to standard error as warnings.
using ChapterSink = std::function<void(std::span<const Chapter> chapters, size_t first)>;
int load(const Arguments& args, Book& book, std::vector<std::string>* found = nullptr,
         const ChapterSink& each = {});

int dump(const Arguments& args);
int build(const Arguments& args);
int txt(const Arguments& args);
int check(const Arguments& args);
int pack(const Arguments& args);
int unpack(const Arguments& args);
int chapters(const Arguments& args);
int count(const Arguments& args);
int grep(const Arguments& args);
int import(const Arguments& args);
int epub(const Arguments& args);
// insert, delete, rename, move, split and merge, by args.command.
int change_chapters(const Arguments& args);
// The writing store: versions of chapters and the words of each day.
int history(const Arguments& args);
int restore(const Arguments& args);
int stats(const Arguments& args);
// 一键排版 of chapter N or every chapter.
int format(const Arguments& args);
// Reads the book named first for a change, into `doc`; a file cut short is
// refused (kDamaged), as writing it back would lose what could not be read.
int open_for_change(const Arguments& args, Document& doc, bool changing = true);
// 重排章节编号.
int renumber(const Arguments& args);

}  // namespace folivra::zqb
