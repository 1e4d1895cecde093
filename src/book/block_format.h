#pragma once

#include <cstddef>
#include <cstdint>

namespace folivra {

// A compressed block starts with this magic and the plain length (int32).
constexpr uint32_t kBlockMagic = 0x033E0F0D;
constexpr size_t kHeaderSize = 8;

}  // namespace folivra
