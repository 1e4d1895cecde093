#include "ui/cover_picture.h"

#include <ocidl.h>
#include <olectl.h>

#include <algorithm>
#include <cstring>

namespace folivra {

namespace {

IPicture* load_picture(std::string_view bytes) {
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
  if (!memory) return nullptr;
  std::memcpy(GlobalLock(memory), bytes.data(), bytes.size());
  GlobalUnlock(memory);
  IStream* stream = nullptr;
  if (FAILED(CreateStreamOnHGlobal(memory, TRUE, &stream))) {
    GlobalFree(memory);
    return nullptr;
  }
  IPicture* picture = nullptr;
  if (FAILED(OleLoadPicture(stream, static_cast<LONG>(bytes.size()), FALSE, IID_IPicture,
                            reinterpret_cast<void**>(&picture)))) {
    picture = nullptr;
  }
  stream->Release();
  return picture;
}

}  // namespace

HBITMAP decode_cover(std::string_view bytes, int width, int height) {
  if (bytes.empty() || width <= 0 || height <= 0) return nullptr;
  IPicture* picture = load_picture(bytes);
  if (!picture) return nullptr;
  OLE_XSIZE_HIMETRIC hm_width = 0;
  OLE_YSIZE_HIMETRIC hm_height = 0;
  picture->get_Width(&hm_width);
  picture->get_Height(&hm_height);

  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = nullptr;
  if (hm_width > 0 && hm_height > 0) {
    // Fit inside the box, never enlarging beyond the picture's own size.
    const int px_w = MulDiv(hm_width, GetDeviceCaps(screen, LOGPIXELSX), 2540);
    const int px_h = MulDiv(hm_height, GetDeviceCaps(screen, LOGPIXELSY), 2540);
    const double scale =
        std::min({1.0, static_cast<double>(width) / px_w, static_cast<double>(height) / px_h});
    const int w = std::max(1, static_cast<int>(px_w * scale));
    const int h = std::max(1, static_cast<int>(px_h * scale));
    bitmap = CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ old = SelectObject(dc, bitmap);
    RECT all{0, 0, w, h};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    picture->Render(dc, 0, 0, w, h, 0, hm_height, hm_width, -hm_height, nullptr);
    SelectObject(dc, old);
  }
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  picture->Release();
  return bitmap;
}

}  // namespace folivra
