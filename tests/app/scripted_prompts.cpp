#include "app/scripted_prompts.h"

namespace folivra::test {

namespace {

template <typename T>
T take(std::deque<T>& queue, T when_empty) {
  if (queue.empty()) return when_empty;
  T value = std::move(queue.front());
  queue.pop_front();
  return value;
}

}  // namespace

std::string ScriptedPrompts::save_file(const SaveFileRequest& request) {
  saves.push_back(request);
  return take(paths, std::string());
}

TextImportChoice ScriptedPrompts::choose_text_import(const TextImportRequest& request) {
  import_files.push_back(request.file_name);
  import_previews.push_back(request.preview(request.encoding, request.rule));
  TextImportChoice choice = import_choice;
  if (choice.rule.empty()) choice.rule = request.rule;
  return choice;
}

std::string ScriptedPrompts::open_file(const OpenFileRequest& request) {
  opens.push_back(request);
  return take(paths, std::string());
}

bool ScriptedPrompts::choose_font(FontChoice& choice) {
  fonts_offered.push_back(choice);
  if (font_confirms) choice = font_answer;
  return font_confirms;
}

Answer ScriptedPrompts::show_message(const Message& message) {
  messages.push_back(message);
  return take(answers, message.buttons == Buttons::ok ? Answer::ok : Answer::cancel);
}

std::string ScriptedPrompts::ask_open_password(const std::string& file_name,
                                               const std::string& check_value,
                                               const std::string& hint) {
  open_asks.push_back({file_name, check_value, hint});
  return take(passwords, std::string());
}

NewPassword ScriptedPrompts::ask_new_password(const std::string& file_name,
                                              const std::string& password,
                                              const std::string& hint) {
  new_asks.push_back({file_name, password, hint});
  return take(new_passwords, NewPassword{false, password, hint});
}

}  // namespace folivra::test
