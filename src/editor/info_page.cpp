#include "editor/info_page.h"

#include <commctrl.h>

#include "book/book_time.h"
#include "book/gbk_wide.h"
#include "ui/cover_picture.h"
#include "ui/dpi.h"
#include "ui/picture_box.h"
#include "ui/window_class.h"
#include "ui/window_text.h"

namespace folivra {

namespace {

constexpr std::wstring_view kIndent = L"    ";

void resize_to(HWND hwnd, int width, int height) {
  SetWindowPos(hwnd, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int height_of(HWND hwnd) {
  RECT r;
  GetWindowRect(hwnd, &r);
  return r.bottom - r.top;
}

bool is_ctrl_c(WPARAM key, bool is_char) {
  if (is_char) return key == 0x03;  // the character Ctrl+C produces
  return key == 'C' && GetKeyState(VK_CONTROL) < 0 && GetKeyState(VK_SHIFT) >= 0 &&
         GetKeyState(VK_MENU) >= 0;
}

void set_border(HWND field, bool on) {
  LONG_PTR style = GetWindowLongPtrW(field, GWL_STYLE);
  style = on ? style | WS_BORDER : style & ~static_cast<LONG_PTR>(WS_BORDER);
  SetWindowLongPtrW(field, GWL_STYLE, style);
  SetWindowPos(field, nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

}  // namespace

// Where the fixed controls sit, in pixels at 96 DPI; the widths of the
// fields and the introduction follow the page (resize).
struct Spot {
  int x, y, w, h;
};
constexpr Spot kCover{8, 8, 120, 136}, kTitle{136, 8, 168, 40}, kAuthorLabel{136, 55, 40, 24},
    kAuthor{176, 56, 128, 24}, kTypeLabel{136, 81, 40, 24}, kType{176, 81, 128, 24},
    kTimeLabel{136, 112, 40, 24}, kTime{176, 113, 128, 24}, kIntro{8, 160, 298, 184};

InfoPage::Controls InfoPage::create(HWND page, const Fonts& fonts, UINT dpi) {
  c_.cover = create_picture_box(page, 0, 0, 0, 0);
  const DWORD field = ES_AUTOHSCROLL | WS_TABSTOP;
  c_.title = create_child(L"EDIT", L"Folivra", field, page, 0, 0, 0, 0, nullptr);
  c_.author_label = create_child(L"STATIC", L"作者：", SS_NOPREFIX, page, 0, 0, 0, 0, nullptr);
  c_.author = create_child(L"EDIT", L"Vantorel", field, page, 0, 0, 0, 0, nullptr);
  c_.type_label = create_child(L"STATIC", L"类型：", SS_NOPREFIX, page, 0, 0, 0, 0, nullptr);
  c_.book_type = create_child(L"EDIT", L"教学", field, page, 0, 0, 0, 0, nullptr);
  c_.time_label = create_child(L"STATIC", L"时间：", SS_NOPREFIX, page, 0, 0, 0, 0, nullptr);
  c_.time = create_child(L"EDIT", L"2018-09-16", field, page, 0, 0, 0, 0, nullptr);
  c_.intro = create_child(L"EDIT", L"    Folivra(Quirevel)是一款新型的编辑软件。",
                          ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_VSCROLL | WS_TABSTOP,
                          page, 0, 0, 0, 0, nullptr);
  for (HWND f : {c_.title, c_.author, c_.book_type, c_.time, c_.intro}) {
    SetWindowSubclass(f, subclass, 0, reinterpret_cast<DWORD_PTR>(this));
  }
  rescale(fonts, dpi);
  return c_;
}

void InfoPage::rescale(const Fonts& fonts, UINT dpi) {
  const struct {
    HWND control;
    Spot spot;
    HFONT font;
  } placed[] = {{c_.cover, kCover, nullptr},
                {c_.title, kTitle, fonts.title},
                {c_.author_label, kAuthorLabel, fonts.label},
                {c_.author, kAuthor, fonts.field},
                {c_.type_label, kTypeLabel, fonts.label},
                {c_.book_type, kType, fonts.field},
                {c_.time_label, kTimeLabel, fonts.label},
                {c_.time, kTime, fonts.field},
                {c_.intro, kIntro, fonts.field}};
  for (const auto& p : placed) {
    if (p.font) SendMessageW(p.control, WM_SETFONT, reinterpret_cast<WPARAM>(p.font), FALSE);
    SetWindowPos(p.control, nullptr, scale(p.spot.x, dpi), scale(p.spot.y, dpi),
                 scale(p.spot.w, dpi), scale(p.spot.h, dpi), SWP_NOZORDER | SWP_NOACTIVATE);
  }
  if (cover_bitmap_) show_cover();  // decoded again at the new size
}

void InfoPage::fill() {
  filling_ = true;
  set_window_text(c_.title, gbk_to_wide(book_.title));
  set_window_text(c_.author, gbk_to_wide(book_.author));
  set_window_text(c_.book_type, gbk_to_wide(book_.book_type));
  set_window_text(c_.time, gbk_to_wide(format_book_time(book_.time)));
  set_window_text(c_.intro,
                  book_.intro.empty() ? L"" : std::wstring(kIndent) + gbk_to_wide(book_.intro));
  filling_ = false;
  show_cover();
}

void InfoPage::show_cover() {
  RECT box;
  GetClientRect(c_.cover, &box);
  // The old picture goes once the control shows the new one.
  OwnedBitmap fresh(decode_cover(book_.cover, box.right, box.bottom));
  set_picture(c_.cover, fresh);
  cover_bitmap_ = std::move(fresh);
}

void InfoPage::clear() {
  filling_ = true;
  for (HWND f : {c_.title, c_.author, c_.book_type, c_.time, c_.intro}) set_window_text(f, L"");
  filling_ = false;
  set_picture(c_.cover, nullptr);
  cover_bitmap_.reset();
}

void InfoPage::resize(int title_width, int field_width, int intro_width, int intro_height) {
  resize_to(c_.title, title_width, height_of(c_.title));
  for (HWND f : {c_.author, c_.book_type, c_.time}) resize_to(f, field_width, height_of(f));
  resize_to(c_.intro, intro_width, intro_height);
}

bool InfoPage::is_field(HWND hwnd) const {
  return hwnd == c_.title || hwnd == c_.author || hwnd == c_.book_type || hwnd == c_.time ||
         hwnd == c_.intro;
}

bool InfoPage::on_command(HWND field, WORD code) {
  if (field == c_.cover) {
    if (code == STN_CLICKED) listener_.cover_clicked();
    return true;
  }
  if (!is_field(field)) return false;
  if (code == EN_CHANGE) changed(field);
  if (code == EN_SETFOCUS || code == EN_KILLFOCUS) focus(field, code == EN_SETFOCUS);
  return true;
}

std::string* InfoPage::target(HWND field) {
  if (field == c_.title) return &book_.title;
  if (field == c_.author) return &book_.author;
  if (field == c_.book_type) return &book_.book_type;
  return nullptr;
}

// What is typed reaches the book at once, so that nothing that reads the
// book (a save, the guard, an export, the recovery copy) can miss it. An
// emptied title, author or type keeps the stored value until the field is
// left, where it is put back.
void InfoPage::changed(HWND field) {
  if (field == c_.title) listener_.title_shown(window_text(field));
  if (filling_ || read_only_) return;
  if (field == c_.intro) {
    std::wstring text = window_text(field);
    if (text.starts_with(kIndent)) text.erase(0, kIndent.size());
    book_.intro = wide_to_gbk_lossy(text);
    listener_.information_typed();
  } else if (std::string* stored = target(field)) {
    const std::wstring text = window_text(field);
    if (text.empty()) return;
    *stored = wide_to_gbk_lossy(text);
    listener_.information_typed();
  }
}

void InfoPage::focus(HWND field, bool gained) {
  if (gained) {
    if (!read_only_) set_border(field, true);
    return;
  }
  set_border(field, false);
  if (field != c_.intro) {  // a long line shows its start again, not where the caret left it
    SendMessageW(field, EM_SETSEL, 0, 0);
    SendMessageW(field, EM_SCROLLCARET, 0, 0);
  }
  if (read_only_) return;
  std::string* stored = target(field);
  if (!stored) return;
  const std::wstring text = window_text(field);
  if (text.empty()) {
    filling_ = true;
    set_window_text(field, gbk_to_wide(*stored));
    filling_ = false;
    return;
  }
  // Leaving a field counts as an edit even when the text is the same.
  *stored = wide_to_gbk_lossy(text);
  listener_.information_typed();
}

bool InfoPage::takes_key(HWND field, WPARAM key, bool is_char) const {
  if (is_ctrl_c(key, is_char)) return true;
  return field != c_.time && !read_only_;
}

LRESULT CALLBACK InfoPage::subclass(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                                    DWORD_PTR self_ptr) {
  auto* self = reinterpret_cast<InfoPage*>(self_ptr);
  switch (message) {
    case WM_NCDESTROY:
      RemoveWindowSubclass(hwnd, subclass, 0);
      break;
    case WM_CONTEXTMENU:
      return 0;  // the information fields have no context menu
    case WM_KEYDOWN:
    case WM_CHAR:
      if (self && !self->takes_key(hwnd, wparam, message == WM_CHAR)) return 0;
      break;
  }
  return DefSubclassProc(hwnd, message, wparam, lparam);
}

}  // namespace folivra
