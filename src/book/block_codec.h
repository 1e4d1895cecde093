#pragma once

#include <string>
#include <string_view>

namespace folivra {

// A compressed block: magic 0x033E0F0D, the plain length (int32), then a
// zlib stream. The empty string is both "no data" and "failure".
std::string compress_block(std::string_view plain);
std::string decompress_block(std::string_view block);

}  // namespace folivra
