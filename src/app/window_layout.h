#pragma once

namespace folivra {

struct Box {
  int left, top, width, height;
  bool operator==(const Box&) const = default;
};

// Pixels at 96 DPI; the window scales them by its DPI.
inline constexpr int kMinWindowWidth = 480;
inline constexpr int kMinWindowHeight = 442;
inline constexpr int kStatusBarHeight = 20;
// Wide enough for "书籍：" and "章节：" in the status bar's font.
inline constexpr int kFixedPaneWidth = 48;
inline constexpr int kSplitterWidth = 4;

// Where the main window's controls go for a client area of `client_width` x
// `client_height`, with the splitter's left edge at `splitter_left`. The tab
// control's own client size decides the pages' controls, so it is given
// separately once the tab control has been placed.
struct MainLayout {
  Box tree, tabs, splitter;
};
MainLayout layout_main(int client_width, int client_height, int splitter_left, int splitter_width,
                       int status_height = kStatusBarHeight);

struct PageLayout {
  int title_width, field_width;  // 编辑框_标题; 编辑框_作者, _类型, _时间
  int intro_width, intro_height;
  Box content;
};
PageLayout layout_pages(int tab_client_width, int tab_client_height, unsigned dpi = 96);

// Right edges of the status bar's panes for a status bar this wide: the
// label panes ("书籍：", "章节：") `label_width` wide, the 字数 pane at the
// right end `count_width` wide, the book and the chapter sharing the rest.
inline constexpr int kCountPaneWidth = 220;
// Today's words: "今日 +N / 目标 M" and a small progress bar.
inline constexpr int kTodayPaneWidth = 210;
inline constexpr int kTodayBarWidth = 50;
struct StatusPanes {
  int right[6];
};
StatusPanes layout_status(int status_width, int label_width = kFixedPaneWidth,
                          int count_width = kCountPaneWidth, int today_width = kTodayPaneWidth);

}  // namespace folivra
