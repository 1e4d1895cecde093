#include "ui/tree_images.h"

#include <cstdint>
#include <vector>

namespace folivra {

namespace {

// A small ARGB canvas; pixels left at alpha 0 are transparent.
class Canvas {
 public:
  explicit Canvas(int size) : size_(size), pixels_(static_cast<size_t>(size * size), 0) {}

  void fill(int x0, int y0, int x1, int y1, uint32_t rgb) {
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x)
        if (x >= 0 && y >= 0 && x < size_ && y < size_) pixels_[y * size_ + x] = 0xFF000000 | rgb;
  }
  void frame(int x0, int y0, int x1, int y1, uint32_t rgb) {
    fill(x0, y0, x1, y0 + 1, rgb);
    fill(x0, y1 - 1, x1, y1, rgb);
    fill(x0, y0, x0 + 1, y1, rgb);
    fill(x1 - 1, y0, x1, y1, rgb);
  }

  HICON icon() const {
    BITMAPV5HEADER h{};
    h.bV5Size = sizeof h;
    h.bV5Width = size_;
    h.bV5Height = -size_;
    h.bV5Planes = 1;
    h.bV5BitCount = 32;
    h.bV5Compression = BI_BITFIELDS;
    h.bV5RedMask = 0x00FF0000;
    h.bV5GreenMask = 0x0000FF00;
    h.bV5BlueMask = 0x000000FF;
    h.bV5AlphaMask = 0xFF000000;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HBITMAP color = CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&h), DIB_RGB_COLORS,
                                     &bits, nullptr, 0);
    ReleaseDC(nullptr, screen);
    std::copy(pixels_.begin(), pixels_.end(), static_cast<uint32_t*>(bits));
    std::vector<uint8_t> mask_bits(static_cast<size_t>((size_ + 15) / 16 * 2 * size_), 0);
    for (int y = 0; y < size_; ++y)
      for (int x = 0; x < size_; ++x)
        if (!(pixels_[y * size_ + x] >> 24))
          mask_bits[y * ((size_ + 15) / 16 * 2) + x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
    HBITMAP mask = CreateBitmap(size_, size_, 1, 1, mask_bits.data());
    ICONINFO info{TRUE, 0, 0, mask, color};
    HICON icon = CreateIconIndirect(&info);
    DeleteObject(color);
    DeleteObject(mask);
    return icon;
  }

 private:
  int size_;
  std::vector<uint32_t> pixels_;
};

constexpr uint32_t kCover = 0x2B5797, kSpine = 0x1B3A66, kPaper = 0xFAFAF2, kInk = 0x707070;

HICON closed_book(int s) {
  Canvas c(s);
  const int m = s / 8;
  c.fill(m + 1, m / 2, s - m, s - m / 2, kCover);
  c.fill(m, m / 2, m + s / 8 + 1, s - m / 2, kSpine);
  c.fill(m + s / 4, s / 4, s - 2 * m, s / 4 + s / 8, kPaper);  // the title label
  c.fill(s - m - 1, m, s - m, s - m, kPaper);                  // page edges
  return c.icon();
}

HICON open_book(int s) {
  Canvas c(s);
  c.fill(1, 3, s / 2, s - 3, kPaper);
  c.fill(s / 2, 3, s - 1, s - 3, kPaper);
  c.frame(0, 2, s, s - 2, kCover);
  c.fill(s / 2 - 1, 2, s / 2 + 1, s - 2, kSpine);
  for (int y = 5; y < s - 4; y += 2) {
    c.fill(3, y, s / 2 - 2, y + 1, kInk);
    c.fill(s / 2 + 2, y, s - 3, y + 1, kInk);
  }
  return c.icon();
}

HICON chapter_page(int s) {
  Canvas c(s);
  c.fill(3, 1, s - 3, s - 1, kPaper);
  c.frame(2, 0, s - 2, s, 0x808080);
  for (int y = 4; y < s - 3; y += 2) c.fill(5, y, y % 4 ? s - 5 : s - 7, y + 1, kCover);
  return c.icon();
}

// A volume: a stack of pages in an amber binder.
HICON volume_binder(int s) {
  Canvas c(s);
  const uint32_t amber = 0xC8861E, dark = 0x8A5A10;
  c.fill(3, 2, s - 1, s - 1, kPaper);
  c.frame(3, 2, s - 1, s - 1, 0x808080);
  c.fill(1, 1, s - 3, s - 2, amber);
  c.frame(1, 1, s - 3, s - 2, dark);
  c.fill(s / 4, s / 3, s - s / 4 - 2, s / 3 + 2, kPaper);  // the label
  return c.icon();
}

}  // namespace

HIMAGELIST make_tree_images(int size) {
  HIMAGELIST list = ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, 4, 0);
  for (HICON icon : {closed_book(size), open_book(size), chapter_page(size), volume_binder(size)}) {
    ImageList_AddIcon(list, icon);
    DestroyIcon(icon);
  }
  return list;
}

HICON draw_app_icon(int size) { return closed_book(size); }

HICON draw_lock_icon(int s) {
  Canvas c(s);
  const uint32_t gold = 0xD9A21B, dark = 0x8A6410, steel = 0x606870;
  c.frame(s / 4, s / 8, s - s / 4, s / 2 + 2, steel);  // the shackle
  c.frame(s / 4 + 1, s / 8 + 1, s - s / 4 - 1, s / 2 + 2, steel);
  c.fill(s / 8, s / 2 - 1, s - s / 8, s - s / 16, gold);  // the body
  c.frame(s / 8, s / 2 - 1, s - s / 8, s - s / 16, dark);
  c.fill(s / 2 - 2, s * 5 / 8, s / 2 + 2, s * 5 / 8 + 4, dark);  // the keyhole
  c.fill(s / 2 - 1, s * 5 / 8 + 4, s / 2 + 1, s * 13 / 16, dark);
  return c.icon();
}

}  // namespace folivra
