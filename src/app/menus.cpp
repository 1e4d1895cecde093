#include "app/menus.h"

#include "ui/menu_ids.h"

namespace folivra {

PopupMenu::PopupMenu(std::vector<Item> items)
    : menu_(CreatePopupMenu()), items_(std::move(items)), shown_(items_.size(), false) {
  for (size_t i = 0; i < items_.size(); ++i) {
    if (items_[i].visible) show(i);
  }
}

void PopupMenu::show(size_t index) {
  const Item& item = items_[index];
  const UINT flags = MF_BYPOSITION | (item.caption.empty() ? MF_SEPARATOR : MF_STRING) |
                     (item.enabled ? MF_ENABLED : MF_GRAYED) | (item.checked ? MF_CHECKED : 0);
  InsertMenuW(menu_, position_of(index), flags, item.id,
              item.caption.empty() ? nullptr : item.caption.c_str());
  shown_[index] = true;
}

UINT PopupMenu::position_of(size_t index) const {
  UINT position = 0;
  for (size_t i = 0; i < index; ++i) position += shown_[i] ? 1 : 0;
  return position;
}

void PopupMenu::set_visible(UINT id, bool visible) {
  for (size_t i = 0; i < items_.size(); ++i) {
    if (items_[i].id != id || shown_[i] == visible) continue;
    if (visible) {
      show(i);
    } else {
      // Keep the state the item had so that showing it again restores it.
      items_[i].enabled = item_enabled(menu_, id);
      RemoveMenu(menu_, position_of(i), MF_BYPOSITION);
      shown_[i] = false;
    }
    return;
  }
}

bool PopupMenu::has(UINT id) const {
  for (const Item& item : items_) {
    if (item.id == id) return true;
  }
  return false;
}

bool PopupMenu::set_enabled(UINT id, bool enabled) {
  for (size_t i = 0; i < items_.size(); ++i) {
    if (items_[i].id != id) continue;
    items_[i].enabled = enabled;
    if (shown_[i]) enable_item(menu_, id, enabled);
    return true;
  }
  return false;
}

bool PopupMenu::is_enabled(UINT id) const {
  for (size_t i = 0; i < items_.size(); ++i) {
    if (items_[i].id == id) return shown_[i] ? item_enabled(menu_, id) : items_[i].enabled;
  }
  return false;
}

void PopupMenu::set_checked(UINT id, bool checked) {
  for (size_t i = 0; i < items_.size(); ++i) {
    if (items_[i].id != id) continue;
    items_[i].checked = checked;
    if (shown_[i]) check_item(menu_, id, checked);
  }
}

void PopupMenu::set_caption(UINT id, const std::wstring& caption) {
  for (size_t i = 0; i < items_.size(); ++i) {
    if (items_[i].id != id) continue;
    items_[i].caption = caption;
    if (shown_[i])
      ModifyMenuW(menu_, position_of(i), MF_BYPOSITION | MF_STRING, id, caption.c_str());
    if (shown_[i]) set_enabled(id, items_[i].enabled);
  }
}

PopupMenu* Menus::owner_of(UINT id) const {
  for (PopupMenu* popup : {file.get(), edit.get(), insert.get(), format.get(), view.get(),
                           settings.get(), help.get()}) {
    if (popup->has(id)) return popup;
  }
  return nullptr;
}

void Menus::enable(UINT id, bool on) const {
  if (PopupMenu* popup = owner_of(id)) popup->set_enabled(id, on);
}

bool Menus::enabled(UINT id) const {
  const PopupMenu* popup = owner_of(id);
  return popup && popup->is_enabled(id);
}

void enable_item(HMENU menu, UINT id, bool enabled) {
  EnableMenuItem(menu, id, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

bool item_enabled(HMENU menu, UINT id) {
  const UINT state = GetMenuState(menu, id, MF_BYCOMMAND);
  return state != static_cast<UINT>(-1) && !(state & (MF_GRAYED | MF_DISABLED));
}

void check_item(HMENU menu, UINT id, bool checked) {
  CheckMenuItem(menu, id, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

Menus build_menus() {
  Menus m;
  m.file = std::make_unique<PopupMenu>(std::vector<PopupMenu::Item>{
      {kCmdNew, L"新建(&N)\tCtrl+N"},
      {kCmdOpen, L"打开(&O)...\tCtrl+O"},
      {kCmdSave, L"保存(&S)\tCtrl+S", false},
      {kCmdSaveAs, L"另存为(&A)...", false},
      {kCmdConvertText, L"转换TXT格式(&H)...\tCtrl+H", false},
      {kCmdImportText, L"导入文本(&I)...\tCtrl+Shift+T"},
      {kCmdExportPlain, L"导出纯文本(&E)...", false},
      {kCmdExportEpub, L"导出 EPUB(&U)...", false},
      {kCmdCloseBook, L"关闭书籍(&W)\tCtrl+W", false},
      {0, L""},
      {kCmdAssociate, L"重新关联文件"},
      {kCmdExit, L"退出"},
      {kCmdRecentSeparator, L"", true, false},
      {kCmdClearRecent, L"清除最近文件", true, false},
      {kCmdRecent1, L"文件1", true, false},
      {kCmdRecent1 + 1, L"文件2", true, false},
      {kCmdRecent1 + 2, L"文件3", true, false},
      {kCmdRecent1 + 3, L"文件4", true, false},
      {kCmdRecent1 + 4, L"文件5", true, false},
  });
  m.edit = std::make_unique<PopupMenu>(std::vector<PopupMenu::Item>{
      {kCmdUndo, L"撤销(&U)\tCtrl+Z", false},
      {0, L""},
      {kCmdCut, L"剪切(&T)\tCtrl+X", false},
      {kCmdCopy, L"复制(&C)\tCtrl+C", false},
      {kCmdPaste, L"粘贴(&P)\tCtrl+V", false},
      {kCmdDelete, L"删除(&L)\tDel", false},
      {0, L""},
      {kCmdSelectAll, L"全选(&A)\tCtrl+A", false},
      {0, L""},
      {kCmdFind, L"查找(&F)...\tCtrl+F", false},
      {kCmdFindNext, L"查找下一个(&X)\tF3", false},
      {kCmdFindPrevious, L"查找上一个(&V)\tShift+F3", false},
      {kCmdReplace, L"替换(&R)...\tCtrl+Shift+H", false},
      {kCmdFindInBook, L"在全书中查找(&B)...\tCtrl+Shift+F", false},
      {kCmdWordCount, L"字数统计(&W)...", false},
      {kCmdHistory, L"历史版本(&Y)...", false},
      {kCmdDeletedChapters, L"删除的章节(&D)...", false},
      {kCmdWritingStats, L"码字统计(&S)..."},
      {0, L""},
      {kCmdReadOnly, L"置为只读状态", false},
      {kCmdAddChapter, L"添加章节(&N)\tCtrl+Shift+N", false},
      {kCmdNewVolume, L"新建分卷(&J)", false},
      {kCmdProcess, L"处理", true, false},  // hidden from start-up on
  });
  m.insert = std::make_unique<PopupMenu>(std::vector<PopupMenu::Item>{
      {kCmdInsertDate, L"时间/日期(&D)\tF5"},
      {kCmdInsertBook, L"书籍(&B)"},
  });
  m.format = std::make_unique<PopupMenu>(std::vector<PopupMenu::Item>{
      {kCmdBold, L"加粗(&B)\tCtrl+B", false},
      {kCmdItalic, L"倾斜(&I)\tCtrl+I", false},
      {kCmdUnderline, L"下划线(&U)\tCtrl+U", false},
      {0, L""},
      {kCmdSelectionFont, L"字体和字号(&F)...", false},
      {kCmdFirstLineIndent, L"首行缩进(&N)", false},
      {0, L""},
      {kCmdLayoutChapter, L"一键排版本章(&L)", false},
      {kCmdLayoutBook, L"一键排版全书(&K)...", false},
      {kCmdRenumber, L"重排章节编号(&R)", false},
  });
  m.view = std::make_unique<PopupMenu>(std::vector<PopupMenu::Item>{
      {kCmdWritingView, L"写作视图(&W)\tF11", false},
      {0, L""},
      {kCmdSpacing10, L"单倍行距(&1)"},
      {kCmdSpacing10 + 2, L"1.2 倍行距"},
      {kCmdSpacing10 + 5, L"1.5 倍行距(&5)"},
      {kCmdSpacing10 + 8, L"1.8 倍行距"},
      {kCmdSpacing10 + 10, L"双倍行距(&2)"},
      {0, L""},
      {kCmdPageWhite, L"白色背景(&B)"},
      {kCmdPageGreen, L"护眼绿背景(&G)"},
      {kCmdPageSepia, L"羊皮纸背景(&S)"},
      {kCmdPageDark, L"夜间背景(&N)"},
      {0, L""},
      {kCmdColumnNarrow, L"写作视图窄栏"},
      {kCmdColumnMedium, L"写作视图中栏"},
      {kCmdColumnWide, L"写作视图宽栏"},
  });
  m.settings = std::make_unique<PopupMenu>(std::vector<PopupMenu::Item>{
      {kCmdChooseFont, L"设置字体(&F)..."},
      {kCmdTreeCounts, L"目录显示字数(&W)"},
      {kCmdRenumberPerVolume, L"分卷各自编号(&V)"},
      {kCmdAutoRenumber, L"移动后自动重排编号(&A)"},
      {kCmdSetPassword, L"设置密码(&P)\tCtrl+P", false},
      {kCmdSetCover, L"设置封面(&C)...", false},
      {kCmdDeleteCover, L"删除封面(&D)", false},
      {kCmdCompile, L"编译..(&B)\tCtrl+F7", false},
  });
  m.help = std::make_unique<PopupMenu>(std::vector<PopupMenu::Item>{
      {kCmdAbout, L"关于 Folivra(&A)..."},
  });
  m.tree = std::make_unique<PopupMenu>(std::vector<PopupMenu::Item>{
      {kCmdTreeAddChapter, L"添加章节\tCtrl+Shift+N"},
      {kCmdTreeInsertChapter, L"插入章节\tIns"},
      {kCmdTreeNewVolume, L"新建分卷"},
      {kCmdTreeDeleteChapter, L"删除此章\tDel"},
      {0, L""},
      {kCmdTreeRenameChapter, L"修改章节名\tF2"},
      {kCmdTreeSetVolume, L"设为分卷"},
      {kCmdTreeMoveUp, L"上移\tAlt+↑"},
      {kCmdTreeMoveDown, L"下移\tAlt+↓"},
      {kCmdTreeSplitChapter, L"拆分章节\tCtrl+Shift+Enter"},
      {kCmdTreeMergeChapter, L"合并下一章"},
      {0, L""},
      {kCmdTreeUndo, L"撤销\tCtrl+Z"},
      {kCmdTreeRedo, L"重做\tCtrl+Y"},
      {0, L""},
      {kCmdTreeHistory, L"历史版本..."},
      {kCmdTreeRenumber, L"重排章节编号"},
  });
  m.bar = CreateMenu();
  AppendMenuW(m.bar, MF_POPUP, reinterpret_cast<UINT_PTR>(m.file->handle()), L"文件(&F)");
  AppendMenuW(m.bar, MF_POPUP, reinterpret_cast<UINT_PTR>(m.edit->handle()), L"编辑(&E)");
  AppendMenuW(m.bar, MF_POPUP, reinterpret_cast<UINT_PTR>(m.insert->handle()), L"插入(&I)");
  AppendMenuW(m.bar, MF_POPUP, reinterpret_cast<UINT_PTR>(m.format->handle()), L"格式(&O)");
  AppendMenuW(m.bar, MF_POPUP, reinterpret_cast<UINT_PTR>(m.view->handle()), L"视图(&V)");
  AppendMenuW(m.bar, MF_POPUP, reinterpret_cast<UINT_PTR>(m.settings->handle()), L"设置(&T)");
  AppendMenuW(m.bar, MF_POPUP, reinterpret_cast<UINT_PTR>(m.help->handle()), L"帮助(&H)");
  return m;
}

HACCEL build_accelerators() {
  ACCEL keys[] = {
      {FCONTROL | FVIRTKEY, 'N', kCmdNew},
      {FCONTROL | FVIRTKEY, 'O', kCmdOpen},
      {FCONTROL | FVIRTKEY, 'S', kCmdSave},
      {FCONTROL | FVIRTKEY, 'H', kCmdConvertText},
      {FCONTROL | FVIRTKEY, 'Z', kCmdUndo},
      {FCONTROL | FVIRTKEY, 'X', kCmdCut},
      {FCONTROL | FVIRTKEY, 'C', kCmdCopy},
      {FCONTROL | FVIRTKEY, 'V', kCmdPaste},
      {FVIRTKEY, VK_DELETE, kCmdDelete},
      {FCONTROL | FVIRTKEY, 'A', kCmdSelectAll},
      {FVIRTKEY, VK_F5, kCmdInsertDate},
      {FVIRTKEY, VK_F11, kCmdWritingView},
      {FCONTROL | FVIRTKEY, 'P', kCmdSetPassword},
      {FCONTROL | FVIRTKEY, VK_F7, kCmdCompile},
      {FCONTROL | FSHIFT | FVIRTKEY, 'N', kCmdAddChapter},
      {FCONTROL | FVIRTKEY, 'W', kCmdCloseBook},
      {FCONTROL | FVIRTKEY, 'F', kCmdFind},
      {FVIRTKEY, VK_F3, kCmdFindNext},
      {FSHIFT | FVIRTKEY, VK_F3, kCmdFindPrevious},
      {FCONTROL | FSHIFT | FVIRTKEY, 'H', kCmdReplace},
      {FCONTROL | FSHIFT | FVIRTKEY, 'F', kCmdFindInBook},
      {FCONTROL | FSHIFT | FVIRTKEY, 'T', kCmdImportText},
      {FCONTROL | FVIRTKEY, 'B', kCmdBold},
      {FCONTROL | FVIRTKEY, 'I', kCmdItalic},
      {FCONTROL | FVIRTKEY, 'U', kCmdUnderline},
  };
  return CreateAcceleratorTableW(keys, static_cast<int>(std::size(keys)));
}

}  // namespace folivra
