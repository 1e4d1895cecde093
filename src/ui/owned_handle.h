#pragma once

#include <windows.h>
#include <commctrl.h>

#include <utility>

namespace folivra {

// A font, bitmap, icon or image list of ours, freed when its owner goes or
// another takes its place. It stands for its handle in calls.
template <typename Handle, typename Free>
class Owned {
 public:
  Owned() = default;
  explicit Owned(Handle handle) : handle_(handle) {}
  ~Owned() { reset(); }
  Owned(const Owned&) = delete;
  Owned& operator=(const Owned&) = delete;
  Owned(Owned&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  Owned& operator=(Owned&& other) noexcept {
    reset(std::exchange(other.handle_, nullptr));
    return *this;
  }
  Owned& operator=(Handle handle) {
    reset(handle);
    return *this;
  }

  void reset(Handle handle = nullptr) {
    if (handle_ && handle_ != handle) Free{}(handle_);
    handle_ = handle;
  }
  Handle get() const { return handle_; }
  operator Handle() const { return handle_; }

 private:
  Handle handle_ = nullptr;
};

struct FreeGdiObject {
  void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
struct FreeIcon {
  void operator()(HICON icon) const { DestroyIcon(icon); }
};
struct FreeImageList {
  void operator()(HIMAGELIST list) const { ImageList_Destroy(list); }
};

using OwnedFont = Owned<HFONT, FreeGdiObject>;
using OwnedBitmap = Owned<HBITMAP, FreeGdiObject>;
using OwnedIcon = Owned<HICON, FreeIcon>;
using OwnedImageList = Owned<HIMAGELIST, FreeImageList>;

}  // namespace folivra
