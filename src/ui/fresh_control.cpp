#include "ui/fresh_control.h"

#include <richedit.h>

namespace folivra {

namespace {

constexpr LONG kLargeText = 20000;  // characters

}  // namespace

bool holds_large_text(HWND rich_edit) {
  GETTEXTLENGTHEX how{GTL_NUMCHARS, 1200};
  return SendMessageW(rich_edit, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&how), 0) >
         kLargeText;
}

HWND replace_with_fresh(HWND old) {
  wchar_t cls[64] = {};
  GetClassNameW(old, cls, 64);
  HWND parent = GetParent(old);
  RECT place;
  GetWindowRect(old, &place);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&place), 2);
  const bool focused = GetFocus() == old;
  HWND fresh = CreateWindowExW(static_cast<DWORD>(GetWindowLongPtrW(old, GWL_EXSTYLE)), cls, L"",
                               static_cast<DWORD>(GetWindowLongPtrW(old, GWL_STYLE)), place.left,
                               place.top, place.right - place.left, place.bottom - place.top,
                               parent, reinterpret_cast<HMENU>(GetWindowLongPtrW(old, GWLP_ID)),
                               GetModuleHandleW(nullptr), nullptr);
  if (!fresh) return old;
  SendMessageW(fresh, WM_SETFONT, SendMessageW(old, WM_GETFONT, 0, 0), FALSE);
  SetWindowPos(fresh, old, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  if (focused) SetFocus(fresh);
  DestroyWindow(old);
  return fresh;
}

}  // namespace folivra
