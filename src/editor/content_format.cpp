// The 格式 menu: bold, italic, underline, the selection's font and size,
// and the first-line indent of the paragraphs the selection touches.
#include <richedit.h>

#include "editor/content_editor.h"

namespace folivra {

CHARFORMAT2W ContentEditor::selection_format() const {
  CHARFORMAT2W format{};
  format.cbSize = sizeof format;
  SendMessageW(edit_, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
  return format;
}

void ContentEditor::apply_selection_format(const CHARFORMAT2W& format) {
  if (!takes_text()) return;
  SendMessageW(edit_, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
  formatted();
}

// On when any of the selection lacks it, as a word processor does.
void ContentEditor::toggle_effect(DWORD mask, DWORD effect) {
  const CHARFORMAT2W now = selection_format();
  const bool all_on = (now.dwMask & mask) && (now.dwEffects & effect);
  CHARFORMAT2W change{};
  change.cbSize = sizeof change;
  change.dwMask = mask;
  change.dwEffects = all_on ? 0 : effect;
  if (mask == CFM_BOLD) {
    change.dwMask |= CFM_WEIGHT;
    change.wWeight = all_on ? FW_NORMAL : FW_BOLD;
  }
  if (mask == CFM_UNDERLINE) {
    change.dwMask |= CFM_UNDERLINETYPE;
    change.bUnderlineType = all_on ? CFU_UNDERLINENONE : CFU_UNDERLINE;
  }
  apply_selection_format(change);
}

void ContentEditor::toggle_first_line_indent(LONG twips) {
  if (!takes_text()) return;
  PARAFORMAT2 now{};
  now.cbSize = sizeof now;
  SendMessageW(edit_, EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&now));
  // The first line starts at dxStartIndent, the others dxOffset after it.
  const bool indented = (now.dwMask & PFM_STARTINDENT) && now.dxStartIndent > 0;
  PARAFORMAT2 change{};
  change.cbSize = sizeof change;
  change.dwMask = PFM_STARTINDENT | PFM_OFFSET;
  change.dxStartIndent = indented ? 0 : twips;
  change.dxOffset = indented ? 0 : -twips;
  SendMessageW(edit_, EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&change));
  formatted();
}

void ContentEditor::formatted() {
  if (!takes_text()) return;
  pending_ = shown_;
  listener_.content_changed(true);
}

}  // namespace folivra
