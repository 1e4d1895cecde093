#pragma once

#include <cstdint>
#include <filesystem>
#include <string_view>

namespace folivra {

// What a book file on disk was when the editor read or wrote it: its size,
// its time and a fingerprint of its bytes, so that a save can tell whether
// another program (or another window) changed it since.
struct DiskStamp {
  uint64_t size = 0;
  std::filesystem::file_time_type time{};
  uint64_t fingerprint = 0;
  bool operator==(const DiskStamp&) const = default;
};

// The stamp of the file at `path` whose bytes are `bytes` (just read or written).
DiskStamp stamp_of(const std::filesystem::path& path, std::string_view bytes);

// Whether the file at `path` is still the one `stamp` describes: the same size
// and time, or where only the time moved (the file was touched), the same
// bytes. A file that is gone is not the same.
bool still_the_same(const std::filesystem::path& path, const DiskStamp& stamp);

}  // namespace folivra
