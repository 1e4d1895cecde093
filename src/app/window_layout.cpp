#include "app/window_layout.h"

namespace folivra {

MainLayout layout_main(int client_width, int client_height, int splitter_left, int splitter_width) {
  const int height = client_height - kStatusBarHeight;
  MainLayout out;
  out.tree = {0, 0, splitter_left, height};
  const int tabs_left = splitter_left + splitter_width;
  out.tabs = {tabs_left, 0, client_width - tabs_left, height};
  out.splitter = {splitter_left, 0, splitter_width, height};
  return out;
}

PageLayout layout_pages(int tab_client_width, int tab_client_height) {
  return {tab_client_width - 144, tab_client_width - 184, tab_client_width - 14,
          tab_client_height - 168, Box{0, 0, tab_client_width - 1, tab_client_height - 2}};
}

StatusPanes layout_status(int status_width) {
  const int value_width = status_width / 2 - kFixedPaneWidth;
  StatusPanes panes;
  panes.right[0] = kFixedPaneWidth;
  panes.right[1] = panes.right[0] + value_width;
  panes.right[2] = panes.right[1] + kFixedPaneWidth;
  panes.right[3] = panes.right[2] + value_width;
  return panes;
}

}  // namespace folivra
