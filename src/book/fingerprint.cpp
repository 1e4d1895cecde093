#include "book/fingerprint.h"

#include <cstring>

namespace folivra {

namespace {

constexpr uint64_t kPrime1 = 0x9E3779B185EBCA87ull;
constexpr uint64_t kPrime2 = 0xC2B2AE3D27D4EB4Full;

uint64_t rotate(uint64_t x, int r) { return (x << r) | (x >> (64 - r)); }

uint64_t word_at(const char* p) {
  uint64_t w;
  std::memcpy(&w, p, 8);
  return w;
}

uint64_t mix(uint64_t lane, uint64_t word) { return rotate(lane + word * kPrime2, 31) * kPrime1; }

uint64_t avalanche(uint64_t h) {
  h ^= h >> 33;
  h *= 0xFF51AFD7ED558CCDull;
  h ^= h >> 33;
  h *= 0xC4CEB9FE1A85EC53ull;
  return h ^ (h >> 33);
}

}  // namespace

// Four independent lanes over 32-byte stripes keep the multiplier busy;
// the tail and the length go into the final mix.
uint64_t fingerprint(std::string_view bytes) {
  const char* p = bytes.data();
  const size_t n = bytes.size();
  uint64_t lanes[4] = {kPrime1 + kPrime2, kPrime2, 0, 0 - kPrime1};
  size_t i = 0;
  for (; i + 32 <= n; i += 32) {
    for (int l = 0; l < 4; ++l) lanes[l] = mix(lanes[l], word_at(p + i + 8 * l));
  }
  uint64_t h = rotate(lanes[0], 1) + rotate(lanes[1], 7) + rotate(lanes[2], 12) +
               rotate(lanes[3], 18) + n * kPrime1;
  for (; i + 8 <= n; i += 8) h = rotate(h ^ mix(0, word_at(p + i)), 27) * kPrime1 + kPrime2;
  for (; i < n; ++i) h = rotate(h ^ (static_cast<unsigned char>(p[i]) * kPrime1), 11) * kPrime2;
  return avalanche(h);
}

}  // namespace folivra
