#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

namespace folivra {

// Reads a whole file. While it is open others may read it but not write it,
// and a file someone else is writing is refused. False when it cannot be read.
bool read_whole_file(const std::filesystem::path& path, std::string& bytes);

// Writes a new file beside `path` and puts it in the place of `path` only
// when commit() finds every byte written and flushed to disk. Until then, and
// after any failure, the old file is untouched; an uncommitted new file is
// removed when this goes away.
class ReplacingFile {
 public:
  explicit ReplacingFile(std::filesystem::path path);
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
bool replace_file_contents(const std::filesystem::path& path, std::string_view bytes);

}  // namespace folivra
