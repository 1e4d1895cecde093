#pragma once

#include <string>

namespace folivra {

// Book files opened by this program: the five values under HKEY_CLASSES_ROOT,
// or, per user, under HKEY_CURRENT_USER\Software\Classes (which needs no
// administrator rights). Texts are GBK; the class is named after the
// extension. False when a value could not be written.
enum class Registration { all_users, current_user };
bool register_file_type(const std::string& program_path, const std::string& extension,
                        const std::string& icon_path, const std::string& description,
                        Registration where = Registration::all_users);

// Whether the command registered for "zqb" starts the program at `program_path`.
bool association_is_ours(const std::string& program_path);

}  // namespace folivra
