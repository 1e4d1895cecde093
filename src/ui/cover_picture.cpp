#include "ui/cover_picture.h"

#include <wincodec.h>

#include <algorithm>

namespace folivra {

namespace {

// Owns one COM interface pointer.
template <typename T>
class Com {
 public:
  Com() = default;
  ~Com() {
    if (p_) p_->Release();
  }
  Com(const Com&) = delete;
  Com& operator=(const Com&) = delete;
  T** put() { return &p_; }
  T* operator->() const { return p_; }
  T* get() const { return p_; }

 private:
  T* p_ = nullptr;
};

// COM for this thread while it lives, where it was not yet.
class ComThread {
 public:
  ComThread() : started_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
  ~ComThread() {
    if (started_) CoUninitialize();
  }
  ComThread(const ComThread&) = delete;
  ComThread& operator=(const ComThread&) = delete;

 private:
  bool started_;
};

// A 32-bit top-down bitmap of the converted picture, laid on white where it
// is transparent.
HBITMAP bitmap_of(IWICBitmapSource* source, UINT width, UINT height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = static_cast<LONG>(width);
  info.bmiHeader.biHeight = -static_cast<LONG>(height);
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap) return nullptr;
  const UINT stride = width * 4, size = stride * height;
  if (FAILED(source->CopyPixels(nullptr, stride, size, static_cast<BYTE*>(bits)))) {
    DeleteObject(bitmap);
    return nullptr;
  }
  auto* pixel = static_cast<BYTE*>(bits);
  for (UINT i = 0; i < width * height; ++i, pixel += 4) {
    const BYTE clear = static_cast<BYTE>(255 - pixel[3]);  // premultiplied: add white's share
    for (int c = 0; c < 3; ++c) pixel[c] = static_cast<BYTE>(std::min(255, pixel[c] + clear));
    pixel[3] = 255;
  }
  return bitmap;
}

}  // namespace

HBITMAP decode_cover(std::string_view bytes, int width, int height) {
  if (bytes.empty() || width <= 0 || height <= 0 || bytes.size() > UINT32_MAX) return nullptr;
  const ComThread com;
  Com<IWICImagingFactory> factory;
  Com<IWICStream> stream;
  Com<IWICBitmapDecoder> decoder;
  Com<IWICBitmapFrameDecode> frame;
  if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                              IID_IWICImagingFactory, reinterpret_cast<void**>(factory.put()))) ||
      FAILED(factory->CreateStream(stream.put())) ||
      FAILED(stream->InitializeFromMemory(reinterpret_cast<BYTE*>(const_cast<char*>(bytes.data())),
                                          static_cast<DWORD>(bytes.size()))) ||
      FAILED(factory->CreateDecoderFromStream(stream.get(), nullptr, WICDecodeMetadataCacheOnDemand,
                                              decoder.put())) ||
      FAILED(decoder->GetFrame(0, frame.put()))) {
    return nullptr;
  }
  UINT own_width = 0, own_height = 0;
  if (FAILED(frame->GetSize(&own_width, &own_height)) || !own_width || !own_height) return nullptr;
  // Fit inside the box, never enlarging beyond the picture's own size.
  const double scale = std::min(
      {1.0, static_cast<double>(width) / own_width, static_cast<double>(height) / own_height});
  const UINT w = std::max(1u, static_cast<UINT>(own_width * scale));
  const UINT h = std::max(1u, static_cast<UINT>(own_height * scale));
  Com<IWICBitmapScaler> scaler;
  Com<IWICFormatConverter> converter;
  if (FAILED(factory->CreateBitmapScaler(scaler.put())) ||
      FAILED(scaler->Initialize(frame.get(), w, h, WICBitmapInterpolationModeFant)) ||
      FAILED(factory->CreateFormatConverter(converter.put())) ||
      FAILED(converter->Initialize(scaler.get(), GUID_WICPixelFormat32bppPBGRA,
                                   WICBitmapDitherTypeNone, nullptr, 0,
                                   WICBitmapPaletteTypeCustom))) {
    return nullptr;
  }
  return bitmap_of(converter.get(), w, h);
}

}  // namespace folivra
