// Covers are decoded by Windows' imaging component: PNG (which the old
// OLE picture loader does not promise), with its transparency, fitted into
// the box without being enlarged.
#include "ui/cover_picture.h"

#include <gtest/gtest.h>

#include <string>

namespace folivra {
namespace {

// 3 x 2 pixels, each row red (opaque), green (half transparent), blue
// (fully transparent).
const std::string kPng(
    "\x89\x50\x4e\x47\x0d\x0a\x1a\x0a\x00\x00\x00\x0d\x49\x48\x44\x52\x00\x00\x00\x03\x00\x00\x00"
    "\x02\x08\x06\x00\x00\x00\x9d\x74\x66\x1a\x00\x00\x00\x14\x49\x44\x41\x54\x78\x9c\x63\xf8\xcf"
    "\xc0\xf0\x1f\x08\x1b\x40\x14\x03\x32\x07\x00\x7b\x2a\x08\xf9\xe2\xc6\xb2\xa3\x00\x00\x00\x00"
    "\x49\x45\x4e\x44\xae\x42\x60\x82",
    77);

struct Pixels {
  int width = 0, height = 0;
  const unsigned char* bgra = nullptr;
};

Pixels pixels_of(HBITMAP bitmap) {
  DIBSECTION section{};
  if (!GetObjectW(bitmap, sizeof section, &section) || !section.dsBm.bmBits) return {};
  return {section.dsBm.bmWidth, section.dsBm.bmHeight,
          static_cast<const unsigned char*>(section.dsBm.bmBits)};
}

TEST(CoverPicture, PngWithTransparencyFittedAndNeverEnlarged) {
  HBITMAP own = decode_cover(kPng, 100, 100);
  ASSERT_NE(own, nullptr);
  const Pixels p = pixels_of(own);
  EXPECT_EQ(p.width, 3) << "not enlarged";
  EXPECT_EQ(std::abs(p.height), 2);
  ASSERT_NE(p.bgra, nullptr);
  EXPECT_EQ(p.bgra[0], 0);  // red: blue, green, red
  EXPECT_EQ(p.bgra[1], 0);
  EXPECT_EQ(p.bgra[2], 255);
  EXPECT_NEAR(p.bgra[4], 127, 2) << "half-transparent green over white";
  EXPECT_EQ(p.bgra[5], 255);
  EXPECT_NEAR(p.bgra[6], 127, 2);
  EXPECT_EQ(p.bgra[8], 255) << "transparent shows white";
  EXPECT_EQ(p.bgra[9], 255);
  EXPECT_EQ(p.bgra[10], 255);
  DeleteObject(own);

  HBITMAP fitted = decode_cover(kPng, 2, 100);
  ASSERT_NE(fitted, nullptr);
  EXPECT_EQ(pixels_of(fitted).width, 2) << "fitted into the box, proportions kept";
  EXPECT_EQ(std::abs(pixels_of(fitted).height), 1);
  DeleteObject(fitted);

  EXPECT_EQ(decode_cover("", 100, 100), nullptr);
  EXPECT_EQ(decode_cover("not a picture at all", 100, 100), nullptr);
  EXPECT_EQ(decode_cover(kPng, 0, 100), nullptr);
}

}  // namespace
}  // namespace folivra
