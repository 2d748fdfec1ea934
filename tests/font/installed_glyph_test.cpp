// Installed glyphs against FreeType's own rendering of the same glyphs: both filled on one
// grid, the masks must agree on 99% of their union.
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_ADVANCES_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H
#include <gtest/gtest.h>
#include <hb-ft.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <vector>

#include "outlina/font.h"
#include "plinth.h"

namespace {

constexpr int kGrid = 256;  // pixels across the 10000-unit cell
constexpr double kPixel = 10000.0 / kGrid;
using Mask = std::vector<uint8_t>;

// Nonzero-winding fill of the path at pixel centres, quadratic curves flattened here.
Mask fillPath(const JVect *path) {
  std::vector<std::array<double, 4>> edges;
  double px = 0, py = 0, sx = 0, sy = 0, cx = 0, cy = 0;
  auto to = [&](double x, double y) {
    edges.push_back({px, py, x, y});
    px = x, py = y;
  };
  for (int32_t i = 0; i <= path->count; ++i) {
    const bool end = i == path->count;
    const JVectPoint p = end ? JVectPoint{} : path->points[i];
    if (end || p.mode == JVM_START) {
      if (i > 0 && (px != sx || py != sy)) to(sx, sy);
      px = sx = p.x, py = sy = p.y;
    } else if (p.mode == JVM_QUAD_CTRL) {
      cx = p.x, cy = p.y;
    } else if (p.mode == JVM_QUAD_END) {
      const double x0 = px, y0 = py;
      for (int k = 1; k <= 16; ++k) {
        const double t = k / 16.0, u = 1 - t;
        to(u * u * x0 + 2 * u * t * cx + t * t * p.x, u * u * y0 + 2 * u * t * cy + t * t * p.y);
      }
    } else {
      to(p.x, p.y);
    }
  }
  Mask mask(kGrid * kGrid, 0);
  for (int row = 0; row < kGrid; ++row) {
    const double y = (row + 0.5) * kPixel;
    std::vector<std::pair<double, int>> crossings;
    for (const auto &[x0, y0, x1, y1] : edges)
      if ((y0 <= y) != (y1 <= y))
        crossings.push_back({x0 + (y - y0) * (x1 - x0) / (y1 - y0), y1 > y0 ? 1 : -1});
    std::sort(crossings.begin(), crossings.end());
    int winding = 0;
    for (size_t k = 0; k + 1 < crossings.size(); ++k) {
      if ((winding += crossings[k].second) == 0) continue;
      for (int col = 0; col < kGrid; ++col) {
        const double x = (col + 0.5) * kPixel;
        if (x >= crossings[k].first && x < crossings[k + 1].first) mask[row * kGrid + col] = 1;
      }
    }
  }
  return mask;
}

double agreement(const Mask &a, const Mask &b) {
  int both = 0, either = 0;
  for (size_t i = 0; i < a.size(); ++i) both += a[i] && b[i], either += a[i] || b[i];
  return either == 0 ? 1.0 : static_cast<double>(both) / either;
}

// The same font opened independently of the library.
struct Reference {
  FT_Library library = nullptr;
  FT_Face face = nullptr;
  double scale = 0, descent = 0;  // cell units per font unit; usWinDescent in cell units

  explicit Reference(const char *family) {
    FcPattern *pattern = FcNameParse(reinterpret_cast<const FcChar8 *>(family));
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result;
    FcPattern *match = FcFontMatch(nullptr, pattern, &result);
    FcChar8 *file = nullptr;
    FcPatternGetString(match, FC_FILE, 0, &file);
    FT_Init_FreeType(&library);
    FT_New_Face(library, reinterpret_cast<char *>(file), 0, &face);
    FcPatternDestroy(match);
    FcPatternDestroy(pattern);
    auto *os2 = static_cast<TT_OS2 *>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    scale = 10000.0 / (os2->usWinAscent + os2->usWinDescent);
    descent = std::lround(os2->usWinDescent * scale);
  }
  ~Reference() {
    FT_Done_Face(face);
    FT_Done_FreeType(library);
  }
  double advance(FT_UInt glyph, FT_Int32 flags = 0) const {
    FT_Fixed advance = 0;
    FT_Get_Advance(face, glyph, FT_LOAD_NO_SCALE | flags, &advance);
    return std::lround(advance * scale);
  }
  // FreeType's rendering of the glyph, its points (in cell units) moved by place.
  Mask render(FT_UInt glyph, const std::function<void(double &, double &)> &place) const {
    EXPECT_EQ(FT_Load_Glyph(face, glyph, FT_LOAD_NO_SCALE), 0);
    const FT_Outline &source = face->glyph->outline;
    FT_Outline outline;
    FT_Outline_New(library, source.n_points, source.n_contours, &outline);
    FT_Outline_Copy(&source, &outline);
    for (int i = 0; i < outline.n_points; ++i) {
      double x = outline.points[i].x * scale, y = outline.points[i].y * scale;
      place(x, y);
      outline.points[i] = {std::lround(x / kPixel * 64), std::lround(y / kPixel * 64)};
    }
    std::vector<uint8_t> gray(kGrid * kGrid, 0);
    FT_Bitmap bitmap{kGrid, kGrid, kGrid, gray.data(), 256, FT_PIXEL_MODE_GRAY, 0, nullptr};
    FT_Outline_Get_Bitmap(library, &outline, &bitmap);
    FT_Outline_Done(library, &outline);
    Mask mask(kGrid * kGrid, 0);
    for (int i = 0; i < kGrid * kGrid; ++i)  // bitmap rows run top down
      mask[i] = gray[(kGrid - 1 - i / kGrid) * kGrid + i % kGrid] >= 128;
    return mask;
  }
};

struct Opened {
  JFont *font = jFontInit();
  JFontHandle *handle = nullptr;
  Opened(const char *name, int32_t vertical) {
    JFontEntry templ{};
    templ.charset = JFCS_ANSI | JFCS_SHIFTJIS;
    jFontRegistTTF(font, templ);
    handle = jFontOpen(font, name, vertical);
  }
  ~Opened() {
    jFontClose(handle);
    jFontEnd(font);
  }
};

struct Glyph {
  JVect *path = jVectOpen(16);
  JFontGlyphInfo info{};
  JFontGlyphMetrics metrics{};
  int32_t result;
  float box[4] = {1e9f, 1e9f, -1e9f, -1e9f};
  double area = 0;  // twice the signed area of the point polygons

  Glyph(JFontHandle *handle, uint32_t code, int32_t direction)
      : result(jFontGlyphVect(handle, code, direction, &info, &metrics, path)) {
    for (int32_t i = 0; i < path->count; ++i) {
      const JVectPoint &p = path->points[i];
      jMinMaxJudge(box, p.x, p.y);
      if (i + 1 < path->count && path->points[i + 1].mode != JVM_START)
        area += double(p.x) * path->points[i + 1].y - double(path->points[i + 1].x) * p.y;
    }
  }
  ~Glyph() { jVectClose(path); }
};

struct Sample {
  uint32_t code, unicode;  // code page bytes and the same character
};

void expectHorizontalMatches(const char *family, std::initializer_list<Sample> samples) {
  Opened opened(family, 0);
  ASSERT_NE(jFontGetDC(opened.handle), nullptr);
  const Reference reference(family);
  for (const Sample &s : samples) {
    const Glyph glyph(opened.handle, s.code, 0);
    ASSERT_GT(glyph.result, 0) << std::hex << s.code;
    const FT_UInt index = FT_Get_Char_Index(reference.face, s.unicode);
    const Mask expected =
        reference.render(index, [&](double &, double &y) { y += reference.descent; });
    EXPECT_GE(agreement(fillPath(glyph.path), expected), 0.99) << std::hex << s.code;
    EXPECT_EQ(glyph.metrics.advance, reference.advance(index)) << std::hex << s.code;
    EXPECT_LT(glyph.area, 0) << std::hex << s.code;  // outer contours run clockwise, y up
  }
}

TEST(InstalledGlyph, HorizontalGlyphsMatchFreeTypeAndStandOnTheCellBottom) {
  expectHorizontalMatches("IPAGothic", {{0x82A0, 0x3042},
                                        {0x82F0, 0x3092},
                                        {0x834A, 0x30AB},
                                        {0x8393, 0x30F3},
                                        {0x8ABF, 0x6F22},
                                        {0x8E9A, 0x5B57},
                                        {0x9F54, 0x9B31},
                                        {0x88A4, 0x611B},
                                        {0x8141, 0x3001},
                                        {0x8142, 0x3002},
                                        {0x8175, 0x300C},
                                        {0x815B, 0x30FC},
                                        {0x8169, 0xFF08},
                                        {0x41, 0x41},
                                        {0x67, 0x67},
                                        {0x8260, 0xFF21},
                                        {0xB1, 0xFF71}});
  expectHorizontalMatches("DejaVu Sans", {{0x41, 0x41},
                                          {0x67, 0x67},
                                          {0x40, 0x40},
                                          {0x26, 0x26},
                                          {0xE9, 0xE9},
                                          {0x80, 0x20AC},
                                          {0x38, 0x38}});
  Opened opened("DejaVu Sans", 0);
  const Reference reference("DejaVu Sans");
  const Glyph h(opened.handle, 'H', 0), g(opened.handle, 'g', 0), space(opened.handle, ' ', 0);
  EXPECT_EQ(h.box[1], reference.descent);  // the baseline lies at the descent
  FT_Load_Char(reference.face, 'g', FT_LOAD_NO_SCALE);
  const FT_Glyph_Metrics &m = reference.face->glyph->metrics;
  EXPECT_NEAR(g.box[1], (m.horiBearingY - m.height) * reference.scale + reference.descent, 1.0);
  EXPECT_GE(g.box[1], 0);
  EXPECT_EQ(space.result, 0);
  EXPECT_EQ(space.metrics.advance, reference.advance(FT_Get_Char_Index(reference.face, ' ')));
  EXPECT_EQ(space.metrics.margin, (10000 - space.metrics.advance) / 2);
  // Bytes that are no character of the code page fail.
  EXPECT_EQ(Glyph(opened.handle, 0x12345, 0).result, -1);
  Opened ipa("IPAGothic", 0);
  EXPECT_EQ(Glyph(ipa.handle, 0x88, 0).result, -1);  // a lead byte without its trail
}

// The glyph HarfBuzz substitutes in vertical text.
FT_UInt verticalForm(FT_Face face, uint32_t unicode) {
  hb_font_t *font = hb_ft_font_create_referenced(face);
  hb_buffer_t *buffer = hb_buffer_create();
  hb_buffer_add_codepoints(buffer, &unicode, 1, 0, 1);
  hb_buffer_set_direction(buffer, HB_DIRECTION_TTB);
  hb_buffer_guess_segment_properties(buffer);
  hb_shape(font, buffer, nullptr, 0);
  const FT_UInt glyph = hb_buffer_get_glyph_infos(buffer, nullptr)[0].codepoint;
  hb_buffer_destroy(buffer);
  hb_font_destroy(font);
  return glyph;
}

TEST(InstalledGlyph, VerticalWritingStandsJapaneseUprightAndLaysLatinOnItsSide) {
  Opened opened("IPAGothic", 1);
  const Reference reference("IPAGothic");
  const double descent = reference.descent;
  for (const Sample &s : {Sample{0x82A0, 0x3042},
                          {0x8141, 0x3001},
                          {0x8142, 0x3002},
                          {0x815B, 0x30FC},
                          {0x8175, 0x300C}}) {
    const Glyph glyph(opened.handle, s.code, 1);
    const FT_UInt form = verticalForm(reference.face, s.unicode);
    // Only the kana has no vertical form of its own.
    EXPECT_EQ(form == FT_Get_Char_Index(reference.face, s.unicode), s.unicode == 0x3042);
    const double centring = (10000 - reference.advance(form)) / 2;
    const Mask expected =
        reference.render(form, [&](double &x, double &y) { x += centring, y += descent; });
    EXPECT_GE(agreement(fillPath(glyph.path), expected), 0.99) << std::hex << s.unicode;
    EXPECT_EQ(glyph.metrics.advance, reference.advance(form, FT_LOAD_VERTICAL_LAYOUT));
    EXPECT_EQ(glyph.info.direction, 1);
  }
  // The vertical comma and full stop sit in the upper right; the long vowel mark runs down.
  for (uint32_t code : {0x8141u, 0x8142u}) {
    const Glyph glyph(opened.handle, code, 1);
    EXPECT_GT(glyph.box[0] + glyph.box[2], 10000);
    EXPECT_GT(glyph.box[1] + glyph.box[3], 10000);
  }
  const Glyph bar(opened.handle, 0x815B, 1);
  EXPECT_GT(bar.box[3] - bar.box[1], 3 * (bar.box[2] - bar.box[0]));
  // Latin turns a quarter turn clockwise: (u, v) lands at (v + descent, advance - u).
  const Glyph latin(opened.handle, 'A', 1);
  const FT_UInt a = FT_Get_Char_Index(reference.face, 'A');
  const double advance = reference.advance(a);
  const Mask turned = reference.render(a, [&](double &x, double &y) {
    const double u = x;
    x = y + descent, y = advance - u;
  });
  EXPECT_GE(agreement(fillPath(latin.path), turned), 0.99);
  EXPECT_EQ(latin.metrics.advance, advance);
}

}  // namespace
