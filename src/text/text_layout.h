#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "text/text_replace.h"

namespace folivra {

// 一键排版: how a chapter's paragraphs are laid out.
struct LayoutOptions {
  bool indent = true;       // two full-width spaces before each paragraph (else none)
  int blank_lines = 0;      // empty paragraphs between two paragraphs: 0 or 1
  bool punctuation = true;  // ASCII punctuation after Chinese text made full-width
};

// What laying out a chapter's text changes: the replacements (in the
// positions of chapter_text16) and how many paragraphs they touch. Spaces
// (ASCII, full-width, no-break) and tabs at the ends of paragraphs go, the
// chosen indent comes first, runs of empty paragraphs become the chosen
// number (none at the chapter's start or end), and , . ! ? : ; ( ) " and
// "..." that follow a Chinese character become ，。！？：；（）“” and …… —
// never after a Latin letter or a digit, so decimals, URLs and English
// sentences stay as they are.
struct LayoutPlan {
  std::vector<ContentReplacement> replacements;
  int paragraphs = 0;
};
LayoutPlan plan_layout(std::u16string_view text, const LayoutOptions& options);

// The content laid out, keeping every character's formatting; nothing when
// it cannot be followed. `paragraphs` tells how many were touched.
std::optional<std::string> layout_content(std::string_view content, const LayoutOptions& options,
                                          int* paragraphs = nullptr);

}  // namespace folivra
