#include "reader/reading_place.h"

#include "reader/reading_look.h"

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

namespace folivra {

namespace {

constexpr size_t kMaxBooks = 1000;  // the oldest places go first
constexpr DWORD kMaxFile = 1 << 20;

std::wstring places_file() {
  const std::wstring dir = reader_folder();
  return dir.empty() ? dir : dir + L"\\places.txt";
}

struct Line {
  uint64_t book = 0;
  ReadingPlace place;
};

// A number of `base` at the start of `text`, taken off it; nothing when
// there is none or it is too long.
std::optional<uint64_t> take_number(std::string_view& text, int base) {
  uint64_t value = 0;
  size_t n = 0;
  for (; n < text.size() && n < 16; ++n) {
    const char c = text[n];
    const int digit = c >= '0' && c <= '9'                 ? c - '0'
                      : base == 16 && c >= 'a' && c <= 'f' ? c - 'a' + 10
                                                           : -1;
    if (digit < 0) break;
    value = value * static_cast<uint64_t>(base) + static_cast<uint64_t>(digit);
  }
  if (n == 0 || (n < text.size() && text[n] != ' ' && text[n] != '\r')) return std::nullopt;
  text.remove_prefix(std::min(n + 1, text.size()));
  return value;
}

// One "BOOK CHAPTER POSITION" line each, the most recent last, followed by
// "CHAPTER POSITION" of each bookmark; a line that does not read so is left
// out, a bookmark that does not, dropped.
std::vector<Line> read_lines() {
  std::vector<Line> lines;
  const HANDLE file = CreateFileW(places_file().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return lines;
  std::string bytes(kMaxFile, '\0');
  DWORD got = 0;
  if (!ReadFile(file, bytes.data(), kMaxFile, &got, nullptr)) got = 0;
  CloseHandle(file);
  bytes.resize(got);
  std::string_view rest = bytes;
  while (!rest.empty()) {
    const size_t end = rest.find('\n');
    std::string_view text = rest.substr(0, end);
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    const std::optional<uint64_t> book = take_number(text, 16);
    const std::optional<uint64_t> chapter = book ? take_number(text, 10) : std::nullopt;
    const std::optional<uint64_t> position = chapter ? take_number(text, 10) : std::nullopt;
    if (!position || *chapter > 0x7FFFFFFF || *position > 0x7FFFFFFF) continue;
    Line line{*book, {static_cast<int>(*chapter), static_cast<long>(*position), {}}};
    while (!text.empty() && text[0] != '\r' && line.place.marks.size() < kMaxMarks) {
      const std::optional<uint64_t> mark_chapter = take_number(text, 10);
      const std::optional<uint64_t> mark_position =
          mark_chapter ? take_number(text, 10) : std::nullopt;
      if (!mark_position || *mark_chapter > 0x7FFFFFFF || *mark_position > 0x7FFFFFFF) break;
      line.place.marks.push_back(
          {static_cast<int>(*mark_chapter), static_cast<long>(*mark_position)});
    }
    lines.push_back(std::move(line));
  }
  return lines;
}

std::string hex16(uint64_t value) {
  std::string text(16, '0');
  for (int i = 15; i >= 0; --i, value >>= 4)
    text[static_cast<size_t>(i)] = "0123456789abcdef"[value & 15];
  return text;
}

}  // namespace

std::optional<ReadingPlace> read_reading_place(uint64_t book) {
  if (places_file().empty()) return std::nullopt;
  std::optional<ReadingPlace> found;
  for (const Line& line : read_lines()) {
    if (line.book == book) found = line.place;
  }
  return found;
}

// Written whole beside the old file, then put in its place.
void write_reading_place(uint64_t book, const ReadingPlace& place) {
  const std::wstring file = places_file();
  if (file.empty()) return;
  std::vector<Line> lines;
  for (const Line& line : read_lines()) {
    if (line.book != book) lines.push_back(line);
  }
  lines.push_back({book, place});
  if (lines.size() > kMaxBooks) lines.erase(lines.begin(), lines.end() - kMaxBooks);
  std::string text;
  for (const Line& line : lines) {
    text += hex16(line.book) + ' ' + std::to_string(line.place.chapter) + ' ' +
            std::to_string(line.place.position);
    for (const ReadingMark& mark : line.place.marks) {
      text += ' ' + std::to_string(mark.chapter) + ' ' + std::to_string(mark.position);
    }
    text += "\r\n";
  }
  replace_small_file(file, text);
}

}  // namespace folivra
