#include <zlib.h>
#ifdef FOLIVRA_LIBDEFLATE
#include <libdeflate.h>

#include "book/deflate_pool.h"
#endif

#include <cstdint>
#include <new>

#include "book/block_codec.h"
#include "book/block_format.h"
#include "book/le_bytes.h"

namespace folivra {

namespace {

#ifdef FOLIVRA_LIBDEFLATE
// Level 7: libdeflate's 6 falls a few percent behind zlib's default on long
// chapters of a large vocabulary; 7 stays at or below it, still far faster.
libdeflate_compressor* make_compressor() { return libdeflate_alloc_compressor(7); }
using Compressors = StatePool<libdeflate_compressor, make_compressor, libdeflate_free_compressor>;
Compressors compressors;
#endif

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
#ifdef FOLIVRA_LIBDEFLATE
  if (const Compressors::Lease c(compressors); c.get()) {
    const size_t size =
        libdeflate_zlib_compress(c.get(), plain.data(), n, block.data() + kHeaderSize, capacity);
    if (size == 0) return {};
    block.resize(kHeaderSize + size);
    return block;
  }
#endif
  int rc = compress2(reinterpret_cast<Bytef*>(block.data() + kHeaderSize), &capacity,
                     reinterpret_cast<const Bytef*>(plain.data()), static_cast<uLong>(n),
                     Z_DEFAULT_COMPRESSION);
  if (rc != Z_OK) return {};
  block.resize(kHeaderSize + capacity);
  return block;
}

}  // namespace folivra
