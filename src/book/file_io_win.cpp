#include <windows.h>

#include <algorithm>
#include <system_error>

#include "book/file_io.h"

namespace folivra {

namespace {

class Handle {
 public:
  explicit Handle(HANDLE h) : h_(h) {}
  ~Handle() { close(); }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  bool valid() const { return h_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return h_; }
  bool close() {
    const bool ok = !valid() || CloseHandle(h_);
    h_ = INVALID_HANDLE_VALUE;
    return ok;
  }

 private:
  HANDLE h_;
};

bool is_sharing_error(DWORD error) {
  return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
         error == ERROR_ACCESS_DENIED || error == ERROR_UNABLE_TO_REMOVE_REPLACED;
}

// Another program (a virus scanner, an indexer) may hold the file for a
// moment: try a few times before giving up.
template <typename Step>
bool with_retries(Step step) {
  constexpr int kAttempts = 10;
  for (int attempt = 1;; ++attempt) {
    if (step()) return true;
    if (attempt == kAttempts || !is_sharing_error(GetLastError())) return false;
    Sleep(50);
  }
}

bool write_all(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size(), 1u << 24));
    DWORD written = 0;
    if (!WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0) return false;
    bytes.remove_prefix(written);
  }
  return true;
}

bool put_in_place(const std::wstring& target, const std::wstring& temp) {
  if (GetFileAttributesW(target.c_str()) == INVALID_FILE_ATTRIBUTES) {
    return with_retries(
        [&] { return MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH) != 0; });
  }
  const std::wstring backup = temp + L".bak";
  const bool replaced = with_retries([&] {
    return ReplaceFileW(target.c_str(), temp.c_str(), backup.c_str(),
                        REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr) != 0;
  });
  if (!replaced && GetLastError() == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2) {
    // The old file was moved to the backup name but the new one could not follow.
    MoveFileExW(backup.c_str(), target.c_str(), 0);
  }
  DeleteFileW(backup.c_str());
  return replaced;
}

}  // namespace

bool read_whole_file(const std::filesystem::path& path, std::string& bytes) {
  Handle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file.valid()) return false;
  LARGE_INTEGER size;
  if (!GetFileSizeEx(file.get(), &size)) return false;
  bytes.clear();
  bytes.reserve(static_cast<size_t>(size.QuadPart));
  char chunk[1 << 16];
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(file.get(), chunk, sizeof chunk, &got, nullptr)) return false;
    if (got == 0) return true;
    bytes.append(chunk, got);
  }
}

bool replace_file_contents(const std::filesystem::path& path, std::string_view bytes) {
  std::error_code error;
  const std::wstring target = std::filesystem::absolute(path, error).wstring();
  if (error) return false;
  const std::wstring dir = std::filesystem::path(target).parent_path().wstring();
  wchar_t temp_name[MAX_PATH + 1];
  if (!GetTempFileNameW(dir.c_str(), L"zqb", 0, temp_name)) return false;
  const std::wstring temp = temp_name;

  Handle file(CreateFileW(temp.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, TRUNCATE_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr));
  const bool written = file.valid() && write_all(file.get(), bytes) && FlushFileBuffers(file.get());
  const bool closed = file.close();
  if (written && closed && put_in_place(target, temp)) return true;
  DeleteFileW(temp.c_str());
  return false;
}

}  // namespace folivra
