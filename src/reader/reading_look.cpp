#include "reader/reading_look.h"

#include <string_view>

#include "book/gbk_wide.h"

namespace folivra {

namespace {

std::wstring look_file() {
  const std::wstring dir = reader_folder();
  return dir.empty() ? dir : dir + L"\\look.txt";
}

// A small number at the start of `text`, taken off it with the space after it.
int take_int(std::string_view& text, int fallback) {
  int value = 0;
  size_t n = 0;
  while (n < text.size() && n < 4 && text[n] >= '0' && text[n] <= '9') {
    value = value * 10 + (text[n++] - '0');
  }
  text.remove_prefix(n < text.size() ? n + 1 : n);
  return n ? value : fallback;
}

}  // namespace

std::wstring reader_folder() {
  wchar_t appdata[MAX_PATH] = {};
  const DWORD n = GetEnvironmentVariableW(L"APPDATA", appdata, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return {};
  return std::wstring(appdata) + L"\\Folivra\\Reader";
}

void replace_small_file(const std::wstring& file, const std::string& text) {
  const std::wstring dir = reader_folder();
  CreateDirectoryW(dir.substr(0, dir.rfind(L'\\')).c_str(), nullptr);
  CreateDirectoryW(dir.c_str(), nullptr);
  const std::wstring fresh = file + L".new";
  const HANDLE out = CreateFileW(fresh.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
  if (out == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  const bool ok = WriteFile(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
                  written == text.size();
  CloseHandle(out);
  if (!ok || !MoveFileExW(fresh.c_str(), file.c_str(), MOVEFILE_REPLACE_EXISTING)) {
    DeleteFileW(fresh.c_str());
  }
}

// "POINTS SPACING COLOURS FULL" on the first line, the face (GBK) on the second.
ReadingLook read_reading_look() {
  ReadingLook look;
  const std::wstring file = look_file();
  if (file.empty()) return look;
  const HANDLE in = CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
  if (in == INVALID_HANDLE_VALUE) return look;
  char bytes[256];
  DWORD got = 0;
  if (!ReadFile(in, bytes, sizeof bytes, &got, nullptr)) got = 0;
  CloseHandle(in);
  std::string_view text(bytes, got);
  const int points = take_int(text, 0);
  const int spacing = take_int(text, 10);
  const int colours = take_int(text, 0);
  const int full = take_int(text, 0);
  if (points == 0 || (points >= kLeastPoints && points <= kMostPoints)) look.points = points;
  if (spacing == 10 || spacing == 15 || spacing == 20) look.spacing = spacing;
  if (colours >= 0 && colours <= 3) look.colours = colours;
  look.full = full == 1;
  const size_t line = text.find('\n');
  text.remove_prefix(line == std::string_view::npos ? text.size() : line + 1);
  const size_t end = text.find('\r');
  if (!text.empty() && end != 0) look.face = gbk_to_wide(text.substr(0, end)).substr(0, 31);
  return look;
}

void write_reading_look(const ReadingLook& look) {
  const std::wstring file = look_file();
  if (file.empty()) return;
  std::string text = std::to_string(look.points) + ' ' + std::to_string(look.spacing) + ' ' +
                     std::to_string(look.colours) + ' ' + (look.full ? "1" : "0") + "\r\n" +
                     wide_to_gbk_lossy(look.face) + "\r\n";
  replace_small_file(file, text);
}

COLORREF page_colour(int colours) {
  static const COLORREF kPages[] = {RGB(255, 255, 255), RGB(204, 232, 207), RGB(245, 234, 208),
                                    RGB(30, 30, 30)};
  return kPages[colours & 3];
}

COLORREF text_colour(int colours) {
  static const COLORREF kTexts[] = {RGB(0, 0, 0), RGB(0, 0, 0), RGB(70, 50, 30),
                                    RGB(200, 200, 190)};
  return kTexts[colours & 3];
}

}  // namespace folivra
