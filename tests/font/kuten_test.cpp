#include <gtest/gtest.h>

#include "outlina/font.h"

namespace {

struct KuTen {
  int32_t ku, ten;
  bool operator==(const KuTen &) const = default;
};
std::ostream &operator<<(std::ostream &out, const KuTen &k) { return out << k.ku << "-" << k.ten; }

KuTen toKuTen(uint32_t code) {
  KuTen result{-1, -1};
  EXPECT_EQ(jFontSJISToKuTen(code, &result.ku, &result.ten), 1);
  return result;
}

uint16_t toSjis(int32_t ku, int32_t ten) {
  uint16_t code = 0;
  EXPECT_EQ(jFontKuTenToSJIS(&code, ku, ten), 1);
  return code;
}

TEST(KuTen, KnownCodesSingleBytesAndRejectedPairs) {
  const struct {
    uint32_t code;
    KuTen kt;
    bool inverse;  // the IBM extensions fold onto NEC rows, so only those are one-way
  } cases[] = {{0x889F, {16, 1}, true},   {0x8140, {1, 1}, true},       {0x9FFC, {62, 94}, true},
               {0xE040, {63, 1}, true},   {0x8754, {13, 21}, true},     {0xEAA4, {84, 6}, true},
               {0x817E, {1, 63}, true},   {0x8180, {1, 64}, true},      {0x41, {0, 0x41}, true},
               {0xB1, {0, 0xB1}, false},  {0xA0A1, {0, 0xA0A1}, false},  // 0xA0 leads nothing
               {0xFA4A, {13, 21}, false}, {0xFC4B, {92, 78}, false},    {0xFA40, {92, 81}, false},
               {0xFA54, {92, 91}, false}, {0xFA58, {13, 74}, false},    {0xFA5C, {89, 1}, false},
               {0xFA80, {89, 36}, false}, {0xFB40, {90, 67}, false},    {0xED40, {89, 1}, true}};
  for (const auto &c : cases) {
    EXPECT_EQ(toKuTen(c.code), c.kt) << std::hex << c.code;
    if (c.inverse) {
      EXPECT_EQ(toSjis(c.kt.ku, c.kt.ten), c.code) << c.kt;
    }
  }
  for (uint32_t code : {0x8100u, 0x813Fu, 0x817Fu, 0x81FDu, 0xF040u, 0xFA7Fu, 0xFC4Cu, 0xFCFCu})
    EXPECT_EQ(toKuTen(code), (KuTen{-32, -32})) << std::hex << code;
}

TEST(KuTen, EveryValidPairRoundTripsAndIbmRowsRunOnWithoutGaps) {
  for (int32_t ku = 1; ku <= 94; ++ku) {
    for (int32_t ten = 1; ten <= 94; ++ten) {
      const uint16_t code = toSjis(ku, ten);
      const uint32_t lead = code >> 8, trail = code & 0xFF;
      ASSERT_TRUE((lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xEF));
      ASSERT_TRUE(trail >= 0x40 && trail <= 0xFC && trail != 0x7F);
      ASSERT_EQ(toKuTen(code), (KuTen{ku, ten}));
    }
  }
  // Walking the spread runs in code order visits every cell of 89-1 .. 92-78 once.
  int32_t expected = 0;
  for (uint32_t code = 0xFA5C; code <= 0xFC4B; ++code) {
    const uint32_t trail = code & 0xFF;
    if (trail < 0x40 || trail == 0x7F || trail > 0xFC) continue;
    const KuTen got = toKuTen(code);
    ASSERT_EQ((got.ku - 89) * 94 + got.ten - 1, expected++) << std::hex << code;
  }
  EXPECT_EQ(expected, 3 * 94 + 78);
}

}  // namespace
