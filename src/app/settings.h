#pragma once

#include <functional>
#include <string>

namespace folivra {

// The settings file (config.ini): an INI file in GBK, whatever the Windows
// locale. Every call is a whole read or write of its own; failures are ignored.
class Settings {
 public:
  explicit Settings(std::wstring path) : path_(std::move(path)) {}
  // config.ini beside the running executable when its folder can be written
  // and holds no installer's mark (a portable copy); otherwise, as for an
  // installed copy, in the user's %APPDATA%\Folivra. Chosen once, at start-up.
  static constexpr const wchar_t* kInstalledMark = L"folivra.installed";
  static std::wstring default_path();
  static std::wstring path_for(const std::wstring& program_folder, const std::wstring& user_folder);

  const std::wstring& path() const { return path_; }
  bool exists() const;
  std::string read_text(const char* section, const std::string& key,
                        const std::string& fallback) const;
  int read_int(const char* section, const char* key, int fallback) const;
  bool read_bool(const char* section, const char* key, bool fallback) const;
  void write_text(const char* section, const std::string& key, const std::string& value) const;
  void write_int(const char* section, const char* key, int value) const;
  void write_bool(const char* section, const char* key, bool value) const;
  void remove_section(const char* section) const;

 private:
  void change(const std::function<std::string(const std::string&)>& edit) const;

  std::wstring path_;
};

}  // namespace folivra
