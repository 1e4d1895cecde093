#include "app/recovery.h"

#include <shlobj.h>

#include <algorithm>
#include <utility>

#include "book/book_file.h"
#include "book/gbk.h"

namespace folivra {

namespace {

constexpr wchar_t kInfo[] = L".info";

HANDLE open_alone(const std::filesystem::path& path, DWORD disposition) {
  return CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, disposition,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}

std::wstring read_wide(HANDLE file) {
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file, &size) || size.QuadPart > 65536) return {};
  std::wstring text(static_cast<size_t>(size.QuadPart) / sizeof(wchar_t), L'\0');
  DWORD got = 0;
  ReadFile(file, text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)), &got, nullptr);
  text.resize(got / sizeof(wchar_t));
  return text;
}

void write_wide(HANDLE file, const std::wstring& text) {
  SetFilePointer(file, 0, nullptr, FILE_BEGIN);
  DWORD written = 0;
  WriteFile(file, text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)), &written,
            nullptr);
  SetEndOfFile(file);
  FlushFileBuffers(file);
}

}  // namespace

Recovery::Recovery(std::filesystem::path folder) : folder_(std::move(folder)) {
  base_ = folder_ / (L"book-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                     std::to_wstring(GetTickCount64()));
}

Recovery::~Recovery() {
  join();
  if (info_ != INVALID_HANDLE_VALUE) CloseHandle(info_);  // the copy stays for the next start
}

std::filesystem::path Recovery::default_folder() {
  PWSTR local = nullptr;
  std::filesystem::path folder;
  if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &local))) {
    folder = std::filesystem::path(local) / L"Folivra" / L"Recovery";
  }
  CoTaskMemFree(local);
  return folder;
}

void Recovery::join() {
  if (writer_.joinable()) writer_.join();
}

void Recovery::write(Book book, bool wait) {
  if (!wait && busy_) return;
  join();
  if (folder_.empty()) return;
  std::error_code error;
  std::filesystem::create_directories(folder_, error);
  if (info_ == INVALID_HANDLE_VALUE) {
    info_ = open_alone(base_.wstring() + kInfo, CREATE_ALWAYS);
    if (info_ == INVALID_HANDLE_VALUE) {
      failed_ = true;
      return;
    }
  }
  write_wide(info_,
             book.file_path.empty() ? std::wstring() : path_from_gbk(book.file_path).wstring());
  busy_ = true;
  auto job = [this, book = std::move(book), path = copy_path()]() mutable {
    try {
      failed_ = write_book(path, book) != 0;
    } catch (const std::bad_alloc&) {
      failed_ = true;  // the next copy tries again
    }
    busy_ = false;
  };
  if (wait) {
    job();
  } else {
    writer_ = std::thread(std::move(job));
  }
}

void Recovery::remove() {
  join();
  if (info_ == INVALID_HANDLE_VALUE) return;
  DeleteFileW(copy_path().c_str());
  CloseHandle(info_);
  info_ = INVALID_HANDLE_VALUE;
  DeleteFileW((base_.wstring() + kInfo).c_str());
}

std::vector<Recovery::Orphan> Recovery::orphans() const {
  std::vector<Orphan> found;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder_, error)) {
    if (entry.path().extension() != kInfo) continue;
    Orphan orphan;
    orphan.info = entry.path();
    orphan.copy = std::filesystem::path(entry.path()).replace_extension(L".zqb");
    // Still held by a running editor: not ours to offer.
    const HANDLE info = open_alone(orphan.info, OPEN_EXISTING);
    if (info == INVALID_HANDLE_VALUE) continue;
    orphan.original_path = read_wide(info);
    CloseHandle(info);
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(orphan.copy.c_str(), GetFileExInfoStandard, &data)) {
      DeleteFileW(orphan.info.c_str());  // an editor that stopped before its first copy
      continue;
    }
    orphan.written = data.ftLastWriteTime;
    found.push_back(std::move(orphan));
  }
  std::sort(found.begin(), found.end(), [](const Orphan& a, const Orphan& b) {
    return CompareFileTime(&a.written, &b.written) > 0;
  });
  return found;
}

void Recovery::discard(const Orphan& orphan) {
  DeleteFileW(orphan.copy.c_str());
  DeleteFileW(orphan.info.c_str());
}

}  // namespace folivra
