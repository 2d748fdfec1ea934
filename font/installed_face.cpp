// The FreeType face behind a kind-21 font handle, and the glyph-outline service on it: code
// page bytes to Unicode to glyph, vertical alternates and orientation in vertical mode, and
// the native outline buffer in a cell 10000 units high.
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H
#include <hb-ft.h>
#include <hb.h>
#include <iconv.h>
#include <unicode/uchar.h>

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "font/installed_face.h"
#include "font/native_outline.h"
#include "font/native_writer.h"
#include "plinth.h"

namespace outlina {
namespace {

// Versions of the OS/2 table are small numbers; this one marks a face that has none.
constexpr FT_UShort kNoOs2Version = 0xFFFF;
// Symbol fonts map their byte codes into this private-use page.
constexpr FT_ULong kSymbolPage = 0xF000;
// What iconv_open answers when it cannot convert.
const iconv_t kNoConversion = reinterpret_cast<iconv_t>(-1);
// Unicode as iconv delivers it here: one 32-bit little-endian unit per character.
constexpr char kUnicodeTarget[] = "UTF-32LE";
// Code page codes are converted, to Unicode and on through the cmap to a glyph, a lead byte's
// row of 256 codes at a time, on first use; row 0 holds the single-byte codes.
constexpr uint32_t kRowCodes = 256;
constexpr uint32_t kRows = 256;
// A row entry for bytes that are no character of the code page.
constexpr uint32_t kNoCharacter = 0xFFFFFFFF;
// The centre line of a vertical column: the middle of the cell, where sideways glyphs have it.
constexpr double kColumnCentre = JFONT_EM / 2.0;

// A code page code's Unicode character (kNoCharacter when there is none) and its glyph.
struct CodeEntry {
  uint32_t codePoint;
  FT_UInt glyph;
};

struct InstalledFace {
  FT_Library library;
  FT_Face face;
  hb_font_t *shaper;  // vertical mode: finds the vertical alternates
  hb_buffer_t *shaping;
  iconv_t toUnicode;           // kNoConversion for a symbol font
  CodeEntry *codeRows[kRows];  // each code page code, by lead byte; null until used
  bool vertical;
  bool symbol;
  double scale;           // cell units per font unit
  int32_t descent;        // cell units
  NativeScratch scratch;  // the outline handed out last
};

InstalledFace *faceOf(const JFontHandle *handle) {
  if (handle == nullptr || handle->entry.kind != JFK_TTF) return nullptr;
  return static_cast<InstalledFace *>(handle->object);
}

// Code page of the charset class of the entry: the double-byte sets first, since their words
// carry the ANSI bit as well.
const char *codePageOf(uint32_t charset) {
  if ((charset & JFCS_SHIFTJIS) != 0) return "CP932";
  if ((charset & JFCS_GB2312) != 0) return "CP936";
  if ((charset & JFCS_BIG5) != 0) return "CP950";
  if ((charset & JFCS_HANGUL) != 0) return "CP949";
  return "CP1252";
}

// The file and face index of the installed family's regular face; false when fontconfig's
// best match is not of that family.
bool findFamilyFile(const char *family, FcChar8 **file, int *index, FcPattern **match) {
  FcPattern *pattern = FcPatternCreate();
  if (pattern == nullptr) return false;
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8 *>(family));
  FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result;
  *match = FcFontMatch(nullptr, pattern, &result);
  FcPatternDestroy(pattern);
  if (*match == nullptr) return false;
  bool named = false;
  FcChar8 *name = nullptr;
  for (int i = 0; !named && FcPatternGetString(*match, FC_FAMILY, i, &name) == FcResultMatch; ++i)
    named = std::strcmp(reinterpret_cast<char *>(name), family) == 0;
  return named && FcPatternGetString(*match, FC_FILE, 0, file) == FcResultMatch &&
         FcPatternGetInteger(*match, FC_INDEX, 0, index) == FcResultMatch;
}

// Cell height = usWinAscent + usWinDescent (hhea ascender - descender without OS/2).
void setCellScale(InstalledFace &state) {
  FT_Face face = state.face;
  auto *os2 = static_cast<TT_OS2 *>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
  double ascent, descent;
  if (os2 != nullptr && os2->version != kNoOs2Version) {
    ascent = os2->usWinAscent;
    descent = os2->usWinDescent;
  } else {
    ascent = face->ascender;
    descent = -face->descender;
  }
  if (ascent + descent <= 0) {
    ascent = face->units_per_EM;
    descent = 0;
  }
  state.scale = JFONT_EM / (ascent + descent);
  state.descent = static_cast<int32_t>(std::lround(descent * state.scale));
}

void releaseFace(InstalledFace *state) {
  if (state->shaping != nullptr) hb_buffer_destroy(state->shaping);
  if (state->shaper != nullptr) hb_font_destroy(state->shaper);
  if (state->toUnicode != kNoConversion) iconv_close(state->toUnicode);
  for (CodeEntry *row : state->codeRows) jMemFree(row);
  if (state->face != nullptr) FT_Done_Face(state->face);
  if (state->library != nullptr) FT_Done_FreeType(state->library);
  fontReleaseNativeScratch(state->scratch);
  jMemFree(state);
}

bool openFace(InstalledFace &state, const char *family, uint32_t charset) {
  FcPattern *match = nullptr;
  FcChar8 *file = nullptr;
  int index = 0;
  const bool found = findFamilyFile(family, &file, &index, &match);
  const bool opened =
      found && FT_Init_FreeType(&state.library) == 0 &&
      FT_New_Face(state.library, reinterpret_cast<char *>(file), index, &state.face) == 0;
  if (match != nullptr) FcPatternDestroy(match);
  if (!opened) return false;
  setCellScale(state);
  state.symbol =
      (charset & JFCS_SYMBOL) != 0 && FT_Select_Charmap(state.face, FT_ENCODING_MS_SYMBOL) == 0;
  if (!state.symbol) {
    state.toUnicode = iconv_open(kUnicodeTarget, codePageOf(charset));
    if (state.toUnicode == kNoConversion) return false;
  }
  if (state.vertical) {
    hb_face_t *shapeFace = hb_ft_face_create_referenced(state.face);
    state.shaper = hb_font_create(shapeFace);
    hb_face_destroy(shapeFace);
    state.shaping = hb_buffer_create();
    if (!hb_buffer_allocation_successful(state.shaping)) return false;
  }
  return true;
}

// The Unicode character of code page bytes through iconv, kNoCharacter when they are none.
uint32_t convertCode(iconv_t toUnicode, uint32_t code) {
  char bytes[2];
  size_t inLeft = 0;
  if (code > 0xFF) bytes[inLeft++] = static_cast<char>(code >> 8);
  bytes[inLeft++] = static_cast<char>(code & 0xFF);
  uint8_t unit[4];
  char *in = bytes;
  char *out = reinterpret_cast<char *>(unit);
  size_t outLeft = sizeof unit;
  iconv(toUnicode, nullptr, nullptr, nullptr, nullptr);
  if (iconv(toUnicode, &in, &inLeft, &out, &outLeft) == static_cast<size_t>(-1) || inLeft != 0 ||
      outLeft != 0)
    return kNoCharacter;
  return static_cast<uint32_t>(unit[0]) | static_cast<uint32_t>(unit[1]) << 8 |
         static_cast<uint32_t>(unit[2]) << 16 | static_cast<uint32_t>(unit[3]) << 24;
}

// The glyph (0, the missing-glyph shape, when the font lacks the character) and the Unicode
// character of a code page code; false when the bytes are not a character of the code page
// or the row of conversions cannot be allocated.
bool glyphOfCode(InstalledFace &state, uint32_t code, FT_UInt *glyph, uint32_t *codePoint) {
  if (state.symbol) {
    if (code > 0xFF) return false;
    *glyph = FT_Get_Char_Index(state.face, code);
    if (*glyph == 0) *glyph = FT_Get_Char_Index(state.face, kSymbolPage | code);
    return true;
  }
  if (code > 0xFFFF) return false;
  CodeEntry *&row = state.codeRows[code / kRowCodes];
  if (row == nullptr) {
    row = static_cast<CodeEntry *>(jMemAlloc(kRowCodes * sizeof(CodeEntry)));
    if (row == nullptr) return false;
    const uint32_t first = code - code % kRowCodes;
    for (uint32_t i = 0; i < kRowCodes; ++i) {
      const uint32_t unicode = convertCode(state.toUnicode, first + i);
      row[i] = {unicode, unicode == kNoCharacter ? 0 : FT_Get_Char_Index(state.face, unicode)};
    }
  }
  const CodeEntry &entry = row[code % kRowCodes];
  if (entry.codePoint == kNoCharacter) return false;
  *codePoint = entry.codePoint;
  *glyph = entry.glyph;
  return true;
}

// The glyph that vertical shaping ('vert', 'vrt2') puts in place of the character.
FT_UInt verticalAlternate(InstalledFace &state, uint32_t codePoint) {
  static const hb_feature_t kVerticalFeatures[] = {
      {HB_TAG('v', 'e', 'r', 't'), 1, HB_FEATURE_GLOBAL_START, HB_FEATURE_GLOBAL_END},
      {HB_TAG('v', 'r', 't', '2'), 1, HB_FEATURE_GLOBAL_START, HB_FEATURE_GLOBAL_END}};
  hb_buffer_t *buffer = state.shaping;
  hb_buffer_clear_contents(buffer);
  hb_buffer_add_codepoints(buffer, &codePoint, 1, 0, 1);
  hb_buffer_set_direction(buffer, HB_DIRECTION_TTB);
  hb_buffer_set_language(buffer, hb_language_from_string("ja", -1));
  hb_buffer_guess_segment_properties(buffer);
  hb_shape(state.shaper, buffer, kVerticalFeatures, 2);
  unsigned int length = 0;
  const hb_glyph_info_t *glyphs = hb_buffer_get_glyph_infos(buffer, &length);
  return length == 1 ? glyphs[0].codepoint : 0;
}

// In vertical mode, chooses the glyph and whether it stands upright in the column. Every
// character that stands upright takes its vertical alternate when the font has one; without
// one, U and Tu stand upright and Tr lies on its side like R.
bool chooseVertical(InstalledFace &state, uint32_t codePoint, FT_UInt *glyph) {
  const auto orientation = static_cast<UVerticalOrientation>(
      u_getIntPropertyValue(static_cast<UChar32>(codePoint), UCHAR_VERTICAL_ORIENTATION));
  if (orientation == U_VO_ROTATED) return false;
  const FT_UInt alternate = verticalAlternate(state, codePoint);
  const bool hasAlternate = alternate != 0 && alternate != *glyph;
  if (hasAlternate) *glyph = alternate;
  return hasAlternate || orientation != U_VO_TRANSFORMED_ROTATED;
}

// Loads the glyph of code and writes its native outline under matrix into the face's
// buffer and its cell increments into cell; false when the glyph is refused.
bool buildOutline(InstalledFace &state, uint32_t code, const FontMat2 &matrix,
                  FontGlyphCell *cell) {
  uint32_t codePoint = 0;
  FT_UInt glyph = 0;
  if (!glyphOfCode(state, code, &glyph, &codePoint)) return false;
  const bool upright = state.vertical && !state.symbol && chooseVertical(state, codePoint, &glyph);
  FT_Face face = state.face;
  if (FT_Load_Glyph(face, glyph, FT_LOAD_NO_SCALE) != 0 ||
      face->glyph->format != FT_GLYPH_FORMAT_OUTLINE)
    return false;
  const double scale = state.scale;
  double advance = std::lround(face->glyph->metrics.horiAdvance * scale);
  const double m11 = matrix.m11 / kFixedOne, m12 = matrix.m12 / kFixedOne;
  const double m21 = matrix.m21 / kFixedOne, m22 = matrix.m22 / kFixedOne;
  double ux = scale, vx = 0, ox = 0, uy = 0, vy = scale, oy = 0;
  if (upright) {
    // The font's vertical origin goes to the top of the em box on the column's centre line,
    // the box spanning 0 to the vertical advance. The glyph is delivered turned a quarter
    // turn counter-clockwise, (u, v) to (vertical origin y - v, u - origin x + centre -
    // descent), so that the reader's clockwise turn and shifts stand it there.
    hb_position_t originX = 0, originY = 0;
    hb_font_get_glyph_v_origin(state.shaper, glyph, &originX, &originY);
    advance = std::lround(std::abs(hb_font_get_glyph_v_advance(state.shaper, glyph)) * scale);
    ux = 0, vx = -scale, ox = originY * scale;
    uy = scale, vy = 0, oy = kColumnCentre - originX * scale - state.descent;
  }
  const FontAffine map{m11 * ux + m21 * uy, m11 * vx + m21 * vy, m11 * ox + m21 * oy,
                       m12 * ux + m22 * uy, m12 * vx + m22 * vy, m12 * ox + m22 * oy};
  *cell = {static_cast<int32_t>(std::lround(m11 * advance)),
           static_cast<int32_t>(std::lround(m12 * advance))};
  return fontWriteNativeOutline(face->glyph->outline, map, state.scratch);
}

int32_t installedDescent(JFontHandle *handle) {
  const InstalledFace *state = faceOf(handle);
  return state != nullptr ? state->descent : 0;
}

int32_t installedOutline(JFontHandle *handle, uint32_t code, const FontMat2 &matrix,
                         FontGlyphCell *cell, const uint8_t **outline) {
  InstalledFace *state = faceOf(handle);
  if (state == nullptr || !buildOutline(*state, code, matrix, cell)) return -1;
  *outline = state->scratch.buffer;
  return static_cast<int32_t>(state->scratch.used);
}

constexpr FontOutlineService kInstalledService{installedDescent, installedOutline};

}  // namespace

const FontOutlineService *fontInstalledOutlineService() { return &kInstalledService; }

void fontOpenInstalled(JFontHandle *handle, const char *family) {
  auto *state = static_cast<InstalledFace *>(jMemAlloc(sizeof(InstalledFace)));
  if (state == nullptr) return;
  state->toUnicode = kNoConversion;
  state->vertical = family[0] == kVerticalPrefix;
  if (!openFace(*state, state->vertical ? family + 1 : family, handle->entry.charset)) {
    releaseFace(state);
    return;
  }
  handle->dc = state->face;
  handle->object = state;
}

void fontCloseInstalled(JFontHandle *handle) {
  InstalledFace *state = faceOf(handle);
  if (state != nullptr) releaseFace(state);
  handle->dc = nullptr;
  handle->object = nullptr;
}

bool fontInstalledVertical(const JFontHandle *handle) {
  const InstalledFace *state = faceOf(handle);
  return state != nullptr && state->vertical;
}

}  // namespace outlina
