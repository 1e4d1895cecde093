#pragma once

#include <deque>
#include <string>
#include <vector>

#include "app/prompts.h"

namespace folivra::test {

// Answers the modal questions in place of a person and keeps what was asked.
// An answer queue that has run dry answers as a person cancelling would.
class ScriptedPrompts : public Prompts {
 public:
  std::deque<std::string> paths;  // for save_file and open_file, in turn
  std::vector<SaveFileRequest> saves;
  std::vector<OpenFileRequest> opens;

  bool font_confirms = false;
  FontChoice font_answer;
  std::vector<FontChoice> fonts_offered;

  std::deque<Answer> answers;  // for show_message
  std::vector<Message> messages;

  std::deque<std::string> passwords;  // for ask_open_password; "" gives up
  struct OpenAsk {
    std::string file_name, check_value, hint;
  };
  std::vector<OpenAsk> open_asks;

  std::deque<NewPassword> new_passwords;  // for ask_new_password
  std::vector<OpenAsk> new_asks;          // file name, password (in check_value), hint

  // choose_text_import: the choice given back; the preview of the request's
  // own encoding and rule is kept.
  TextImportChoice import_choice;
  std::vector<ImportPreview> import_previews;
  std::vector<std::wstring> import_files;

  std::string save_file(const SaveFileRequest& request) override;
  std::string open_file(const OpenFileRequest& request) override;
  bool choose_font(FontChoice& choice) override;
  Answer show_message(const Message& message) override;
  std::string ask_open_password(const std::string& file_name, const std::string& check_value,
                                const std::string& hint) override;
  NewPassword ask_new_password(const std::string& file_name, const std::string& password,
                               const std::string& hint) override;
  TextImportChoice choose_text_import(const TextImportRequest& request) override;
};

}  // namespace folivra::test
