// The editor font, kept in the settings file.
#include <richedit.h>

#include "app/main_window.h"
#include "ui/char_format.h"
#include "book/gbk_wide.h"
#include "book/gbk.h"

namespace folivra {

namespace {

constexpr char kFont[] = "Font";

}  // namespace

void MainWindow::apply_editor_font(bool reload) {
  if (reload) {
    font_.name = settings_.read_text(kFont, "name", gbk_of("宋体"));
    font_.color = settings_.read_int(kFont, "color", 0);
    font_.size = settings_.read_int(kFont, "size", 12);
    font_.underline = settings_.read_bool(kFont, "underline", false);
    font_.strikeout = settings_.read_bool(kFont, "delline", false);
    font_.italic = settings_.read_bool(kFont, "italics", false);
    font_.bold = settings_.read_bool(kFont, "bold", false);
  }
  CHARFORMAT2W format = plain_char_format(gbk_to_wide(font_.name), font_.size);
  format.crTextColor = static_cast<COLORREF>(font_.color);
  // The chosen colour on the window's own background.
  format.dwEffects = CFE_AUTOBACKCOLOR | (font_.bold ? CFE_BOLD : 0) |
                     (font_.italic ? CFE_ITALIC : 0) | (font_.underline ? CFE_UNDERLINE : 0) |
                     (font_.strikeout ? CFE_STRIKEOUT : 0);
  format.wWeight = font_.bold ? FW_BOLD : FW_NORMAL;
  format.bUnderlineType = font_.underline ? CFU_UNDERLINE : CFU_UNDERLINENONE;
  editor_.set_default_format(format);
}

void MainWindow::choose_editor_font() {
  FontChoice choice = font_;
  if (!prompts_->choose_font(choice)) return;
  font_ = choice;
  settings_.write_text(kFont, "name", font_.name);
  settings_.write_int(kFont, "size", font_.size);
  settings_.write_int(kFont, "color", font_.color);
  settings_.write_bool(kFont, "underline", font_.underline);
  settings_.write_bool(kFont, "delline", font_.strikeout);
  settings_.write_bool(kFont, "italics", font_.italic);
  settings_.write_bool(kFont, "bold", font_.bold);
  apply_editor_font(false);
}

}  // namespace folivra
