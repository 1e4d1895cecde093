#pragma once

#include <windows.h>
#include <commctrl.h>

namespace folivra {

// The main window's fonts, icons and tree images drawn for one DPI, freed
// together.
struct ScaledResources {
  explicit ScaledResources(UINT dpi);

  OwnedFont tree, field, title, label, status;
  OwnedIcon big, small;
  OwnedImageList tree_images;
};

}  // namespace folivra
