#include "ui/clipboard_picture.h"

#include <cstring>

namespace folivra {

std::string clipboard_picture(HWND owner) {
  if (!IsClipboardFormatAvailable(CF_DIB) || !OpenClipboard(owner)) return {};
  std::string bmp;
  if (HANDLE data = GetClipboardData(CF_DIB)) {
    const auto* dib = static_cast<const BITMAPINFOHEADER*>(GlobalLock(data));
    const SIZE_T size = GlobalSize(data);
    if (dib && size >= sizeof(BITMAPINFOHEADER) && dib->biSize <= size) {
      // The pixels start after the header, the colour masks and the palette.
      SIZE_T colours = dib->biClrUsed;
      if (colours == 0 && dib->biBitCount <= 8) colours = SIZE_T{1} << dib->biBitCount;
      const SIZE_T masks =
          dib->biSize == sizeof(BITMAPINFOHEADER) && dib->biCompression == BI_BITFIELDS ? 12 : 0;
      const SIZE_T pixels = dib->biSize + masks + colours * sizeof(RGBQUAD);
      if (pixels <= size) {
        BITMAPFILEHEADER file{};
        file.bfType = 0x4D42;  // "BM"
        file.bfSize = static_cast<DWORD>(sizeof file + size);
        file.bfOffBits = static_cast<DWORD>(sizeof file + pixels);
        bmp.assign(reinterpret_cast<const char*>(&file), sizeof file);
        bmp.append(reinterpret_cast<const char*>(dib), size);
      }
    }
    if (dib) GlobalUnlock(data);
  }
  CloseClipboard();
  return bmp;
}

}  // namespace folivra
