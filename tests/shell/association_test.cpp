// Registering book files with the program, read back from the registry.
#include <windows.h>

#include "ui/menu_ids.h"
#include "app/window_driver.h"
#include "book/gbk_wide.h"
#include "export/book_icon.h"
#include "shell/file_association.h"

namespace folivra::test {
namespace {

std::wstring registry_text(const wchar_t* key, const wchar_t* name = nullptr) {
  wchar_t buffer[1024] = {};
  DWORD size = sizeof buffer;
  if (RegGetValueW(HKEY_CLASSES_ROOT, key, name, RRF_RT_REG_SZ, nullptr, buffer, &size) != 0) {
    return L"<absent>";
  }
  return buffer;
}

TEST(Association, FiveValuesAndTheCheck) {
  const std::string program = "C:\\Program Files\\Folivra Editor\\folivra.exe";
  register_file_type(program, "zqb", "C:\\Program Files\\Folivra Editor\\ico.ico", "Folivra");
  EXPECT_EQ(registry_text(L"zqb"), L"Folivra");
  DWORD flags = 0, size = sizeof flags;
  EXPECT_EQ(RegGetValueW(HKEY_CLASSES_ROOT, L"zqb", L"EditFlags", RRF_RT_REG_DWORD, nullptr, &flags,
                         &size),
            ERROR_SUCCESS);
  EXPECT_EQ(flags, 2u);
  EXPECT_EQ(registry_text(L"zqb\\Shell\\Open\\Command"),
            L"\"C:\\Program Files\\Folivra Editor\\folivra.exe\" \"%1\"");
  EXPECT_EQ(registry_text(L"zqb\\DefaultIcon"), L"C:\\Program Files\\Folivra Editor\\ico.ico,0");
  EXPECT_EQ(registry_text(L".zqb"), L"zqb");

  EXPECT_TRUE(association_is_ours(program)) << "cut at the last space despite the spaces";
  EXPECT_FALSE(association_is_ours("C:\\elsewhere\\folivra.exe"));
}

TEST(Association, AnotherDefaultVerbIsFollowed) {
  const std::string program = "C:\\F\\folivra.exe";
  register_file_type(program, "zqb", "C:\\F\\ico.ico", "Folivra");
  RegSetKeyValueW(HKEY_CLASSES_ROOT, L"zqb\\shell", nullptr, REG_SZ, L"view", 10);
  RegSetKeyValueW(HKEY_CLASSES_ROOT, L"zqb\\shell\\view\\command", nullptr, REG_SZ,
                  L"other.exe \"%1\"", 32);
  EXPECT_FALSE(association_is_ours(program));
  RegDeleteKeyValueW(HKEY_CLASSES_ROOT, L"zqb\\shell", nullptr);
  EXPECT_TRUE(association_is_ours(program));
}

TEST(Association, ProgramOutsideGbkIsRegisteredAndRecognised) {
  const std::wstring folder = L"C:\\\uD55C\uAE00 \u00E9dition";  // 한글 édition
  const std::string program = wide_to_path_text(folder + L"\\folivra.exe");
  register_file_type(program, "zqb", wide_to_path_text(folder + L"\\ico.ico"), "Folivra");
  EXPECT_EQ(registry_text(L"zqb\\Shell\\Open\\Command"),
            L"\"" + folder + L"\\folivra.exe\" \"%1\"");
  EXPECT_EQ(registry_text(L"zqb\\DefaultIcon"), folder + L"\\ico.ico,0");
  EXPECT_TRUE(association_is_ours(program));
  // What GBK alone would have made of the path is another program.
  EXPECT_FALSE(association_is_ours(wide_to_gbk_lossy(folder + L"\\folivra.exe")));
}

// Without administrator rights the book files are registered for the user,
// and the check reads that registration first, as Windows does.
TEST(Association, APerUserRegistrationIsWrittenAndRecognised) {
  register_file_type("C:\\Other\\other.exe", "zqb", "C:\\Other\\ico.ico", "Other");
  const std::string program = "C:\\Users\\me\\Folivra\\folivra.exe";
  EXPECT_TRUE(register_file_type(program, "zqb", "C:\\Users\\me\\ico.ico", "Folivra",
                                 Registration::current_user));
  wchar_t buffer[512] = {};
  DWORD size = sizeof buffer;
  EXPECT_EQ(RegGetValueW(HKEY_CURRENT_USER, L"Software\\Classes\\zqb\\Shell\\Open\\Command",
                         nullptr, RRF_RT_REG_SZ, nullptr, buffer, &size),
            ERROR_SUCCESS);
  EXPECT_STREQ(buffer, L"\"C:\\Users\\me\\Folivra\\folivra.exe\" \"%1\"");
  EXPECT_TRUE(association_is_ours(program));
  EXPECT_FALSE(association_is_ours("C:\\Other\\other.exe")) << "the user's own comes first";
  RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Classes\\zqb");
  RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Classes\\.zqb");
  EXPECT_TRUE(association_is_ours("C:\\Other\\other.exe"));
}

TEST(Association, IconFileHasThreeImages) {
  const std::string icon = book_icon_file();
  EXPECT_EQ(icon.size(), 11502u);
  EXPECT_EQ(icon.substr(0, 6), std::string("\0\0\x01\0\x03\0", 6));
  EXPECT_EQ(static_cast<unsigned char>(icon[6]), 16);
  EXPECT_EQ(static_cast<unsigned char>(icon[22]), 32);
  EXPECT_EQ(static_cast<unsigned char>(icon[38]), 48);
  // Windows itself must take it for an icon.
  HICON loaded =
      CreateIconFromResourceEx(reinterpret_cast<BYTE*>(const_cast<char*>(icon.data())) + 6 + 48,
                               872, TRUE, 0x00030000, 16, 16, 0);
  EXPECT_NE(loaded, nullptr);
  if (loaded) DestroyIcon(loaded);
}

using AssociateCommand = WindowTest;

TEST_F(AssociateCommand, AskedFirstThenRegistersQuietly) {
  RegDeleteTreeW(HKEY_CLASSES_ROOT, L".zqb");
  prompts_.answers = {Answer::cancel};
  command(kCmdAssociate);
  ASSERT_EQ(prompts_.messages.size(), 1u);
  EXPECT_EQ(prompts_.messages[0].buttons, Buttons::ok_cancel);
  EXPECT_EQ(prompts_.messages[0].caption, L"关联文件");
  EXPECT_EQ(registry_text(L".zqb"), L"<absent>") << "Cancel writes nothing";

  for (int run = 0; run < 2; ++run) {
    prompts_.answers = {Answer::ok};
    command(kCmdAssociate);
  }
  EXPECT_EQ(prompts_.messages.size(), 3u) << "two questions more, and no message after them";
  EXPECT_TRUE(association_is_ours(window().program_path()));
  // Beside the settings: beside the program for a portable copy.
  const std::filesystem::path icon =
      std::filesystem::path(settings_path()).parent_path() / L"ico.ico";
  EXPECT_EQ(read_bytes(icon), book_icon_file());
}

}  // namespace
}  // namespace folivra::test
