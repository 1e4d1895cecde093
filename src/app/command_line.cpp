#include "app/command_line.h"

namespace folivra {

namespace {

bool is_lead(char c) { return static_cast<unsigned char>(c) >= 0x80; }

// Takes one character (two bytes for a lead byte with a partner) into `out`.
size_t take_char(std::string_view line, size_t i, std::string& out) {
  const size_t n = is_lead(line[i]) && i + 1 < line.size() ? 2 : 1;
  out.append(line.substr(i, n));
  return i + n;
}

size_t skip_program_name(std::string_view line) {
  size_t i = 0;
  if (!line.empty() && line[0] == '"') {
    for (i = 1; i < line.size() && line[i] != '"';)
      i += is_lead(line[i]) && i + 1 < line.size() ? 2 : 1;
    if (i < line.size()) ++i;  // the closing quote
    if (i < line.size() && line[i] == ' ') ++i;
    return i;
  }
  while (i < line.size() && line[i] != ' ') i += is_lead(line[i]) && i + 1 < line.size() ? 2 : 1;
  return i < line.size() ? i + 1 : i;
}

}  // namespace

std::vector<std::string> split_command_line(std::string_view line) {
  std::vector<std::string> args;
  size_t i = skip_program_name(line);
  while (i < line.size()) {
    const unsigned char c = static_cast<unsigned char>(line[i]);
    if (c == '"') {
      std::string arg;
      for (++i; i < line.size() && line[i] != '"';) i = take_char(line, i, arg);
      if (i < line.size()) ++i;
      args.push_back(std::move(arg));
    } else if (c < '!') {
      ++i;
    } else {
      std::string arg;
      while (i < line.size() && line[i] != '"' && static_cast<unsigned char>(line[i]) >= '!') {
        i = take_char(line, i, arg);
      }
      args.push_back(std::move(arg));
    }
  }
  return args;
}

std::string instance_command_line(const std::string& program_directory,
                                  const std::string& program_name, const std::string& argument) {
  return "\"" + program_directory + "\\" + program_name + "\" \"" + argument + "\"";
}

}  // namespace folivra
