#include "ui/char_format.h"

#include <algorithm>

namespace folivra {

CHARFORMAT2W plain_char_format(const std::wstring& face, int points) {
  CHARFORMAT2W format{};
  format.cbSize = sizeof format;
  format.dwMask = CFM_FACE | CFM_SIZE | CFM_CHARSET | CFM_COLOR | CFM_BACKCOLOR | CFM_BOLD |
                  CFM_WEIGHT | CFM_ITALIC | CFM_UNDERLINE | CFM_UNDERLINETYPE | CFM_STRIKEOUT |
                  CFM_OFFSET | CFM_PROTECTED | CFM_LINK | CFM_HIDDEN | CFM_SUBSCRIPT;
  format.dwEffects = CFE_AUTOCOLOR | CFE_AUTOBACKCOLOR;
  format.wWeight = FW_NORMAL;
  format.bUnderlineType = CFU_UNDERLINENONE;
  format.yHeight = std::max(points, 0) * 20;
  format.bCharSet = DEFAULT_CHARSET;
  lstrcpynW(format.szFaceName, face.c_str(), LF_FACESIZE);
  return format;
}

void set_plain_default_format(HWND rich_edit, const std::wstring& face, int points) {
  CHARFORMAT2W format = plain_char_format(face, points);
  SendMessageW(rich_edit, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
}

}  // namespace folivra
