#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace folivra {

// One file of a ZIP archive; `deflate` false stores it as it is.
struct ZipEntry {
  std::string name;  // UTF-8, '/' between folders
  std::string data;
  bool deflate = true;
};

// The bytes of a ZIP archive (no ZIP64: empty when it would need it) of the
// entries in their order, compressed on every core.
std::string zip_archive(const std::vector<ZipEntry>& entries);

// The same written as it goes: each batch of entries compressed on every
// core and handed to `write`, the central directory at finish(). Only the
// directory is held. False once `write` failed or the archive would need
// ZIP64.
class ZipWriter {
 public:
  explicit ZipWriter(std::function<bool(std::string_view)> write);
  bool add(const std::vector<ZipEntry>& entries);
  bool finish();

 private:
  std::function<bool(std::string_view)> write_;
  std::string directory_;
  uint64_t written_ = 0;
  size_t count_ = 0;
  bool ok_ = true;
};

}  // namespace folivra
