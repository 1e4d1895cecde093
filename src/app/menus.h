#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace folivra {

// A pop-up menu whose items can be hidden and shown again: a hidden item is
// taken out of the menu and put back at its place among the visible ones.
class PopupMenu {
 public:
  struct Item {
    UINT id;               // 0 for a separator that is never hidden
    std::wstring caption;  // empty for a separator
    bool enabled = true;
    bool visible = true;
    bool checked = false;
  };

  explicit PopupMenu(std::vector<Item> items);
  HMENU handle() const { return menu_; }
  void set_visible(UINT id, bool visible);
  // Hidden items keep their state and show it when they come back.
  bool set_enabled(UINT id, bool enabled);  // false when the item is not in this menu
  bool is_enabled(UINT id) const;
  bool has(UINT id) const;
  void set_checked(UINT id, bool checked);
  void set_caption(UINT id, const std::wstring& caption);

 private:
  UINT position_of(size_t index) const;  // among the visible items
  void show(size_t index);

  HMENU menu_;
  std::vector<Item> items_;
  std::vector<bool> shown_;
};

struct Menus {
  HMENU bar = nullptr;
  std::unique_ptr<PopupMenu> file, edit, insert, format, view, settings, help;
  std::unique_ptr<PopupMenu> tree;  // "树型框右键": the chapter tree's context menu

  // For the items of the menu bar, by command.
  void enable(UINT id, bool enabled) const;
  bool enabled(UINT id) const;
  PopupMenu* owner_of(UINT id) const;
};

// Builds the menu bar and the tree's context menu as the editor starts with them.
// The pop-ups live as long as the program.
Menus build_menus();
HACCEL build_accelerators();

void enable_item(HMENU menu, UINT id, bool enabled);
bool item_enabled(HMENU menu, UINT id);
void check_item(HMENU menu, UINT id, bool checked);

}  // namespace folivra
