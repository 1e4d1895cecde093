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

// Paths near MAX_PATH need the long form, which the file functions take as it is.
std::wstring long_form(const std::filesystem::path& path) {
  std::wstring p = path.wstring();
  if (p.size() < MAX_PATH - 12 || p.starts_with(L"\\\\?\\")) return p;
  for (wchar_t& ch : p) {
    if (ch == L'/') ch = L'\\';
  }
  if (p.starts_with(L"\\\\")) return L"\\\\?\\UNC\\" + p.substr(2);
  return L"\\\\?\\" + p;
}

bool exists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// False leaves the old file in its place, or (when even putting it back
// failed) under the backup name, with the new one under its own: never is
// either version deleted.
bool put_in_place(const std::wstring& target, const std::wstring& temp, const std::wstring& backup,
                  bool keep_backup, bool& keep_temp) {
  keep_temp = false;
  if (!exists(target)) {
    return with_retries(
        [&] { return MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH) != 0; });
  }
  // The old file goes to a name of its own first: the previous backup stays
  // until the new book is in place.
  const std::wstring next_backup = backup + L".new";
  if (exists(next_backup)) DeleteFileW(next_backup.c_str());
  const bool replaced = with_retries([&] {
    return ReplaceFileW(target.c_str(), temp.c_str(), next_backup.c_str(),
                        REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr) != 0;
  });
  if (!replaced) {
    if (GetLastError() == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2 && !exists(target)) {
      // The old file went to the backup name and the new one could not follow.
      if (!MoveFileExW(next_backup.c_str(), target.c_str(), 0)) keep_temp = true;
    }
    return false;
  }
  if (keep_backup) {
    MoveFileExW(next_backup.c_str(), backup.c_str(), MOVEFILE_REPLACE_EXISTING);
  } else {
    DeleteFileW(next_backup.c_str());
  }
  return true;
}

HANDLE open_regular(const std::filesystem::path& path) {
  HANDLE file = CreateFileW(long_form(path).c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (file != INVALID_HANDLE_VALUE && GetFileType(file) != FILE_TYPE_DISK) {
    CloseHandle(file);
    return INVALID_HANDLE_VALUE;
  }
  return file;
}

bool read_into(HANDLE file, std::string& bytes, size_t limit) {
  while (bytes.size() < limit) {
    const size_t got = bytes.size();
    const size_t room = bytes.capacity() > got ? bytes.capacity() : got + (size_t{1} << 20);
    bytes.resize(std::min({limit, room, got + (size_t{1} << 30)}));
    DWORD n = 0;
    const bool ok = ReadFile(file, bytes.data() + got, static_cast<DWORD>(bytes.size() - got), &n,
                             nullptr) != 0;
    bytes.resize(got + n);
    if (!ok) return false;
    if (n == 0) break;
  }
  return true;
}

}  // namespace

bool read_whole_file(const std::filesystem::path& path, std::string& bytes) {
  bytes.clear();
  Handle file(open_regular(path));
  LARGE_INTEGER size;
  if (!file.valid() || !GetFileSizeEx(file.get(), &size)) return false;
  bytes.reserve(static_cast<size_t>(size.QuadPart) + 1);
  return read_into(file.get(), bytes, SIZE_MAX);
}

FileCheck read_file_checked(const std::filesystem::path& path, std::string_view magic,
                            uint64_t max_size, std::string& bytes) {
  bytes.clear();
  Handle file(open_regular(path));
  LARGE_INTEGER size;
  if (!file.valid() || !GetFileSizeEx(file.get(), &size)) return FileCheck::cannot_open;
  if (!read_into(file.get(), bytes, magic.size())) return FileCheck::cannot_open;
  if (std::string_view(bytes) != magic) return FileCheck::wrong_start;
  if (static_cast<uint64_t>(size.QuadPart) > max_size) return FileCheck::too_large;
  bytes.reserve(static_cast<size_t>(size.QuadPart) + 1);
  if (!read_into(file.get(), bytes, static_cast<size_t>(max_size) + 1)) {
    return FileCheck::cannot_open;
  }
  if (bytes.size() > max_size) return FileCheck::too_large;
  return FileCheck::ok;
}

struct ReplacingFile::Impl {
  std::filesystem::path target;
  std::wstring temp;
  bool keep_backup = false;
  Handle file{INVALID_HANDLE_VALUE};
  bool failed = false;
};

ReplacingFile::ReplacingFile(std::filesystem::path path, bool keep_backup)
    : impl_(std::make_unique<Impl>()) {
  impl_->target = std::move(path);
  impl_->keep_backup = keep_backup;
}

ReplacingFile::~ReplacingFile() {
  impl_->file.close();
  if (!impl_->temp.empty()) DeleteFileW(impl_->temp.c_str());
}

bool ReplacingFile::open() {
  std::error_code error;
  impl_->target = std::filesystem::absolute(impl_->target, error);
  if (error) return false;
  // A fixed name: the leftover of a save that was killed is replaced here.
  const std::wstring temp = long_form(temporary_name_for(impl_->target));
  impl_->file.reset(CreateFileW(temp.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!impl_->file.valid()) return false;
  impl_->temp = temp;
  return true;
}

bool ReplacingFile::write(std::string_view bytes) {
  impl_->failed = impl_->failed || !impl_->file.valid() || !write_all(impl_->file.get(), bytes);
  return !impl_->failed;
}

bool ReplacingFile::commit() {
  if (!impl_->file.valid()) return false;
  const bool flushed = !impl_->failed && FlushFileBuffers(impl_->file.get());
  const bool closed = impl_->file.close();
  if (!flushed || !closed) return false;
  bool keep_temp = false;
  const std::wstring backup =
      long_form(impl_->keep_backup ? backup_name_for(impl_->target)
                                   : temporary_name_for(impl_->target) += L".old");
  const bool placed =
      put_in_place(long_form(impl_->target), impl_->temp, backup, impl_->keep_backup, keep_temp);
  if (placed || keep_temp) impl_->temp.clear();
  return placed;
}

}  // namespace folivra
