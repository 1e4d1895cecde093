#pragma once

#include <string>
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

}  // namespace folivra
