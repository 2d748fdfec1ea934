#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "font/installed_face.h"
#include "frame/plinth_fault.h"
#include "outlina/font.h"

namespace {

JFontEntry entryOf(int32_t kind, const std::string &name) {
  JFontEntry entry{};
  entry.kind = kind;
  std::snprintf(entry.name, sizeof entry.name, "%s", name.c_str());
  return entry;
}

std::vector<std::string> namesOf(const JFont *font) {
  std::vector<std::string> names;
  for (int i = 0; i < font->count; ++i) names.emplace_back(font->entries[i].name);
  return names;
}

struct Registry {
  JFont *font = jFontInit();
  ~Registry() { jFontEnd(font); }
};

// One registry through growth past its first table, lookup, delete and clear.
TEST(FontRegistry, GrowLookUpDeleteAndClear) {
  Registry r;
  ASSERT_NE(r.font, nullptr);
  const int32_t kinds[] = {1, 0, 21, 0, 0, 11, 1, 12};
  for (int i = 0; i < 101; ++i)
    ASSERT_EQ(
        jFontRegist(r.font, entryOf(i < 8 ? kinds[i] : 40 + i, std::string(1, char('a' + i % 8)))),
        1);
  EXPECT_EQ(r.font->capacity, 200);
  JFontEntry entry{};
  EXPECT_TRUE(jFontGetFontInfo(r.font, 100, &entry) == 1 && entry.kind == 140);
  for (int32_t id : {101, -1}) EXPECT_EQ(jFontGetFontInfo(r.font, id, &entry), 0);
  // Exact names; the lowest ID of a repeated name.
  EXPECT_EQ(jFontGetFontID(r.font, "c"), 2);
  for (const char *other : {"C", "cc"}) EXPECT_EQ(jFontGetFontID(r.font, other), -1);
  EXPECT_EQ(jFontOpen(r.font, "z", 0), nullptr);
  JFontHandle *handle = jFontOpen(r.font, "f", 1);
  ASSERT_NE(handle, nullptr);
  EXPECT_EQ(handle->entry.kind, 11);
  EXPECT_EQ(jFontClose(handle), 1);
  char name[64];
  EXPECT_TRUE(jFontGetFontName(r.font, 7, name) == 1 && std::string(name) == "h");

  // Delete at a kind-1 entry removes only the three entries already of kind 0.
  EXPECT_EQ(jFontDelete(r.font, 101), 0);
  ASSERT_EQ(jFontDelete(r.font, 0), 1);
  EXPECT_EQ(namesOf(r.font)[3], "g");
  EXPECT_EQ(jFontGetFontNum(r.font), 98);
  static const JFontEntry zero{};
  EXPECT_EQ(std::memcmp(&r.font->entries[100], &zero, sizeof zero), 0);
  EXPECT_EQ(jFontClear(r.font), 1);
  EXPECT_EQ(jFontGetFontNum(r.font), 0);
  EXPECT_EQ(std::memcmp(&r.font->entries[199], &zero, sizeof zero), 0);
}

TEST(FontRegistry, FailedAllocationsAndBadArgumentsLeaveNothingBehind) {
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
  EXPECT_EQ(jFontGetFontNum(r.font), 100);
  jMemTestFailNth(1);
  EXPECT_EQ(jFontOpen(r.font, "x", 0), nullptr);
  // A registry whose table is gone answers like a null one.
  JFont bare{nullptr, 0, 0};
  for (JFont *font : {static_cast<JFont *>(nullptr), &bare}) {
    EXPECT_EQ(jFontClear(font), 0);
    EXPECT_EQ(jFontRegist(font, JFontEntry{}), 0);
    EXPECT_EQ(jFontGetFontID(font, "a"), -1);
    EXPECT_EQ(jFontGetFontNum(font), 0);
    EXPECT_EQ(jFontOpen(font, "a", 0), nullptr);
  }
  EXPECT_EQ(jFontEnd(nullptr), 0);
}

TEST(FontRegistry, InstalledFamiliesByMask) {
  Registry japanese, latin;
  for (auto [registry, charset] : {std::pair{&japanese, JFCS_SHIFTJIS}, {&latin, JFCS_ANSI}}) {
    JFontEntry templ{};
    templ.charset = charset;
    EXPECT_EQ(jFontRegistTTF(registry->font, templ), 1);
  }
  const std::vector<std::string> ja = namesOf(japanese.font), an = namesOf(latin.font);
  auto has = [](const std::vector<std::string> &names, const char *name) {
    return std::find(names.begin(), names.end(), name) != names.end();
  };
  EXPECT_TRUE(has(ja, "IPAGothic") && has(an, "DejaVu Sans") && !has(an, "IPAGothic"));
  EXPECT_TRUE(std::is_sorted(ja.begin(), ja.end()));
  for (const std::string &name : ja) EXPECT_NE(name[0], '@');
  // A family that is not installed still opens, without a face.
  jFontRegist(japanese.font, entryOf(JFK_TTF, "No Such Family Anywhere"));
  JFontHandle *handle = jFontOpen(japanese.font, "No Such Family Anywhere", 1);
  ASSERT_NE(handle, nullptr);
  EXPECT_EQ(jFontGetDC(handle), nullptr);
  EXPECT_FALSE(outlina::fontInstalledVertical(handle));
  EXPECT_EQ(jFontClose(handle), 1);
}

}  // namespace
