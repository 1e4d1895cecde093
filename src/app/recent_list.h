#pragma once

#include <string>
#include <vector>

namespace folivra {

inline constexpr size_t kRecentSlots = 5;

// `path` at the head, later copies of any entry dropped (bytes must match
// exactly for two entries to be the same).
std::vector<std::string> with_recent_first(const std::vector<std::string>& list,
                                           const std::string& path);

// The menu caption of slot k (1-based): the digit, a space, the file name.
std::string recent_caption(int slot, const std::string& path);

}  // namespace folivra
