// The stand-alone reader: a book image is appended to this program, followed
// by "END". The image starts where the program's own PE image ends.
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string>

#include "book/book_file.h"
#include "book/fingerprint.h"
#include "book/book_time.h"
#include "book/field_cipher.h"
#include "book/gbk_wide.h"
#include "book/reader_image.h"
#include "reader/input_box.h"
#include "reader/reader_window.h"

namespace {

using namespace folivra;

bool read_own_file(std::string& bytes) {
  wchar_t path[32768] = {};
  GetModuleFileNameW(nullptr, path, 32768);
  HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER size{};
  bool ok = GetFileSizeEx(file, &size);
  bytes.resize(ok ? static_cast<size_t>(size.QuadPart) : 0);
  size_t got = 0;
  while (ok && got < bytes.size()) {
    DWORD n = 0;
    ok = ReadFile(file, bytes.data() + got,
                  static_cast<DWORD>(std::min<size_t>(bytes.size() - got, 1 << 24)), &n, nullptr) &&
         n > 0;
    got += n;
  }
  CloseHandle(file);
  return ok;
}

void fail(const wchar_t* text) { MessageBoxW(nullptr, text, L"信息：", MB_OK | MB_ICONERROR); }

// Asks until the password matches; nothing when the reader is cancelled.
std::optional<std::string> ask_password(const BookLock& lock) {
  const std::wstring title = L"输入密码";
  std::wstring suffix;
  for (int wrong = 0;;) {
    const std::optional<std::wstring> typed = ask_masked(title + suffix, gbk_to_wide(lock.hint));
    if (!typed) return std::nullopt;
    if (typed->empty()) {
      suffix = L" - 密码不能为空";
      continue;
    }
    // A character GBK cannot hold is no character of any password.
    const std::optional<std::string> password = wide_to_gbk(*typed);
    if (password && password_check_value(*password) == lock.check_value) return *password;
    const std::string count = pad_number(++wrong, 1);
    suffix = L" - 密码错误 " + std::wstring(count.begin(), count.end()) + L" 次";
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  std::string own;
  if (!read_own_file(own)) {
    fail(L"读入数据失败，请尝试重新打开！");
    return 1;
  }
  const size_t start = pe_image_end(own);
  if (start == 0 || own.compare(start, 3, "ZQB") != 0) return 1;
  const BookLock lock = peek_book_lock(std::string_view(own).substr(start));
  std::string password;
  if (!lock.check_value.empty()) {
    const std::optional<std::string> accepted = ask_password(lock);
    if (!accepted) return 0;
    password = *accepted;
  }
  Book book;
  size_t end = 0;
  const bool read = parse_book(own.substr(start), password, book, &end) == ReadStatus::ok;
  if (!read || start + end + 3 > own.size() || own.compare(start + end, 3, "END") != 0) {
    fail(L"数据错误，文件疑似被损坏！");
    return 1;
  }
  const uint64_t image = fingerprint(std::string_view(own).substr(start, end));
  own.clear();
  own.shrink_to_fit();
  return run_reader_window(book, image);
}
