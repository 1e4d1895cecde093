// The check against the control itself: every chapter text the fuzzers
// found interesting (their seed corpora, given as folders) and a family of
// hostile RTF made here goes through the check the editor applies, and what
// the check lets through is streamed into a real RichEdit control and out
// again. A process of its own, so that a crash of the control is a failed
// run naming the text that caused it; each name is printed before its load.
#include <windows.h>
#include <richedit.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "book/book_file.h"
#include "document/chapter_look.h"
#include "text/plain_text.h"
#include "ui/rtf_stream.h"

using namespace folivra;

namespace {

std::string repeat(std::string_view piece, size_t times) {
  std::string out;
  out.reserve(piece.size() * times);
  for (size_t i = 0; i < times; ++i) out += piece;
  return out;
}

// What the control reads its own way: 32-bit parameters, \bin counts and
// \ucN skips, beside the deepest nesting the check allows.
std::vector<std::pair<std::string, std::string>> hostile_texts() {
  const std::string deep = repeat("{", 5000) + repeat("}", 5000);
  std::vector<std::pair<std::string, std::string>> out = {
      {"bin past 32 bits", "{\\rtf1 \\bin4294967297 " + deep + "}"},
      {"bin of twelve digits", "{\\rtf1 \\bin999999999999 " + deep + "}"},
      {"bin negative", "{\\rtf1 \\bin-1 " + deep + "}"},
      {"bin to the end", "{\\rtf1 \\bin2000000 {{{{x"},
      {"bin over braces", "{\\rtf1 x\\bin5 {{{{{ y}"},
      {"uc past 32 bits", "{\\rtf1\\uc4294967297\\u20013 " + deep + "}"},
      {"uc huge skips braces", "{\\rtf1\\uc2147483647\\u20013 {{{{}}}}x}"},
      {"uc negative", "{\\rtf1\\uc-5\\u65 abc}"},
      {"uc skips a bin", "{\\rtf1\\uc1\\u65\\bin3 {{{ x}"},
      {"uc skips an escape", "{\\rtf1\\uc2\\u65\\'c4\\'e3\\'ba\\'c3 x}"},
      {"u past 32 bits", "{\\rtf1\\u4294967361 x\\u-4294967231 y\\u99999999999 z}"},
      {"deepest allowed", "{\\rtf1" + repeat("{", 31) + "x" + repeat("}", 32)},
      {"one deeper", "{\\rtf1" + repeat("{", 32) + "x" + repeat("}", 33)},
      {"deep in a destination", "{\\rtf1{\\*\\foo" + repeat("{", 29) + repeat("}", 30) + "x}"},
      {"deep font table", "{\\rtf1{\\fonttbl" + repeat("{\\f1 a;", 29) + repeat("}", 30) + "x}"},
      {"huge numbers", "{\\rtf1\\fs999999999999\\f999999999999\\cf2147483647\\li-2147483648 x}"},
      {"colour table lies", "{\\rtf1{\\colortbl;\\red999999999999\\green-1\\blue256;}\\cf1 x}"},
      {"cut escape", "{\\rtf1 \\'"},
      {"cut escape digit", "{\\rtf1 \\'4"},
      {"unclosed", "{\\rtf1 " + repeat("{\\b x", 31)},
      {"closes too often", "{\\rtf1 x}" + repeat("}", 1000) + "{\\b y}"},
      {"long words", "{\\rtf1\\" + repeat("a", 64) + "1 x}"},
      {"pictures", "{\\rtf1{\\pict\\pngblip\\picw-5\\pich99999999999 0011zz}x}"},
      {"objects", "{\\rtf1{\\object\\objemb{\\*\\objdata 01050000}{\\result x}}}"},
      {"fields", "{\\rtf1{\\field{\\*\\fldinst HYPERLINK " + repeat("{", 27) + repeat("}", 27) +
                     "}{\\fldrslt x}}}"},
      {"tables", "{\\rtf1\\trowd\\cellx-1\\cellx99999999999 a\\cell\\nestcell b\\row" +
                     repeat("\\itap400 c\\nestcell", 50) + "}"},
      {"cells in a nested row's properties",  // ended Wine's control (found in a real document)
       "{\\rtf1 \\intbl\\cellx5027\\itap2{\\*\\nesttableprops\\trowd { }{x}{ }\\nestcell\\nestrow}"
       "{ }\\cell \\cell \\cell\\row}"},
  };
  return out;
}

// Texts whose characters the core reads as the control does: the control's
// text and chapter_text16 must be the same, character for character.
const char* const kSameText[] = {
    "{\\rtf1\\ansi {\\u8226}ABC}",  // a fallback skip ends with its group
    "{\\rtf1\\ansi a{\\headerl h}{\\headerr h}{\\headerf h}{\\footerl f}{\\footerr f}"
    "{\\footerf f}b}",
    "{\\rtf1\\ansi a{\\tc x}{\\tcn y}b}",  // Wine's control shows \tcn's text, not \tc's
    "{\\rtf1\\ansi\\ansicpg936 \\'c4\\'e3\\uc2\\u22909\\'ba\\'c3 x\\par y}",
};

size_t differences(HWND edit) {
  size_t differ = 0;
  for (const char* rtf : kSameText) {
    load_chapter_text(edit, rtf);
    const std::wstring control = control_text(edit);
    const std::u16string core = chapter_text16(rtf);
    if (std::u16string(control.begin(), control.end()) == core) continue;
    ++differ;
    std::printf("differs  %s\n  control:", rtf);
    for (wchar_t c : control) std::printf(" %04x", static_cast<unsigned>(c));
    std::printf("\n  core:   ");
    for (char16_t c : core) std::printf(" %04x", static_cast<unsigned>(c));
    std::printf("\n");
  }
  return differ;
}

// The editor's way with a chapter: what the check refuses is not loaded.
bool load_if_shown(HWND edit, const std::string& name, const std::string& content) {
  Chapter chapter;
  chapter.content = content;
  const ChapterLook look = chapter_look(chapter);
  if (look == ChapterLook::damaged || shown_as_text(look)) {
    std::printf("refused  %s\n", name.c_str());
    return false;
  }
  std::printf("loading  %s\n", name.c_str());
  std::fflush(stdout);
  load_chapter_text(edit, shown_content(chapter));
  const std::string out = save_rtf(edit);
  std::printf("loaded   %s: %zu characters, %zu bytes out\n", name.c_str(),
              control_text(edit).size(), out.size());
  std::fflush(stdout);
  return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  LoadLibraryW(L"Msftedit.dll");
  const HWND edit = CreateWindowExW(0, MSFTEDIT_CLASS, L"", WS_POPUP | ES_MULTILINE, 0, 0, 400, 300,
                                    nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (!edit) return 2;
  SendMessageW(edit, EM_EXLIMITTEXT, 0, 0x7FFFFFFE);
  if (argc == 3 && std::wstring(argv[1]) == L"--depth") {  // how deep the control goes
    const size_t depth = std::stoul(argv[2]);
    load_chapter_text(edit, "{\\rtf1" + repeat("{", depth - 1) + "x" + repeat("}", depth));
    std::printf("depth %zu: %zu characters\n", depth, control_text(edit).size());
    return 0;
  }
  size_t loaded = 0, refused = 0;
  for (const auto& [name, content] : hostile_texts()) {
    (load_if_shown(edit, name, content) ? loaded : refused) += 1;
  }
  for (int a = 1; a < argc; ++a) {
    for (const auto& entry : std::filesystem::directory_iterator(argv[a])) {
      if (!entry.is_regular_file()) continue;
      std::ifstream in(entry.path(), std::ios::binary);
      const std::string bytes{std::istreambuf_iterator<char>(in), {}};
      const std::string name = entry.path().filename().string();
      (load_if_shown(edit, name, bytes) ? loaded : refused) += 1;
      // A book: each of its chapters as the editor would show it.
      Book book;
      if (parse_book(bytes, "pw", book) != ReadStatus::ok) continue;
      for (size_t i = 0; i < book.chapters.size() && i < 200; ++i) {
        const std::string chapter = name + " chapter " + std::to_string(i + 1);
        (load_if_shown(edit, chapter, book.chapters[i].content) ? loaded : refused) += 1;
      }
    }
  }
  const size_t differ = differences(edit);
  DestroyWindow(edit);
  if (differ) return 1;
  std::printf("all %zu texts the check passed went through the control (%zu refused)\n", loaded,
              refused);
  return 0;
}
