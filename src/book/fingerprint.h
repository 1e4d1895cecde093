#pragma once

#include <cstdint>
#include <string_view>

namespace folivra {

// A 64-bit fingerprint of some bytes, for telling whether a field still
// holds what was read from the file. Not for anything an adversary picks.
uint64_t fingerprint(std::string_view bytes);

}  // namespace folivra
