// The platform's HMAC-SHA-256 against RFC 4231's test cases, natively
// (libcrypto) and in the Windows tests (CNG).
#include <gtest/gtest.h>

#include <string>

#include "platform/crypto.h"

namespace {

std::string Hex(const ds::platform::Sha256Digest& d, size_t bytes = 32) {
  static const char kDigits[] = "0123456789abcdef";
  std::string out;
  for (size_t i = 0; i < bytes; ++i) {
    out += kDigits[d[i] >> 4];
    out += kDigits[d[i] & 15];
  }
  return out;
}

std::string Bytes(char c, size_t n) { return std::string(n, c); }

TEST(HmacSha256, Rfc4231TestCases) {
  std::string counting;
  for (int i = 1; i <= 25; ++i) counting += static_cast<char>(i);
  const std::string bigKey = Bytes('\xaa', 131);
  struct Case {
    std::string key, data;
    size_t bytes;  // case 5 is truncated to 128 bits
    const char* hex;
  } cases[] = {
      {Bytes('\x0b', 20), "Hi There", 32, "b0344c61d8db38535ca8afceaf0bf12b881dc200c9833da726e9376c2e32cff7"},
      {"Jefe", "what do ya want for nothing?", 32,
       "5bdcc146bf60754e6a042426089575c75a003f089d2739839dec58b964ec3843"},
      {Bytes('\xaa', 20), Bytes('\xdd', 50), 32, "773ea91e36800e46854db8ebd09181a72959098b3ef8c122d9635514ced565fe"},
      {counting, Bytes('\xcd', 50), 32, "82558a389a443c0ea4cc819899f2083a85f0faa3e578f8077a2e3ff46729665b"},
      {Bytes('\x0c', 20), "Test With Truncation", 16, "a3b6167473100ee06e0c796c2955552b"},
      {bigKey, "Test Using Larger Than Block-Size Key - Hash Key First", 32,
       "60e431591ee0b67f0d8a26aacbf5b77f8e0bc6213728c5140546040f0ee37f54"},
      {bigKey,
       "This is a test using a larger than block-size key and a larger than block-size data. The key needs to be "
       "hashed before being used by the HMAC algorithm.",
       32, "9b09ffa71b942fcb27635fbcd5b0e944bfdc63644f0713938a7f51535c3a35e2"},
  };
  int number = 1;
  for (const Case& c : cases) {
    EXPECT_EQ(Hex(ds::platform::HmacSha256(c.key, c.data), c.bytes), c.hex) << "case " << number;
    ++number;
  }
}

TEST(HmacSha256, EmptyKeyAndMessageStillHash) {
  // Python's hmac.new(b"", b"", sha256).
  EXPECT_EQ(Hex(ds::platform::HmacSha256("", "")),
            "b613679a0814d9ec772f95d778c35fc5ff1697c493715653c6c712144292c5ad");
}

TEST(RandomBytes, FillsEveryByteAndDiffersBetweenCalls) {
  unsigned char a[64] = {}, b[64] = {};
  ASSERT_TRUE(ds::platform::RandomBytes(a, sizeof a));
  ASSERT_TRUE(ds::platform::RandomBytes(b, sizeof b));
  EXPECT_NE(std::string(reinterpret_cast<char*>(a), 64), std::string(reinterpret_cast<char*>(b), 64));
  // 32 zero bytes at the end of 64 random ones would be a short fill.
  EXPECT_NE(std::string(reinterpret_cast<char*>(a) + 32, 32), std::string(32, '\0'));
}

}  // namespace
