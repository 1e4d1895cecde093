#include "export/book_icon.h"

#include <cstdint>
#include <vector>

#include <zlib.h>

#include "book/le_bytes.h"

namespace folivra {

namespace {

constexpr uint32_t kTransparent = 0xFFFFFFFF;

// A closed book with a blue cover, a darker spine, a title label and the
// page edges, drawn for a square of `s` pixels (top row first).
std::vector<uint32_t> draw_book(int s) {
  std::vector<uint32_t> pixels(static_cast<size_t>(s * s), kTransparent);
  auto fill = [&](int x0, int y0, int x1, int y1, uint32_t rgb) {
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) pixels[static_cast<size_t>(y * s + x)] = rgb;
  };
  const int m = s / 8;
  fill(m + 1, m / 2, s - m, s - m / 2, 0x2B5797);
  fill(m, m / 2, m + s / 8 + 1, s - m / 2, 0x1B3A66);
  fill(m + s / 4, s / 4, s - 2 * m, s / 4 + s / 8, 0xFAFAF2);
  fill(s - m - 1, m, s - m, s - m, 0xFAFAF2);
  return pixels;
}

// BITMAPINFOHEADER, the colour rows (24 bits, or 32 with alpha) and the
// 1-bit transparency mask, both bottom-up.
std::string icon_image(int s, int bits) {
  const std::vector<uint32_t> pixels = draw_book(s);
  const int bytes = bits / 8;
  const int color_row = (s * bytes + 3) / 4 * 4;
  const int mask_row = (s + 31) / 32 * 4;
  std::string out;
  for (uint32_t v : {40u, static_cast<uint32_t>(s), static_cast<uint32_t>(2 * s)})
    append_le32(out, v);
  out += std::string("\x01\x00", 2);  // one plane
  out += static_cast<char>(bits);
  out += '\0';
  append_le32(out, 0);  // BI_RGB
  append_le32(out, static_cast<uint32_t>((color_row + mask_row) * s));
  for (int i = 0; i < 4; ++i) append_le32(out, 0);
  for (int y = s - 1; y >= 0; --y) {
    std::string row(static_cast<size_t>(color_row), '\0');
    for (int x = 0; x < s; ++x) {
      const uint32_t p = pixels[static_cast<size_t>(y * s + x)];
      if (p == kTransparent) continue;
      for (int k = 0; k < 3; ++k) row[x * bytes + k] = static_cast<char>(p >> (8 * k) & 0xFF);
      if (bytes == 4) row[x * bytes + 3] = static_cast<char>(0xFF);
    }
    out += row;
  }
  for (int y = s - 1; y >= 0; --y) {
    std::string row(static_cast<size_t>(mask_row), '\0');
    for (int x = 0; x < s; ++x) {
      if (pixels[static_cast<size_t>(y * s + x)] == kTransparent) {
        row[x / 8] = static_cast<char>(row[x / 8] | (0x80 >> (x % 8)));
      }
    }
    out += row;
  }
  return out;
}

void append_be32(std::string& out, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>(v >> shift & 0xFF);
}

void append_png_chunk(std::string& out, const char* type, const std::string& data) {
  append_be32(out, static_cast<uint32_t>(data.size()));
  const std::string body = std::string(type, 4) + data;
  out += body;
  append_be32(out, static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(body.data()),
                                               static_cast<uInt>(body.size()))));
}

// An image as Windows Vista and later keep it: a PNG (RGBA).
std::string icon_png(int s) {
  const std::vector<uint32_t> pixels = draw_book(s);
  std::string rows;
  for (int y = 0; y < s; ++y) {
    rows += '\0';  // no filter
    for (int x = 0; x < s; ++x) {
      const uint32_t p = pixels[static_cast<size_t>(y * s + x)];
      const bool clear = p == kTransparent;
      rows += static_cast<char>(clear ? 0 : p >> 16 & 0xFF);
      rows += static_cast<char>(clear ? 0 : p >> 8 & 0xFF);
      rows += static_cast<char>(clear ? 0 : p & 0xFF);
      rows += static_cast<char>(clear ? 0 : 0xFF);
    }
  }
  uLongf packed_size = compressBound(static_cast<uLong>(rows.size()));
  std::string packed(packed_size, '\0');
  compress2(reinterpret_cast<Bytef*>(packed.data()), &packed_size,
            reinterpret_cast<const Bytef*>(rows.data()), static_cast<uLong>(rows.size()),
            Z_BEST_COMPRESSION);
  packed.resize(packed_size);
  std::string header;
  append_be32(header, static_cast<uint32_t>(s));
  append_be32(header, static_cast<uint32_t>(s));
  header += std::string("\x08\x06\x00\x00\x00", 5);  // 8 bits, RGBA, deflate, no interlace
  std::string out("\x89PNG\r\n\x1a\n", 8);
  append_png_chunk(out, "IHDR", header);
  append_png_chunk(out, "IDAT", packed);
  append_png_chunk(out, "IEND", "");
  return out;
}

// An .ico file of these images, each `bits` deep and `size` pixels square.
struct IconImage {
  int size;
  std::string bytes;
};
std::string icon_file(const std::vector<IconImage>& images, int bits) {
  std::string out("\0\0\x01\0", 4);  // reserved, type 1 (icon)
  out += static_cast<char>(images.size());
  out += '\0';
  uint32_t offset = static_cast<uint32_t>(6 + 16 * images.size());
  for (const IconImage& image : images) {
    out += static_cast<char>(image.size & 0xFF);  // 0 stands for 256
    out += static_cast<char>(image.size & 0xFF);
    out += std::string("\0\0\x01\0", 4);  // no palette, reserved, 1 plane
    out += static_cast<char>(bits);
    out += '\0';
    append_le32(out, static_cast<uint32_t>(image.bytes.size()));
    append_le32(out, offset);
    offset += static_cast<uint32_t>(image.bytes.size());
  }
  for (const IconImage& image : images) out += image.bytes;
  return out;
}

}  // namespace

std::string program_icon_file() {
  std::vector<IconImage> images;
  // The larger ones as PNG, which Windows reads in an icon since Vista: a
  // fifth of the bytes, and every compiled book carries them.
  for (int size : {16, 20, 24}) images.push_back({size, icon_image(size, 32)});
  for (int size : {32, 48, 256}) images.push_back({size, icon_png(size)});
  return icon_file(images, 32);
}

std::string book_icon_file() {
  std::vector<IconImage> images;
  for (int size : {16, 32, 48}) images.push_back({size, icon_image(size, 24)});
  return icon_file(images, 24);
}

}  // namespace folivra
