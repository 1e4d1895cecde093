// A hostile book in the window: the editor holds what the reader's budget
// allows, not what the book asks for.
#include <windows.h>
#include <psapi.h>

#include <gtest/gtest.h>

#include "app/main_window.h"
#include "app/scripted_prompts.h"
#include "app/window_driver.h"
#include "book/block_codec.h"
#include "book/book_file.h"
#include "book/gbk_wide.h"
#include "book/test_books.h"

namespace folivra::test {
namespace {

// 4.5 MB of chapters that each inflate to 16 MB: 4.5 GB if read whole.
using HostileBookInWindow = WindowTest;

TEST_F(HostileBookInWindow, ADecompressionBombCostsAFractionOfWhatItAsksFor) {
  {
    const std::string block = compress_block("{\\rtf1 " + std::string(16 << 20, 'a') + "}");
    Book bomb;
    for (int i = 0; i < 280; ++i) {
      Chapter chapter;
      chapter.name = "c";
      chapter.kept_content = block;  // written as it is
      bomb.chapters.push_back(chapter);
    }
    const std::string image = write_book_image(bomb);
    ASSERT_GT(image.size(), size_t{4} << 20);
    write_bytes(dir_.path("bomb.zqb"), image);
  }
  window().open_command_line({wide_to_gbk_lossy(dir_.path("bomb.zqb").wstring())});
  EXPECT_EQ(window().book().chapters.size(), 280u);
  // Its 16 MB paragraph would take the control hours: the start of its
  // text is shown instead, read-only, at once.
  const DWORD start = GetTickCount();
  select(1);
  pump();
  const DWORD took = GetTickCount() - start;
  std::printf("the first chapter shown after %lu ms\n", took);
  EXPECT_LT(took, 5000u) << "a second here; the line is drawn well clear of a slow machine";
  EXPECT_GT(GetWindowTextLengthW(c().content), 100000);
  EXPECT_TRUE(GetWindowLongW(c().content, GWL_STYLE) & ES_READONLY);

  PROCESS_MEMORY_COUNTERS memory = {};
  memory.cb = sizeof memory;
  ASSERT_TRUE(GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory));
  std::printf("peak working set with the bomb open: %zu MB\n", memory.PeakWorkingSetSize >> 20);
  EXPECT_LT(memory.PeakWorkingSetSize, size_t{300} << 20);
}

}  // namespace
}  // namespace folivra::test
