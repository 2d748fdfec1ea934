// The FreeType face behind a kind-21 font handle, and the glyph-outline service on it: code
// page bytes to Unicode to glyph, vertical alternates and orientation in vertical mode, and
// the native outline buffer in a cell 10000 units high.
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_ADVANCES_H
#include FT_TRUETYPE_TABLES_H
#include <hb-ft.h>
#include <hb.h>
#include <iconv.h>
#include <unicode/uchar.h>

#include <cmath>
#include <cstring>

#include "font/installed_face.h"
#include "font/native_outline.h"
#include "geom/pt.h"
#include "plinth.h"

namespace outlina {
namespace {

// Versions of the OS/2 table are small numbers; this one marks a face that has none.
constexpr FT_UShort kNoOs2Version = 0xFFFF;
// Native coordinates are 16.16 numbers: their integer parts must fit 16 signed bits.
constexpr double kFixedLimit = 32767.0;
// Cubic outlines become quadratic pieces that stay this close (native units) to the cubic,
// half a unit so that even the half-size outline stays within a cell unit.
constexpr double kCubicTolerance = 0.5;
// Largest distance between a cubic and the quadratic with control (3 (P1 + P2) - P0 - P3) / 4,
// per unit of |P3 - 3 P2 + 3 P1 - P0|.
const double kMidpointQuadError = std::sqrt(3.0) / 36.0;
// Symbol fonts map their byte codes into this private-use page.
constexpr FT_ULong kSymbolPage = 0xF000;
// What iconv_open answers when it cannot convert.
const iconv_t kNoConversion = reinterpret_cast<iconv_t>(-1);
// Unicode as iconv delivers it here: one 32-bit little-endian unit per character.
constexpr char kUnicodeTarget[] = "UTF-32LE";

struct InstalledFace {
  FT_Library library;
  FT_Face face;
  hb_font_t *shaper;      // vertical mode: finds the vertical alternates
  hb_buffer_t *shaping;
  iconv_t toUnicode;      // kNoConversion for a symbol font
  bool vertical;
  bool symbol;
  double scale;           // cell units per font unit
  int32_t descent;        // cell units
  // The last outline built, kept so that the size query and the fetch load the glyph once.
  bool cached;
  uint32_t cachedCode;
  FontMat2 cachedMatrix;
  FontGlyphCell cachedCell;
  uint8_t *buffer;
  uint32_t used, capacity;
  Pt *points;
  uint32_t pointCapacity;
  char *tags;
  uint32_t tagCapacity;
};

InstalledFace *faceOf(const JFontHandle *handle) {
  if (handle == nullptr || handle->entry.kind != JFK_TTF) return nullptr;
  return static_cast<InstalledFace *>(handle->object);
}

// Grows a jMemAlloc block to hold at least needed elements, keeping its content.
template <typename T>
bool reserve(T *&block, uint32_t &capacity, uint32_t needed, uint32_t keep) {
  if (needed <= capacity) return true;
  uint32_t grown = capacity > 0 ? capacity : 256;
  while (grown < needed) grown *= 2;
  auto *fresh = static_cast<T *>(jMemAlloc(grown * static_cast<uint32_t>(sizeof(T))));
  if (fresh == nullptr) return false;
  if (keep > 0) std::memcpy(fresh, block, keep * sizeof(T));
  jMemFree(block);
  block = fresh;
  capacity = grown;
  return true;
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
  if (state->face != nullptr) FT_Done_Face(state->face);
  if (state->library != nullptr) FT_Done_FreeType(state->library);
  jMemFree(state->buffer);
  jMemFree(state->points);
  jMemFree(state->tags);
  jMemFree(state);
}

bool openFace(InstalledFace &state, const char *family, uint32_t charset) {
  FcPattern *match = nullptr;
  FcChar8 *file = nullptr;
  int index = 0;
  const bool found = findFamilyFile(family, &file, &index, &match);
  const bool opened = found && FT_Init_FreeType(&state.library) == 0 &&
                      FT_New_Face(state.library, reinterpret_cast<char *>(file), index,
                                  &state.face) == 0;
  if (match != nullptr) FcPatternDestroy(match);
  if (!opened) return false;
  setCellScale(state);
  state.symbol = (charset & JFCS_SYMBOL) != 0 &&
                 FT_Select_Charmap(state.face, FT_ENCODING_MS_SYMBOL) == 0;
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

// The glyph (0, the missing-glyph shape, when the font lacks the character) and the Unicode
// character of a code page code; false when the bytes are not a character of the code page.
bool glyphOfCode(InstalledFace &state, uint32_t code, FT_UInt *glyph, uint32_t *codePoint) {
  if (state.symbol) {
    if (code > 0xFF) return false;
    *glyph = FT_Get_Char_Index(state.face, code);
    if (*glyph == 0) *glyph = FT_Get_Char_Index(state.face, kSymbolPage | code);
    return true;
  }
  char bytes[2];
  size_t inLeft = 0;
  if (code > 0xFFFF) return false;
  if (code > 0xFF) bytes[inLeft++] = static_cast<char>(code >> 8);
  bytes[inLeft++] = static_cast<char>(code & 0xFF);
  uint8_t unit[4];
  char *in = bytes;
  char *out = reinterpret_cast<char *>(unit);
  size_t outLeft = sizeof unit;
  iconv(state.toUnicode, nullptr, nullptr, nullptr, nullptr);
  if (iconv(state.toUnicode, &in, &inLeft, &out, &outLeft) == static_cast<size_t>(-1) ||
      inLeft != 0 || outLeft != 0)
    return false;
  *codePoint = static_cast<uint32_t>(unit[0]) | static_cast<uint32_t>(unit[1]) << 8 |
               static_cast<uint32_t>(unit[2]) << 16 | static_cast<uint32_t>(unit[3]) << 24;
  *glyph = FT_Get_Char_Index(state.face, *codePoint);
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

// In vertical mode, chooses the glyph and whether it stands upright in the column, after
// the character's vertical orientation: U and Tu upright (Tu through its alternate), Tr
// upright only through an alternate, R on its side.
bool chooseVertical(InstalledFace &state, uint32_t codePoint, FT_UInt *glyph) {
  const auto orientation = static_cast<UVerticalOrientation>(
      u_getIntPropertyValue(static_cast<UChar32>(codePoint), UCHAR_VERTICAL_ORIENTATION));
  if (orientation == U_VO_UPRIGHT) return true;
  if (orientation == U_VO_ROTATED) return false;
  const FT_UInt alternate = verticalAlternate(state, codePoint);
  const bool hasAlternate = alternate != 0 && alternate != *glyph;
  if (hasAlternate) *glyph = alternate;
  return hasAlternate || orientation == U_VO_TRANSFORMED_UPRIGHT;
}

// Appends native records to the face's buffer.
class OutlineWriter {
 public:
  explicit OutlineWriter(InstalledFace &state) : state_(state) { state_.used = 0; }

  bool ok() const { return ok_; }

  void beginPolygon(Pt start) {
    polygonAt_ = state_.used;
    recordAt_ = 0;
    putU32(0);
    putU32(kPolygonType);
    putPoint(start);
  }
  void line(Pt p) {
    if (recordAt_ == 0 || recordType_ != kCurveLine) beginRecord(kCurveLine);
    addPoint(p);
  }
  // One B-spline record: the off-curve points, then the on-curve end.
  void qspline(const Pt *controls, uint32_t count, Pt end) {
    beginRecord(kCurveQSpline);
    for (uint32_t i = 0; i < count; ++i) addPoint(controls[i]);
    addPoint(end);
    recordAt_ = 0;
  }
  void endPolygon() {
    const uint32_t bytes = state_.used - polygonAt_;
    if (ok_) std::memcpy(state_.buffer + polygonAt_, &bytes, sizeof bytes);
    recordAt_ = 0;
  }

 private:
  void beginRecord(uint16_t type) {
    recordAt_ = state_.used;
    recordType_ = type;
    putU16(type);
    putU16(0);
  }
  void addPoint(Pt p) {
    putPoint(p);
    if (!ok_) return;
    uint16_t count;
    std::memcpy(&count, state_.buffer + recordAt_ + 2, sizeof count);
    ++count;
    std::memcpy(state_.buffer + recordAt_ + 2, &count, sizeof count);
  }
  void put(const void *bytes, uint32_t size) {
    if (!ok_ || !reserve(state_.buffer, state_.capacity, state_.used + size, state_.used)) {
      ok_ = false;
      return;
    }
    std::memcpy(state_.buffer + state_.used, bytes, size);
    state_.used += size;
  }
  void putU32(uint32_t value) { put(&value, sizeof value); }
  void putU16(uint16_t value) { put(&value, sizeof value); }
  // A coordinate whose integer part does not fit 16 bits makes the glyph refused.
  void putPoint(Pt p) {
    if (std::fabs(p.x) > kFixedLimit || std::fabs(p.y) > kFixedLimit) ok_ = false;
    const int32_t fixed[2] = {static_cast<int32_t>(std::lround(p.x * kFixedOne)),
                              static_cast<int32_t>(std::lround(p.y * kFixedOne))};
    put(fixed, sizeof fixed);
  }

  InstalledFace &state_;
  bool ok_ = true;
  uint32_t polygonAt_ = 0;
  uint32_t recordAt_ = 0;
  uint16_t recordType_ = 0;
};

Pt blossom(const Pt *p, double t1, double t2, double t3) {
  auto lerp = [](Pt a, Pt b, double t) { return a + t * (b - a); };
  Pt a[3] = {lerp(p[0], p[1], t1), lerp(p[1], p[2], t1), lerp(p[2], p[3], t1)};
  Pt b[2] = {lerp(a[0], a[1], t2), lerp(a[1], a[2], t2)};
  return lerp(b[0], b[1], t3);
}

// A cubic as quadratic pieces: each piece of the cubic split evenly is replaced by the
// quadratic through its ends with control (3 (Q1 + Q2) - Q0 - Q3) / 4.
void writeCubic(OutlineWriter &writer, Pt p0, Pt p1, Pt p2, Pt p3) {
  const Pt cubic[4] = {p0, p1, p2, p3};
  const Pt third = p3 - 3.0 * p2 + 3.0 * p1 - p0;
  const double error = kMidpointQuadError * std::sqrt(dot(third, third));
  const int pieces = std::max(1, static_cast<int>(std::ceil(std::cbrt(error / kCubicTolerance))));
  for (int i = 0; i < pieces; ++i) {
    const double a = static_cast<double>(i) / pieces;
    const double b = static_cast<double>(i + 1) / pieces;
    const Pt q0 = blossom(cubic, a, a, a), q1 = blossom(cubic, a, a, b);
    const Pt q2 = blossom(cubic, a, b, b);
    const Pt q3 = i + 1 == pieces ? p3 : blossom(cubic, b, b, b);
    const Pt control = 0.25 * (3.0 * (q1 + q2) - q0 - q3);
    writer.qspline(&control, 1, q3);
  }
}

// One contour in native records. Its points come in the order given (reversed for CFF so
// that outer contours run clockwise); the implicit closing line back to the start is left
// out as the native format does.
void writeContour(OutlineWriter &writer, const Pt *points, const char *tags, uint32_t count,
                  Pt *pending) {
  uint32_t first = 0;
  while (first < count && FT_CURVE_TAG(tags[first]) != FT_CURVE_TAG_ON) ++first;
  // A contour of off-curve points only starts at the implied point between its last and
  // first points.
  const bool implied = first == count;
  const Pt start = implied ? 0.5 * (points[count - 1] + points[0]) : points[first];
  writer.beginPolygon(start);
  Pt current = start;
  uint32_t conics = 0, cubics = 0;
  Pt cubic[2];
  const uint32_t steps = implied ? count + 1 : count;
  for (uint32_t k = 1; k <= steps; ++k) {
    const bool closing = k == steps;
    const uint32_t j = implied ? k - 1 : (first + k) % count;
    const Pt p = closing ? start : points[j];
    const int tag = closing ? FT_CURVE_TAG_ON : FT_CURVE_TAG(tags[j]);
    if (tag == FT_CURVE_TAG_CONIC) {
      pending[conics++] = p;
      continue;
    }
    if (tag == FT_CURVE_TAG_CUBIC) {
      if (cubics < 2) cubic[cubics] = p;
      ++cubics;
      continue;
    }
    if (cubics == 2)
      writeCubic(writer, current, cubic[0], cubic[1], p);
    else if (conics > 0)
      writer.qspline(pending, conics, p);
    else if (!closing)
      writer.line(p);
    current = p;
    conics = cubics = 0;
  }
  writer.endPolygon();
}

// Loads the glyph of code and writes its native outline under matrix into the face's
// buffer; false when the glyph is refused.
bool buildOutline(InstalledFace &state, uint32_t code, const FontMat2 &matrix) {
  state.cached = false;
  uint32_t codePoint = 0;
  FT_UInt glyph = 0;
  if (!glyphOfCode(state, code, &glyph, &codePoint)) return false;
  const bool upright = state.vertical && !state.symbol && chooseVertical(state, codePoint, &glyph);
  FT_Face face = state.face;
  if (FT_Load_Glyph(face, glyph, FT_LOAD_NO_SCALE) != 0 ||
      face->glyph->format != FT_GLYPH_FORMAT_OUTLINE)
    return false;
  const double scale = state.scale;
  const double horizontal = std::lround(face->glyph->metrics.horiAdvance * scale);
  double advance = horizontal;
  if (upright) {
    FT_Fixed vertical = 0;
    advance = FT_HAS_VERTICAL(face) &&
                      FT_Get_Advance(face, glyph, FT_LOAD_NO_SCALE | FT_LOAD_VERTICAL_LAYOUT,
                                     &vertical) == 0
                  ? std::lround(vertical * scale)
                  : JFONT_EM;
  }
  const double m11 = matrix.m11 / kFixedOne, m12 = matrix.m12 / kFixedOne;
  const double m21 = matrix.m21 / kFixedOne, m22 = matrix.m22 / kFixedOne;
  // Upright glyphs are delivered turned a quarter turn counter-clockwise and placed so that
  // the reader's clockwise turn and shifts stand them in the column, centred across it.
  const double descent = state.descent;
  const double centring = (JFONT_EM - horizontal) / 2.0;
  auto place = [&](FT_Vector v) {
    Pt p{v.x * scale, v.y * scale};
    if (upright) p = {advance - descent - p.y, p.x - descent + centring};
    return Pt{m11 * p.x + m21 * p.y, m12 * p.x + m22 * p.y};
  };
  state.cachedCell = {static_cast<int32_t>(std::lround(m11 * advance)),
                      static_cast<int32_t>(std::lround(m12 * advance))};

  const FT_Outline &outline = face->glyph->outline;
  const auto total = static_cast<uint32_t>(outline.n_points);
  // Two halves: a contour's points in writing order, then room for its pending controls.
  if (!reserve(state.points, state.pointCapacity, 2 * total, 0) ||
      !reserve(state.tags, state.tagCapacity, total, 0))
    return false;
  const bool reverse = (outline.flags & FT_OUTLINE_REVERSE_FILL) != 0;
  OutlineWriter writer(state);
  uint32_t first = 0;
  for (int c = 0; c < outline.n_contours && writer.ok(); ++c) {
    const auto last = static_cast<uint32_t>(outline.contours[c]);
    const uint32_t count = last + 1 - first;
    // A contour of fewer than three points encloses nothing.
    if (count >= 3) {
      for (uint32_t i = 0; i < count; ++i) {
        const uint32_t from = reverse ? last - i : first + i;
        state.points[i] = place(outline.points[from]);
        state.tags[i] = outline.tags[from];
      }
      writeContour(writer, state.points, state.tags, count, state.points + total);
    }
    first = last + 1;
  }
  if (!writer.ok()) return false;
  state.cached = true;
  state.cachedCode = code;
  state.cachedMatrix = matrix;
  return true;
}

int32_t installedDescent(JFontHandle *handle) {
  const InstalledFace *state = faceOf(handle);
  return state != nullptr ? state->descent : 0;
}

int32_t installedOutline(JFontHandle *handle, uint32_t code, const FontMat2 &matrix,
                         FontGlyphCell *cell, uint32_t size, uint8_t *buffer) {
  InstalledFace *state = faceOf(handle);
  if (state == nullptr) return -1;
  const bool hit = state->cached && state->cachedCode == code &&
                   std::memcmp(&state->cachedMatrix, &matrix, sizeof matrix) == 0;
  if (!hit && !buildOutline(*state, code, matrix)) return -1;
  *cell = state->cachedCell;
  if (buffer != nullptr) {
    if (size < state->used) return -1;
    std::memcpy(buffer, state->buffer, state->used);
  }
  return static_cast<int32_t>(state->used);
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
