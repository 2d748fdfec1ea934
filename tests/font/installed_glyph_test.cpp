// Glyphs of installed fonts against FreeType's own rendering of the same glyphs: both filled
// on one grid, the masks must agree on 99% of their union.
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_ADVANCES_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H
#include <gtest/gtest.h>
#include <hb-ft.h>
#include <hb.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "outlina/font.h"

namespace {

constexpr int kGrid = 256;                       // pixels across the 10000-unit cell
constexpr double kPixel = 10000.0 / kGrid;
constexpr int kCurvePieces = 16;

using Mask = std::vector<uint8_t>;

// Nonzero-winding fill of the path at pixel centres; quadratic curves flattened here.
Mask fillPath(const JVect *path) {
  struct Edge {
    double x0, y0, x1, y1;
  };
  std::vector<Edge> edges;
  double px = 0, py = 0, sx = 0, sy = 0, cx = 0, cy = 0;
  auto add = [&](double x, double y) {
    edges.push_back({px, py, x, y});
    px = x;
    py = y;
  };
  auto close = [&] {
    if (!edges.empty() && (px != sx || py != sy)) add(sx, sy);
  };
  for (int32_t i = 0; i < path->count; ++i) {
    const JVectPoint &p = path->points[i];
    switch (p.mode) {
      case JVM_START:
        close();
        px = sx = p.x;
        py = sy = p.y;
        break;
      case JVM_QUAD_CTRL:
        cx = p.x;
        cy = p.y;
        break;
      case JVM_QUAD_END: {
        const double x0 = px, y0 = py;
        for (int k = 1; k <= kCurvePieces; ++k) {
          const double t = static_cast<double>(k) / kCurvePieces, u = 1 - t;
          add(u * u * x0 + 2 * u * t * cx + t * t * p.x, u * u * y0 + 2 * u * t * cy + t * t * p.y);
        }
        break;
      }
      default:
        add(p.x, p.y);
    }
  }
  close();
  Mask mask(kGrid * kGrid, 0);
  for (int row = 0; row < kGrid; ++row) {
    const double y = (row + 0.5) * kPixel;
    std::vector<std::pair<double, int>> crossings;
    for (const Edge &e : edges) {
      if ((e.y0 <= y) == (e.y1 <= y)) continue;
      const double x = e.x0 + (y - e.y0) * (e.x1 - e.x0) / (e.y1 - e.y0);
      crossings.push_back({x, e.y1 > e.y0 ? 1 : -1});
    }
    std::sort(crossings.begin(), crossings.end());
    int winding = 0;
    for (size_t k = 0; k + 1 < crossings.size(); ++k) {
      winding += crossings[k].second;
      if (winding == 0) continue;
      for (int col = 0; col < kGrid; ++col) {
        const double x = (col + 0.5) * kPixel;
        if (x >= crossings[k].first && x < crossings[k + 1].first) mask[row * kGrid + col] = 1;
      }
    }
  }
  return mask;
}

// The reference face, opened independently of the library through fontconfig.
struct Reference {
  FT_Library library = nullptr;
  FT_Face face = nullptr;
  double scale = 0;  // cell units per font unit
  double descent = 0;

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
  double horizontalAdvance(FT_UInt glyph) const {
    FT_Fixed advance = 0;
    FT_Get_Advance(face, glyph, FT_LOAD_NO_SCALE, &advance);
    return std::lround(advance * scale);
  }
  double verticalAdvance(FT_UInt glyph) const {
    FT_Fixed advance = 0;
    FT_Get_Advance(face, glyph, FT_LOAD_NO_SCALE | FT_LOAD_VERTICAL_LAYOUT, &advance);
    return std::lround(advance * scale);
  }
  // FreeType's own rendering of the glyph, its font-unit points (u, v) placed in the cell
  // by place.
  Mask render(FT_UInt glyph, const std::function<void(double &, double &)> &place) const {
    EXPECT_EQ(FT_Load_Glyph(face, glyph, FT_LOAD_NO_SCALE), 0);
    FT_Outline outline;
    FT_Outline_New(library, face->glyph->outline.n_points, face->glyph->outline.n_contours,
                   &outline);
    FT_Outline_Copy(&face->glyph->outline, &outline);
    for (int i = 0; i < outline.n_points; ++i) {
      double x = outline.points[i].x * scale, y = outline.points[i].y * scale;
      place(x, y);
      outline.points[i].x = std::lround(x / kPixel * 64);
      outline.points[i].y = std::lround(y / kPixel * 64);
    }
    std::vector<uint8_t> gray(kGrid * kGrid, 0);
    FT_Bitmap bitmap{};
    bitmap.rows = kGrid;
    bitmap.width = kGrid;
    bitmap.pitch = kGrid;
    bitmap.buffer = gray.data();
    bitmap.num_grays = 256;
    bitmap.pixel_mode = FT_PIXEL_MODE_GRAY;
    FT_Outline_Get_Bitmap(library, &outline, &bitmap);
    FT_Outline_Done(library, &outline);
    Mask mask(kGrid * kGrid, 0);
    for (int row = 0; row < kGrid; ++row)  // bitmap rows run top down
      for (int col = 0; col < kGrid; ++col)
        mask[row * kGrid + col] = gray[(kGrid - 1 - row) * kGrid + col] >= 128;
    return mask;
  }
};

double agreement(const Mask &a, const Mask &b) {
  int both = 0, either = 0;
  for (size_t i = 0; i < a.size(); ++i) {
    both += a[i] && b[i];
    either += a[i] || b[i];
  }
  return either == 0 ? 1.0 : static_cast<double>(both) / either;
}

struct Sample {
  uint32_t code;     // code page bytes
  uint32_t unicode;  // the same character
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
  int32_t result = 0;
  Glyph(JFontHandle *handle, uint32_t code, int32_t direction) {
    result = jFontGlyphVect(handle, code, direction, &info, &metrics, path);
  }
  ~Glyph() { jVectClose(path); }
  float minY() const {
    float y = 1e9f;
    for (int32_t i = 0; i < path->count; ++i) y = std::min(y, float{path->points[i].y});
    return y;
  }
  // Twice the signed area of the polygon of all points (curves by their control polygon).
  double signedArea() const {
    double area = 0;
    int32_t start = 0;
    for (int32_t i = 0; i < path->count; ++i) {
      if (i + 1 == path->count || path->points[i + 1].mode == JVM_START) {
        for (int32_t k = start; k < i; ++k)
          area += double(path->points[k].x) * path->points[k + 1].y -
                  double(path->points[k + 1].x) * path->points[k].y;
        start = i + 1;
      }
    }
    return area;
  }
};

const Sample kIpaSamples[] = {
    {0x82A0, 0x3042}, {0x82F0, 0x3092}, {0x834A, 0x30AB}, {0x8393, 0x30F3}, {0x8ABF, 0x6F22},
    {0x8E9A, 0x5B57}, {0x9F54, 0x9B31}, {0x88A4, 0x611B}, {0x8141, 0x3001}, {0x8142, 0x3002},
    {0x8175, 0x300C}, {0x815B, 0x30FC}, {0x8169, 0xFF08}, {0x41, 0x41},     {0x67, 0x67},
    {0x26, 0x26},     {0x8260, 0xFF21}, {0xB1, 0xFF71}};
const Sample kDejaVuSamples[] = {{0x41, 0x41}, {0x67, 0x67}, {0x79, 0x79}, {0x40, 0x40},
                                 {0x26, 0x26}, {0xE9, 0xE9}, {0x80, 0x20AC}, {0x38, 0x38}};

void expectHorizontalMatches(const char *family, const Sample *samples, size_t count) {
  Opened opened(family, 0);
  ASSERT_NE(opened.handle, nullptr);
  ASSERT_NE(jFontGetDC(opened.handle), nullptr);
  Reference reference(family);
  for (size_t i = 0; i < count; ++i) {
    const Sample &s = samples[i];
    Glyph glyph(opened.handle, s.code, 0);
    ASSERT_GT(glyph.result, 0) << std::hex << s.code;
    const FT_UInt index = FT_Get_Char_Index(reference.face, s.unicode);
    const double descent = reference.descent;
    const Mask expected = reference.render(index, [&](double &, double &y) { y += descent; });
    EXPECT_GE(agreement(fillPath(glyph.path), expected), 0.99) << family << std::hex << " " << s.code;
    EXPECT_EQ(glyph.metrics.advance, reference.horizontalAdvance(index)) << std::hex << s.code;
    EXPECT_EQ(glyph.metrics.margin, (10000 - glyph.metrics.advance) / 2);
    // Outer contours run clockwise with y up, so a glyph's total area is negative.
    EXPECT_LT(glyph.signedArea(), 0) << std::hex << s.code;
  }
}

TEST(InstalledGlyph, IpaGothicHorizontalMatchesFreeType) {
  expectHorizontalMatches("IPAGothic", kIpaSamples, std::size(kIpaSamples));
}

TEST(InstalledGlyph, DejaVuSansHorizontalMatchesFreeType) {
  expectHorizontalMatches("DejaVu Sans", kDejaVuSamples, std::size(kDejaVuSamples));
}

TEST(InstalledGlyph, HorizontalGlyphsStandOnTheCellBottom) {
  Opened opened("DejaVu Sans", 0);
  Reference reference("DejaVu Sans");
  const double descent = reference.descent;
  ASSERT_GT(descent, 0);
  Glyph h(opened.handle, 'H', 0), g(opened.handle, 'g', 0);
  // The baseline lies at the descent; descenders reach toward 0 but stay in the cell.
  EXPECT_EQ(h.minY(), descent);
  EXPECT_LT(g.minY(), descent - 1000);
  EXPECT_GE(g.minY(), 0);
  FT_Load_Char(reference.face, 'g', FT_LOAD_NO_SCALE);
  const FT_Glyph_Metrics &m = reference.face->glyph->metrics;
  EXPECT_NEAR(g.minY(), (m.horiBearingY - m.height) * reference.scale + descent, 1.0);
  // A glyph of the Japanese font reaching its full descent lands on 0 itself.
  Opened ipa("IPAGothic", 0);
  Reference ipaReference("IPAGothic");
  Glyph paren(ipa.handle, 0x8169, 0);
  FT_Load_Char(ipaReference.face, 0xFF08, FT_LOAD_NO_SCALE);
  const FT_Glyph_Metrics &pm = ipaReference.face->glyph->metrics;
  EXPECT_NEAR(paren.minY(), (pm.horiBearingY - pm.height) * ipaReference.scale + ipaReference.descent, 1.0);
}

TEST(InstalledGlyph, SpaceHasAdvanceAndNoPoints) {
  Opened opened("DejaVu Sans", 0);
  Reference reference("DejaVu Sans");
  Glyph space(opened.handle, 0x20, 0);
  EXPECT_EQ(space.result, 0);
  const double advance = reference.horizontalAdvance(FT_Get_Char_Index(reference.face, 0x20));
  EXPECT_EQ(space.metrics.advance, advance);
  EXPECT_EQ(space.metrics.margin, static_cast<int>(10000 - advance) / 2);
}

TEST(InstalledGlyph, InvalidCodePageBytesFail) {
  Opened opened("IPAGothic", 0);
  Glyph lone(opened.handle, 0x88, 0);  // a lead byte without its trail
  EXPECT_EQ(lone.result, -1);
  EXPECT_EQ(lone.path->count, 0);
  Glyph wide(opened.handle, 0x12345, 0);
  EXPECT_EQ(wide.result, -1);
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

struct Box {
  float x0 = 1e9f, y0 = 1e9f, x1 = -1e9f, y1 = -1e9f;
};
Box boxOf(const JVect *path) {
  Box b;
  for (int32_t i = 0; i < path->count; ++i) {
    const float x = path->points[i].x, y = path->points[i].y;  // packed: copy before binding
    b.x0 = std::min(b.x0, x);
    b.y0 = std::min(b.y0, y);
    b.x1 = std::max(b.x1, x);
    b.y1 = std::max(b.y1, y);
  }
  return b;
}

TEST(InstalledGlyph, VerticalWritingStandsCharactersUpright) {
  Opened opened("IPAGothic", 1);
  Reference reference("IPAGothic");
  const Sample column[] = {{0x82A0, 0x3042}, {0x8141, 0x3001}, {0x8142, 0x3002},
                           {0x815B, 0x30FC}, {0x8175, 0x300C}};
  for (const Sample &s : column) {
    Glyph glyph(opened.handle, s.code, 1);
    ASSERT_GT(glyph.result, 0) << std::hex << s.code;
    const FT_UInt plain = FT_Get_Char_Index(reference.face, s.unicode);
    const FT_UInt form = verticalForm(reference.face, s.unicode);
    EXPECT_EQ(form == plain, s.unicode == 0x3042) << std::hex << s.unicode;
    const double centring = (10000 - reference.horizontalAdvance(form)) / 2;
    const double descent = reference.descent;
    const Mask expected = reference.render(form, [&](double &x, double &y) {
      x += centring;
      y += descent;
    });
    EXPECT_GE(agreement(fillPath(glyph.path), expected), 0.99) << std::hex << s.unicode;
    EXPECT_EQ(glyph.metrics.advance, reference.verticalAdvance(form));
    EXPECT_EQ(glyph.info.direction, 1);
  }
  // The vertical comma and full stop sit in the upper right of their square; the long vowel
  // mark runs down the column.
  for (uint32_t code : {0x8141u, 0x8142u}) {
    Glyph glyph(opened.handle, code, 1);
    const Box b = boxOf(glyph.path);
    EXPECT_GT((b.x0 + b.x1) / 2, 5000) << std::hex << code;
    EXPECT_GT((b.y0 + b.y1) / 2, 5000) << std::hex << code;
  }
  Glyph bar(opened.handle, 0x815B, 1);
  const Box b = boxOf(bar.path);
  EXPECT_GT(b.y1 - b.y0, 3 * (b.x1 - b.x0));
}

TEST(InstalledGlyph, VerticalWritingLaysLatinOnItsSide) {
  Opened opened("IPAGothic", 1);
  Reference reference("IPAGothic");
  Glyph glyph(opened.handle, 'A', 1);
  const FT_UInt index = FT_Get_Char_Index(reference.face, 'A');
  const double advance = reference.horizontalAdvance(index);
  const double descent = reference.descent;
  // A quarter turn clockwise: (u, v) lands at (v + descent, advance - u).
  const Mask expected = reference.render(index, [&](double &x, double &y) {
    const double u = x, v = y;
    x = v + descent;
    y = advance - u;
  });
  EXPECT_GE(agreement(fillPath(glyph.path), expected), 0.99);
  EXPECT_EQ(glyph.metrics.advance, advance);
}

TEST(InstalledGlyph, AnsiFamilyIgnoresVerticalOpening) {
  Opened opened("DejaVu Sans", 1);
  Glyph vertical(opened.handle, 'A', 1);
  Opened plain("DejaVu Sans", 0);
  Glyph turned(plain.handle, 'A', 1);
  ASSERT_GT(vertical.result, 0);
  ASSERT_EQ(vertical.result, turned.result);
  EXPECT_EQ(std::memcmp(vertical.path->points, turned.path->points,
                        sizeof(JVectPoint) * static_cast<size_t>(vertical.result)),
            0);
}

}  // namespace
