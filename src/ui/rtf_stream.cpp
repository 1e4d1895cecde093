#include "ui/rtf_stream.h"

#include <richedit.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "book/gbk_wide.h"
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

// A hidden rich-edit control that lives for one cut or join.
class Scratch {
 public:
  explicit Scratch(HWND like) {
    wchar_t cls[64] = {};
    GetClassNameW(like, cls, 64);
    hwnd_ = CreateWindowExW(0, cls, L"", WS_POPUP | ES_MULTILINE, 0, 0, 100, 100, nullptr, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
    SendMessageW(hwnd_, EM_EXLIMITTEXT, 0, 0x7FFFFFFE);
  }
  ~Scratch() { DestroyWindow(hwnd_); }
  Scratch(const Scratch&) = delete;
  Scratch& operator=(const Scratch&) = delete;
  HWND hwnd() const { return hwnd_; }
  void select(LONG from, LONG to) {
    CHARRANGE range{from, to};
    SendMessageW(hwnd_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
  }

 private:
  HWND hwnd_;
};

}  // namespace

std::string save_rtf(HWND rich_edit, bool selection_only) {
  std::string rtf;
  EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&rtf), 0, write_rtf};
  SendMessageW(rich_edit, EM_STREAMOUT, SF_RTF | (selection_only ? SFF_SELECTION : 0),
               reinterpret_cast<LPARAM>(&stream));
  return rtf;
}

RtfHalves split_chapter_text(HWND like, std::string_view content, LONG at) {
  Scratch scratch(like);
  load_chapter_text(scratch.hwnd(), content);
  RtfHalves halves;
  scratch.select(at, -1);
  halves.second = save_rtf(scratch.hwnd(), true);
  SendMessageW(scratch.hwnd(), EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L""));
  halves.first = save_rtf(scratch.hwnd());
  return halves;
}

std::string join_chapter_texts(HWND like, std::string_view first, std::string_view second) {
  Scratch scratch(like);
  load_chapter_text(scratch.hwnd(), first);
  scratch.select(-1, -1);
  SendMessageW(scratch.hwnd(), EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L"\r"));
  if (looks_like_rtf(second)) {
    std::string_view rest = second;
    EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&rest), 0, read_rtf};
    SendMessageW(scratch.hwnd(), EM_STREAMIN, SF_RTF | SFF_SELECTION,
                 reinterpret_cast<LPARAM>(&stream));
  } else {
    const std::wstring text = gbk_to_wide(second);
    SendMessageW(scratch.hwnd(), EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
  }
  return save_rtf(scratch.hwnd());
}

void load_chapter_text(HWND rich_edit, std::string_view content) {
  if (looks_like_rtf(content)) return load_rtf(rich_edit, content);
  const std::wstring text = gbk_to_wide(content);
  SETTEXTEX how{ST_DEFAULT, 1200};
  SendMessageW(rich_edit, EM_SETTEXTEX, reinterpret_cast<WPARAM>(&how),
               reinterpret_cast<LPARAM>(text.c_str()));
}

void load_rtf(HWND rich_edit, std::string_view rtf) {
  EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&rtf), 0, read_rtf};
  SendMessageW(rich_edit, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&stream));
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

std::optional<std::string> replace_in_chapter_text(
    HWND like, std::string_view content,
    const std::function<std::vector<TextReplacement>(const std::wstring&)>& plan) {
  Scratch scratch(like);
  load_chapter_text(scratch.hwnd(), content);
  const std::vector<TextReplacement> replacements = plan(control_text(scratch.hwnd()));
  if (replacements.empty()) return std::nullopt;
  apply_replacements(scratch.hwnd(), replacements);
  return save_rtf(scratch.hwnd());
}

}  // namespace folivra
