#include "app/main_window.h"

#include <richedit.h>

#include <algorithm>
#include <exception>
#include <new>

#include "ui/menu_ids.h"
#include "ui/picture_box.h"
#include "ui/splitter.h"
#include "ui/dpi.h"
#include "ui/window_class.h"
#include "ui/tree_images.h"
#include "app/window_layout.h"
#include "book/gbk.h"
#include "book/gbk_wide.h"

namespace folivra {

namespace {

constexpr wchar_t kPageClass[] = L"FolivraPage";

Box box_of(HWND hwnd) {
  RECT r;
  GetWindowRect(hwnd, &r);
  MapWindowPoints(HWND_DESKTOP, GetParent(hwnd), reinterpret_cast<POINT*>(&r), 2);
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

void place(HWND hwnd, const Box& b) { MoveWindow(hwnd, b.left, b.top, b.width, b.height, TRUE); }

}  // namespace

MainWindow::MainWindow(Prompts* prompts, std::wstring settings_path,
                       std::filesystem::path recovery_folder)
    : own_prompts_(prompts ? nullptr : std::make_unique<WindowsPrompts>()),
      recovery_(std::move(recovery_folder)),
      prompts_(prompts ? prompts : own_prompts_.get()),
      commands_(*this, *prompts_),
      settings_(settings_path.empty() ? Settings::default_path() : std::move(settings_path)) {}

MainWindow::~MainWindow() {
  stop_search();
  if (hwnd_) DestroyWindow(hwnd_);
  if (menus_.tree) DestroyMenu(menus_.tree->handle());
  if (accelerators_) DestroyAcceleratorTable(accelerators_);
}

HWND MainWindow::create(HINSTANCE instance) {
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_TREEVIEW_CLASSES | ICC_TAB_CLASSES | ICC_BAR_CLASSES};
  InitCommonControlsEx(&icc);
  register_window_class(kClassName, window_proc, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
  register_window_class(kPageClass, page_proc, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
  menus_ = build_menus();
  accelerators_ = build_accelerators();
  HWND hwnd = CreateWindowExW(WS_EX_CONTROLPARENT, kClassName, L"Folivra",
                              WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 50, 50, kMinWindowWidth,
                              kMinWindowHeight, nullptr, menus_.bar, instance, this);
  if (own_prompts_) own_prompts_->set_owner(hwnd);
  return hwnd;
}

LRESULT CALLBACK MainWindow::window_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcW(hwnd, message, wparam, lparam);
  return self->handle(message, wparam, lparam);
}

// The tab pages pass their controls' notifications on to the main window.
LRESULT CALLBACK MainWindow::page_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
      return SendMessageW(GetAncestor(hwnd, GA_ROOT), message, wparam, lparam);
  }
  return DefWindowProcW(hwnd, message, wparam, lparam);
}

LRESULT MainWindow::handle(UINT message, WPARAM wparam, LPARAM lparam) {
  const HWND hwnd = hwnd_;
  if (message == BookFinder::found_hits_message()) {
    found_hits(wparam, lparam);
    return 0;
  }
  if (message == BookFinder::search_done_message()) {
    search_done(wparam, lparam != 0);
    return 0;
  }
  switch (message) {
    case WM_CREATE:
      create_controls();
      move_splitter(placement_.restore(hwnd_, dpi_));
      reload_recent_files();
      read_only_ = true;  // nothing to edit until a book is shown
      info_.set_read_only(true);
      tree_.set_locked(true);
      apply_editor_font(true);
      editor_.set_classic_keys(settings_.read_bool("Editor", "classic_keys", false));
      apply_tree_counts();
      recovery_.start(hwnd_, settings_);
      placement_.created(hwnd_);
      return 0;
    case WM_TIMER:
      if (wparam == RecoveryKeeper::kAutosaveTimer || wparam == RecoveryKeeper::kPauseTimer) {
        recovery_tick();
      }
      if (wparam == RecoveryKeeper::kPauseTimer) KillTimer(hwnd_, RecoveryKeeper::kPauseTimer);
      if (wparam == kCountTimer) count_typed_chapter();
      if (wparam == kSavedTimer) {
        KillTimer(hwnd_, kSavedTimer);
        set_status(1, has_book_ ? gbk_to_wide(book_.title) : L"未载入");
      }
      return 0;
    case WM_SIZE:
      if (wparam != SIZE_MINIMIZED && !enforce_minimum_size()) layout();
      placement_.sized(hwnd_);
      return 0;
    case WM_MOVE:
      placement_.moved(hwnd_);
      return 0;
    case WM_GETMINMAXINFO: {
      auto* info = reinterpret_cast<MINMAXINFO*>(lparam);
      info->ptMinTrackSize = {scale(kMinWindowWidth, dpi_), scale(kMinWindowHeight, dpi_)};
      info->ptMaxTrackSize = {9999999, 9999999};
      return 0;
    }
    case WM_NCLBUTTONDOWN:
      refresh_edit_menu(false);
      refresh_insert_menu();
      refresh_format_menu();
      break;
    case WM_INITMENU:
      if (reinterpret_cast<HMENU>(wparam) == menus_.bar) {
        refresh_edit_menu(false);
        refresh_insert_menu();
        refresh_format_menu();
      }
      break;
    case WM_COMMAND:
      if (lparam == 0) {
        run_command(LOWORD(wparam));
      } else if (reinterpret_cast<HWND>(lparam) == c_.content && HIWORD(wparam) == EN_CHANGE) {
        editor_.on_change();
      } else {
        info_.on_command(reinterpret_cast<HWND>(lparam), HIWORD(wparam));
      }
      return 0;
    case WM_NOTIFY:
      return on_notify(reinterpret_cast<NMHDR*>(lparam));
    case WM_DPICHANGED:
      dpi_changed(HIWORD(wparam), *reinterpret_cast<const RECT*>(lparam));
      return 0;
    case kSplitterMoved:
      move_splitter(static_cast<int>(lparam));
      return 0;
    case kSplitterDropped:
      move_splitter(static_cast<int>(lparam));
      placement_.boundary_dropped(static_cast<int>(lparam));
      return 0;
    case WM_ACTIVATEAPP:
      // Told after the activation, so that a question is not asked inside it.
      if (wparam && has_book_ && !saving_) PostMessageW(hwnd_, kCheckDisk, 0, 0);
      break;
    case kCounted:
      if (counts_.current(wparam)) counts_arrived();
      return 0;
    case kContentsRead:
      contents_arrived(static_cast<uint64_t>(wparam));
      return 0;
    case kCheckVolumes:
      if (has_book_ && !doc_.loading()) tree_.check_volumes(doc_.book());
      return 0;
    case kCheckDisk:
      if (has_book_ && !saving_) commands_.check_disk();
      return 0;
    case kStoreProblem: {
      Message problem;
      problem.text = store_problem_;
      problem.caption = L"写作记录";
      problem.owned = true;
      prompts_->show_message(problem);
      return 0;
    }
    case WritingLog::kRecorded:
      follow_today();  // the store may know where today began now
      return 0;
    case WM_COPYDATA:
      return holder_asked(reinterpret_cast<const COPYDATASTRUCT*>(lparam));
    case WM_CLOSE:
      if (commands_.confirm_discard()) {
        set_writing_view(false);  // the placement kept is the window's own
        DestroyWindow(hwnd);
      }
      return 0;
    case WM_QUERYENDSESSION:
      if (saving_) return FALSE;  // asked while a save is writing the book: not now
      // Whatever the answer, or if none can be given, the text is kept first.
      write_recovery_copy();
      return commands_.confirm_discard() ? TRUE : FALSE;
    case WM_ENDSESSION:
      if (wparam) DestroyWindow(hwnd);
      return 0;
    case WM_DESTROY:
      remember_place();
      stop_search();
      // Past the guard: the changes were saved or given up.
      recovery_.remove();
      PostQuitMessage(0);
      return 0;
    case WM_NCDESTROY:
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
      hwnd_ = nullptr;
      break;
  }
  return DefWindowProcW(hwnd, message, wparam, lparam);
}

void MainWindow::create_controls() {
  dpi_ = window_dpi(hwnd_);
  scaled_ = std::make_unique<ScaledResources>(dpi_);
  c_.tree = tree_.create(hwnd_, scaled_->tree, scaled_->tree_images);

  c_.splitter =
      create_splitter(hwnd_, scale(156, dpi_), 0, scale(kSplitterWidth, dpi_), scale(152, dpi_));

  c_.tabs = create_child(WC_TABCONTROLW, L"", WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_TABSTOP, hwnd_,
                         160, 0, 312, 368, nullptr, WS_EX_CONTROLPARENT);
  TCITEMW tab{};
  tab.mask = TCIF_TEXT;
  tab.pszText = const_cast<wchar_t*>(L"介绍");
  TabCtrl_InsertItem(c_.tabs, 0, &tab);
  tab.pszText = const_cast<wchar_t*>(L"内容");
  TabCtrl_InsertItem(c_.tabs, 1, &tab);
  c_.info_page = create_child(kPageClass, L"", WS_CLIPCHILDREN, c_.tabs, 0, 21, 312, 347, nullptr,
                              WS_EX_CONTROLPARENT);
  c_.content_page =
      CreateWindowExW(WS_EX_CONTROLPARENT, kPageClass, L"", WS_CHILD | WS_CLIPCHILDREN, 0, 21, 312,
                      347, c_.tabs, nullptr, GetModuleHandleW(nullptr), nullptr);

  const InfoPage::Controls info =
      info_.create(c_.info_page, {scaled_->title, scaled_->field, scaled_->label}, dpi_);
  c_.cover = info.cover;
  c_.title = info.title;
  c_.author = info.author;
  c_.book_type = info.book_type;
  c_.time = info.time;
  c_.intro = info.intro;
  c_.author_label = info.author_label;
  c_.type_label = info.type_label;
  c_.time_label = info.time_label;
  c_.content = editor_.create(c_.content_page);
  editor_.set_focus_partner(c_.tree);
  tree_.set_focus_partner(c_.content);

  c_.status = CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 8,
                              368, 475, 20, hwnd_, nullptr, GetModuleHandleW(nullptr), nullptr);
  apply_scaled_resources();
  layout();  // the status bar needs its panes before their texts
  set_status(0, L"书籍：");
  set_status(1, L"未载入");
  set_status(2, L"章节：");
  set_status(3, L"未载入");
  start_writing_log();
}

void MainWindow::layout() {
  RECT client;
  GetClientRect(hwnd_, &client);
  if (writing_view_) {
    lay_out_writing_view(client.right, client.bottom);
    lay_out_status();
    return;
  }
  const Box splitter = box_of(c_.splitter);
  const MainLayout main = layout_main(client.right, client.bottom, splitter.left, splitter.width,
                                      scale(kStatusBarHeight, dpi_));
  place(c_.tree, main.tree);
  place(c_.tabs, main.tabs);
  place(c_.splitter, main.splitter);

  // The pages fill the tab control below its row of tabs.
  RECT area{0, 0, main.tabs.width, main.tabs.height};
  TabCtrl_AdjustRect(c_.tabs, FALSE, &area);
  const int header = area.top > 2 ? static_cast<int>(area.top) - 2 : 0;
  const Box page{0, header, main.tabs.width, main.tabs.height - header};
  place(c_.info_page, page);
  place(c_.content_page, page);

  const PageLayout fields = layout_pages(page.width, page.height, dpi_);
  info_.resize(fields.title_width, fields.field_width, fields.intro_width, fields.intro_height);
  place(c_.content, fields.content);
  lay_out_status();
}

void MainWindow::lay_out_status() {
  SendMessageW(c_.status, WM_SIZE, 0, 0);
  RECT status;
  GetClientRect(c_.status, &status);
  const StatusPanes panes =
      layout_status(status.right, scale(kFixedPaneWidth, dpi_), scale(kCountPaneWidth, dpi_),
                    scale(kTodayPaneWidth, dpi_));
  SendMessageW(c_.status, SB_SETPARTS, 6, reinterpret_cast<LPARAM>(panes.right));
  today_.place(scale(kTodayBarWidth, dpi_));
}

// A window made smaller than the minimum in code (not by dragging, which
// the size limits already stop) grows back; the resize lays it out again.
bool MainWindow::enforce_minimum_size() {
  if (IsZoomed(hwnd_)) return false;
  RECT r;
  GetWindowRect(hwnd_, &r);
  const int width = r.right - r.left, height = r.bottom - r.top;
  const int least_width = scale(kMinWindowWidth, dpi_),
            least_height = scale(kMinWindowHeight, dpi_);
  if (width >= least_width && height >= least_height) return false;
  SetWindowPos(hwnd_, nullptr, 0, 0, std::max(width, least_width), std::max(height, least_height),
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  return true;
}

void MainWindow::move_splitter(int left) {
  const Box b = box_of(c_.splitter);
  place(c_.splitter, {left, b.top, b.width, b.height});
  layout();
}

bool MainWindow::translate_accelerator(MSG& msg) {
  if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) return false;
  // In the information fields and the tree's label editor the editing keys
  // belong to that box, not to the content editor's menu commands.
  const HWND focus = GetFocus();
  // On the cover box Ctrl+V pastes a picture, whatever the editor could paste.
  if (focus == c_.cover && msg.message == WM_KEYDOWN && msg.wParam == 'V' &&
      GetKeyState(VK_CONTROL) < 0 && GetKeyState(VK_SHIFT) >= 0 && GetKeyState(VK_MENU) >= 0) {
    run_command(kCmdPaste);
    return true;
  }
  wchar_t cls[16] = {};
  GetClassNameW(focus, cls, 16);
  // With the tree focused, Ctrl+Z and Ctrl+Y take back chapter operations
  // and Del deletes the chapter: the tree has those keys.
  if (focus == c_.tree &&
      ((GetKeyState(VK_CONTROL) < 0 && (msg.wParam == 'Z' || msg.wParam == 'Y')) ||
       (GetKeyState(VK_CONTROL) >= 0 && msg.wParam == VK_DELETE))) {
    return false;
  }
  if (focus != c_.content && lstrcmpiW(cls, L"Edit") == 0) {
    const bool ctrl = GetKeyState(VK_CONTROL) < 0;
    const WPARAM k = msg.wParam;
    if (k == VK_DELETE || (ctrl && (k == 'Z' || k == 'X' || k == 'C' || k == 'V' || k == 'A'))) {
      return false;
    }
  }
  const WPARAM key = msg.wParam;
  if (msg.message == WM_KEYDOWN && (key == VK_F11 || (key == VK_ESCAPE && writing_view_)) &&
      GetKeyState(VK_CONTROL) >= 0 && GetKeyState(VK_MENU) >= 0) {
    set_writing_view(key == VK_F11 ? !writing_view_ : false);
    return true;
  }
  // Every shortcut is a Ctrl key, Del, F3 or F5: only those need current menu states.
  if (GetKeyState(VK_CONTROL) >= 0 && key != VK_DELETE && key != VK_F5 && key != VK_F3) {
    return false;
  }
  refresh_edit_menu(false);
  refresh_insert_menu();
  return TranslateAcceleratorW(hwnd_, accelerators_, &msg) != 0;
}

LRESULT MainWindow::on_notify(NMHDR* header) {
  if (header->hwndFrom == c_.tree) return tree_.on_notify(header);
  if (header->hwndFrom == c_.tabs && header->code == TCN_SELCHANGE) {
    select_page(TabCtrl_GetCurSel(c_.tabs));
    refresh_edit_menu(false);
  }
  return 0;
}

void MainWindow::select_page(int page) {
  if (TabCtrl_GetCurSel(c_.tabs) != page) TabCtrl_SetCurSel(c_.tabs, page);
  ShowWindow(c_.info_page, page == 0 ? SW_SHOW : SW_HIDE);
  ShowWindow(c_.content_page, page == 1 ? SW_SHOW : SW_HIDE);
}

}  // namespace folivra
