// The core's text of real RTF from other programs against the texts checked
// in beside them (tests/text/rtf_corpus/expected), which the Wine test
// rtf_corpus_tests holds against the rich-edit control itself.
// RTF_CORPUS_WRITE=1 writes the expected texts anew.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "book/test_books.h"
#include "text/plain_text.h"
#include "text/word_count.h"

namespace folivra {
namespace {

const std::filesystem::path kCorpus = FOLIVRA_SOURCE_DIR "/tests/text/rtf_corpus";

TEST(RtfCorpus, TheCoreReadsEachDocumentAsTheControlDoes) {
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(kCorpus)) {
    if (entry.path().extension() == ".rtf") files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  ASSERT_GE(files.size(), 60u);
  const bool write = std::getenv("RTF_CORPUS_WRITE") != nullptr;
  for (const auto& file : files) {
    const std::string text = utf16_to_utf8(chapter_text16(test::read_bytes(file)));
    const auto expected = kCorpus / "expected" / (file.stem().string() + ".txt");
    if (write) {
      std::ofstream(expected, std::ios::binary) << text;
      continue;
    }
    EXPECT_EQ(text, test::read_bytes(expected)) << file.filename();
  }
}

// The same text counts the same whichever way it is stored: GBK bytes,
// another code page's bytes, \uN.
TEST(RtfCorpus, WordsCountTheSameHoweverStored) {
  const auto count = [](const std::string& rtf) { return count_words(rtf).words; };
  EXPECT_EQ(count("{\\rtf1\\ansi\\ansicpg1251 \\'cc\\'ee\\'f1\\'ea\\'e2\\'e0}"), 1u) << "Москва";
  EXPECT_EQ(count("{\\rtf1\\ansi \\u1052?\\u1086?\\u1089?\\u1082?\\u1074?\\u1072?}"), 1u);
  EXPECT_EQ(count("{\\rtf1\\ansi\\ansicpg936 \\'a7\\'ad\\'a7\\'e0\\'a7\\'e3\\'a7\\'dc\\'a7\\'d4"
                  "\\'a7\\'d1}"),
            1u)
      << "Москва in GBK's Cyrillic row";
  EXPECT_EQ(count("{\\rtf1\\ansi\\ansicpg936 \\'a9\\'a5\\'a9\\'a5}"), 0u) << "―― in GBK";
  EXPECT_EQ(count("{\\rtf1\\ansi \\u8213?\\u8213?}"), 0u) << "―― as \\uN";
  EXPECT_EQ(
      count("{\\rtf1\\ansi{\\fonttbl{\\f0\\fcharset128 MS Gothic;}}\\f0 \\'82\\'a0\\'82\\'a2}"), 2u)
      << "あい in Shift-JIS";
}

}  // namespace
}  // namespace folivra
