#include "book/gbk.h"
#pragma once

#include <string>

namespace folivra {

// The editor font as the settings file and the font dialog know it.
struct FontChoice {
  std::string name = gbk_of("宋体");
  int size = 12;  // points
  int color = 0;  // 0x00BBGGRR
  bool bold = false, italic = false, underline = false, strikeout = false;
  bool operator==(const FontChoice&) const = default;
};

// Points to a font height in pixels (negative: a character height) and back,
// rounding to the nearest pixel or point. Size 0 leaves the height to the system.
int font_height_for(int points, int dpi);
int points_for_height(int height, int dpi);

}  // namespace folivra
