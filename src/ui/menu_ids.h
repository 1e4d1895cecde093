#pragma once

namespace folivra {

// Command identifiers of the menu bar, the tree's context menu and the accelerators.
enum MenuId : unsigned {
  kCmdNew = 100,
  kCmdOpen,
  kCmdSave,
  kCmdSaveAs,
  kCmdConvertText,
  kCmdAssociate,
  kCmdExit,
  kCmdClearRecent,
  kCmdRecent1,  // .. kCmdRecent1 + 4
  kCmdRecentSeparator = kCmdRecent1 + 5,
  kCmdUndo = 120,
  kCmdCut,
  kCmdCopy,
  kCmdPaste,
  kCmdDelete,
  kCmdSelectAll,
  kCmdReadOnly,
  kCmdAddChapter,
  kCmdProcess,
  kCmdInsertDate = 140,
  kCmdInsertBook,
  kCmdChooseFont = 150,
  kCmdSetPassword,
  kCmdCompile,
  kCmdTreeAddChapter = 160,
  kCmdTreeDeleteChapter,
  kCmdTreeRenameChapter,
  kCmdTreeInsertChapter,
  kCmdTreeMoveUp,
  kCmdTreeMoveDown,
  kCmdTreeSplitChapter,
  kCmdTreeMergeChapter,
  kCmdTreeUndo,
  kCmdTreeRedo,
  kCmdCloseBook = 180,
  kCmdAbout,
  kCmdExportPlain,
  kCmdFind = 190,
  kCmdFindNext,
  kCmdFindPrevious,
  kCmdReplace,
  kCmdFindInBook,
  kCmdWordCount,
};

}  // namespace folivra
