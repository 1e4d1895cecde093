#include <windows.h>

#include <algorithm>
#include <system_error>
#include <utility>

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
  void reset(HANDLE h) {
    close();
    h_ = h;
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

struct ReplacingFile::Impl {
  std::filesystem::path target;
  std::wstring temp;
  Handle file{INVALID_HANDLE_VALUE};
  bool failed = false;
};

ReplacingFile::ReplacingFile(std::filesystem::path path) : impl_(std::make_unique<Impl>()) {
  impl_->target = std::move(path);
}

ReplacingFile::~ReplacingFile() {
  impl_->file.close();
  if (!impl_->temp.empty()) DeleteFileW(impl_->temp.c_str());
}

bool ReplacingFile::open() {
  std::error_code error;
  impl_->target = std::filesystem::absolute(impl_->target, error);
  if (error) return false;
  const std::wstring dir = impl_->target.parent_path().wstring();
  wchar_t temp_name[MAX_PATH + 1];
  if (!GetTempFileNameW(dir.c_str(), L"zqb", 0, temp_name)) return false;
  impl_->temp = temp_name;
  impl_->file.reset(CreateFileW(temp_name, GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  return impl_->file.valid();
}

bool ReplacingFile::write(std::string_view bytes) {
  impl_->failed = impl_->failed || !impl_->file.valid() || !write_all(impl_->file.get(), bytes);
  return !impl_->failed;
}

bool ReplacingFile::commit() {
  if (!impl_->file.valid()) return false;
  const bool flushed = !impl_->failed && FlushFileBuffers(impl_->file.get());
  const bool closed = impl_->file.close();
  if (!flushed || !closed || !put_in_place(impl_->target.wstring(), impl_->temp)) return false;
  impl_->temp.clear();
  return true;
}

}  // namespace folivra
