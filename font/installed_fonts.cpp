// jFontRegistTTF: one kind-21 entry per installed scalable family that fontconfig lists, with
// its character-set class taken from the languages the family covers.
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cstring>
#include <iterator>

#include "font/installed_face.h"
#include "plinth.h"

namespace outlina {
namespace {

// Style name that every kind-21 entry carries.
constexpr char kRegularStyle[] = "Regular";

// Outline formats that count as TrueType (TrueType and CFF-flavoured OpenType); other scalable
// formats are not offered.
constexpr const char *kOutlineFormats[] = {"TrueType", "CFF"};

// Language tags that decide a family's class, tried in this order.
struct LanguageClass {
  const char *language;
  FontSystemSet set;
};
constexpr LanguageClass kLanguageClasses[] = {{"ja", FontSystemSet::ShiftJis},
                                              {"zh-cn", FontSystemSet::Gb2312},
                                              {"zh-tw", FontSystemSet::Big5},
                                              {"ko", FontSystemSet::Hangul}};
// Coverage of this language makes a Latin (ANSI) family.
constexpr char kLatinLanguage[] = "en";

bool hasLanguage(const FcLangSet *languages, const char *tag) {
  return FcLangSetHasLang(languages, reinterpret_cast<const FcChar8 *>(tag)) == FcLangEqual;
}

FontSystemSet classify(const FcLangSet *languages, bool symbol) {
  for (const LanguageClass &entry : kLanguageClasses)
    if (hasLanguage(languages, entry.language)) return entry.set;
  if (symbol) return FontSystemSet::Symbol;
  if (hasLanguage(languages, kLatinLanguage)) return FontSystemSet::Ansi;
  return FontSystemSet::Other;
}

bool isOutlineFormat(FcPattern *face) {
  FcChar8 *format = nullptr;
  if (FcPatternGetString(face, FC_FONTFORMAT, 0, &format) != FcResultMatch) return false;
  return std::any_of(
      std::begin(kOutlineFormats), std::end(kOutlineFormats),
      [&](const char *known) { return std::strcmp(reinterpret_cast<char *>(format), known) == 0; });
}

const char *stringOf(FcPattern *face, const char *object) {
  FcChar8 *text = nullptr;
  FcPatternGetString(face, object, 0, &text);
  return text != nullptr ? reinterpret_cast<const char *>(text) : "";
}

FontSystemSet classOf(FcPattern *face) {
  FcLangSet *languages = nullptr;
  FcBool symbol = FcFalse;
  FcPatternGetBool(face, FC_SYMBOL, 0, &symbol);
  if (FcPatternGetLangSet(face, FC_LANG, 0, &languages) != FcResultMatch)
    return symbol == FcTrue ? FontSystemSet::Symbol : FontSystemSet::Other;
  return classify(languages, symbol == FcTrue);
}

// Lists the scalable outline faces, keeps one per primary family name in name order (the
// family's first face by file decides its class, so the result is stable) and registers them.
void registInstalled(JFont *font, const JFontEntry &templ) {
  FcPattern *pattern = FcPatternBuild(nullptr, FC_SCALABLE, FcTypeBool, FcTrue, nullptr);
  FcObjectSet *objects =
      FcObjectSetBuild(FC_FAMILY, FC_FONTFORMAT, FC_LANG, FC_SYMBOL, FC_FILE, nullptr);
  FcFontSet *faces =
      pattern != nullptr && objects != nullptr ? FcFontList(nullptr, pattern, objects) : nullptr;
  const uint32_t slots = faces != nullptr ? static_cast<uint32_t>(faces->nfont) : 0;
  auto *listed = static_cast<FcPattern **>(jMemAlloc(slots * sizeof(FcPattern *)));
  auto *families = static_cast<InstalledFamily *>(jMemAlloc(slots * sizeof(InstalledFamily)));
  if (listed != nullptr && families != nullptr) {
    uint32_t count = 0;
    for (uint32_t i = 0; i < slots; ++i) {
      FcPattern *face = faces->fonts[i];
      FcChar8 *family = nullptr;
      if (isOutlineFormat(face) && FcPatternGetString(face, FC_FAMILY, 0, &family) == FcResultMatch)
        listed[count++] = face;
    }
    std::sort(listed, listed + count, [](FcPattern *a, FcPattern *b) {
      const int byName = std::strcmp(stringOf(a, FC_FAMILY), stringOf(b, FC_FAMILY));
      return byName != 0 ? byName < 0 : std::strcmp(stringOf(a, FC_FILE), stringOf(b, FC_FILE)) < 0;
    });
    int32_t kept = 0;
    for (uint32_t i = 0; i < count; ++i) {
      const char *name = stringOf(listed[i], FC_FAMILY);
      if (kept > 0 && std::strcmp(families[kept - 1].name, name) == 0) continue;
      families[kept++] = {name, classOf(listed[i])};
    }
    fontRegistFamilies(font, templ, families, kept);
  }
  jMemFree(families);
  jMemFree(listed);
  if (faces != nullptr) FcFontSetDestroy(faces);
  if (objects != nullptr) FcObjectSetDestroy(objects);
  if (pattern != nullptr) FcPatternDestroy(pattern);
}

}  // namespace

bool fontSetAccepted(FontSystemSet set, uint32_t mask) {
  switch (set) {
    case FontSystemSet::Ansi:
      return (mask & JFCS_ANSI) != 0;
    case FontSystemSet::Symbol:
      return (mask & JFCS_SYMBOL) != 0;
    case FontSystemSet::ShiftJis:
      return (mask & JFCS_SHIFTJIS) != 0;
    case FontSystemSet::Gb2312:
      return (mask & (JFCS_GB2312 | JFCS_OTHER)) != 0;
    case FontSystemSet::Big5:
      return (mask & (JFCS_BIG5 | JFCS_OTHER)) != 0;
    case FontSystemSet::Hangul:
      return (mask & (JFCS_HANGUL | JFCS_OTHER)) != 0;
    case FontSystemSet::Other:
      return (mask & JFCS_OTHER) != 0;
  }
  return false;
}

// The double-byte sets carry the ANSI bit beside their own.
uint32_t fontSetCode(FontSystemSet set) {
  switch (set) {
    case FontSystemSet::Ansi:
      return JFCS_ANSI;
    case FontSystemSet::Symbol:
      return JFCS_SYMBOL;
    case FontSystemSet::ShiftJis:
      return JFCS_SHIFTJIS | JFCS_ANSI;
    case FontSystemSet::Gb2312:
      return JFCS_GB2312 | JFCS_ANSI;
    case FontSystemSet::Big5:
      return JFCS_BIG5 | JFCS_ANSI;
    case FontSystemSet::Hangul:
      return JFCS_HANGUL | JFCS_ANSI;
    case FontSystemSet::Other:
      return JFCS_OTHER;
  }
  return JFCS_OTHER;
}

void fontRegistFamilies(JFont *font, const JFontEntry &templ, const InstalledFamily *families,
                        int32_t count) {
  for (int32_t i = 0; i < count; ++i) {
    const InstalledFamily &family = families[i];
    if (!fontSetAccepted(family.set, templ.charset)) continue;
    // Vertical variants are reached through their family, never registered themselves; a
    // name too long for the entry could not be looked up again.
    const size_t length = std::strlen(family.name);
    if (family.name[0] == kVerticalPrefix || length >= sizeof templ.name) continue;
    JFontEntry entry{};
    entry.kind = JFK_TTF;
    std::memcpy(entry.name, family.name, length);
    std::memcpy(entry.path, kRegularStyle, sizeof kRegularStyle);
    entry.charset = fontSetCode(family.set);
    entry.user = templ.user;
    jFontRegist(font, entry);
  }
}

}  // namespace outlina

extern "C" int32_t jFontRegistTTF(JFont *font, JFontEntry templ) {
  outlina::registInstalled(font, templ);
  return 1;
}
