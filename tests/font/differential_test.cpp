// Installed glyphs against an independent reading of the same font: FreeType's outline of the
// glyph (in vertical writing the one HarfBuzz's vertical shaping picks, placed by HarfBuzz's
// vertical metrics). Both outlines are flattened here and filled on one grid; their coverages
// must agree on 99% of their union.
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H
#include <gtest/gtest.h>
#include <hb-ft.h>
#include <iconv.h>
#include <unicode/uchar.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <vector>

#include "font/font_file_fixture.h"
#include "support/text_workload.h"

namespace {

using testing_support::GlyphRead;
using testing_support::OpenFont;
using testing_support::P;

constexpr int kGrid = 256;
constexpr double kGridFrom = -1000, kPixel = 12000.0 / kGrid;  // the cell and a margin around it
constexpr int kCurveSteps = 16;                                 // segments per flattened curve
using Mask = std::vector<uint8_t>;

// Flattened contours in cell units, through an affine placement of font units.
struct Polygons {
  double a = 1, b = 0, c = 0, d = 0, e = 1, f = 0;  // x = a u + b v + c, y = d u + e v + f
  Polygons() = default;
  Polygons(double a, double b, double c, double d, double e, double f)
      : a(a), b(b), c(c), d(d), e(e), f(f) {}
  std::vector<FT_Vector> points;
  std::vector<short> ends;
  double lastX = 0, lastY = 0;
  void to(double x, double y) {
    lastX = x, lastY = y;
    points.push_back({std::lround((x - kGridFrom) / kPixel * 64),
                      std::lround((y - kGridFrom) / kPixel * 64)});
  }
  double x(const FT_Vector *p) const { return a * p->x + b * p->y + c; }
  double y(const FT_Vector *p) const { return d * p->x + e * p->y + f; }
  void font(const FT_Vector *p) { to(x(p), y(p)); }
  void close() {
    if (points.size() > (ends.empty() ? 0 : ends.back() + 1u)) ends.push_back(points.size() - 1);
  }
  // Cubic when q2 is given, else quadratic; p0 is the current point.
  void curve(double x0, double y0, double x1, double y1, double x2, double y2, const double *q2) {
    for (int i = 1; i <= kCurveSteps; ++i) {
      const double t = double(i) / kCurveSteps, s = 1 - t;
      if (q2 == nullptr) {
        to(s * s * x0 + 2 * s * t * x1 + t * t * x2, s * s * y0 + 2 * s * t * y1 + t * t * y2);
      } else {
        to(s * s * s * x0 + 3 * s * s * t * x1 + 3 * s * t * t * x2 + t * t * t * q2[0],
           s * s * s * y0 + 3 * s * s * t * y1 + 3 * s * t * t * y2 + t * t * t * q2[1]);
      }
    }
  }
  Mask fill(FT_Library library) {
    close();
    std::vector<char> tags(points.size(), FT_CURVE_TAG_ON);
    FT_Outline outline{static_cast<short>(ends.size()), static_cast<short>(points.size()),
                       points.data(), tags.data(), ends.data(), FT_OUTLINE_NONE};
    Mask gray(kGrid * kGrid, 0);
    FT_Bitmap bitmap{kGrid, kGrid, kGrid, gray.data(), 256, FT_PIXEL_MODE_GRAY, 0, nullptr};
    FT_Outline_Get_Bitmap(library, &outline, &bitmap);
    return gray;
  }
};

Polygons flattenPath(const std::vector<P> &path) {
  Polygons poly;
  for (size_t i = 0; i < path.size(); ++i) {
    const P &p = path[i];
    if (p.mode == JVM_START) poly.close();
    if (p.mode == JVM_QUAD_CTRL && i > 0 && i + 1 < path.size()) {
      const P &from = path[i - 1], &to = path[++i];
      poly.curve(from.x, from.y, p.x, p.y, to.x, to.y, nullptr);
    } else {
      poly.to(p.x, p.y);
    }
  }
  return poly;
}

Polygons *user(void *p) { return static_cast<Polygons *>(p); }
int moveTo(const FT_Vector *p, void *u) { return user(u)->close(), user(u)->font(p), 0; }
int lineTo(const FT_Vector *p, void *u) { return user(u)->font(p), 0; }
int conicTo(const FT_Vector *c, const FT_Vector *p, void *u) {
  Polygons &g = *user(u);
  return g.curve(g.lastX, g.lastY, g.x(c), g.y(c), g.x(p), g.y(p), nullptr), 0;
}
int cubicTo(const FT_Vector *c1, const FT_Vector *c2, const FT_Vector *p, void *u) {
  Polygons &g = *user(u);
  const double end[2] = {g.x(p), g.y(p)};
  return g.curve(g.lastX, g.lastY, g.x(c1), g.y(c1), g.x(c2), g.y(c2), end), 0;
}

// Intersection over union of the coverages: edges a fraction of a pixel apart change it by
// that fraction, where thresholded pixels would flip whole columns.
double agreement(const Mask &a, const Mask &b) {
  int64_t both = 0, either = 0;
  for (size_t i = 0; i < a.size(); ++i) both += std::min(a[i], b[i]), either += std::max(a[i], b[i]);
  return either == 0 ? 1.0 : double(both) / double(either);
}

// The family's face opened apart from the library, and HarfBuzz on it.
struct Reference {
  FT_Library library = nullptr;
  FT_Face face = nullptr;
  hb_font_t *shaper = nullptr;
  double scale = 0, descent = 0;  // cell units per font unit; usWinDescent in cell units

  explicit Reference(const char *family) {
    FcPattern *pattern = FcNameParse(reinterpret_cast<const FcChar8 *>(family));
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result;
    FcPattern *match = FcFontMatch(nullptr, pattern, &result);
    FcChar8 *file = nullptr;
    int index = 0;
    FcPatternGetString(match, FC_FILE, 0, &file);
    FcPatternGetInteger(match, FC_INDEX, 0, &index);
    FT_Init_FreeType(&library);
    FT_New_Face(library, reinterpret_cast<char *>(file), index, &face);
    FcPatternDestroy(match);
    FcPatternDestroy(pattern);
    auto *os2 = static_cast<TT_OS2 *>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    scale = 10000.0 / (os2->usWinAscent + os2->usWinDescent);
    descent = std::lround(os2->usWinDescent * scale);
    hb_face_t *shapeFace = hb_ft_face_create_referenced(face);
    shaper = hb_font_create(shapeFace);  // font units, HarfBuzz's own metrics
    hb_face_destroy(shapeFace);
  }
  ~Reference() {
    hb_font_destroy(shaper);
    FT_Done_Face(face);
    FT_Done_FreeType(library);
  }
  FT_UInt verticalForm(uint32_t unicode) const {
    hb_buffer_t *buffer = hb_buffer_create();
    hb_buffer_add_codepoints(buffer, &unicode, 1, 0, 1);
    hb_buffer_set_direction(buffer, HB_DIRECTION_TTB);
    hb_buffer_set_language(buffer, hb_language_from_string("ja", -1));
    hb_buffer_guess_segment_properties(buffer);
    hb_shape(shaper, buffer, nullptr, 0);
    const FT_UInt glyph = hb_buffer_get_glyph_infos(buffer, nullptr)[0].codepoint;
    hb_buffer_destroy(buffer);
    return glyph;
  }
  double advance(FT_UInt glyph) const {
    FT_Load_Glyph(face, glyph, FT_LOAD_NO_SCALE);
    return std::lround(face->glyph->metrics.horiAdvance * scale);
  }
  Mask render(FT_UInt glyph, Polygons place) const {
    EXPECT_EQ(FT_Load_Glyph(face, glyph, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING), 0);
    const FT_Outline_Funcs funcs{moveTo, lineTo, conicTo, cubicTo, 0, 0};
    FT_Outline_Decompose(&face->glyph->outline, &funcs, &place);
    return place.fill(library);
  }
};

uint32_t unicodeOf(uint32_t code, const char *codePage) {
  char bytes[2] = {static_cast<char>(code >> 8), static_cast<char>(code)};
  uint32_t unicode = 0;
  char *in = code > 0xFF ? bytes : bytes + 1, *out = reinterpret_cast<char *>(&unicode);
  size_t inLeft = code > 0xFF ? 2 : 1, outLeft = 4;
  iconv_t convert = iconv_open("UTF-32LE", codePage);
  iconv(convert, &in, &inLeft, &out, &outLeft);
  iconv_close(convert);
  return unicode;
}

struct Font {
  const char *family, *codePage;
  bool japanese;
};

// Printable ASCII and the upper half of the code page, or for Japanese fonts the text workload
// and the string 「あぁ、。ー〓漢A」.
std::set<uint32_t> samples(const Font &font) {
  std::set<uint32_t> codes;
  for (uint32_t c = 0x21; c <= 0x7E; ++c) codes.insert(c);
  if (!font.japanese)
    for (uint32_t c = 0xA1; c <= 0xFF; ++c) codes.insert(c);
  if (font.japanese)
    for (uint32_t c = 0xA1; c <= 0xDF; ++c) codes.insert(c);  // half-width katakana
  if (font.japanese)
    for (uint32_t c : testing_support::shiftJisCodes(OUTLINA_TEXT_WORKLOAD)) codes.insert(c);
  return codes;
}

const std::vector<uint32_t> kVerticalString = {0x8175, 0x82A0, 0x829F, 0x8141, 0x8142,
                                               0x815B, 0x81AC, 0x8ABF, 0x41,   0x8176};

TEST(InstalledGlyph, HorizontalAndVerticalGlyphsMatchFreeTypeAndHarfBuzz) {
  const Font fonts[] = {{"IPAGothic", "CP932", true},
                        {"Noto Sans CJK JP", "CP932", true},
                        {"DejaVu Sans", "CP1252", false},
                        {"Inconsolata", "CP1252", false}};
  for (const Font &f : fonts) {
    OpenFont font(f.family);
    const Reference ref(f.family);
    std::set<uint32_t> codes = samples(f);
    if (f.japanese) codes.insert(kVerticalString.begin(), kVerticalString.end());
    int alternates = 0;
    for (const uint32_t code : codes) {
      SCOPED_TRACE(::testing::Message() << f.family << " " << std::hex << code);
      const uint32_t unicode = unicodeOf(code, f.codePage);
      const FT_UInt glyph = FT_Get_Char_Index(ref.face, unicode);
      const double s = ref.scale, horizontal = ref.advance(glyph);
      const GlyphRead across = font.read(code, 0);
      ASSERT_GT(across.result, 0);
      const Mask expected = ref.render(glyph, {s, 0, 0, 0, s, ref.descent});
      EXPECT_GE(agreement(flattenPath(across.points).fill(ref.library), expected), 0.99);
      EXPECT_EQ(across.metrics.advance, horizontal);
      double area = 0;  // twice the signed area: outer contours run clockwise, y up
      for (size_t i = 0; i + 1 < across.points.size(); ++i) {
        const P &p = across.points[i], &q = across.points[i + 1];
        if (q.mode != JVM_START) area += double(p.x) * q.y - double(q.x) * p.y;
      }
      // Outer contours run clockwise (y up) as in TrueType: CFF contours come reversed. A glyph
      // whose own contours run against its format's rule (Inconsolata's "<") is left out.
      const FT_Outline &source = ref.face->glyph->outline;
      if (FT_Outline_Get_Orientation(const_cast<FT_Outline *>(&source)) ==
          ((source.flags & FT_OUTLINE_REVERSE_FILL) ? FT_ORIENTATION_POSTSCRIPT
                                                    : FT_ORIENTATION_TRUETYPE)) {
        EXPECT_LT(area, 0);
      }

      const GlyphRead down = font.read(code, 1);
      const auto orientation =
          u_getIntPropertyValue(static_cast<UChar32>(unicode), UCHAR_VERTICAL_ORIENTATION);
      const FT_UInt form = ref.verticalForm(unicode);
      // Only fonts of a double-byte set open in vertical mode; the others lie on their side.
      const bool upright = f.japanese && orientation != U_VO_ROTATED &&
                           (form != glyph || orientation != U_VO_TRANSFORMED_ROTATED);
      alternates += upright && form != glyph;
      Mask vertical;
      if (upright) {
        hb_position_t ox = 0, oy = 0;
        hb_font_get_glyph_v_origin(ref.shaper, form, &ox, &oy);
        const double advance =
            std::lround(std::abs(hb_font_get_glyph_v_advance(ref.shaper, form)) * s);
        EXPECT_EQ(down.metrics.advance, advance);
        vertical = ref.render(form, {s, 0, 5000 - ox * s, 0, s, advance - oy * s});
        if (std::count(kVerticalString.begin(), kVerticalString.end(), code) != 0) {
          for (const P &p : down.points) EXPECT_TRUE(p.y >= 0 && p.y <= advance) << p.y;
        }
      } else {
        // On its side: (u, v) turns a quarter clockwise to (v + descent, advance - u).
        EXPECT_EQ(down.metrics.advance, horizontal);
        vertical = ref.render(glyph, {0, s, ref.descent, -s, 0, horizontal});
      }
      EXPECT_GE(agreement(flattenPath(down.points).fill(ref.library), vertical), 0.99);
    }
    // Punctuation, the long vowel mark and brackets at least take their vertical forms.
    EXPECT_GE(alternates, f.japanese ? 5 : 0) << f.family;
  }
}

TEST(InstalledGlyph, BlankAndInvalidCodes) {
  OpenFont font("DejaVu Sans");
  const GlyphRead space = font.read(' ', 0);
  EXPECT_EQ(space.result, 0);
  const Reference ref("DejaVu Sans");
  EXPECT_EQ(space.metrics.advance, ref.advance(FT_Get_Char_Index(ref.face, ' ')));
  EXPECT_EQ(space.metrics.margin, (10000 - space.metrics.advance) / 2);
  // Bytes that are no character of the code page fail.
  EXPECT_EQ(font.read(0x12345, 0).result, -1);
  EXPECT_EQ(OpenFont("IPAGothic").read(0x88, 0).result, -1);  // a lead byte without its trail
}

}  // namespace
