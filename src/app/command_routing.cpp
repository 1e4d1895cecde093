// Menu commands and accelerators, routed to the document, the panes and the
// window's own commands.
#include <new>

#include "app/main_window.h"
#include "book/gbk.h"
#include "book/gbk_wide.h"
#include "ui/clipboard_picture.h"
#include "ui/menu_ids.h"

namespace folivra {

// A command that runs out of memory, or fails in any other unforeseen way,
// stops there with a message: the open book stays as it was.
void MainWindow::run_command(UINT id) {
  try {
    on_command(id);
  } catch (const std::bad_alloc&) {
    Message failure;
    failure.text = L"内存不足，这个操作没有完成。";
    failure.owned = true;
    prompts_->show_message(failure);
  } catch (const std::exception&) {
    Message failure;
    failure.text = L"出现错误，这个操作没有完成。";
    failure.owned = true;
    prompts_->show_message(failure);
  }
}

void MainWindow::on_command(UINT id) {
  switch (id) {
    case kCmdPaste:
      // A picture pasted on the cover box becomes the cover.
      if (GetFocus() == c_.cover) {
        if (std::string picture = clipboard_picture(hwnd_); !picture.empty()) {
          set_cover(std::move(picture));
        }
        break;
      }
      editor_.edit_command(id);
      break;
    case kCmdUndo:
    case kCmdCut:
    case kCmdCopy:
    case kCmdDelete:
    case kCmdSelectAll:
    case kCmdInsertDate:
      editor_.edit_command(id);
      break;
    case kCmdReadOnly:
      toggle_read_only();
      break;
    case kCmdAddChapter:
    case kCmdTreeAddChapter:
      add_chapter();
      break;
    case kCmdTreeDeleteChapter:
      delete_chapter();
      break;
    case kCmdTreeRenameChapter:
      rename_chapter();
      break;
    case kCmdAbout: {
      Message about;
      about.caption = L"关于 Folivra";
      about.text =
          L"Folivra " FOLIVRA_VERSION L"\r\n长篇连载电子书编辑器\r\n构建日期：" FOLIVRA_BUILD_DATE;
      about.icon = Icon::information;
      about.owned = true;
      prompts_->show_message(about);
      break;
    }
    case kCmdFind:
    case kCmdReplace:
      if (has_book_) open_find(false);
      if (has_book_ && id == kCmdReplace) SetFocus(find_.controls().replacement);
      break;
    case kCmdFindInBook:
      if (has_book_) open_find(true);
      break;
    case kCmdFindNext:
    case kCmdFindPrevious:
      if (has_book_) find_again(id == kCmdFindPrevious);
      break;
    case kCmdWordCount:
      show_word_counts();
      break;
    case kCmdHistory:
    case kCmdTreeHistory:
      show_history();
      break;
    case kCmdDeletedChapters:
      show_deleted_chapters();
      break;
    case kCmdWritingStats:
      show_writing_stats();
      break;
    case kCmdLayoutChapter:
    case kCmdLayoutBook:
      lay_out_chapters(id == kCmdLayoutBook);
      break;
    case kCmdTreeCounts:
      settings_.write_bool("Editor", "tree_counts", !tree_.shows_counts());
      apply_tree_counts();
      break;
    case kCmdRenumber:
    case kCmdTreeRenumber:
      renumber_chapters();
      break;
    case kCmdBold:
    case kCmdItalic:
    case kCmdUnderline:
    case kCmdSelectionFont:
    case kCmdFirstLineIndent:
      format_command(id);
      break;
    case kCmdExportPlain:
      commands_.export_plain_text();
      break;
    case kCmdExportEpub:
      commands_.export_epub();
      break;
    case kCmdImportText:
      commands_.import_text();
      break;
    case kCmdSetCover:
      commands_.set_cover_command();
      break;
    case kCmdDeleteCover:
      set_cover({});
      break;
    case kCmdCloseBook:
      commands_.close_book_command();
      break;
    case kCmdTreeInsertChapter:
      insert_chapter();
      break;
    case kCmdTreeMoveUp:
    case kCmdTreeMoveDown: {
      const int p = selected_index();
      if (p >= 1 && tree_.is_volume(p)) {
        if (!read_only_) store_pending_content(), move_volume_by_key(p, id == kCmdTreeMoveUp);
      } else if (p >= 1) {
        move_chapter(p, id == kCmdTreeMoveUp ? p - 1 : p + 1);
      }
      break;
    }
    case kCmdWritingView:
      set_writing_view(!writing_view_);
      break;
    case kCmdSpacing10:
    case kCmdSpacing10 + 2:
    case kCmdSpacing10 + 5:
    case kCmdSpacing10 + 8:
    case kCmdSpacing10 + 10:
    case kCmdPageWhite:
    case kCmdPageGreen:
    case kCmdPageSepia:
    case kCmdPageDark:
    case kCmdColumnNarrow:
    case kCmdColumnMedium:
    case kCmdColumnWide:
      page_look_command(id);
      break;
    case kCmdNewVolume:
    case kCmdTreeNewVolume:
      new_volume();
      break;
    case kCmdTreeSetVolume:
      toggle_volume();
      break;
    case kCmdRenumberPerVolume:
    case kCmdAutoRenumber: {
      const char* key = id == kCmdAutoRenumber ? "auto_renumber" : "renumber_per_volume";
      settings_.write_bool("Editor", key, !settings_.read_bool("Editor", key, false));
      menus_.settings->set_checked(id, settings_.read_bool("Editor", key, false));
      break;
    }
    case kCmdTreeSplitChapter:
      split_chapter();
      break;
    case kCmdTreeMergeChapter:
      merge_chapter();
      break;
    case kCmdTreeUndo:
    case kCmdTreeRedo:
      undo_chapters(id == kCmdTreeRedo);
      break;
    case kCmdNew:
      commands_.new_book_command();
      break;
    case kCmdOpen:
      commands_.open_book_command();
      break;
    case kCmdSave:
      commands_.save_book();
      break;
    case kCmdSaveAs:
      commands_.save_book_as();
      break;
    case kCmdInsertBook:
      commands_.insert_book();
      break;
    case kCmdSetPassword:
      commands_.set_password_command();
      break;
    case kCmdConvertText:
      commands_.convert_to_text();
      break;
    case kCmdAssociate:
      associate_command();
      break;
    case kCmdCompile:
      compile_reader();
      break;
    case kCmdExit:
      exit_program();
      break;
    case kCmdChooseFont:
      choose_editor_font();
      break;
    case kCmdClearRecent:
      clear_recent_files();
      break;
    case kCmdRecent1:
    case kCmdRecent1 + 1:
    case kCmdRecent1 + 2:
    case kCmdRecent1 + 3:
    case kCmdRecent1 + 4:
      commands_.open_recent_file(static_cast<int>(id - kCmdRecent1) + 1);
      break;
  }
}

}  // namespace folivra
