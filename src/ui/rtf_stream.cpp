#include "ui/rtf_stream.h"

#include <richedit.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "book/gbk_wide.h"
#include "text/chapter_cut.h"
#include "text/rtf_check.h"

namespace folivra {

namespace {

DWORD CALLBACK read_rtf(DWORD_PTR cookie, LPBYTE buffer, LONG wanted, LONG* got) {
  auto* rest = reinterpret_cast<std::string_view*>(cookie);
  const size_t n = std::min(rest->size(), static_cast<size_t>(wanted));
  std::memcpy(buffer, rest->data(), n);
  rest->remove_prefix(n);
  *got = static_cast<LONG>(n);
  return 0;
}

DWORD CALLBACK write_rtf(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* written) {
  reinterpret_cast<std::string*>(cookie)->append(reinterpret_cast<const char*>(buffer),
                                                 static_cast<size_t>(size));
  *written = size;
  return 0;
}

}  // namespace

std::string save_rtf(HWND rich_edit, bool selection_only) {
  std::string rtf;
  EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&rtf), 0, write_rtf};
  SendMessageW(rich_edit, EM_STREAMOUT, SF_RTF | (selection_only ? SFF_SELECTION : 0),
               reinterpret_cast<LPARAM>(&stream));
  return rtf;
}

namespace {

// Wine's rich-edit control lays out a text it is given at once in time that
// grows with the square of its size (1,000,000 Chinese characters: 12 s),
// but text added piece by piece in about linear time (0.9 s).
// Windows' own control is left to take chapters whole.
bool lays_out_slowly() {
  static const bool wine =
      GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
  return wine;
}

// Into the selection, or in place of everything.
void put_content(HWND rich_edit, std::string_view content, bool selection, bool rtf) {
  if (rtf) {
    EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&content), 0, read_rtf};
    SendMessageW(rich_edit, EM_STREAMIN, SF_RTF | (selection ? SFF_SELECTION : 0),
                 reinterpret_cast<LPARAM>(&stream));
    return;
  }
  const std::wstring text = gbk_to_wide(content);
  SETTEXTEX how{static_cast<DWORD>(selection ? ST_SELECTION : ST_DEFAULT), 1200};
  SendMessageW(rich_edit, EM_SETTEXTEX, reinterpret_cast<WPARAM>(&how),
               reinterpret_cast<LPARAM>(text.c_str()));
}

// The last piece goes in as a whole text would, so that the control ends as
// it would; the others, whole paragraphs each, go in before it in turn, where
// only the last piece's few lines stand after them. Nothing of it is a step
// to undo or a change to report. (Emptying the undo stack afterwards instead
// leaves Wine's control four times slower at every key.)
constexpr WPARAM kUndoLimit = 100;  // the control's own default

void load_in_pieces(HWND rich_edit, std::string_view content,
                    const std::vector<std::string>& pieces) {
  // A piece of a plain text may look like RTF where it starts: the whole decides.
  const bool rtf = looks_like_rtf(content);
  const LRESULT events = SendMessageW(rich_edit, EM_SETEVENTMASK, 0, 0);
  SendMessageW(rich_edit, EM_SETUNDOLIMIT, 0, 0);
  put_content(rich_edit, pieces.back(), false, rtf);
  CHARRANGE at{0, 0};
  for (size_t k = 0; k + 1 < pieces.size(); ++k) {
    at.cpMin = at.cpMax;
    SendMessageW(rich_edit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&at));
    put_content(rich_edit, pieces[k], true, rtf);
    SendMessageW(rich_edit, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&at));
  }
  // Where a load at once leaves the caret: RTF at the start, text at the end.
  CHARRANGE caret{rtf ? 0 : -1, rtf ? 0 : -1};
  SendMessageW(rich_edit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&caret));
  SendMessageW(rich_edit, EM_SETUNDOLIMIT, kUndoLimit, 0);
  SendMessageW(rich_edit, EM_SETEVENTMASK, 0, events);
}

}  // namespace

bool PieceLoad::start(HWND rich_edit, std::string_view content, size_t piece_characters) {
  cancel();
  edit_ = rich_edit;
  const size_t piece_breaks = std::max<size_t>(piece_characters / 10, 1000);
  if (content.size() <= std::min(piece_characters, piece_breaks * 2) || !lays_out_slowly()) {
    put_content(rich_edit, content, false, looks_like_rtf(content));
    return false;
  }
  std::vector<std::string> pieces = cut_into_pieces(content, piece_characters, piece_breaks);
  if (pieces.size() < 3) {
    load_chapter_text(rich_edit, content, piece_characters);
    return false;
  }
  rtf_ = looks_like_rtf(content);
  events_ = SendMessageW(rich_edit, EM_SETEVENTMASK, 0, 0);
  SendMessageW(rich_edit, EM_SETUNDOLIMIT, 0, 0);
  put_content(rich_edit, pieces.back(), false, rtf_);
  pieces.pop_back();
  pieces_ = std::move(pieces);
  next_ = 0;
  at_ = 0;
  insert_next();
  // Where a load at once leaves the caret: RTF at the start, text at the end.
  CHARRANGE caret{rtf_ ? 0 : -1, rtf_ ? 0 : -1};
  SendMessageW(rich_edit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&caret));
  SendMessageW(rich_edit, EM_SCROLLCARET, 0, 0);
  return true;
}

void PieceLoad::insert_next() {
  CHARRANGE at{at_, at_};
  SendMessageW(edit_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&at));
  put_content(edit_, pieces_[next_], true, rtf_);
  SendMessageW(edit_, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&at));
  at_ = at.cpMax;
  pieces_[next_].clear();
  pieces_[next_].shrink_to_fit();
  if (++next_ == pieces_.size()) done();
}

// A piece goes in below what is shown: the caret, the selection and the
// view stay as they were.
bool PieceLoad::step() {
  if (!loading()) return false;
  CHARRANGE kept{};
  POINT scroll{};
  SendMessageW(edit_, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&kept));
  SendMessageW(edit_, EM_GETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&scroll));
  SendMessageW(edit_, WM_SETREDRAW, FALSE, 0);
  insert_next();
  SendMessageW(edit_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&kept));
  SendMessageW(edit_, EM_SETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&scroll));
  SendMessageW(edit_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(edit_, nullptr, FALSE);
  return loading();
}

void PieceLoad::finish() {
  while (step()) {
  }
}

void PieceLoad::cancel() {
  if (loading()) done();
  pieces_.clear();
  next_ = 0;
}

void PieceLoad::done() {
  next_ = pieces_.size();
  SendMessageW(edit_, EM_SETUNDOLIMIT, kUndoLimit, 0);
  SendMessageW(edit_, EM_SETEVENTMASK, 0, events_);
}

void load_chapter_text(HWND rich_edit, std::string_view content, size_t piece_characters) {
  // Many short paragraphs cost as much as many characters (40,000 paragraphs
  // of one character each took 12 s at once): pieces are cut by both.
  const size_t piece_breaks = std::max<size_t>(piece_characters / 10, 1000);
  if (content.size() > std::min(piece_characters, piece_breaks * 2) && lays_out_slowly()) {
    const std::vector<std::string> pieces =
        cut_into_pieces(content, piece_characters, piece_breaks);
    if (pieces.size() > 1) return load_in_pieces(rich_edit, content, pieces);
  }
  put_content(rich_edit, content, false, looks_like_rtf(content));
}

std::wstring control_text(HWND rich_edit) {
  GETTEXTLENGTHEX length{GTL_NUMCHARS | GTL_PRECISE, 1200};
  const LRESULT n =
      SendMessageW(rich_edit, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length), 0);
  if (n <= 0) return {};
  std::wstring text(static_cast<size_t>(n) + 1, L'\0');
  GETTEXTEX get{static_cast<DWORD>(text.size() * sizeof(wchar_t)), GT_DEFAULT, 1200, nullptr,
                nullptr};
  const LRESULT got = SendMessageW(rich_edit, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&get),
                                   reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(std::max<LRESULT>(got, 0)));
  return text;
}

void apply_replacements(HWND rich_edit, const std::vector<TextReplacement>& replacements) {
  // From the last to the first, so that the earlier positions still hold.
  for (auto r = replacements.rbegin(); r != replacements.rend(); ++r) {
    CHARRANGE range{r->start, r->start + r->length};
    SendMessageW(rich_edit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    SendMessageW(rich_edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(r->text.c_str()));
  }
}

}  // namespace folivra
