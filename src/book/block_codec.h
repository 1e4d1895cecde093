#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace folivra {

// A compressed block: magic 0x033E0F0D, the plain length (int32), then a
// zlib stream. The empty string is both "no data" and "failure".
std::string compress_block(std::string_view plain);
std::string decompress_block(std::string_view block);

enum class BlockResult { ok, failed, over_budget };

// decompress_block that never produces more than `budget` bytes: a block
// that would is refused as over_budget. Running out of memory is a failure.
BlockResult decode_block(std::string_view block, size_t budget, std::string& plain);
// The same through zlib alone: what decode_block answers, by definition, for
// every block (the faster codec only takes blocks it decodes just as zlib does).
BlockResult decode_block_with_zlib(std::string_view block, size_t budget, std::string& plain);

// The block of empty plain data, the only block that decodes to nothing on purpose.
bool is_empty_block(std::string_view block);

}  // namespace folivra
