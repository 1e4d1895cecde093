#include "book/block_codec.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdio>
#include <random>
#include <vector>

#include "book/le_bytes.h"
#include "book/test_books.h"

namespace folivra {
namespace {

using test::hex;

std::string header(int32_t plain_length) {
  std::string h("\x0D\x0F\x3E\x03", 4);
  append_le32(h, static_cast<uint32_t>(plain_length));
  return h;
}

std::string sample_text(size_t n) {
  std::mt19937 random(7);
  std::string text;
  while (text.size() < n) text += "chapter text " + std::to_string(random() % 1000) + " ";
  text.resize(n);
  return text;
}

TEST(BlockCodec, EmptyInputIsTheBareHeader) {
  EXPECT_EQ(hex(compress_block("")), "0d0f3e0300000000");
  EXPECT_EQ(decompress_block(header(0)), "");
}

TEST(BlockCodec, RoundTripKeepsEveryByte) {
  for (size_t n : {1u, 2u, 100u, 65536u, 1000000u}) {
    std::string plain = sample_text(n);
    plain[0] = '\0';  // NUL bytes are data like any other
    const std::string block = compress_block(plain);
    EXPECT_EQ(block.substr(0, 8), header(static_cast<int32_t>(n)));
    EXPECT_EQ(hex(block.substr(8, 2)), "789c") << "zlib header for level 6, 32 KiB window";
    EXPECT_EQ(decompress_block(block), plain) << n;
  }
}

TEST(BlockCodec, IncompressibleInputStillFits) {
  std::mt19937 random(1);
  std::string noise(300000, '\0');
  for (char& c : noise) c = static_cast<char>(random());
  EXPECT_EQ(decompress_block(compress_block(noise)), noise);
}

TEST(BlockCodec, AcceptsAnyValidZlibStream) {
  const std::string plain = sample_text(5000);
  std::string stream(compressBound(plain.size()), '\0');
  uLongf size = stream.size();
  ASSERT_EQ(compress2(reinterpret_cast<Bytef*>(stream.data()), &size,
                      reinterpret_cast<const Bytef*>(plain.data()), plain.size(), 9),
            Z_OK);
  stream.resize(size);
  EXPECT_EQ(decompress_block(header(5000) + stream), plain);
  EXPECT_EQ(decompress_block(header(5000) + stream + "trailing bytes"), plain);
}

TEST(BlockCodec, RefusesWhatIsNotABlock) {
  const std::string block = compress_block("hello");
  EXPECT_EQ(decompress_block(""), "");
  EXPECT_EQ(decompress_block(block.substr(0, 7)), "");
  std::string wrong_magic = block;
  wrong_magic[3] = 0x04;
  EXPECT_EQ(decompress_block(wrong_magic), "");
}

TEST(BlockCodec, ZeroOrOverflowingLengthNeverInflates) {
  const std::string stream = compress_block("hello").substr(8);
  EXPECT_EQ(decompress_block(header(0) + stream), "");
  EXPECT_EQ(decompress_block(header(-5) + stream), "");
  // Twice these lengths is negative in 32 bits.
  EXPECT_EQ(decompress_block(header(0x40000000) + stream), "");
  EXPECT_EQ(decompress_block(header(0x7FFFFFFF) + stream), "");
}

TEST(BlockCodec, DamagedStreamsGiveNothing) {
  const std::string plain = sample_text(10000);
  const std::string block = compress_block(plain);
  EXPECT_EQ(decompress_block(block.substr(0, block.size() - 1)), "") << "cut short";
  EXPECT_EQ(decompress_block(block.substr(0, block.size() / 2)), "") << "cut in half";
  std::string bad_adler = block;
  bad_adler.back() ^= 1;
  EXPECT_EQ(decompress_block(bad_adler), "");
  std::string bad_header = block;
  bad_header[8] = 0x00;
  EXPECT_EQ(decompress_block(bad_header), "");
}

TEST(BlockCodec, StoredLengthOnlySizesTheOutput) {
  const std::string plain = sample_text(1000);
  const std::string stream = compress_block(plain).substr(8);
  EXPECT_EQ(decompress_block(header(500) + stream), plain) << "exactly half is enough";
  EXPECT_EQ(decompress_block(header(700) + stream), plain);
  EXPECT_EQ(decompress_block(header(499) + stream), "") << "more than twice the stored length";
  EXPECT_EQ(decompress_block(header(100000) + stream), plain) << "overstated length";
}

TEST(BlockCodec, HugeClaimedLengthWithTinyInput) {
  // A lying header must not cost gigabytes: only real output is allocated.
  const std::string stream = compress_block("tiny").substr(8);
  EXPECT_EQ(decompress_block(header(0x3FFFFFFF) + stream), "tiny");
  EXPECT_EQ(decompress_block(header(0x3FFFFFFF) + std::string(12, '\x55')), "");
}

TEST(BlockCodec, OutputOfExactlyTheCap) {
  // 2 x L bytes is still allowed; 2 x L + 1 is not.
  const std::string plain = sample_text(200000);
  const std::string stream = compress_block(plain).substr(8);
  EXPECT_EQ(decompress_block(header(100000) + stream), plain);
  EXPECT_EQ(decompress_block(header(99999) + stream), "");
}

// The written streams are zlib's format whichever codec wrote them: zlib
// reads them, and they are about as small as zlib's own.
TEST(BlockCodec, WrittenStreamsAreReadByZlibAndAsSmall) {
  // RTF as the editor writes it: words of one to three GBK characters.
  std::mt19937 random(3);
  std::vector<std::string> words(2000);
  for (std::string& word : words) {
    for (unsigned c = 0; c <= random() % 3; ++c) {
      char escape[16];
      std::snprintf(escape, sizeof escape, "\\'%02x\\'%02x", unsigned(0xB0 + random() % 0x40),
                    unsigned(0xA1 + random() % 0x5E));
      word += escape;
    }
  }
  std::string chapter;
  while (chapter.size() < 400000) {
    for (int i = 0; i < 40; ++i) chapter += words[random() % words.size()];
    chapter += "\\'a1\\'a3\\par\r\n";
  }
  const std::string block = compress_block(chapter);
  std::string back(chapter.size(), '\0');
  uLongf size = back.size();
  ASSERT_EQ(uncompress(reinterpret_cast<Bytef*>(back.data()), &size,
                       reinterpret_cast<const Bytef*>(block.data() + 8), block.size() - 8),
            Z_OK);
  EXPECT_EQ(back, chapter);
  uLongf zlib_size = compressBound(chapter.size());
  std::string zlib_stream(zlib_size, '\0');
  compress2(reinterpret_cast<Bytef*>(zlib_stream.data()), &zlib_size,
            reinterpret_cast<const Bytef*>(chapter.data()), chapter.size(), Z_DEFAULT_COMPRESSION);
  EXPECT_LE(block.size() - 8, zlib_size + zlib_size / 100);
}

// Whatever decodes blocks answers exactly as zlib does, damaged and lying
// blocks and tight budgets included.
TEST(BlockCodec, DecodingAnswersAsZlibDoes) {
  const std::string plain = sample_text(20000);
  const std::string block = compress_block(plain);
  const std::string stream = block.substr(8);
  std::vector<std::string> blocks = {block,
                                     block + "trailing",
                                     block.substr(0, block.size() - 1),
                                     header(10000) + stream,
                                     header(9999) + stream,
                                     header(20001) + stream,
                                     header(19999) + stream,
                                     header(0x3FFFFFFF) + stream,
                                     header(1) + stream};
  std::string bad_adler = block;
  bad_adler.back() ^= 1;
  blocks.push_back(bad_adler);
  std::string bad_data = block;
  bad_data[block.size() / 2] ^= 0x5A;
  blocks.push_back(bad_data);
  for (const std::string& b : blocks) {
    for (size_t budget : {size_t{0}, size_t{19999}, size_t{20000}, size_t{40000}, SIZE_MAX}) {
      std::string fast, slow;
      const BlockResult fast_result = decode_block(b, budget, fast);
      EXPECT_EQ(fast_result, decode_block_with_zlib(b, budget, slow));
      EXPECT_EQ(fast, slow);
    }
  }
}

}  // namespace
}  // namespace folivra
