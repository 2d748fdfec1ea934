#include <gtest/gtest.h>

#include "outlina/font.h"

namespace {

struct KuTen {
  int32_t ku, ten;
};

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

TEST(KuTen, KnownCodesBothWays) {
  const struct {
    uint32_t code;
    int32_t ku, ten;
  } cases[] = {{0x889F, 16, 1}, {0x8140, 1, 1},   {0x819F, 2, 1}, {0x9FFC, 62, 94},
               {0xE040, 63, 1}, {0x8754, 13, 21}, {0x82A0, 4, 2}, {0xEAA4, 84, 6},
               {0x817E, 1, 63}, {0x8180, 1, 64}};
  for (const auto &c : cases) {
    const KuTen got = toKuTen(c.code);
    EXPECT_EQ(got.ku, c.ku) << std::hex << c.code;
    EXPECT_EQ(got.ten, c.ten) << std::hex << c.code;
    EXPECT_EQ(toSjis(c.ku, c.ten), c.code) << c.ku << "-" << c.ten;
  }
}

TEST(KuTen, SingleBytesPassThrough) {
  EXPECT_EQ(toKuTen(0x41).ku, 0);
  EXPECT_EQ(toKuTen(0x41).ten, 0x41);
  EXPECT_EQ(toKuTen(0xB1).ten, 0xB1);  // half-width katakana
  // 0xA0 is not a lead byte, so the whole number is taken as one character.
  EXPECT_EQ(toKuTen(0xA0A1).ku, 0);
  EXPECT_EQ(toKuTen(0xA0A1).ten, 0xA0A1);
  EXPECT_EQ(toSjis(0, 0x41), 0x41);
}

TEST(KuTen, EveryValidPairRoundTrips) {
  for (int32_t ku = 1; ku <= 94; ++ku) {
    for (int32_t ten = 1; ten <= 94; ++ten) {
      const uint16_t code = toSjis(ku, ten);
      const uint32_t lead = code >> 8, trail = code & 0xFF;
      ASSERT_TRUE((lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xEF));
      ASSERT_TRUE(trail >= 0x40 && trail <= 0xFC && trail != 0x7F);
      const KuTen back = toKuTen(code);
      ASSERT_EQ(back.ku, ku);
      ASSERT_EQ(back.ten, ten);
    }
  }
}

TEST(KuTen, IbmExtensionsFoldOntoNecRows) {
  EXPECT_EQ(toKuTen(0xFA4A).ku, 13);
  EXPECT_EQ(toKuTen(0xFA4A).ten, 21);
  EXPECT_EQ(toSjis(13, 21), 0x8754);
  const struct {
    uint32_t code;
    int32_t ku, ten;
  } cases[] = {{0xFA40, 92, 81}, {0xFA49, 92, 90}, {0xFA53, 13, 30}, {0xFA54, 92, 91},
               {0xFA57, 92, 94}, {0xFA58, 13, 74}, {0xFA59, 13, 66}, {0xFA5A, 13, 68},
               {0xFA5B, 13, 90}, {0xFA5C, 89, 1},  {0xFA7E, 89, 35}, {0xFA80, 89, 36},
               {0xFAFC, 90, 66}, {0xFB40, 90, 67}, {0xFBFC, 92, 66}, {0xFC40, 92, 67},
               {0xFC4B, 92, 78}};
  for (const auto &c : cases) {
    const KuTen got = toKuTen(c.code);
    EXPECT_EQ(got.ku, c.ku) << std::hex << c.code;
    EXPECT_EQ(got.ten, c.ten) << std::hex << c.code;
  }
  // Not inverse on the extensions: 89-1 is the NEC-selected code.
  EXPECT_EQ(toSjis(89, 1), 0xED40);
}

TEST(KuTen, IbmRowsRunOnWithoutGaps) {
  // Walking the spread runs in code order visits every cell of 89-1 .. 92-78 once.
  int32_t expected = 0;
  for (uint32_t code = 0xFA5C; code <= 0xFC4B; ++code) {
    const uint32_t trail = code & 0xFF;
    if (trail < 0x40 || trail == 0x7F || trail > 0xFC) continue;
    const KuTen got = toKuTen(code);
    ASSERT_EQ((got.ku - 89) * 94 + got.ten - 1, expected) << std::hex << code;
    ++expected;
  }
  EXPECT_EQ(expected, 3 * 94 + 78);
}

TEST(KuTen, RejectedPairsGiveMinus32) {
  for (uint32_t code : {0x8100u, 0x813Fu, 0x817Fu, 0x81FDu, 0xF040u, 0xFA7Fu, 0xFC4Cu, 0xFCFCu}) {
    const KuTen got = toKuTen(code);
    EXPECT_EQ(got.ku, -32) << std::hex << code;
    EXPECT_EQ(got.ten, -32) << std::hex << code;
  }
}

TEST(KuTen, NullOutputsAreSkipped) {
  int32_t ten = 0;
  EXPECT_EQ(jFontSJISToKuTen(0x889F, nullptr, &ten), 1);
  EXPECT_EQ(ten, 1);
  int32_t ku = 0;
  EXPECT_EQ(jFontSJISToKuTen(0x889F, &ku, nullptr), 1);
  EXPECT_EQ(ku, 16);
  EXPECT_EQ(jFontKuTenToSJIS(nullptr, 16, 1), 1);
}

}  // namespace
