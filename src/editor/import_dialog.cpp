#include "editor/import_dialog.h"

#include <commctrl.h>

#include "ui/dpi.h"
#include "ui/modal_loop.h"
#include "ui/window_class.h"
#include "ui/window_text.h"

namespace folivra {

namespace {

constexpr wchar_t kClassName[] = L"FolivraImportDialog";
constexpr int kWidth = 560, kHeight = 492;
constexpr UINT_PTR kRefreshTimer = 1;  // the preview follows the rule once typing pauses

}  // namespace

ImportDialog::~ImportDialog() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  if (worker_.joinable()) worker_.join();
  if (hwnd_) DestroyWindow(hwnd_);
}

HWND ImportDialog::create(HWND owner) {
  register_window_class(kClassName, window_proc, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
  dpi_ = window_dpi(owner);
  create_dialog_frame(kClassName, (L"导入文本 - " + request_.file_name).c_str(), owner,
                      scale(kWidth, dpi_), scale(kHeight, dpi_), this);
  return hwnd_;
}

void ImportDialog::create_controls() {
  const auto s = [this](int pixels) { return scale(pixels, dpi_); };
  font_ = message_font(dpi_);
  create_child(L"STATIC", L"编码：", 0, hwnd_, s(12), s(15), s(70), s(20), font_);
  c_.encoding = create_child(WC_COMBOBOXW, L"", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, hwnd_,
                             s(84), s(12), s(150), s(200), font_);
  for (const std::wstring& name : request_.encodings) {
    SendMessageW(c_.encoding, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
  }
  SendMessageW(c_.encoding, CB_SETCURSEL, static_cast<WPARAM>(request_.encoding), 0);
  create_child(L"STATIC", L"书名：", 0, hwnd_, s(250), s(15), s(44), s(20), font_);
  c_.title = create_child(L"EDIT", L"", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, hwnd_, s(294),
                          s(12), s(248), s(24), font_);
  create_child(L"STATIC", L"作者：", 0, hwnd_, s(250), s(47), s(44), s(20), font_);
  c_.author = create_child(L"EDIT", L"", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, hwnd_, s(294),
                           s(44), s(248), s(24), font_);
  const int y = 32;  // below the title and author
  create_child(L"STATIC", L"章节标题规则：", 0, hwnd_, s(12), s(47 + y), s(100), s(20), font_);
  c_.rule = create_child(L"EDIT", request_.rule.c_str(), ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP,
                         hwnd_, s(12), s(68 + y), s(530), s(24), font_);
  c_.list = create_child(WC_LISTVIEWW, L"", LVS_REPORT | LVS_SHOWSELALWAYS | WS_BORDER | WS_TABSTOP,
                         hwnd_, s(12), s(102 + y), s(530), s(240), font_);
  ListView_SetExtendedListViewStyle(c_.list, LVS_EX_FULLROWSELECT);
  const struct {
    const wchar_t* title;
    int width;
  } columns[] = {{L"章节", 170}, {L"首行", 270}, {L"字数", 70}};
  for (int i = 0; i < 3; ++i) {
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    column.fmt = i == 2 ? LVCFMT_RIGHT : LVCFMT_LEFT;
    column.cx = s(columns[i].width);
    column.pszText = const_cast<wchar_t*>(columns[i].title);
    ListView_InsertColumn(c_.list, i, &column);
  }
  c_.note =
      create_child(L"STATIC", L"", SS_NOPREFIX, hwnd_, s(12), s(350 + y), s(530), s(20), font_);
  c_.new_book = create_child(L"BUTTON", L"导入为新书", BS_AUTORADIOBUTTON | WS_TABSTOP | WS_GROUP,
                             hwnd_, s(12), s(378 + y), s(150), s(22), font_);
  c_.append = create_child(L"BUTTON", L"追加到当前书籍末尾", BS_AUTORADIOBUTTON, hwnd_, s(170),
                           s(378 + y), s(200), s(22), font_);
  EnableWindow(c_.append, request_.can_append);
  SendMessageW(c_.new_book, BM_SETCHECK, BST_CHECKED, 0);
  c_.ok = create_child(L"BUTTON", L"导 入", BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, hwnd_, s(380),
                       s(400 + y), s(76), s(28), font_);
  c_.cancel = create_child(L"BUTTON", L"取 消", BS_PUSHBUTTON | WS_TABSTOP, hwnd_, s(466),
                           s(400 + y), s(76), s(28), font_);
  refresh();
}

void ImportDialog::refresh() {
  KillTimer(hwnd_, kRefreshTimer);
  {
    std::lock_guard lock(mutex_);
    job_ = Job{++generation_, static_cast<int>(SendMessageW(c_.encoding, CB_GETCURSEL, 0, 0)),
               window_text(c_.rule)};
  }
  wake_.notify_all();
  if (!worker_.joinable()) worker_ = std::thread([this] { work(); });
  set_window_text(c_.note, L"正在分析章节…");
  EnableWindow(c_.ok, FALSE);
}

// The worker: the latest choice's preview, then word to the dialog.
void ImportDialog::work() {
  const HWND dialog = hwnd_;
  std::unique_lock lock(mutex_);
  while (true) {
    wake_.wait(lock, [this] { return stopping_ || job_; });
    if (stopping_) return;
    const Job job = std::move(*job_);
    job_.reset();
    lock.unlock();
    ImportPreview preview = request_.preview(job.encoding, job.rule);
    lock.lock();
    ready_ = std::move(preview);
    ready_generation_ = job.generation;
    PostMessageW(dialog, kPreviewReady, 0, 0);
  }
}

void ImportDialog::show_preview() {
  {
    std::lock_guard lock(mutex_);
    if (ready_generation_ != generation_ || shown_generation_ == generation_) return;  // stale
    preview_ = std::move(ready_);
    shown_generation_ = ready_generation_;
  }
  SendMessageW(c_.list, WM_SETREDRAW, FALSE, 0);
  ListView_DeleteAllItems(c_.list);
  for (size_t i = 0; i < preview_.rows.size(); ++i) {
    ImportPreviewRow& row = preview_.rows[i];
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = static_cast<int>(i);
    item.pszText = row.name.data();
    ListView_InsertItem(c_.list, &item);
    ListView_SetItemText(c_.list, item.iItem, 1, row.first_line.data());
    std::wstring words = std::to_wstring(row.words);
    ListView_SetItemText(c_.list, item.iItem, 2, words.data());
  }
  SendMessageW(c_.list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(c_.list, nullptr, TRUE);
  size_t words = 0;
  for (const ImportPreviewRow& row : preview_.rows) words += row.words;
  std::wstring note = preview_.rule_problem;
  if (note.empty()) {
    note = L"共 " + std::to_wstring(preview_.rows.size()) + L" 章";
    if (preview_.volumes) note += L"（其中 " + std::to_wstring(preview_.volumes) + L" 卷）";
    note += L"，" + std::to_wstring(words) + L" 字";
    if (preview_.contents_kept) note += L"；目录保留为正文";
    if (preview_.unwrapped) note += L"；检测到固定宽度换行，已合并为段落";
  }
  set_window_text(c_.note, note);
  if (preview_.rule_problem.empty()) {
    follow_text(c_.title, preview_.title, shown_title_);
    follow_text(c_.author, preview_.author, shown_author_);
  }
  EnableWindow(c_.ok, preview_.rule_problem.empty() && !preview_.rows.empty());
}

// A field shows what the text says until the user has typed something else.
void ImportDialog::follow_text(HWND field, const std::wstring& said, std::wstring& shown) {
  if (window_text(field) != shown) return;
  set_window_text(field, said);
  shown = said;
}

void ImportDialog::finish(bool accepted) {
  if (accepted) {
    result_.accepted = true;
    result_.encoding = static_cast<int>(SendMessageW(c_.encoding, CB_GETCURSEL, 0, 0));
    result_.rule = window_text(c_.rule);
    result_.append = SendMessageW(c_.append, BM_GETCHECK, 0, 0) == BST_CHECKED;
    result_.title = window_text(c_.title);
    result_.author = window_text(c_.author);
    if (result_.title.empty()) result_.title = preview_.title;  // a book has a title
  }
  closed_ = true;
  ShowWindow(hwnd_, SW_HIDE);
}

LRESULT CALLBACK ImportDialog::window_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    static_cast<ImportDialog*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams)->hwnd_ =
        hwnd;
  }
  auto* self = window_owner<ImportDialog>(hwnd, message, lparam);
  if (self) {
    switch (message) {
      case WM_CREATE:
        self->create_controls();
        return 0;
      case WM_COMMAND: {
        const auto from = reinterpret_cast<HWND>(lparam);
        if (from == self->c_.ok && HIWORD(wparam) == BN_CLICKED) self->finish(true);
        if (from == self->c_.cancel || LOWORD(wparam) == IDCANCEL) self->finish(false);
        if (from == self->c_.encoding && HIWORD(wparam) == CBN_SELCHANGE) self->refresh();
        if (from == self->c_.rule && HIWORD(wparam) == EN_CHANGE) {
          SetTimer(hwnd, kRefreshTimer, 400, nullptr);
        }
        return 0;
      }
      case WM_TIMER:
        if (wparam == kRefreshTimer) self->refresh();
        return 0;
      case kPreviewReady:
        self->show_preview();
        return 0;
      case WM_CLOSE:
        self->finish(false);
        return 0;
      case WM_NCDESTROY:
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        break;
    }
  }
  return DefWindowProcW(hwnd, message, wparam, lparam);
}

TextImportChoice run_import_dialog(HWND owner, const TextImportRequest& request) {
  ImportDialog dialog(request);
  if (!dialog.create(owner)) return {};
  run_modal(owner, dialog.hwnd(), dialog.controls().rule, [&] { return dialog.closed(); });
  return dialog.result();
}

}  // namespace folivra
