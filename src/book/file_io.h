#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

namespace folivra {

// Reads a whole regular file (never a device, a pipe or a folder). While it
// is open others may read it, or save a new file in its place (the read
// goes on with the old one), but not write into it; a file someone else is
// writing is refused. False when it cannot be read.
bool read_whole_file(const std::filesystem::path& path, std::string& bytes);

enum class FileCheck { ok, cannot_open, wrong_start, too_large };

// Reads a whole regular file that starts with `magic` and holds at most
// `max_size` bytes, looking at its size and first bytes before reading more.
FileCheck read_file_checked(const std::filesystem::path& path, std::string_view magic,
                            uint64_t max_size, std::string& bytes);

// Book files address their bytes with signed 32-bit positions.
inline constexpr uint64_t kMaxBookFileSize = 0x7FFFFFFF;

// Writes a new file beside `path` and puts it in the place of `path` only
// when commit() finds every byte written and flushed to disk. Until then, and
// after any failure, the old file is untouched; an uncommitted new file is
// removed when this goes away. The new file's name depends only on `path`,
// so a save that was killed leaves a file the next save replaces. A path
// that is a symbolic link is written through: the link stays.
// With `keep_backup` the replaced file stays beside it as `path` + ".bak".
class ReplacingFile {
 public:
  explicit ReplacingFile(std::filesystem::path path, bool keep_backup = false);
  ~ReplacingFile();
  ReplacingFile(const ReplacingFile&) = delete;
  ReplacingFile& operator=(const ReplacingFile&) = delete;

  bool open();
  bool write(std::string_view bytes);
  bool commit();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// The same in one call.
bool replace_file_contents(const std::filesystem::path& path, std::string_view bytes,
                           bool keep_backup = false);

// Why a file could not be written at `path`, told after the fact so that
// the user can do something about it.
enum class WriteProblem { unknown, read_only_file, no_folder, folder_not_writable, disk_full };
WriteProblem why_not_written(const std::filesystem::path& path, uint64_t bytes_needed);

// The name of the new file written beside `target`, and of the backup.
std::filesystem::path temporary_name_for(const std::filesystem::path& target);
std::filesystem::path backup_name_for(const std::filesystem::path& target);

}  // namespace folivra
