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

bool slotsZero(const JFont *font, int from, int to) {
  static const JFontEntry zero{};
  for (int i = from; i < to; ++i)
    if (std::memcmp(&font->entries[i], &zero, sizeof zero) != 0) return false;
  return true;
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

TEST(FontRegistry, GrowthKeepsEntriesAndIdsAndClearZeroesEverySlot) {
  Registry r;
  ASSERT_NE(r.font, nullptr);
  for (int i = 0; i < 101; ++i)
    ASSERT_EQ(jFontRegist(r.font, entryOf(40 + i, std::to_string(i))), 1);
  EXPECT_EQ(r.font->capacity, 200);
  EXPECT_EQ(jFontGetFontNum(r.font), 101);
  JFontEntry entry{};
  EXPECT_TRUE(jFontGetFontInfo(r.font, 100, &entry) == 1 && entry.kind == 140);
  EXPECT_EQ(jFontGetFontID(r.font, "99"), 99);
  EXPECT_EQ(jFontClear(r.font), 1);
  EXPECT_EQ(jFontGetFontNum(r.font), 0);
  EXPECT_TRUE(slotsZero(r.font, 0, 200));
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
  EXPECT_EQ(jFontGetFontNum(r.font), 100);
  jMemTestFailNth(1);
  EXPECT_EQ(jFontOpen(r.font, "x", 0), nullptr);
}

TEST(FontRegistry, LookupIsExactAndFindsLowestIdAndBadArgumentsFail) {
  Registry r;
  for (auto [kind, name] : {std::pair{30, "Alpha"}, {31, "Beta"}, {32, "Beta"}})
    jFontRegist(r.font, entryOf(kind, name));
  EXPECT_EQ(jFontGetFontID(r.font, "Beta"), 1);
  for (const char *other : {"beta", "Alph"}) EXPECT_EQ(jFontGetFontID(r.font, other), -1);
  EXPECT_EQ(jFontOpen(r.font, "Gamma", 0), nullptr);
  JFontHandle *handle = jFontOpen(r.font, "Beta", 1);
  ASSERT_NE(handle, nullptr);
  EXPECT_EQ(handle->entry.kind, 31);
  EXPECT_EQ(jFontClose(handle), 1);
  char name[64];
  EXPECT_TRUE(jFontGetFontName(r.font, 0, name) == 1 && std::string(name) == "Alpha");

  JFontEntry entry{};
  for (int32_t id : {3, -1}) EXPECT_EQ(jFontGetFontInfo(r.font, id, &entry), 0);
  // A registry whose table is gone answers like a null one.
  JFont bare{nullptr, 0, 0};
  for (JFont *font : {static_cast<JFont *>(nullptr), &bare}) {
    EXPECT_EQ(jFontClear(font), 0);
    EXPECT_EQ(jFontRegist(font, entry), 0);
    EXPECT_EQ(jFontGetFontID(font, "a"), -1);
    EXPECT_EQ(jFontGetFontNum(font), 0);
    EXPECT_EQ(jFontOpen(font, "a", 0), nullptr);
  }
  EXPECT_EQ(jFontEnd(nullptr), 0);
}

TEST(FontRegistry, DeleteCompactsOnlyEmptyEntries) {
  Registry r;
  const int32_t kinds[] = {1, 0, 21, 0, 0, 11, 1, 12};
  for (int i = 0; i < 8; ++i) jFontRegist(r.font, entryOf(kinds[i], std::string(1, char('a' + i))));
  EXPECT_EQ(jFontDelete(r.font, 8), 0);
  // The kind-1 entry at the ID stays: only the three kind-0 entries go.
  ASSERT_EQ(jFontDelete(r.font, 0), 1);
  EXPECT_EQ(namesOf(r.font), (std::vector<std::string>{"a", "c", "f", "g", "h"}));
  EXPECT_TRUE(slotsZero(r.font, 5, 100));
  ASSERT_EQ(jFontDelete(r.font, 2), 1);  // nothing of kind 0 is left
  EXPECT_EQ(jFontGetFontNum(r.font), 5);
}

TEST(FontRegistry, InstalledFamiliesByMaskOpenTheirFace) {
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
  jFontRegist(japanese.font, entryOf(JFK_TTF, "No Such Family Anywhere"));
  for (const char *name : {"IPAGothic", "DejaVu Sans", "No Such Family Anywhere"}) {
    for (int32_t vertical : {0, 1}) {
      JFontHandle *handle = jFontOpen(latin.font, name, vertical);
      if (handle == nullptr) handle = jFontOpen(japanese.font, name, vertical);
      ASSERT_NE(handle, nullptr) << name;
      const bool known = std::strcmp(name, "No Such Family Anywhere") != 0;
      EXPECT_EQ(jFontGetDC(handle) != nullptr, known) << name;
      // Only the Shift-JIS family has a vertical variant.
      EXPECT_EQ(known && outlina::fontInstalledVertical(handle), vertical && name[0] == 'I');
      EXPECT_EQ(jFontClose(handle), 1);
    }
  }
}

}  // namespace
