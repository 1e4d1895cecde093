#include "book/block_codec.h"

#include <zlib.h>
#ifdef FOLIVRA_LIBDEFLATE
#include <libdeflate.h>

#include "book/deflate_pool.h"
#endif

#include <algorithm>
#include <cstdint>
#include <memory>
#include <new>
#include <utility>

#include "book/block_format.h"
#include "book/le_bytes.h"

namespace folivra {

namespace {

// The first output buffer is sized from the stored length, but never more
// than a few times the input (and a small floor), so a lying header costs
// memory in proportion to the bytes it came with, not to what it claims.
constexpr size_t kFirstChunk = 4 * 1024;
constexpr size_t kFirstRatio = 8;

// A decoded string holds no more memory than its bytes: a buffer grown by
// doubling can hold almost twice what it decoded, for as long as the book lives.
void fit(std::string& s) {
  if (s.capacity() - s.size() > s.size() / 16 + 64) s.shrink_to_fit();
}

}  // namespace

bool is_empty_block(std::string_view block) {
  return block.size() == kHeaderSize && load_le32(block.data()) == kBlockMagic &&
         load_le32(block.data() + 4) == 0;
}

#ifdef FOLIVRA_LIBDEFLATE
namespace {

using Decompressors =
    StatePool<libdeflate_decompressor, libdeflate_alloc_decompressor, libdeflate_free_decompressor>;
Decompressors decompressors;

// The whole block in one call when its header names a size the stream could
// have and the budget allows: true when that gave exactly the named size.
// Anything else (damage, a header that lies) is left to zlib, whose
// answer stays the rule.
bool decode_whole(std::string_view data, size_t plain_length, size_t limit, std::string& plain) {
  constexpr size_t kMaxRatio = 1032;  // no deflate stream inflates further
  if (plain_length == 0 || plain_length > limit || plain_length / kMaxRatio > data.size()) {
    return false;
  }
  const Decompressors::Lease d(decompressors);
  if (!d.get()) return false;
  // Uninitialised, so a header that lies costs no pages it never writes.
  std::unique_ptr<char[]> out(new (std::nothrow) char[plain_length]);
  if (!out) return false;
  size_t in_used = 0, produced = 0;
  if (libdeflate_zlib_decompress_ex(d.get(), data.data(), data.size(), out.get(), plain_length,
                                    &in_used, &produced) != LIBDEFLATE_SUCCESS ||
      produced != plain_length) {
    return false;
  }
  try {
    plain.assign(out.get(), produced);
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

}  // namespace
#endif

BlockResult decode_block(std::string_view block, size_t budget, std::string& plain) {
#ifdef FOLIVRA_LIBDEFLATE
  plain.clear();
  if (block.size() >= kHeaderSize && load_le32(block.data()) == kBlockMagic &&
      decode_whole(block.substr(kHeaderSize), load_le32(block.data() + 4), budget, plain)) {
    return BlockResult::ok;
  }
#endif
  return decode_block_with_zlib(block, budget, plain);
}

BlockResult decode_block_with_zlib(std::string_view block, size_t budget, std::string& plain) {
  plain.clear();
  if (block.size() < kHeaderSize || load_le32(block.data()) != kBlockMagic) {
    return BlockResult::failed;
  }
  const int32_t plain_length = static_cast<int32_t>(load_le32(block.data() + 4));
  const int32_t cap = static_cast<int32_t>(2u * static_cast<uint32_t>(plain_length));
  if (cap <= 0) return BlockResult::failed;
  const size_t limit = std::min(static_cast<size_t>(cap), budget);
  const std::string_view data = block.substr(kHeaderSize);
  if (data.size() > UINT32_MAX) return BlockResult::failed;

  z_stream zs{};
  if (inflateInit(&zs) != Z_OK) return BlockResult::failed;
  zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  zs.avail_in = static_cast<uInt>(data.size());

  std::string out;
  size_t produced = 0;
  char overflow_probe = 0;  // one byte past the limit: written means "too long"
  BlockResult result = BlockResult::failed;
  try {
    out.resize(std::min({limit, static_cast<size_t>(plain_length),
                         std::max(kFirstChunk, data.size() * kFirstRatio)}));
    for (;;) {
      if (produced == out.size() && out.size() < limit) {
        out.resize(std::min(limit, std::max<size_t>(out.size() * 2, 1)));
      }
      const bool at_cap = produced == limit;
      zs.next_out = reinterpret_cast<Bytef*>(at_cap ? &overflow_probe : out.data() + produced);
      zs.avail_out =
          at_cap ? 1u : static_cast<uInt>(std::min<size_t>(out.size() - produced, UINT32_MAX));
      const uInt before = zs.avail_out;
      const int rc = inflate(&zs, Z_NO_FLUSH);
      const size_t written = before - zs.avail_out;
      if (at_cap && written > 0) {
        // Past the block's own cap the data is bad; past the budget it is too much.
        if (limit < static_cast<size_t>(cap)) result = BlockResult::over_budget;
        break;
      }
      if (!at_cap) produced += written;
      if (rc == Z_STREAM_END) {
        result = BlockResult::ok;
        break;
      }
      if (rc != Z_OK) break;
      if (zs.avail_in == 0 && zs.avail_out != 0) break;  // the stream is cut short
      if (at_cap) break;
    }
  } catch (const std::bad_alloc&) {
    result = BlockResult::failed;
  }
  inflateEnd(&zs);
  if (result != BlockResult::ok) return result;
  out.resize(produced);
  fit(out);
  plain = std::move(out);
  return BlockResult::ok;
}

std::string decompress_block(std::string_view block) {
  std::string plain;
  decode_block(block, SIZE_MAX, plain);
  return plain;
}

}  // namespace folivra
