// One book, one window: a book another editor window already holds is
// brought forward there instead of being opened (and edited) twice.
#include "app/main_window.h"
#include "book/gbk.h"

namespace folivra {

namespace {

constexpr ULONG_PTR kHoldsBook = 0x466F6C69;  // WM_COPYDATA: "do you hold this book?"
constexpr LRESULT kHoldsIt = 0x486F6C64;

}  // namespace

bool MainWindow::bring_forward_holder(const std::string& path) {
  const std::wstring wide = path_from_gbk(path).wstring();
  COPYDATASTRUCT data{kHoldsBook, static_cast<DWORD>(wide.size() * sizeof(wchar_t)),
                      const_cast<wchar_t*>(wide.data())};
  for (HWND other = FindWindowExW(nullptr, nullptr, kClassName, nullptr); other;
       other = FindWindowExW(nullptr, other, kClassName, nullptr)) {
    if (other == hwnd_) continue;
    DWORD_PTR answer = 0;
    if (SendMessageTimeoutW(other, WM_COPYDATA, reinterpret_cast<WPARAM>(hwnd_),
                            reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG, 2000, &answer) &&
        static_cast<LRESULT>(answer) == kHoldsIt) {
      return true;
    }
  }
  return false;
}

LRESULT MainWindow::holder_asked(const COPYDATASTRUCT* data) {
  if (!data || data->dwData != kHoldsBook || !data->lpData || !has_book_ ||
      book_.file_path.empty()) {
    return 0;
  }
  const std::wstring asked(static_cast<const wchar_t*>(data->lpData),
                           data->cbData / sizeof(wchar_t));
  std::error_code error;
  if (!std::filesystem::equivalent(asked, path_from_gbk(book_.file_path), error)) return 0;
  if (IsIconic(hwnd_)) ShowWindow(hwnd_, SW_RESTORE);
  SetForegroundWindow(hwnd_);
  return kHoldsIt;
}

}  // namespace folivra
