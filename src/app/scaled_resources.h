#pragma once

#include <windows.h>
#include <commctrl.h>

namespace folivra {

// The main window's fonts, icons and tree images drawn for one DPI, freed
// together.
struct ScaledResources {
  explicit ScaledResources(UINT dpi);
  ~ScaledResources();
  ScaledResources(const ScaledResources&) = delete;
  ScaledResources& operator=(const ScaledResources&) = delete;

  HFONT tree, field, title, label, status;
  HICON big, small;
  HIMAGELIST tree_images;
};

}  // namespace folivra
