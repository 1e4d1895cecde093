#include "app/window_layout.h"

#include <gtest/gtest.h>

namespace folivra {
namespace {

TEST(WindowLayout, SplitterDecidesTreeAndTabs) {
  const MainLayout at200 = layout_main(600, 400, 200, 4);
  EXPECT_EQ(at200.tree, (Box{0, 0, 200, 380}));
  EXPECT_EQ(at200.tabs, (Box{204, 0, 396, 380}));
  EXPECT_EQ(at200.splitter, (Box{200, 0, 4, 380}));
}

TEST(WindowLayout, TemplateFiguresForTheTemplateTab) {
  const PageLayout pages = layout_pages(312, 349);
  EXPECT_EQ(pages.title_width, 168);
  EXPECT_EQ(pages.field_width, 128);
  EXPECT_EQ(pages.intro_width, 298);
  EXPECT_EQ(pages.intro_height, 181);
  EXPECT_EQ(pages.content, (Box{0, 0, 311, 347}));
}

TEST(WindowLayout, StatusPanes) {
  const StatusPanes wide = layout_status(1030);
  EXPECT_EQ(wide.right[0], 48) << "the labels get their full width";
  EXPECT_EQ(wide.right[1] - wide.right[0], 252);
  EXPECT_EQ(wide.right[2] - wide.right[1], 48);
  EXPECT_EQ(wide.right[3] - wide.right[2], 252);
  EXPECT_EQ(wide.right[4] - wide.right[3], 220) << "字数";
  EXPECT_EQ(wide.right[5], -1) << "today's words take the 210 pixels left at the end";
  EXPECT_EQ(layout_status(905).right[1] - 48, 189) << "475 / 2 truncates to 237";
  const StatusPanes scaled = layout_status(1545, 72, 330, 315);  // 144 DPI
  EXPECT_EQ(scaled.right[0], 72);
  EXPECT_EQ(scaled.right[3], 1545 - 330 - 315);
}

}  // namespace
}  // namespace folivra
