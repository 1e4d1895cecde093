#include "editor/font_dialog.h"

#include <commdlg.h>

#include "book/gbk_wide.h"
#include "ui/dpi.h"

namespace folivra {

bool show_font_dialog(HWND owner, FontChoice& choice) {
  const int dpi = static_cast<int>(window_dpi(nullptr));  // the screen's
  LOGFONTW font{};
  font.lfHeight = font_height_for(choice.size, dpi);
  font.lfWeight = choice.bold ? FW_BOLD : FW_DONTCARE;
  font.lfItalic = choice.italic;
  font.lfUnderline = choice.underline;
  font.lfStrikeOut = choice.strikeout;
  font.lfCharSet = DEFAULT_CHARSET;
  lstrcpynW(font.lfFaceName, gbk_to_wide(choice.name).c_str(), LF_FACESIZE);

  CHOOSEFONTW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.lpLogFont = &font;
  dialog.Flags = CF_SCREENFONTS | CF_EFFECTS | CF_INITTOLOGFONTSTRUCT;
  dialog.rgbColors = static_cast<COLORREF>(choice.color);
  if (!ChooseFontW(&dialog)) return false;

  choice.color = static_cast<int>(dialog.rgbColors);
  choice.bold = font.lfWeight >= FW_BOLD;
  choice.italic = font.lfItalic != 0;
  choice.underline = font.lfUnderline != 0;
  choice.strikeout = font.lfStrikeOut != 0;
  choice.name = wide_to_gbk_lossy(font.lfFaceName);
  choice.size = points_for_height(font.lfHeight, dpi);
  return true;
}

}  // namespace folivra
