// Reading and writing a large book against raw zlib on the same field bytes.
// Run: build/native/book_bench   (figures: bytes_per_second of plain field bytes)
#include <benchmark/benchmark.h>
#include <cstring>
#include <unistd.h>
#include <zlib.h>

#include <cstdio>
#include <filesystem>
#include <random>
#include <regex>
#include <string>
#include <vector>

#include "text/book_search.h"
#include "text/novel_import.h"
#include "text/plain_text.h"
#include "text/text_import.h"
#include "text/word_count.h"
#include "book/block_codec.h"
#include "book/book_file.h"
#include "book/file_io.h"
#include "book/task_pool.h"
#include "export/text_export.h"
#include "store/writing_store.h"

using namespace folivra;

namespace {

constexpr int kChapters = 5000;
constexpr size_t kChapterBytes = 10 * 1024;  // 50 MB in all

// RTF much like the editor's: GBK text written as \'xx escapes in paragraphs.
std::string chapter_rtf(std::mt19937& random) {
  static const std::vector<std::string> kWords = [] {
    std::vector<std::string> words;
    std::mt19937 pick(42);
    for (int i = 0; i < 3000; ++i) {
      std::string word;
      const int chars = 1 + static_cast<int>(pick() % 3);
      for (int c = 0; c < chars; ++c) {
        char escape[16];
        std::snprintf(escape, sizeof escape, "\\'%02x\\'%02x",
                      static_cast<unsigned>(0xB0 + pick() % 0x40),
                      static_cast<unsigned>(0xA1 + pick() % 0x5E));
        word += escape;
      }
      words.push_back(word);
    }
    return words;
  }();
  std::string rtf =
      "{\\rtf1\\ansi\\ansicpg936\\deff0{\\fonttbl{\\f0\\fnil\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}}"
      "\\viewkind4\\uc1\\pard\\lang2052\\f0\\fs24 ";
  while (rtf.size() < kChapterBytes) {
    for (int i = 0; i < 40; ++i) rtf += kWords[random() % kWords.size()];
    rtf += random() % 4 == 0 ? "\\'a1\\'a3\\par\r\n" : "\\'a3\\'ac";
  }
  return rtf + "}\r\n";
}

struct Fixture {
  Book book;
  std::filesystem::path path;
  std::vector<std::string> fields;  // plain bytes of every stored field
  std::vector<std::string> blocks;  // their compressed blocks
  size_t plain_bytes = 0;

  Fixture() {
    std::mt19937 random(2024);
    book.title = "\xB0\xD9\xCD\xF2\xD7\xD6\xB5\xC4\xCA\xE9";
    book.intro = chapter_rtf(random).substr(0, 2000);
    for (int i = 0; i < kChapters; ++i) {
      Chapter chapter;
      chapter.name = "\xB5\xDA " + std::to_string(i + 1) + " \xD5\xC2";
      chapter.content = chapter_rtf(random);
      book.chapters.push_back(std::move(chapter));
    }
    fields = {book.title, book.author, book.book_type, book.intro, book.cover};
    for (const Chapter& c : book.chapters) {
      fields.push_back(c.name);
      fields.push_back(c.content);
    }
    for (const std::string& f : fields) {
      blocks.push_back(compress_block(f));
      plain_bytes += f.size();
    }
    path = std::filesystem::temp_directory_path() / "folivra-bench.zqb";
    write_book(path, book);
  }
  ~Fixture() { std::filesystem::remove(path); }
};

Fixture& fixture() {
  static Fixture f;
  return f;
}

// Arg 0: on every core; 1: on one thread, as before items were shared out.
void BM_ReadBook(benchmark::State& state) {
  Fixture& f = fixture();
  set_item_workers(state.range(0) ? 1 : 0);
  for (auto _ : state) {
    Book book;
    if (read_book(f.path, "", book) != ReadStatus::ok) state.SkipWithError("read failed");
    benchmark::DoNotOptimize(book.chapters.data());
  }
  set_item_workers(0);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * f.plain_bytes));
}

void BM_ZlibUncompress(benchmark::State& state) {
  Fixture& f = fixture();
  std::string out;
  for (auto _ : state) {
    for (size_t i = 0; i < f.blocks.size(); ++i) {
      if (f.fields[i].empty()) continue;
      out.resize(f.fields[i].size());
      uLongf size = out.size();
      uncompress(reinterpret_cast<Bytef*>(out.data()), &size,
                 reinterpret_cast<const Bytef*>(f.blocks[i].data() + 8), f.blocks[i].size() - 8);
      benchmark::DoNotOptimize(out.data());
    }
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * f.plain_bytes));
}

// The same, but every field gets memory of its own, as a book being read must.
void BM_ZlibUncompressFresh(benchmark::State& state) {
  Fixture& f = fixture();
  for (auto _ : state) {
    std::vector<std::string> outs(f.fields.size());
    for (size_t i = 0; i < f.blocks.size(); ++i) {
      if (f.fields[i].empty()) continue;
      outs[i].resize(f.fields[i].size());
      uLongf size = outs[i].size();
      uncompress(reinterpret_cast<Bytef*>(outs[i].data()), &size,
                 reinterpret_cast<const Bytef*>(f.blocks[i].data() + 8), f.blocks[i].size() - 8);
    }
    benchmark::DoNotOptimize(outs.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * f.plain_bytes));
}

// A book made from scratch: every item encoded. Arg as BM_ReadBook.
void BM_WriteBook(benchmark::State& state) {
  Fixture& f = fixture();
  set_item_workers(state.range(0) ? 1 : 0);
  for (auto _ : state) {
    Book book = f.book;
    book.stored_image.reset();
    if (write_book(f.path, book) != 0) state.SkipWithError("write failed");
  }
  set_item_workers(0);
  state.counters["file_bytes"] = static_cast<double>(std::filesystem::file_size(f.path));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * f.plain_bytes));
}

// The book as read from its file, one chapter edited, saved: the other
// items go back as they were stored.
void BM_SaveOneEdited(benchmark::State& state) {
  Fixture& f = fixture();
  Book book;
  read_book(f.path, "", book);
  int edits = 0;
  for (auto _ : state) {
    book.chapters[2500].content += "\'a1\'a3" + std::to_string(++edits);
    if (write_book(f.path, book) != 0) state.SkipWithError("write failed");
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * f.plain_bytes));
}

// The writing store beside a save. A fresh store in a temporary folder.
std::unique_ptr<WritingStore> fresh_store(const std::string& name) {
  const std::filesystem::path db =
      std::filesystem::temp_directory_path() / ("folivra-bench-" + name);
  std::filesystem::remove_all(db);
  return std::move(WritingStore::open(db / "folivra.db").store);
}

int64_t words_of(const Chapter& chapter) {
  return static_cast<int64_t>(count_words(chapter.content).words);
}

// zqb's way: the save, then the book in memory recorded (one chapter changed).
void BM_SaveOneEditedWithStore(benchmark::State& state) {
  Fixture& f = fixture();
  Book book;
  read_book(f.path, "", book);
  auto store = fresh_store("zqb");
  const std::string key = f.path.string();
  store->record_save({key, &book, words_of, 0, 1, {}});
  int edits = 0;
  for (auto _ : state) {
    book.chapters[2500].content += "\'a1\'a3" + std::to_string(++edits);
    if (write_book(f.path, book) != 0) state.SkipWithError("write failed");
    int versions = 0;
    store->record_save({key, &book, words_of, 0, 1, {}}, &versions);
    if (versions != 1) state.SkipWithError("not one version");
  }
}

// The editor's worker after a save: the file read back and recorded; one
// chapter changed (0), or every chapter new to a fresh store (1).
void BM_RecordFromFile(benchmark::State& state) {
  Fixture& f = fixture();
  {
    Book book = f.book;
    book.stored_image.reset();
    write_book(f.path, book);
  }
  auto store = fresh_store("editor");
  const std::string key = f.path.string();
  int edits = 0;
  for (auto _ : state) {
    state.PauseTiming();
    Book edited;
    read_book(f.path, "", edited);
    if (state.range(0) == 1) {
      store = fresh_store("editor");
    } else {
      edited.chapters[2500].content += "\'a1\'a3" + std::to_string(++edits);
      write_book(f.path, edited);
    }
    state.ResumeTiming();
    Book book;
    read_book(f.path, "", book);
    int versions = 0;
    store->record_save({key, &book, words_of, 0, 1, {}}, &versions);
    benchmark::DoNotOptimize(versions);
  }
  state.counters["store_bytes"] = static_cast<double>(store->stored_bytes());
}

// 1,000 saves of a 10,000-character chapter, each a small edit: what the
// store holds afterwards (the database file and its journal).
void BM_StoreAfterSaves(benchmark::State& state) {
  std::mt19937 random(7);
  Book book;
  book.chapters.resize(1);
  std::string text;
  while (text.size() < 10000 * 4) text += chapter_rtf(random);
  text.resize(10000 * 4);  // 10,000 escaped characters
  const std::string head = "{\\rtf1\\ansi\\ansicpg936 ";
  std::filesystem::path folder;
  for (auto _ : state) {
    auto store = fresh_store("size");
    folder = store->path().parent_path();
    for (int save = 0; save < 1000; ++save) {
      const size_t at = random() % (text.size() / 4) * 4;
      text.replace(at, 4, "\\'b0");
      book.chapters[0].content = head + text + "}";
      store->record_save({"/size.zqb", &book, {}, 0, 1, {}});
    }
  }
  uintmax_t bytes = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) bytes += entry.file_size();
  state.counters["store_bytes"] = static_cast<double>(bytes);
}

void BM_ZlibCompress2(benchmark::State& state) {
  Fixture& f = fixture();
  std::string out;
  size_t stream_bytes = 0;
  for (auto _ : state) {
    stream_bytes = 0;
    for (const std::string& field : f.fields) {
      if (field.empty()) continue;
      uLongf size = compressBound(field.size());
      out.resize(size);
      compress2(reinterpret_cast<Bytef*>(out.data()), &size,
                reinterpret_cast<const Bytef*>(field.data()), field.size(), Z_DEFAULT_COMPRESSION);
      stream_bytes += size;
      benchmark::DoNotOptimize(out.data());
    }
  }
  state.counters["stream_bytes"] = static_cast<double>(stream_bytes);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * f.plain_bytes));
}

// The text conversion of the book, into a file beside a plain write of as many bytes.
void BM_TextExport(benchmark::State& state) {
  Fixture& f = fixture();
  const auto path = std::filesystem::temp_directory_path() / "folivra-bench.txt";
  size_t bytes = 0;
  for (auto _ : state) {
    ReplacingFile out(path);
    bytes = 0;
    const bool ok = out.open() &&
                    export_book_text(f.book,
                                     [&](std::string_view chunk) {
                                       bytes += chunk.size();
                                       return out.write(chunk);
                                     }) &&
                    out.commit();
    if (!ok) state.SkipWithError("export failed");
  }
  std::filesystem::remove(path);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}

void BM_PlainWrite(benchmark::State& state) {
  Fixture& f = fixture();
  const std::string text = book_text(f.book);
  const auto path = std::filesystem::temp_directory_path() / "folivra-bench-plain.txt";
  for (auto _ : state) {
    std::FILE* out = std::fopen(path.c_str(), "wb");
    std::fwrite(text.data(), 1, text.size(), out);
    std::fflush(out);
    fsync(fileno(out));
    std::fclose(out);
  }
  std::filesystem::remove(path);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

// 字数 of the whole book, beside a memchr scan of the same RTF bytes.
void BM_CountWords(benchmark::State& state) {
  Fixture& f = fixture();
  size_t bytes = 0, words = 0;
  for (auto _ : state) {
    bytes = words = 0;
    for (const Chapter& chapter : f.book.chapters) {
      words += count_words(chapter.content).words;
      bytes += chapter.content.size();
    }
    benchmark::DoNotOptimize(words);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}

// The text of one 16 MB chapter of ASCII (as a decompression bomb holds) and
// of the whole book, as search and export read it.
void BM_ChapterText(benchmark::State& state) {
  Fixture& f = fixture();
  const std::string ascii = "{\\rtf1 " + std::string(16 << 20, 'a') + "}";
  size_t bytes = 0, units = 0;
  for (auto _ : state) {
    bytes = units = 0;
    if (state.range(0) == 0) {
      units += chapter_text16(ascii).size();
      bytes += ascii.size();
    } else {
      for (const Chapter& chapter : f.book.chapters) {
        units += chapter_text16(chapter.content).size();
        bytes += chapter.content.size();
      }
    }
    benchmark::DoNotOptimize(units);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}

void BM_MemchrScan(benchmark::State& state) {
  Fixture& f = fixture();
  size_t bytes = 0, hits = 0;
  for (auto _ : state) {
    bytes = hits = 0;
    for (const Chapter& chapter : f.book.chapters) {
      const char* p = chapter.content.data();
      const char* end = p + chapter.content.size();
      while ((p = static_cast<const char*>(std::memchr(p, '\\', static_cast<size_t>(end - p))))) {
        ++hits;
        ++p;
      }
      bytes += chapter.content.size();
    }
    benchmark::DoNotOptimize(hits);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}

// Finding a word in the whole book, beside only extracting the chapters'
// plain texts it searches.
void BM_PlainTexts(benchmark::State& state) {
  Fixture& f = fixture();
  size_t bytes = 0, units = 0;
  for (auto _ : state) {
    bytes = units = 0;
    for (const Chapter& chapter : f.book.chapters) {
      units += chapter_text16(chapter.content).size();
      bytes += chapter.content.size();
    }
    benchmark::DoNotOptimize(units);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}

// 0: a word the book lacks (天); 1: 。, which ends every fourth line.
void BM_SearchBook(benchmark::State& state) {
  Fixture& f = fixture();
  const TextPattern pattern = *TextPattern::make(state.range(0) ? u"\u3002" : u"\u5929", {});
  size_t hits = 0;
  for (auto _ : state) {
    hits = 0;
    search_book(f.book, pattern, true, [&](const BookHit&) { return ++hits, true; });
    benchmark::DoNotOptimize(hits);
  }
  state.counters["hits"] = static_cast<double>(hits);
}

// Regular expressions over every chapter's text, already in UTF-16: PCRE2
// (the JIT, whole paragraphs) beside std::wregex as the search used it
// (paragraph by paragraph, in pieces of 1,000 units). Args: the engine
// (0 PCRE2, 1 wregex) and the pattern.
const char16_t* const kRegexes[] = {u"\u5929", u"\u7B2C[0-9]+\u7AE0", u"^.{5}"};

const std::vector<std::u16string>& chapter_texts() {
  static const std::vector<std::u16string> texts = [] {
    std::vector<std::u16string> out;
    for (const Chapter& c : fixture().book.chapters) out.push_back(chapter_text16(c.content));
    return out;
  }();
  return texts;
}

size_t wregex_hits(const std::wregex& regex, std::u16string_view text) {
  size_t hits = 0;
  for (size_t begin = 0; begin <= text.size();) {
    size_t end = std::min(text.find(u'\r', begin), text.size());
    end = std::min(end, begin + 1000);
    const std::wstring line(text.begin() + static_cast<std::ptrdiff_t>(begin),
                            text.begin() + static_cast<std::ptrdiff_t>(end));
    for (auto it = std::wsregex_iterator(line.begin(), line.end(), regex);
         it != std::wsregex_iterator(); ++it) {
      hits += it->length(0) > 0;
    }
    begin = end < text.size() && text[end] == u'\r' ? end + 1 : end;
    if (end == text.size()) break;
  }
  return hits;
}

void BM_RegexTexts(benchmark::State& state) {
  const std::vector<std::u16string>& texts = chapter_texts();
  const std::u16string source = kRegexes[state.range(1)];
  const TextPattern pattern = *TextPattern::make(source, {.match_case = true, .regex = true});
  const std::wregex regex(std::wstring(source.begin(), source.end()), std::regex::ECMAScript);
  size_t hits = 0, units = 0;
  for (auto _ : state) {
    hits = units = 0;
    for (const std::u16string& text : texts) {
      hits += state.range(0) == 0 ? pattern.find_all(text).found.size() : wregex_hits(regex, text);
      units += text.size();
    }
    benchmark::DoNotOptimize(hits);
  }
  state.counters["hits"] = static_cast<double>(hits);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * units * 2));
}

// A GBK novel of 3,000 chapters, about 20 MB, as a TXT file.
struct Novel {
  std::filesystem::path path = std::filesystem::temp_directory_path() / "folivra-novel.txt";
  size_t bytes = 0;
  Novel() {
    std::mt19937 random(7);
    std::string text;
    for (int c = 1; c <= 3000; ++c) {
      text += "\xB5\xDA" + std::to_string(c) + "\xD5\xC2 \xB1\xEA\xCC\xE2\r\n";  // 第N章 标题
      while (text.size() < static_cast<size_t>(c) * 7000) {
        text += "\xA1\xA1\xA1\xA1";  // the full-width indent
        for (int i = 0; i < 120; ++i) {
          text += static_cast<char>(0xB0 + random() % 0x40);
          text += static_cast<char>(0xA1 + random() % 0x5E);
        }
        text += "\xA1\xA3\r\n";
      }
    }
    bytes = text.size();
    replace_file_contents(path, text);
  }
  ~Novel() { std::filesystem::remove(path); }
};

Novel& novel() {
  static Novel n;
  return n;
}

// Importing the novel into a book file, beside only reading and decoding it.
void BM_ImportNovel(benchmark::State& state) {
  Novel& n = novel();
  const auto out = std::filesystem::temp_directory_path() / "folivra-novel.zqb";
  size_t chapters = 0;
  for (auto _ : state) {
    std::string bytes;
    read_whole_file(n.path, bytes);
    const auto found =
        split_chapters(decode_text(bytes, detect_encoding(bytes)), default_heading_rule());
    Book book;
    book.chapters = chapters_of(found.chapters, RtfFont{}).chapters;
    chapters = book.chapters.size();
    if (write_book(out, book) != 0) state.SkipWithError("write failed");
  }
  std::filesystem::remove(out);
  state.counters["chapters"] = static_cast<double>(chapters);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * n.bytes));
}

void BM_ReadDecodeNovel(benchmark::State& state) {
  Novel& n = novel();
  for (auto _ : state) {
    std::string bytes;
    read_whole_file(n.path, bytes);
    benchmark::DoNotOptimize(decode_text(bytes, detect_encoding(bytes)).data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * n.bytes));
}

}  // namespace

BENCHMARK(BM_ImportNovel)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_ReadDecodeNovel)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_TextExport)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_PlainWrite)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_ReadBook)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_ZlibUncompress)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_ZlibUncompressFresh)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_WriteBook)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->UseRealTime();
BENCHMARK(BM_SaveOneEdited)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_SaveOneEditedWithStore)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_RecordFromFile)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->UseRealTime();
BENCHMARK(BM_StoreAfterSaves)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();
BENCHMARK(BM_ZlibCompress2)->Unit(benchmark::kMillisecond)->Iterations(3);

BENCHMARK(BM_CountWords)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ChapterText)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_MemchrScan)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_PlainTexts)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_SearchBook)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_RegexTexts)
    ->ArgsProduct({{0, 1}, {0, 1, 2}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

BENCHMARK_MAIN();
