#pragma once

#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <filesystem>
#include <optional>
#include <thread>
#include <memory>
#include <string>
#include <vector>

#include "app/document_commands.h"
#include "app/book_finder.h"
#include "app/document_view.h"
#include "app/menus.h"
#include "app/prompts.h"
#include "app/recovery_keeper.h"
#include "app/settings.h"
#include "app/window_placement.h"
#include "app/windows_prompts.h"
#include "book/book.h"
#include "document/document.h"
#include "editor/chapter_tree.h"
#include "editor/content_editor.h"
#include "editor/info_page.h"
#include "ui/font_choice.h"
#include "app/scaled_resources.h"
#include "editor/search_window.h"
#include "app/word_counts.h"
#include "app/today_words.h"
#include "app/writing_log.h"
#include "editor/versions_window.h"
#include "editor/writing_stats_window.h"
#include "text/book_search.h"
#include "ui/rtf_stream.h"

namespace folivra {

// The editor's one top-level window: the chapter tree, the splitter, the tab
// control with the information page and the content editor, the status bar
// and the menus, together with the current book and the document flags.
// The reader program compiled books begin with (empty if missing).
std::string_view carried_reader();

class MainWindow;

// Shows the created window, opens the books of the command line and runs the
// message loop until the window is gone.
int run_editor(MainWindow& window, int show, const std::vector<std::string>& args);

class MainWindow : public DocumentView,
                   private VersionsListener,
                   private ChapterTreeListener,
                   private FindListener,
                   private ContentEditorListener,
                   private InfoPageListener {
 public:
  static constexpr const wchar_t* kClassName = L"FolivraMainWindow";

  struct Controls {
    HWND tree = nullptr;      // 树型框_章节
    HWND splitter = nullptr;  // 分隔条1
    HWND tabs = nullptr;      // 选择夹
    HWND info_page = nullptr, content_page = nullptr;
    HWND cover = nullptr;  // 图片框_封面
    HWND title = nullptr, author = nullptr, book_type = nullptr, time = nullptr, intro = nullptr;
    HWND author_label = nullptr, type_label = nullptr, time_label = nullptr;
    HWND content = nullptr;  // 超级编辑框_内容
    HWND status = nullptr;   // 状态条1
  };

  // Without prompts the real dialogs are used; without a settings path,
  // config.ini beside the executable; without a recovery folder, the one the
  // settings name or else the user's.
  explicit MainWindow(Prompts* prompts = nullptr, std::wstring settings_path = {},
                      std::filesystem::path recovery_folder = {});
  ~MainWindow();
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // Registers the class (once) and creates the window; null on failure.
  HWND create(HINSTANCE instance);
  HWND hwnd() const { return hwnd_; }
  const Controls& controls() const { return c_; }
  const Menus& menus() const { return menus_; }
  // Runs the menu shortcuts for a message of the loop; true when it was one.
  bool translate_accelerator(MSG& msg);
  // What the message loop does with a message before dispatching it: the
  // shortcuts, the find and count windows' keys, Tab between the controls.
  // True when it was taken.
  bool pre_translate(MSG& msg);

  // The current book, with the content editor's text stored into it.
  const Book& book() { return current_book(); }
  Book& current_book() override;
  void show_book(Book book) override;
  bool show_book_reading(Book& book, PendingContents& pending, const ReadReport& report) override;
  const Book& shown_book() override { return doc_.listing(); }
  bool is_modified() const override { return doc_.modified(); }
  void set_modified(bool modified) override;
  bool read_only() const { return read_only_; }
  DocumentCommands& commands() { return commands_; }
  std::string last_folder() const override;
  void remember_folder(const std::string& folder) override;
  // A save: on a worker thread while the window paints, with a progress bar
  // in the status bar once it has taken `save_progress_delay` ms.
  bool write_book_to(const std::filesystem::path& path, Book& book) override;
  void set_save_progress_delay(unsigned ms) { save_progress_delay_ = ms; }

  // The recovery copy: written on a timer while there are unsaved changes,
  // gone once they are saved or given up; at start the copies of editors
  // that did not end are offered back. True when one was restored.
  void write_recovery_copy();
  bool offer_recovery();
  Recovery* recovery() { return recovery_.recovery(); }

  // Start-up: the first argument is opened here, each further one in a new
  // instance of the program. Closing and "退出" ask about unsaved changes.
  void open_command_line(const std::vector<std::string>& args);
  // book_holders.cpp: a book another window holds comes forward there.
  bool bring_forward_holder(const std::string& path) override;
  void exit_program();
  std::string program_path() const;  // the running executable (GBK)
  void associate_command();
  void compile_reader();

  // Chapter tree and the chapter operations, each undoable.
  const Document& document() const { return doc_; }
  void add_chapter();
  void insert_chapter();  // after the selected one
  void delete_chapter();
  void rename_chapter();
  void move_chapter(int from, int to);
  void split_chapter();  // at the caret of the content editor
  void merge_chapter();  // the selected one with the next
  void undo_chapters(bool redo);
  void refresh_tree_menu();  // states and undo names of the tree's context menu
  void show_chapter(int position);
  int selected_index() const { return tree_.selected(); }  // -1 when nothing is selected
  const ChapterTree& chapter_tree() const { return tree_; }
  void add_chapter_items(int first) override;

  // Settings, the editor font and the recent files.
  const Settings& settings() const { return settings_; }
  const FontChoice& editor_font() const { return font_; }
  void apply_editor_font(bool reload);
  void choose_editor_font();
  const std::vector<std::string>& recent_files() const override { return recent_; }
  void reload_recent_files();
  void add_recent_file(const std::string& path) override;
  void clear_recent_files();
  bool starts_maximized() const { return placement_.starts_maximized(); }

  // 查找和替换 (find_commands.cpp) and 字数 (word_counts.cpp).
  void open_find(bool whole_book);  // Ctrl+F; Ctrl+Shift+F searches the book at once
  void find_again(bool backward);   // F3, Shift+F3
  const SearchWindow& search_window() const { return find_; }
  bool modeless_message(MSG& msg);  // the keys of the find and count windows
  void show_word_counts();          // 字数统计
  const WordCountWindow& word_count_window() const { return counts_.window(); }
  WritingLog& writing_log() { return log_; }
  // history_commands.cpp: 历史版本, 删除的章节 and 码字统计
  void show_history();
  void show_deleted_chapters();
  void show_writing_stats();
  const VersionsWindow& versions_window() const { return versions_; }
  VersionsWindow& versions_window() { return versions_; }
  const WritingStatsWindow& writing_stats_window() const { return stats_; }
  // layout_commands.cpp: 一键排版 of the chapter shown or the whole book
  void lay_out_chapters(bool whole_book);
  void renumber_chapters();  // 重排章节编号
  // writing_view.cpp: the writing view (F11) and the page's look
  void set_writing_view(bool on);
  bool in_writing_view() const { return writing_view_; }
  void apply_page_look();
  void page_look_command(UINT id);
  PageLook page_look_setting() const;
  // volume_commands.cpp: 分卷
  void new_volume();
  void toggle_volume();  // 设为分卷
  bool can_toggle_volume(int position) const;
  void delete_volume(int position);
  void move_volume_by_key(int position, bool up);
  void apply_tree_counts();  // 目录显示字数, as the settings say
  const TodayWords& today_words() const { return today_; }
  bool counting_words() const { return counts_.counting(); }
  bool reading_contents() const { return doc_.loading(); }
  bool content_loading() const { return editor_.loading(); }

  // Content editor and the Edit and Insert menus.
  void refresh_edit_menu(bool context);
  void refresh_insert_menu();
  void refresh_format_menu();
  void format_command(UINT id);
  void toggle_read_only();
  void select_page(int page);

 private:
  static LRESULT CALLBACK window_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  static LRESULT CALLBACK page_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT handle(UINT message, WPARAM wparam, LPARAM lparam);

  LRESULT holder_asked(const COPYDATASTRUCT* data);
  static constexpr UINT kCheckDisk = WM_APP + 20;     // active again: has the file changed?
  static constexpr UINT kStoreProblem = WM_APP + 23;  // tells why the writing store is not kept
  static constexpr UINT kCheckVolumes = WM_APP + 24;  // a chapter left may have become a volume
  static constexpr UINT kCounted = WM_APP + 25;       // the book's 字数 are counted
  static constexpr UINT kContentsRead = WM_APP + 26;  // an opened book's contents are all read

  // main_window.cpp
  void create_controls();
  void layout();
  void lay_out_writing_view(int width, int height);
  void lay_out_status();
  bool enforce_minimum_size();
  void run_command(UINT id);
  static constexpr UINT_PTR kSavedTimer = 2;  // ends the "已保存" note in the status bar
  void recovery_tick();
  void on_command(UINT id);
  LRESULT on_notify(NMHDR* header);
  void move_splitter(int left);

  // find_commands.cpp
  void find_step(const FindRequest& request, bool backward) override;
  void replace_one(const FindRequest& request) override;
  void replace_in_chapter(const FindRequest& request) override;
  void search_book(const FindRequest& request) override;
  void replace_in_book(const FindRequest& request) override;
  void stop_search() override;
  void forget_search();  // another book: no hits, no count
  void hit_chosen(int index) override;
  std::optional<TextPattern> pattern_for(const FindRequest& request);
  bool chapter_in_editor();
  bool chapter_takes_replacements();
  TextMatches matches_in(const TextPattern& pattern, const std::u16string& text);
  std::optional<std::vector<TextReplacement>> replacements_in(const TextPattern& pattern,
                                                              const std::wstring& text,
                                                              const std::wstring& with);
  void found_hits(WPARAM generation, LPARAM batch);
  void search_done(WPARAM generation, bool whole);

  // book_view.cpp: 字数
  static constexpr UINT_PTR kCountTimer = 3;  // the chapter is counted once typing pauses
  void refresh_counts();
  // writing_days.cpp: the writing store's records and today's words
  void start_writing_log();
  void record_book(const std::string& previous_path);
  void follow_today();
  void remember_place();  // the chapter, caret and scroll of the book shown
  void go_to_remembered_place();
  // history_commands.cpp
  std::optional<std::string> store_key_for_history();
  std::string version_content(int row) override;
  std::u16string current_text() override;
  void restore_row(int row) override;
  void count_typed_chapter();
  void counts_arrived();
  void contents_arrived(uint64_t load);
  void show_book_with(Book book, std::unique_ptr<ContentLoad> load);

  // window_scale.cpp
  void apply_scaled_resources();
  void dpi_changed(UINT dpi, const RECT& suggested);

  // chapter_commands.cpp: the operations, and what the tree tells
  void show_changes(const ChapterChanges& changes, int select);
  void show_renumbered(ChapterChanges changes, int select);  // volume_commands.cpp
  std::vector<ChapterEdit> renumbering_edits() const;
  void chapter_chosen(int position) override;
  bool chapter_renamed(int position, const std::string& name) override;
  void chapter_dropped(int from, int to) override;
  void tree_command(unsigned id) override;
  void tree_menu_wanted(POINT at) override;
  void chapter_entered(int position) override;

  // edit_commands.cpp: what the content editor tells, and the Edit menu
  void store_pending_content() {
    if (editor_.pending()) editor_.store_pending(doc_.book());
  }
  void content_changed(bool typed) override;
  void content_command(unsigned id) override;
  bool step_chapter(int delta) override;
  void content_menu_wanted() override;
  void content_control_renewed(HWND edit) override;

  // recent_files.cpp

  // book_view.cpp: what the information page tells
  void information_typed() override { set_modified(true); }
  void title_shown(const std::wstring& title) override;
  void cover_clicked() override;
  void refresh_caption();
  void book_saved() override;
  void close_book() override;
  void set_cover(std::string bytes) override;
  RtfFont editor_font_for_text() const override { return {font_.name, font_.size}; }
  void append_chapters(std::vector<Chapter> chapters) override;

  // book_view.cpp
  void set_status(int pane, const std::wstring& text);

  std::unique_ptr<WindowsPrompts> own_prompts_;
  RecoveryKeeper recovery_;
  Prompts* prompts_;
  DocumentCommands commands_;
  Settings settings_;
  FontChoice font_;
  std::vector<std::string> recent_;
  WindowPlacement placement_{settings_};
  bool saving_ = false;  // a worker is writing book_: nothing may change it
  unsigned save_progress_delay_ = 500;

  HWND hwnd_ = nullptr;
  Controls c_;
  Menus menus_;
  HACCEL accelerators_ = nullptr;
  UINT dpi_ = 96;
  std::unique_ptr<ScaledResources> scaled_;

  bool has_book_ = false;  // a book is shown (not the empty window of the start)
  Document doc_;
  // The book's own items and file; its chapters through doc_, which waits for
  // a load of their contents.
  Book& book_ = doc_.book();
  uint64_t load_serial_ = 0;  // the load of the book shown, among the posted messages
  ChapterTree tree_{*this};
  ContentEditor editor_{*this};
  InfoPage info_{book_, *this};
  bool read_only_ = false;
  bool writing_view_ = false;
  WINDOWPLACEMENT view_return_{};  // where the window was before the writing view
  LONG_PTR view_style_ = 0;
  WordCounts counts_{doc_};
  SearchWindow find_{*this};
  BookFinder finder_;  // its hits are the find window's list, in its order
  WritingLog log_;
  TodayWords today_{settings_};
  std::string recorded_path_;  // the file the book was last recorded from (GBK)
  std::wstring store_problem_;
  VersionsWindow versions_{*this};
  std::vector<int64_t> version_ids_;     // the versions window's rows
  std::vector<DeletedChapter> deleted_;  // its rows in 删除的章节
  int history_position_ = 0;             // the chapter 历史版本 is of
  WritingStatsWindow stats_;
};

}  // namespace folivra
