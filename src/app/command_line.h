#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace folivra {

// The arguments after the program name in a raw command line (GBK bytes):
// quoted arguments lose their quotes ("" is an empty argument), bytes below
// '!' separate, and the second byte of a double-byte character is never
// taken for a quote or a space.
std::vector<std::string> split_command_line(std::string_view line);

// The command line that opens `argument` in a new instance of the program.
std::string instance_command_line(const std::string& program_directory,
                                  const std::string& program_name, const std::string& argument);

}  // namespace folivra
