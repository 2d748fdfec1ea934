#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "font/installed_face.h"
#include "font/readers.h"
#include "frame/plinth_fault.h"
#include "outlina/font.h"

namespace {

JFontEntry entryOf(int32_t kind, const char *name, const char *path = "") {
  JFontEntry entry{};
  entry.kind = kind;
  std::snprintf(entry.name, sizeof entry.name, "%s", name);
  std::snprintf(entry.path, sizeof entry.path, "%s", path);
  return entry;
}

bool slotIsZero(const JFontEntry &entry) {
  static const JFontEntry zero{};
  return std::memcmp(&entry, &zero, sizeof entry) == 0;
}

struct Registry {
  JFont *font = jFontInit();
  ~Registry() { jFontEnd(font); }
};

TEST(FontRegistry, GrowthKeepsEntriesAndIdsAndClearZeroesEverySlot) {
  Registry r;
  ASSERT_NE(r.font, nullptr);
  EXPECT_EQ(jFontGetFontNum(r.font), 0);
  EXPECT_EQ(r.font->capacity, 100);
  for (int i = 0; i < 100; ++i) EXPECT_TRUE(slotIsZero(r.font->entries[i]));
  for (int i = 0; i < 101; ++i)
    ASSERT_EQ(jFontRegist(r.font, entryOf(40 + i, std::to_string(i).c_str())), 1);
  EXPECT_EQ(r.font->capacity, 200);
  EXPECT_EQ(jFontGetFontNum(r.font), 101);
  for (int i = 0; i < 101; ++i) {
    JFontEntry entry{};
    ASSERT_EQ(jFontGetFontInfo(r.font, i, &entry), 1);
    EXPECT_EQ(entry.kind, 40 + i);
    EXPECT_EQ(jFontGetFontID(r.font, std::to_string(i).c_str()), i);
  }
  EXPECT_EQ(jFontClear(r.font), 1);
  EXPECT_EQ(jFontGetFontNum(r.font), 0);
  for (int i = 0; i < 200; ++i) EXPECT_TRUE(slotIsZero(r.font->entries[i]));
}

TEST(FontRegistry, FailedAllocationsLeaveNothingBehind) {
  for (int n = 1; n <= 2; ++n) {
    jMemTestFailNth(n);
    EXPECT_EQ(jFontInit(), nullptr);  // a half-built registry is released (leak checker)
    EXPECT_FALSE(jMemTestArmed());
  }
  Registry r;
  for (int i = 0; i < 100; ++i) jFontRegist(r.font, entryOf(30, "x"));
  JFontEntry *before = r.font->entries;
  jMemTestFailNth(1);
  EXPECT_EQ(jFontRegist(r.font, entryOf(30, "y")), 0);
  EXPECT_EQ(r.font->entries, before);
  EXPECT_EQ(r.font->capacity, 100);
  EXPECT_EQ(jFontGetFontNum(r.font), 100);
  jMemTestFailNth(1);
  EXPECT_EQ(jFontOpen(r.font, "x", 0), nullptr);
  EXPECT_FALSE(jMemTestArmed());
}

TEST(FontRegistry, LookupIsExactAndFindsLowestId) {
  Registry r;
  jFontRegist(r.font, entryOf(30, "Alpha"));
  jFontRegist(r.font, entryOf(31, "Beta"));
  jFontRegist(r.font, entryOf(32, "Beta"));
  EXPECT_EQ(jFontGetFontID(r.font, "Beta"), 1);
  EXPECT_EQ(jFontGetFontID(r.font, "beta"), -1);
  EXPECT_EQ(jFontGetFontID(r.font, "Alph"), -1);
  EXPECT_EQ(jFontOpen(r.font, "Gamma", 0), nullptr);
  JFontHandle *handle = jFontOpen(r.font, "Beta", 1);
  ASSERT_NE(handle, nullptr);
  EXPECT_EQ(handle->font, r.font);
  EXPECT_EQ(handle->entry.kind, 31);
  EXPECT_EQ(handle->dc, nullptr);
  EXPECT_EQ(handle->object, nullptr);
  EXPECT_EQ(jFontGetDC(handle), nullptr);
  EXPECT_EQ(jFontClose(handle), 1);
  char name[64];
  ASSERT_EQ(jFontGetFontName(r.font, 0, name), 1);
  EXPECT_STREQ(name, "Alpha");
}

TEST(FontRegistry, NullAndBadArgumentsAnswerFailure) {
  Registry r;
  JFontEntry entry{};
  char name[64];
  EXPECT_EQ(jFontEnd(nullptr), 0);
  EXPECT_EQ(jFontClear(nullptr), 0);
  EXPECT_EQ(jFontRegist(nullptr, entry), 0);
  EXPECT_EQ(jFontDelete(nullptr, 0), 0);
  EXPECT_EQ(jFontDelete(r.font, 0), 0);
  EXPECT_EQ(jFontGetFontID(nullptr, "a"), -1);
  EXPECT_EQ(jFontGetFontInfo(r.font, 0, &entry), 0);
  EXPECT_EQ(jFontGetFontInfo(r.font, -1, &entry), 0);
  EXPECT_EQ(jFontGetFontName(nullptr, 0, name), 0);
  EXPECT_EQ(jFontGetFontNum(nullptr), 0);
  EXPECT_EQ(jFontOpen(nullptr, "a", 0), nullptr);
  EXPECT_EQ(jFontClose(nullptr), 0);
  EXPECT_EQ(jFontGetDC(nullptr), nullptr);
  // A registry whose table is gone answers like a null one.
  JFont bare{nullptr, 0, 0};
  EXPECT_EQ(jFontClear(&bare), 0);
  EXPECT_EQ(jFontRegist(&bare, entry), 0);
  EXPECT_EQ(jFontGetFontID(&bare, "a"), -1);
  EXPECT_EQ(jFontGetFontNum(&bare), 0);
  EXPECT_EQ(jFontOpen(&bare, "a", 0), nullptr);
}

TEST(FontRegistry, DeleteCompactsOnlyEmptyEntries) {
  Registry r;
  const int32_t kinds[] = {1, 0, 21, 0, 0, 11, 1, 12};
  for (int i = 0; i < 8; ++i)
    jFontRegist(r.font, entryOf(kinds[i], std::string(1, static_cast<char>('a' + i)).c_str()));
  EXPECT_EQ(jFontDelete(r.font, 8), 0);
  // The kind-1 entry at the ID stays: only the three kind-0 entries go.
  ASSERT_EQ(jFontDelete(r.font, 0), 1);
  ASSERT_EQ(jFontGetFontNum(r.font), 5);
  const char *expected = "acfgh";
  for (int i = 0; i < 5; ++i) EXPECT_EQ(r.font->entries[i].name[0], expected[i]);
  for (int i = 5; i < 100; ++i) EXPECT_TRUE(slotIsZero(r.font->entries[i]));
  // Nothing of kind 0 is left: deleting again, at any ID, changes nothing.
  ASSERT_EQ(jFontDelete(r.font, 2), 1);
  EXPECT_EQ(jFontGetFontNum(r.font), 5);
  EXPECT_EQ(jFontGetFontID(r.font, "h"), 4);
}

TEST(FontRegistry, FileKindsOpenTheirFileReadOnly) {
  const std::string file = std::string(OUTLINA_TEST_OUTPUT_DIR) + "/registry_file.bin";
  std::FILE *out = std::fopen(file.c_str(), "wb");
  ASSERT_NE(out, nullptr);
  std::fputs("OUTLINE", out);
  std::fclose(out);
  Registry r;
  jFontRegist(r.font, entryOf(JFK_KUTEN_FILE, "kuten", file.c_str()));
  jFontRegist(r.font, entryOf(JFK_INDX_FILE, "indx", file.c_str()));
  jFontRegist(r.font, entryOf(JFK_INDX_FILE, "missing", "/nonexistent/font.bin"));
  for (const char *name : {"kuten", "indx"}) {
    JFontHandle *handle = jFontOpen(r.font, name, 0);
    ASSERT_NE(handle, nullptr);
    ASSERT_NE(handle->object, nullptr);
    EXPECT_EQ(jFontGetDC(handle), nullptr);
    char bytes[8] = {};
    EXPECT_EQ(pread(outlina::fontFileDescriptor(handle), bytes, 7, 0), 7);
    EXPECT_STREQ(bytes, "OUTLINE");
    EXPECT_EQ(write(outlina::fontFileDescriptor(handle), "x", 1), -1);
    EXPECT_EQ(jFontClose(handle), 1);
  }
  // A file that cannot be opened still gives a handle, holding no file.
  JFontHandle *handle = jFontOpen(r.font, "missing", 0);
  ASSERT_NE(handle, nullptr);
  EXPECT_EQ(handle->object, nullptr);
  EXPECT_EQ(outlina::fontFileDescriptor(handle), -1);
  EXPECT_EQ(jFontClose(handle), 1);
}

TEST(FontRegistry, SetMaskRulesAndStoredCodes) {
  using outlina::fontSetAccepted;
  using outlina::FontSystemSet;
  const FontSystemSet all[] = {
      FontSystemSet::Ansi, FontSystemSet::Symbol, FontSystemSet::ShiftJis, FontSystemSet::Gb2312,
      FontSystemSet::Big5, FontSystemSet::Hangul, FontSystemSet::Other};
  const uint32_t codes[] = {1, 2, 5, 0x11, 0x21, 0x41, 0x10000000};
  const uint32_t ownBits[] = {1, 2, 4, 16, 32, 64, 0x10000000};
  for (int i = 0; i < 7; ++i) {
    EXPECT_EQ(outlina::fontSetCode(all[i]), codes[i]);
    EXPECT_TRUE(fontSetAccepted(all[i], ownBits[i]));
    EXPECT_FALSE(fontSetAccepted(all[i], 0));
    EXPECT_FALSE(fontSetAccepted(all[i], 0xFFFFFFFFu & ~ownBits[i] & ~0x10000000u));
    // The other-sets bit takes every set but ANSI, symbol and Shift-JIS.
    EXPECT_EQ(fontSetAccepted(all[i], 0x10000000), i >= 3);
  }
}

TEST(FontRegistry, FamilyListRegistersAcceptedFamiliesInOrder) {
  using outlina::FontSystemSet;
  const outlina::InstalledFamily families[] = {
      {"Gothic", FontSystemSet::ShiftJis},
      {"@Gothic", FontSystemSet::ShiftJis},
      {"Latin", FontSystemSet::Ansi},
      {"Hangul", FontSystemSet::Hangul},
      {"Mincho", FontSystemSet::ShiftJis},
      {"A name far too long to fit the sixty-four bytes of an entry name!!",
       FontSystemSet::ShiftJis}};
  Registry r;
  JFontEntry templ = entryOf(99, "ignored", "ignored");
  templ.charset = JFCS_SHIFTJIS;
  templ.user = 0xCAFEF00D;
  outlina::fontRegistFamilies(r.font, templ, families, 6);
  ASSERT_EQ(jFontGetFontNum(r.font), 2);
  const char *names[] = {"Gothic", "Mincho"};
  for (int i = 0; i < 2; ++i) {
    const JFontEntry &entry = r.font->entries[i];
    EXPECT_EQ(entry.kind, JFK_TTF);
    EXPECT_STREQ(entry.name, names[i]);
    EXPECT_STREQ(entry.path, "Regular");
    EXPECT_EQ(entry.charset, 5u);
    EXPECT_EQ(entry.user, 0xCAFEF00Du);
  }
}

std::vector<std::string> namesOf(const JFont *font) {
  std::vector<std::string> names;
  for (int i = 0; i < font->count; ++i) names.emplace_back(font->entries[i].name);
  return names;
}

TEST(FontRegistry, InstalledFamiliesByMask) {
  Registry japanese, latin, other;
  JFontEntry templ{};
  templ.charset = JFCS_SHIFTJIS;
  templ.user = 7;
  EXPECT_EQ(jFontRegistTTF(japanese.font, templ), 1);
  const std::vector<std::string> ja = namesOf(japanese.font);
  EXPECT_NE(std::find(ja.begin(), ja.end(), "IPAGothic"), ja.end());
  EXPECT_TRUE(std::is_sorted(ja.begin(), ja.end()));
  for (int i = 0; i < japanese.font->count; ++i) {
    const JFontEntry &entry = japanese.font->entries[i];
    EXPECT_EQ(entry.kind, JFK_TTF);
    EXPECT_EQ(entry.charset, 5u);
    EXPECT_EQ(entry.user, 7u);
    EXPECT_STREQ(entry.path, "Regular");
    EXPECT_NE(entry.name[0], '@');
  }
  templ.charset = JFCS_ANSI;
  jFontRegistTTF(latin.font, templ);
  const std::vector<std::string> an = namesOf(latin.font);
  EXPECT_NE(std::find(an.begin(), an.end(), "DejaVu Sans"), an.end());
  EXPECT_EQ(std::find(an.begin(), an.end(), "IPAGothic"), an.end());
  templ.charset = JFCS_OTHER;
  jFontRegistTTF(other.font, templ);
  for (int i = 0; i < other.font->count; ++i)
    EXPECT_TRUE(other.font->entries[i].charset == 0x11 || other.font->entries[i].charset == 0x21 ||
                other.font->entries[i].charset == 0x41 ||
                other.font->entries[i].charset == 0x10000000);
  // A second enumeration registers every family again.
  templ.charset = JFCS_SHIFTJIS;
  jFontRegistTTF(japanese.font, templ);
  ASSERT_EQ(jFontGetFontNum(japanese.font), 2 * static_cast<int32_t>(ja.size()));
  EXPECT_EQ(namesOf(japanese.font)[ja.size()], ja[0]);
}

TEST(FontRegistry, InstalledFontOpensItsFaceAndVariant) {
  Registry r;
  JFontEntry templ{};
  templ.charset = JFCS_SHIFTJIS | JFCS_ANSI;
  jFontRegistTTF(r.font, templ);
  for (const char *name : {"IPAGothic", "DejaVu Sans"}) {
    for (int32_t vertical : {0, 1}) {
      JFontHandle *handle = jFontOpen(r.font, name, vertical);
      ASSERT_NE(handle, nullptr);
      EXPECT_NE(jFontGetDC(handle), nullptr);
      EXPECT_NE(handle->object, nullptr);
      EXPECT_EQ(handle->oldFont, nullptr);
      // Only the Shift-JIS family has a vertical variant.
      EXPECT_EQ(outlina::fontInstalledVertical(handle),
                vertical != 0 && std::strcmp(name, "IPAGothic") == 0);
      EXPECT_EQ(jFontClose(handle), 1);
    }
  }
  // A kind-21 entry naming no installed family opens without a face.
  jFontRegist(r.font, entryOf(JFK_TTF, "No Such Family Anywhere"));
  JFontHandle *handle = jFontOpen(r.font, "No Such Family Anywhere", 0);
  ASSERT_NE(handle, nullptr);
  EXPECT_EQ(jFontGetDC(handle), nullptr);
  EXPECT_EQ(jFontClose(handle), 1);
}

}  // namespace
