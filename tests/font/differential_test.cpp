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
#include <array>
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
constexpr int kCurveSteps = 16;                                // segments per flattened curve
using Mask = std::vector<uint8_t>;

struct Xy {
  double x, y;
};
Xy lerp(Xy a, Xy b, double t) { return {a.x + t * (b.x - a.x), a.y + t * (b.y - a.y)}; }

// Flattened contours in cell units; font units come in through the affine map m:
// x = m0 u + m1 v + m2, y = m3 u + m4 v + m5.
struct Polygons {
  std::array<double, 6> m{1, 0, 0, 0, 1, 0};
  std::vector<FT_Vector> points;
  std::vector<short> ends;
  Xy last{};

  Xy map(const FT_Vector *p) const {
    return {m[0] * p->x + m[1] * p->y + m[2], m[3] * p->x + m[4] * p->y + m[5]};
  }
  void to(Xy p) {
    last = p;
    points.push_back({std::lround((p.x - kGridFrom) / kPixel * 64),
                      std::lround((p.y - kGridFrom) / kPixel * 64)});
  }
  void close() {
    if (points.size() > (ends.empty() ? 0 : ends.back() + 1u)) ends.push_back(points.size() - 1);
  }
  void cubic(Xy c1, Xy c2, Xy end) {
    const Xy start = last;
    for (int i = 1; i <= kCurveSteps; ++i) {
      const double t = double(i) / kCurveSteps;
      const Xy a = lerp(start, c1, t), b = lerp(c1, c2, t), c = lerp(c2, end, t);
      to(lerp(lerp(a, b, t), lerp(b, c, t), t));
    }
  }
  void quad(Xy control, Xy end) {
    cubic(lerp(last, control, 2.0 / 3), lerp(end, control, 2.0 / 3), end);
  }
  Mask fill(FT_Library library) {
    close();
    std::vector<char> tags(points.size(), FT_CURVE_TAG_ON);
    const auto contours = static_cast<short>(ends.size()), count = static_cast<short>(tags.size());
    FT_Outline outline{contours, count, points.data(), tags.data(), ends.data(), FT_OUTLINE_NONE};
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
    if (p.mode == JVM_QUAD_CTRL && i + 1 < path.size()) {
      poly.quad({p.x, p.y}, {path[i + 1].x, path[i + 1].y});
      ++i;
    } else {
      poly.to({p.x, p.y});
    }
  }
  return poly;
}

Polygons &user(void *p) { return *static_cast<Polygons *>(p); }
int moveTo(const FT_Vector *p, void *u) { return user(u).close(), user(u).to(user(u).map(p)), 0; }
int lineTo(const FT_Vector *p, void *u) { return user(u).to(user(u).map(p)), 0; }
int conicTo(const FT_Vector *c, const FT_Vector *p, void *u) {
  return user(u).quad(user(u).map(c), user(u).map(p)), 0;
}
int cubicTo(const FT_Vector *c1, const FT_Vector *c2, const FT_Vector *p, void *u) {
  return user(u).cubic(user(u).map(c1), user(u).map(c2), user(u).map(p)), 0;
}

// Intersection over union of the coverages: edges a fraction of a pixel apart change it by
// that fraction, where thresholded pixels would flip whole columns.
double agreement(const Mask &a, const Mask &b) {
  int64_t both = 0, either = 0;
  for (size_t i = 0; i < a.size(); ++i)
    both += std::min(a[i], b[i]), either += std::max(a[i], b[i]);
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
  Mask render(FT_UInt glyph, const std::array<double, 6> &map) const {
    EXPECT_EQ(FT_Load_Glyph(face, glyph, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING), 0);
    const FT_Outline_Funcs funcs{moveTo, lineTo, conicTo, cubicTo, 0, 0};
    Polygons place;
    place.m = map;
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

// 「あぁ、。ー〓漢A」
const std::vector<uint32_t> kVerticalString = {0x8175, 0x82A0, 0x829F, 0x8141, 0x8142,
                                               0x815B, 0x81AC, 0x8ABF, 0x41,   0x8176};

TEST(InstalledGlyph, HorizontalAndVerticalGlyphsMatchFreeTypeAndHarfBuzz) {
  const struct {
    const char *family, *codePage;
    bool japanese;
  } fonts[] = {{"IPAGothic", "CP932", true},
               {"Noto Sans CJK JP", "CP932", true},
               {"DejaVu Sans", "CP1252", false},
               {"Inconsolata", "CP1252", false}};
  for (const auto &f : fonts) {
    OpenFont font(f.family);
    const Reference ref(f.family);
    // A blank glyph has its advance only; bytes that are no character of the code page fail.
    const GlyphRead space = font.read(' ', 0);
    EXPECT_TRUE(space.result == 0 && space.points.empty());
    EXPECT_EQ(space.metrics.advance, ref.advance(FT_Get_Char_Index(ref.face, ' ')));
    EXPECT_EQ(space.metrics.margin, (10000 - space.metrics.advance) / 2);
    EXPECT_EQ(font.read(f.japanese ? 0x88 : 0x12345, 0).result, -1);  // 0x88: a lead byte alone
    // Printable ASCII, then the upper half of the code page or the half-width katakana, the
    // text workload and the vertical string.
    std::set<uint32_t> codes;
    for (uint32_t c = 0x21; c <= (f.japanese ? 0xDFu : 0xFFu); c += c == 0x7E ? 0x23 : 1)
      codes.insert(c);
    if (f.japanese) {
      for (uint32_t c : testing_support::shiftJisCodes(OUTLINA_TEXT_WORKLOAD)) codes.insert(c);
      codes.insert(kVerticalString.begin(), kVerticalString.end());
    }
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

}  // namespace
