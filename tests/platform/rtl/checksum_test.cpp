#include "platform/rtl/checksum.h"

#include <gtest/gtest.h>

#include <thread>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/sync.h"

using namespace rtl;

TEST(Checksum, StandardCrc32) {
  EXPECT_EQ(CRC32("123456789", 9), 0xCBF43926u);
  EXPECT_EQ(CRC32("", 0), 0u);
  EXPECT_EQ(CRC32("a", 1), 0xE8B7BE43u);
  // Continuing over a second block gives the checksum of the whole.
  EXPECT_EQ(CRC32("6789", 4, CRC32("12345", 5)), 0xCBF43926u);
  EXPECT_EQ(CRC32Table()[1], 0x77073096u);
  EXPECT_EQ(CRC32Table()[128], 0xEDB88320u);
}

TEST(Checksum, ZlibRoundTrip) {
  TBytes data;
  for (int i = 0; i < 100000; ++i) data.push_back(static_cast<Byte>((i * 7) % 13));
  TBytes packed = ZCompress(data);
  EXPECT_LT(packed.size(), data.size() / 10);
  EXPECT_EQ(packed[0], 0x78);
  EXPECT_EQ(ZDecompress(packed), data);  // grows its buffer many times
  EXPECT_EQ(ZDecompress(packed.data(), packed.size(), 7), data);
  EXPECT_EQ(ZDecompressStr(ZCompressStr("")), "");
  EXPECT_EQ(ZDecompressStr(ZCompressStr("merhaba", 9)), "merhaba");
}

TEST(Checksum, BrokenStreamsRaise) {
  TBytes packed = ZCompress(TBytes(1000, 'a'));
  TBytes badTrailer = packed;
  badTrailer.back() ^= 0xFF;
  try {
    ZDecompress(badTrailer);
    FAIL();
  } catch (const EZDecompressionError& e) {
    EXPECT_NE(e.Message().find(L"check"), String::npos);  // zlib: "incorrect data check"
  }
  TBytes truncated(packed.begin(), packed.begin() + static_cast<long>(packed.size() / 2));
  EXPECT_THROW(ZDecompress(truncated), EZDecompressionError);
  EXPECT_THROW(ZDecompress(TBytes{1, 2, 3, 4}), EZDecompressionError);
  EXPECT_THROW(ZDecompress(TBytes{}), EZDecompressionError);
}

TEST(Sync, CriticalSectionSerializesThreads) {
  TCriticalSection cs;
  long counter = 0;
  auto work = [&] {
    for (int i = 0; i < 20000; ++i) {
      TCriticalSectionLock lock(cs);
      counter = counter + 1;
    }
  };
  std::thread a(work), b(work);
  a.join();
  b.join();
  EXPECT_EQ(counter, 40000);
  EXPECT_TRUE(cs.TryEnter());
  cs.Leave();
}
