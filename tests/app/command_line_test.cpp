#include "app/command_line.h"

#include <gtest/gtest.h>

namespace folivra {
namespace {

using Args = std::vector<std::string>;

TEST(CommandLine, ProgramNameIsSkipped) {
  EXPECT_EQ(split_command_line("\"C:\\Program Files\\F\\folivra.exe\" a.zqb"), Args{"a.zqb"});
  EXPECT_EQ(split_command_line("folivra.exe a.zqb"), Args{"a.zqb"});
  EXPECT_EQ(split_command_line("folivra.exe"), Args{});
  EXPECT_EQ(split_command_line("\"folivra.exe\""), Args{});
}

TEST(CommandLine, QuotedUnquotedAndEmpty) {
  EXPECT_EQ(split_command_line("f.exe \"C:\\my books\\a.zqb\" b.zqb"),
            (Args{"C:\\my books\\a.zqb", "b.zqb"}));
  EXPECT_EQ(split_command_line("f.exe \"\" x"), (Args{"", "x"}));
  EXPECT_EQ(split_command_line("f.exe  \t a\"b c\""), (Args{"a", "b c"}))
      << "a quote ends an unquoted argument and starts a quoted one";
  EXPECT_EQ(split_command_line("f.exe \"open"), Args{"open"}) << "the line ends the quote";
}

TEST(CommandLine, DoubleByteCharactersStayWhole) {
  // 0x81 0x22 and 0x81 0x20 are single characters whose second bytes look
  // like a quote and a space.
  EXPECT_EQ(split_command_line("f.exe \"\xD6\xD0\x81\x22.zqb\" \xCA\xE9\x81\x20x"),
            (Args{"\xD6\xD0\x81\x22.zqb", "\xCA\xE9\x81\x20x"}));
  EXPECT_EQ(split_command_line("\"C:\\\x81\x22\\f.exe\" a"), Args{"a"});
}

TEST(CommandLine, FurtherInstanceLine) {
  EXPECT_EQ(instance_command_line("C:\\Folivra", "folivra.exe", "D:\\b\\two.zqb"),
            "\"C:\\Folivra\\folivra.exe\" \"D:\\b\\two.zqb\"");
}

}  // namespace
}  // namespace folivra
