#pragma once

#include "book/code_page.h"

namespace folivra {

// The code pages RTF names with \ansicpg, \cpg and font charsets (their
// tables: book/code_page.h).
inline constexpr int kSymbolCodePage = 42;  // bytes as U+F000 + byte, as symbol fonts show them

// The code page of a font charset (\fcharsetN); 0 for the system's.
int charset_code_page(int charset);

}  // namespace folivra
