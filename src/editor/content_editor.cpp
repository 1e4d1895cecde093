#include "editor/content_editor.h"

#include <algorithm>

#include <commctrl.h>
#include <richedit.h>

#include "book/book_time.h"
#include "book/gbk_wide.h"
#include "ui/fresh_control.h"
#include "ui/menu_ids.h"
#include "ui/rtf_stream.h"

namespace folivra {

namespace {

COLORREF page_colour(Page page) {
  switch (page) {
    case Page::green:
      return RGB(0xC7, 0xED, 0xCC);
    case Page::sepia:
      return RGB(0xF4, 0xEC, 0xD8);
    case Page::dark:
      return RGB(0x26, 0x28, 0x2B);
    case Page::white:
      break;
  }
  return GetSysColor(COLOR_WINDOW);
}

bool only_ctrl() {
  return GetKeyState(VK_CONTROL) < 0 && GetKeyState(VK_SHIFT) >= 0 && GetKeyState(VK_MENU) >= 0;
}

bool no_modifier() {
  return GetKeyState(VK_CONTROL) >= 0 && GetKeyState(VK_SHIFT) >= 0 && GetKeyState(VK_MENU) >= 0;
}

}  // namespace

HWND ContentEditor::create(HWND parent) {
  static const HMODULE library = LoadLibraryW(L"Msftedit.dll");
  const wchar_t* cls = library ? MSFTEDIT_CLASS : L"RichEdit20W";
  if (!library) LoadLibraryW(L"Riched20.dll");
  edit_ = CreateWindowExW(0, cls, L"",
                          WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_TABSTOP |
                              ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | ES_NOHIDESEL,
                          0, 0, 311, 347, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
  set_up_control();
  return edit_;
}

void ContentEditor::set_up_control() {
  // The default limit of 32,767 characters would cut long chapters.
  SendMessageW(edit_, EM_EXLIMITTEXT, 0, 0x7FFFFFFE);
  SendMessageW(edit_, EM_SETEVENTMASK, 0, ENM_CHANGE);
  SetWindowSubclass(edit_, subclass, 0, reinterpret_cast<DWORD_PTR>(this));
  apply_default_format();
  apply_read_only();
  apply_column();
}

// Replacing the text of a very large chapter costs more than a new control.
void ContentEditor::renew_control() {
  edit_ = replace_with_fresh(edit_);
  set_up_control();
  listener_.content_control_renewed(edit_);
}

void ContentEditor::show(int position, std::string_view content, bool takes_text) {
  KillTimer(edit_, kLoadTimer);
  in_load_ = true;
  load_.cancel();
  in_load_ = false;
  shown_ = position;
  pending_ = 0;
  locked_ = !takes_text;
  apply_read_only();
  if (holds_large_text(edit_)) renew_control();
  SendMessageW(edit_, EM_LINESCROLL, 0, -999999999);
  load_guard_ = true;
  apply_default_format();
  const std::string night = look_.page == Page::dark ? with_night_colours(content) : std::string();
  in_load_ = true;
  // A large chapter: the rest goes in on a timer, after the first screen is painted.
  if (load_.start(edit_, look_.page == Page::dark ? std::string_view(night) : content)) {
    SetTimer(edit_, kLoadTimer, 1, nullptr);
  }
  in_load_ = false;
  lay_look_over();
  // The editor reports the load as a change, or on some systems does not:
  // either way the next real change must be stored.
  load_guard_ = false;
}

// The spacing is laid over the chapter just loaded with the control's
// notices off and its undo emptied: it is no change of the chapter. It goes
// only onto text all single-spaced, so that taking the marks off gives the
// author's own back. (A dark page's colours came with the text.)
void ContentEditor::lay_look_over() {
  marks_ = {};
  marks_.night = look_.page == Page::dark;
  SendMessageW(edit_, EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(page_colour(look_.page)));
  if (!load_.loading()) lay_spacing();  // else once the whole text is in
}

void ContentEditor::lay_spacing() {
  if (look_.spacing <= 10) return;
  const LRESULT events = SendMessageW(edit_, EM_GETEVENTMASK, 0, 0);
  SendMessageW(edit_, EM_SETEVENTMASK, 0, 0);
  CHARRANGE kept{};
  SendMessageW(edit_, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&kept));
  CHARRANGE all{0, -1};
  SendMessageW(edit_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&all));
  if (look_.spacing > 10) {
    PARAFORMAT2 paragraphs{};
    paragraphs.cbSize = sizeof paragraphs;
    SendMessageW(edit_, EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&paragraphs));
    if ((paragraphs.dwMask & PFM_LINESPACING) && paragraphs.bLineSpacingRule == 0) {
      PARAFORMAT2 spaced{};
      spaced.cbSize = sizeof spaced;
      spaced.dwMask = PFM_LINESPACING;
      spaced.bLineSpacingRule = 5;  // in twentieths of a line
      spaced.dyLineSpacing = marked_spacing(std::min(look_.spacing, 20)) / 12;
      SendMessageW(edit_, EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&spaced));
      marks_.spacing = marked_spacing(std::min(look_.spacing, 20));
    }
  }
  SendMessageW(edit_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&kept));
  SendMessageW(edit_, EM_EMPTYUNDOBUFFER, 0, 0);
  SendMessageW(edit_, EM_SETMODIFY, FALSE, 0);
  SendMessageW(edit_, EM_SETEVENTMASK, 0, events);
}

void ContentEditor::finish_loading() {
  if (!load_.loading() || in_load_) return;
  KillTimer(edit_, kLoadTimer);
  in_load_ = true;
  load_.finish();
  in_load_ = false;
  lay_spacing();
}

// What reads the control's text, changes it or moves in it by position
// needs all of it there.
bool ContentEditor::needs_whole_text(UINT message) {
  switch (message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_CHAR:
    case WM_IME_STARTCOMPOSITION:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_MOUSEWHEEL:
    case WM_VSCROLL:
    case WM_CUT:
    case WM_COPY:
    case WM_PASTE:
    case WM_CLEAR:
    case WM_UNDO:
    case EM_UNDO:
    case EM_REDO:
    case WM_GETTEXT:
    case WM_GETTEXTLENGTH:
    case EM_GETTEXTEX:
    case EM_GETTEXTLENGTHEX:
    case EM_STREAMOUT:
    case EM_STREAMIN:
    case EM_GETTEXTRANGE:
    case EM_FINDTEXTEXW:
    case EM_FINDTEXTW:
    case EM_REPLACESEL:
    case EM_SETCHARFORMAT:
    case EM_SETPARAFORMAT:
    case EM_EXSETSEL:
    case EM_SETSEL:
    case EM_GETLINECOUNT:
    case EM_EXLINEFROMCHAR:
    case EM_LINEINDEX:
    case EM_LINESCROLL:
    case EM_SCROLLCARET:
    case EM_SETTEXTEX:
    case WM_SETTEXT:
      return true;
  }
  return false;
}

void ContentEditor::set_look(const PageLook& look) {
  look_ = look;
  SendMessageW(edit_, EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(page_colour(look_.page)));
}

void ContentEditor::set_column(int width) {
  column_ = width;
  apply_column();
}

// A centred column: the formatting rectangle leaves what is left either side.
void ContentEditor::apply_column() {
  if (column_ <= 0) {
    SendMessageW(edit_, EM_SETRECT, 0, 0);  // the control's own again
    return;
  }
  RECT box{};
  GetClientRect(edit_, &box);
  const int side = std::max(0, (static_cast<int>(box.right) - column_) / 2);
  box.left += side;
  box.right -= side;
  box.top += 2;
  SendMessageW(edit_, EM_SETRECT, 0, reinterpret_cast<LPARAM>(&box));
}

void ContentEditor::forget() {
  shown_ = pending_ = 0;
  load_guard_ = locked_ = false;
}

void ContentEditor::leave() { shown_ = 0; }

void ContentEditor::set_read_only(bool read_only) {
  read_only_ = read_only;
  apply_read_only();
}

void ContentEditor::apply_read_only() {
  SendMessageW(edit_, EM_SETREADONLY, read_only_ || locked_, 0);
}

void ContentEditor::set_default_format(const CHARFORMAT2W& format) {
  format_ = format;
  apply_default_format();
}

// On a dark page what is typed into an empty chapter comes in the opposite
// of the chosen colour too, and goes back to it on the way out.
void ContentEditor::apply_default_format() {
  if (!format_) return;
  CHARFORMAT2W format = *format_;
  if (look_.page == Page::dark && !(format.dwEffects & CFE_AUTOCOLOR)) {
    format.crTextColor =
        RGB(255 - GetRValue(format.crTextColor), 255 - GetGValue(format.crTextColor),
            255 - GetBValue(format.crTextColor));
  } else if (look_.page == Page::dark) {
    format.dwEffects &= ~CFE_AUTOCOLOR;
    format.crTextColor = RGB(kNightRed, kNightGreen, kNightBlue);
  }
  SendMessageW(edit_, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
}

void ContentEditor::on_change() {
  if (load_guard_) {
    load_guard_ = false;
    return;
  }
  const bool typed = !locked_ && shown_ >= 1;
  if (typed) pending_ = shown_;
  listener_.content_changed(typed);
}

void ContentEditor::store_pending(Book& book) {
  const int p = pending_;
  pending_ = 0;
  if (p >= 1 && p <= static_cast<int>(book.chapters.size())) {
    book.chapters[static_cast<size_t>(p - 1)].content = without_view_marks(save_rtf(edit_), marks_);
  }
}

LONG ContentEditor::caret() const {
  CHARRANGE range{};
  SendMessageW(edit_, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
  return range.cpMin;
}

void ContentEditor::edit_command(unsigned id) {
  switch (id) {
    case kCmdUndo:
      if (SendMessageW(edit_, EM_CANUNDO, 0, 0)) SendMessageW(edit_, EM_UNDO, 0, 0);
      break;
    case kCmdCut:
      SendMessageW(edit_, WM_CUT, 0, 0);
      break;
    case kCmdCopy:
      SendMessageW(edit_, WM_COPY, 0, 0);
      break;
    case kCmdPaste:
      if (SendMessageW(edit_, EM_CANPASTE, 0, 0)) SendMessageW(edit_, WM_PASTE, 0, 0);
      break;
    case kCmdDelete:
      SendMessageW(edit_, WM_CLEAR, 0, 0);
      break;
    case kCmdSelectAll:
      select_all_keeping_view();
      break;
    case kCmdInsertDate:
      insert_date();
      break;
  }
}

ContentEditor::EditState ContentEditor::edit_state() const {
  CHARRANGE selection{};
  SendMessageW(edit_, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
  GETTEXTLENGTHEX how{GTL_NUMCHARS, 1200};
  const LRESULT length = SendMessageW(edit_, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&how), 0);
  return {SendMessageW(edit_, EM_CANUNDO, 0, 0) != 0, selection.cpMax > selection.cpMin,
          SendMessageW(edit_, EM_CANPASTE, 0, 0) != 0,
          selection.cpMin == 0 && selection.cpMax >= length};
}

void ContentEditor::select_all_keeping_view() {
  const LRESULT first_line = SendMessageW(edit_, EM_GETFIRSTVISIBLELINE, 0, 0);
  const LRESULT first_char = SendMessageW(edit_, EM_LINEINDEX, first_line, 0);
  CHARRANGE all{0, -1};
  SendMessageW(edit_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&all));
  SendMessageW(edit_, EM_LINESCROLL, 0, -9999999);
  const LRESULT line = SendMessageW(edit_, EM_EXLINEFROMCHAR, 0, first_char);
  SendMessageW(edit_, EM_LINESCROLL, 0, line);
}

void ContentEditor::insert_date() {
  if (GetFocus() != edit_) return;
  const std::wstring now = gbk_to_wide(format_book_time(current_date_time()));
  SendMessageW(edit_, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(now.c_str()));
}

// Ctrl+PgUp and Ctrl+PgDn step through the chapters (with the classic keys
// Ctrl+Left and Ctrl+Right, and Up and Down scroll two lines);
// Ctrl+Shift+Enter splits the chapter. True when the key was used.
bool ContentEditor::key(WPARAM key) {
  if (key == VK_RETURN && GetKeyState(VK_CONTROL) < 0 && GetKeyState(VK_SHIFT) < 0) {
    listener_.content_command(kCmdTreeSplitChapter);
    return true;
  }
  if ((key == VK_PRIOR || key == VK_NEXT) && only_ctrl()) {
    listener_.step_chapter(key == VK_PRIOR ? -1 : 1);
    return true;
  }
  if (!classic_keys_) return false;
  if ((key == VK_UP || key == VK_DOWN) && no_modifier()) {
    SendMessageW(edit_, EM_LINESCROLL, 0, key == VK_UP ? -2 : 2);
    return true;
  }
  if ((key == VK_LEFT || key == VK_RIGHT) && only_ctrl()) {
    return listener_.step_chapter(key == VK_LEFT ? -1 : 1);
  }
  return false;
}

LRESULT ContentEditor::message(UINT message, WPARAM wparam, LPARAM lparam, bool& handled) {
  if (load_.loading() && !in_load_) {
    if (message == WM_TIMER && wparam == kLoadTimer) {
      in_load_ = true;
      const bool more = load_.step();
      in_load_ = false;
      if (!more) {
        KillTimer(edit_, kLoadTimer);
        lay_spacing();
      }
      handled = true;
      return 0;
    }
    if (needs_whole_text(message)) finish_loading();
  }
  handled = true;
  switch (message) {
    case WM_SIZE: {  // the column stays centred in the new width
      const LRESULT result = DefSubclassProc(edit_, message, wparam, lparam);
      apply_column();
      return result;
    }
    case WM_KEYDOWN:
      if (key(wparam)) return 0;
      break;
    case WM_MOUSEMOVE:
      if (GetFocus() != edit_ && partner_ && GetFocus() == partner_) SetFocus(edit_);
      break;
    case WM_RBUTTONDOWN:
      listener_.content_menu_wanted();
      return 0;
  }
  handled = false;
  return 0;
}

LRESULT CALLBACK ContentEditor::subclass(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam,
                                         UINT_PTR, DWORD_PTR self) {
  if (message == WM_NCDESTROY) RemoveWindowSubclass(hwnd, subclass, 0);
  if (message != WM_NCDESTROY && self) {
    bool handled = false;
    const LRESULT result =
        reinterpret_cast<ContentEditor*>(self)->message(message, wparam, lparam, handled);
    if (handled) return result;
  }
  return DefSubclassProc(hwnd, message, wparam, lparam);
}

}  // namespace folivra
