// The window on a monitor of another DPI: Windows sends WM_DPICHANGED with
// the new DPI and a suggested rectangle; every fixed place and font follows.
#include "app/window_driver.h"
#include "app/window_layout.h"
#include "book/test_books.h"

namespace folivra::test {
namespace {

using HighDpi = WindowTest;

LONG font_height(HWND control) {
  LOGFONTW font{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font, &font);
  return font.lfHeight;
}

void move_to_dpi(HWND hwnd, UINT dpi, RECT suggested) {
  SendMessageW(hwnd, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
  pump();
}

bool overlap(const RECT& a, const RECT& b) {
  RECT both;
  return IntersectRect(&both, &a, &b) != 0;
}

// The writing view's column is as wide in inches on a 144 DPI monitor.
TEST_F(HighDpi, TheWritingViewsColumnFollowsTheMonitor) {
  window().show_book(sample_book(3));
  select(1);
  post_key(c().content, VK_F11);
  ASSERT_TRUE(window().in_writing_view());
  RECT page{};
  SendMessageW(c().content, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&page));
  EXPECT_NEAR(page.right - page.left, 720, 24);
  move_to_dpi(hwnd_, 144, {0, 0, 1280, 1024});
  SendMessageW(c().content, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&page));
  EXPECT_NEAR(page.right - page.left, 1080, 24);
  post_key(c().content, VK_ESCAPE);
  EXPECT_FALSE(window().in_writing_view());
}

TEST_F(HighDpi, EveryPlaceAndFontFollowsTheMonitorAndComesBack) {
  window().show_book(sample_book(3));
  SetWindowPos(hwnd_, nullptr, 10, 10, 800, 600, SWP_NOZORDER);
  pump();
  const HWND fixed[] = {c().cover,     c().title,      c().author_label, c().author, c().type_label,
                        c().book_type, c().time_label, c().time,         c().intro};
  std::vector<RECT> at96;
  for (HWND control : fixed) at96.push_back(rect_in_parent(control));
  const LONG title96 = font_height(c().title), tree96 = font_height(c().tree);
  const int item96 = TreeView_GetItemHeight(c().tree);

  move_to_dpi(hwnd_, 144, {20, 20, 1220, 920});
  RECT frame;
  GetWindowRect(hwnd_, &frame);
  EXPECT_EQ(frame.right - frame.left, 1200) << "the suggested rectangle is taken";
  EXPECT_EQ(frame.bottom - frame.top, 900);
  const RECT cover = rect_in_parent(c().cover);
  EXPECT_EQ(cover.left, 12);
  EXPECT_EQ(cover.right - cover.left, 180);
  const RECT author_label = rect_in_parent(c().author_label);
  EXPECT_EQ(author_label.left, 204);
  EXPECT_EQ(author_label.top, at96[2].top * 3 / 2 + (at96[2].top % 2 ? 1 : 0));
  EXPECT_EQ(font_height(c().title), title96 * 3 / 2);
  EXPECT_EQ(font_height(c().author_label), -18);
  EXPECT_EQ(font_height(c().tree), tree96 * 3 / 2);
  EXPECT_GT(TreeView_GetItemHeight(c().tree), item96) << "rows grow with the font";
  int image = 0, image_height = 0;
  ImageList_GetIconSize(TreeView_GetImageList(c().tree, TVSIL_NORMAL), &image, &image_height);
  EXPECT_EQ(image, 24);
  for (size_t i = 0; i < std::size(fixed); ++i) {
    for (size_t j = i + 1; j < std::size(fixed); ++j) {
      EXPECT_FALSE(overlap(rect_in_parent(fixed[i]), rect_in_parent(fixed[j]))) << i << " " << j;
    }
  }
  RECT page;
  GetClientRect(c().info_page, &page);
  const RECT title = rect_in_parent(c().title);
  EXPECT_EQ(title.right - title.left, page.right - 216) << "144 pixels at 96 DPI";
  int rights[4] = {};
  SendMessageW(c().status, SB_GETPARTS, 4, reinterpret_cast<LPARAM>(rights));
  EXPECT_EQ(rights[0], 72);
  RECT status;
  GetWindowRect(c().status, &status);
  EXPECT_GE(status.bottom - status.top, 30);
  MINMAXINFO limits{};
  SendMessageW(hwnd_, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
  EXPECT_EQ(limits.ptMinTrackSize.x, 720);

  // The labels hold their text whole at the new size.
  HDC dc = GetDC(c().author_label);
  SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(c().author_label, WM_GETFONT, 0, 0)));
  SIZE text{};
  GetTextExtentPoint32W(dc, L"作者：", 3, &text);
  ReleaseDC(c().author_label, dc);
  EXPECT_LE(text.cx, author_label.right - author_label.left);

  move_to_dpi(hwnd_, 96, {10, 10, 810, 610});
  for (size_t i = 0; i < std::size(fixed); ++i) {
    const RECT now = rect_in_parent(fixed[i]);
    EXPECT_EQ(now.left, at96[i].left) << i;
    EXPECT_EQ(now.top, at96[i].top) << i;
    EXPECT_EQ(now.bottom - now.top, at96[i].bottom - at96[i].top) << i;
  }
  EXPECT_EQ(font_height(c().title), title96);
  EXPECT_EQ(TreeView_GetItemHeight(c().tree), item96);
}

}  // namespace
}  // namespace folivra::test
