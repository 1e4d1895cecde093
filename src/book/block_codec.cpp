#include "book/block_codec.h"

#include <zlib.h>

#include <algorithm>
#include <cstdint>

#include "book/le_bytes.h"

namespace folivra {

namespace {

constexpr uint32_t kBlockMagic = 0x033E0F0D;
constexpr size_t kHeaderSize = 8;
// The first output buffer is sized from the stored length, but never more
// than this plus a few times the input, so a lying header cannot make us
// allocate gigabytes for a few bytes of input.
constexpr size_t kFirstChunk = 64 * 1024;

}  // namespace

std::string decompress_block(std::string_view block) {
  if (block.size() < kHeaderSize || load_le32(block.data()) != kBlockMagic) return {};
  const int32_t plain_length = static_cast<int32_t>(load_le32(block.data() + 4));
  const int32_t cap = static_cast<int32_t>(2u * static_cast<uint32_t>(plain_length));
  if (cap <= 0) return {};
  const size_t limit = static_cast<size_t>(cap);
  const std::string_view data = block.substr(kHeaderSize);
  if (data.size() > UINT32_MAX) return {};

  z_stream zs{};
  if (inflateInit(&zs) != Z_OK) return {};
  zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  zs.avail_in = static_cast<uInt>(data.size());

  std::string out;
  out.resize(
      std::min({limit, static_cast<size_t>(plain_length), std::max(kFirstChunk, data.size() * 4)}));
  size_t produced = 0;
  char overflow_probe = 0;  // one byte past the cap: written means "too long"
  bool ok = false;
  for (;;) {
    if (produced == out.size() && out.size() < limit) {
      out.resize(std::min(limit, out.size() * 2));
    }
    const bool at_cap = produced == limit;
    zs.next_out = reinterpret_cast<Bytef*>(at_cap ? &overflow_probe : out.data() + produced);
    zs.avail_out =
        at_cap ? 1u : static_cast<uInt>(std::min<size_t>(out.size() - produced, UINT32_MAX));
    const uInt before = zs.avail_out;
    const int rc = inflate(&zs, Z_NO_FLUSH);
    const size_t written = before - zs.avail_out;
    if (at_cap && written > 0) break;
    if (!at_cap) produced += written;
    if (rc == Z_STREAM_END) {
      ok = true;
      break;
    }
    if (rc != Z_OK) break;
    if (zs.avail_in == 0 && zs.avail_out != 0) break;  // the stream is cut short
    if (at_cap) break;
  }
  inflateEnd(&zs);
  if (!ok) return {};
  out.resize(produced);
  return out;
}

}  // namespace folivra
