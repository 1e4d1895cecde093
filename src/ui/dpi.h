#pragma once

#include <windows.h>

namespace folivra {

// The layout numbers of the windows are pixels at 96 DPI; on a scaled
// screen each is multiplied by the window's DPI.
inline constexpr UINT kBaseDpi = 96;

// The DPI of the monitor the window is on (the system DPI where Windows
// cannot say per monitor).
UINT window_dpi(HWND hwnd);

// `pixels` at 96 DPI, at `dpi`.
inline int scale(int pixels, UINT dpi) { return MulDiv(pixels, static_cast<int>(dpi), kBaseDpi); }

// GetSystemMetrics for the given DPI where Windows has it.
int system_metric(int index, UINT dpi);

// The system's message font (status bars, dialogs) at `dpi`; the caller frees it.
HFONT message_font(UINT dpi);

}  // namespace folivra
