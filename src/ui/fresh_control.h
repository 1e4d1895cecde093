#pragma once

#include <windows.h>

namespace folivra {

// Whether a RichEdit control holds so much text that emptying it would cost
// the user a wait: some RichEdit implementations delete text in time that
// grows with the square of its length, while dropping the control is quick.
bool holds_large_text(HWND rich_edit);

// An empty control in the place of `old` — same class, styles, parent, id,
// place, Z-order and font — with `old` destroyed. The caller sets up again
// whatever it had sent the old one.
HWND replace_with_fresh(HWND old);

}  // namespace folivra
