#include "app/window_layout.h"

#include <algorithm>

namespace folivra {

MainLayout layout_main(int client_width, int client_height, int splitter_left, int splitter_width,
                       int status_height) {
  const int height = client_height - status_height;
  MainLayout out;
  out.tree = {0, 0, splitter_left, height};
  const int tabs_left = splitter_left + splitter_width;
  out.tabs = {tabs_left, 0, client_width - tabs_left, height};
  out.splitter = {splitter_left, 0, splitter_width, height};
  return out;
}

PageLayout layout_pages(int tab_client_width, int tab_client_height, unsigned dpi) {
  const auto s = [dpi](int pixels) { return static_cast<int>(pixels * dpi / 96); };
  return {tab_client_width - s(144), tab_client_width - s(184), tab_client_width - s(14),
          tab_client_height - s(168), Box{0, 0, tab_client_width - 1, tab_client_height - 2}};
}

StatusPanes layout_status(int status_width, int label_width, int count_width, int today_width) {
  // In a narrow window the book's and chapter's names give way first.
  const int value_width = std::max((status_width - count_width - today_width) / 2 - label_width, 0);
  StatusPanes panes;
  panes.right[0] = label_width;
  panes.right[1] = panes.right[0] + value_width;
  panes.right[2] = panes.right[1] + label_width;
  panes.right[3] = panes.right[2] + value_width;
  panes.right[4] = panes.right[3] + count_width;
  panes.right[5] = -1;  // to the end
  return panes;
}

}  // namespace folivra
