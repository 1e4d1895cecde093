#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace folivra {

// Reads a whole file. While it is open others may read it but not write it,
// and a file someone else is writing is refused. False when it cannot be read.
bool read_whole_file(const std::filesystem::path& path, std::string& bytes);

// Writes `bytes` to a new file beside `path`, flushes it to disk and only
// then puts it in the place of `path`. On failure the old file is untouched
// and no temporary file is left behind.
bool replace_file_contents(const std::filesystem::path& path, std::string_view bytes);

}  // namespace folivra
