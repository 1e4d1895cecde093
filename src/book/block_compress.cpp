#include <zlib.h>

#include <cstdint>
#include <new>

#include "book/block_codec.h"
#include "book/le_bytes.h"

namespace folivra {

namespace {

constexpr uint32_t kBlockMagic = 0x033E0F0D;
constexpr size_t kHeaderSize = 8;

}  // namespace

std::string compress_block(std::string_view plain) {
  const size_t n = plain.size();
  if (n > INT32_MAX) return {};
  std::string block(kHeaderSize, '\0');
  store_le32(block.data(), kBlockMagic);
  store_le32(block.data() + 4, static_cast<uint32_t>(n));
  if (n == 0) return block;

  uLongf capacity = static_cast<uLongf>(n / 1000 + n + 1024);
  try {
    block.resize(kHeaderSize + capacity);
  } catch (const std::bad_alloc&) {
    return {};
  }
  int rc = compress2(reinterpret_cast<Bytef*>(block.data() + kHeaderSize), &capacity,
                     reinterpret_cast<const Bytef*>(plain.data()), static_cast<uLong>(n),
                     Z_DEFAULT_COMPRESSION);
  if (rc != Z_OK) return {};
  block.resize(kHeaderSize + capacity);
  return block;
}

}  // namespace folivra
