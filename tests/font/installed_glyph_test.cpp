// Installed glyphs against FreeType's own rendering of the same glyphs: both outlines filled by
// one rasterizer on one grid, the masks must agree on 99% of their union.
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_ADVANCES_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H
#include <gtest/gtest.h>
#include <hb-ft.h>

#include <array>
#include <cmath>
#include <functional>
#include <vector>

#include "font/font_file_fixture.h"
#include "plinth.h"

namespace {

using namespace testing_support;

constexpr int kGrid = 256;  // pixels across the 10000-unit cell
constexpr double kPixel = 10000.0 / kGrid;
using Mask = std::vector<uint8_t>;
using Place = std::function<void(double &, double &)>;

// Contours in cell units, kept in FreeType's 26.6 pixels of the test grid.
struct Contours {
  std::vector<FT_Vector> points;
  std::vector<char> tags;
  std::vector<short> ends;
  void add(double x, double y, char tag) {
    points.push_back({std::lround(x / kPixel * 64), std::lround(y / kPixel * 64)});
    tags.push_back(tag);
  }
  void close() {
    if (!points.empty()) ends.push_back(static_cast<short>(points.size() - 1));
  }
};

Contours contoursOf(const Points &path) {
  Contours c;
  for (const P &p : path) {
    if (p.mode == JVM_START) c.close();
    c.add(p.x, p.y, p.mode == JVM_QUAD_CTRL ? FT_CURVE_TAG_CONIC : FT_CURVE_TAG_ON);
  }
  c.close();
  return c;
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
  FT_UInt index(uint32_t unicode) const { return FT_Get_Char_Index(face, unicode); }
  double advance(FT_UInt glyph, FT_Int32 flags = 0) const {
    FT_Fixed advance = 0;
    FT_Get_Advance(face, glyph, FT_LOAD_NO_SCALE | flags, &advance);
    return std::lround(advance * scale);
  }
  Mask fill(Contours c) const {
    FT_Outline outline{static_cast<short>(c.ends.size()), static_cast<short>(c.points.size()),
                       c.points.data(), c.tags.data(), c.ends.data(), FT_OUTLINE_NONE};
    std::vector<uint8_t> gray(kGrid * kGrid, 0);
    FT_Bitmap bitmap{kGrid, kGrid, kGrid, gray.data(), 256, FT_PIXEL_MODE_GRAY, 0, nullptr};
    FT_Outline_Get_Bitmap(library, &outline, &bitmap);
    Mask mask(kGrid * kGrid, 0);
    for (int i = 0; i < kGrid * kGrid; ++i)  // bitmap rows run top down
      mask[i] = gray[(kGrid - 1 - i / kGrid) * kGrid + i % kGrid] >= 128;
    return mask;
  }
  // The font's own outline of the glyph, its points (in cell units) moved by place.
  Mask render(FT_UInt glyph, const Place &place) const {
    EXPECT_EQ(FT_Load_Glyph(face, glyph, FT_LOAD_NO_SCALE), 0);
    const FT_Outline &source = face->glyph->outline;
    Contours c;
    for (int i = 0, contour = 0; i < source.n_points; ++i) {
      double x = source.points[i].x * scale, y = source.points[i].y * scale;
      place(x, y);
      c.add(x, y, static_cast<char>(FT_CURVE_TAG(source.tags[i])));
      if (i == source.contours[contour]) ++contour, c.close();
    }
    return fill(c);
  }
};

std::array<float, 4> boxOf(const GlyphRead &g) {
  std::array<float, 4> box = {1e9f, 1e9f, -1e9f, -1e9f};
  for (const P &p : g.points) jMinMaxJudge(box.data(), p.x, p.y);
  return box;
}

// Horizontal glyphs: code page bytes and the same character.
void expectHorizontalMatches(const char *family,
                             const std::vector<std::array<uint32_t, 2>> &samples) {
  OpenFont font(family);
  const Reference reference(family);
  for (const auto &[code, unicode] : samples) {
    SCOPED_TRACE(::testing::Message() << family << " " << std::hex << code);
    const GlyphRead glyph = font.read(code, 0);
    ASSERT_GT(glyph.result, 0);
    const FT_UInt index = reference.index(unicode);
    const Mask expected =
        reference.render(index, [&](double &, double &y) { y += reference.descent; });
    EXPECT_GE(agreement(reference.fill(contoursOf(glyph.points)), expected), 0.99);
    EXPECT_EQ(glyph.metrics.advance, reference.advance(index));
    double area = 0;  // twice the signed area: outer contours run clockwise, y up
    for (size_t i = 0; i + 1 < glyph.points.size(); ++i) {
      const P &a = glyph.points[i], &b = glyph.points[i + 1];
      if (b.mode != JVM_START) area += double(a.x) * b.y - double(b.x) * a.y;
    }
    EXPECT_LT(area, 0);
  }
}

TEST(InstalledGlyph, HorizontalGlyphsMatchFreeTypeAndStandOnTheCellBottom) {
  // Kana, kanji, punctuation, the long vowel mark, full- and half-width Latin and kana.
  expectHorizontalMatches("IPAGothic", {{0x82A0, 0x3042}, {0x834A, 0x30AB}, {0x8ABF, 0x6F22},
                                        {0x8141, 0x3001}, {0x815B, 0x30FC}, {0x41, 0x41},
                                        {0x67, 0x67}, {0x8260, 0xFF21}, {0xB1, 0xFF71}});
  expectHorizontalMatches("DejaVu Sans", {{0x41, 0x41}, {0xE9, 0xE9}, {0x80, 0x20AC}});
  OpenFont font("DejaVu Sans");
  const Reference reference("DejaVu Sans");
  EXPECT_EQ(boxOf(font.read('H', 0))[1], reference.descent);  // the baseline lies at the descent
  const GlyphRead space = font.read(' ', 0);
  EXPECT_EQ(space.result, 0);
  EXPECT_EQ(space.metrics.advance, reference.advance(reference.index(' ')));
  EXPECT_EQ(space.metrics.margin, (10000 - space.metrics.advance) / 2);
  // Bytes that are no character of the code page fail.
  EXPECT_EQ(font.read(0x12345, 0).result, -1);
  EXPECT_EQ(OpenFont("IPAGothic").read(0x88, 0).result, -1);  // a lead byte without its trail
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
  OpenFont font("IPAGothic");
  const Reference reference("IPAGothic");
  const double descent = reference.descent;
  const uint32_t samples[][2] = {{0x82A0, 0x3042}, {0x8141, 0x3001}, {0x815B, 0x30FC}};
  for (const auto &[code, unicode] : samples) {
    SCOPED_TRACE(::testing::Message() << std::hex << unicode);
    const GlyphRead glyph = font.read(code, 1);
    const FT_UInt form = verticalForm(reference.face, unicode);
    // Only the kana has no vertical form of its own.
    EXPECT_EQ(form == reference.index(unicode), unicode == 0x3042);
    const double centring = (10000 - reference.advance(form)) / 2;
    const Mask expected =
        reference.render(form, [&](double &x, double &y) { x += centring, y += descent; });
    EXPECT_GE(agreement(reference.fill(contoursOf(glyph.points)), expected), 0.99);
    EXPECT_EQ(glyph.metrics.advance, reference.advance(form, FT_LOAD_VERTICAL_LAYOUT));
    EXPECT_EQ(glyph.info.direction, 1);
  }
  // Latin turns a quarter turn clockwise: (u, v) lands at (v + descent, advance - u).
  const GlyphRead latin = font.read('A', 1);
  const FT_UInt a = reference.index('A');
  const double advance = reference.advance(a);
  const Mask turned = reference.render(a, [&](double &x, double &y) {
    const double u = x;
    x = y + descent, y = advance - u;
  });
  EXPECT_GE(agreement(reference.fill(contoursOf(latin.points)), turned), 0.99);
  EXPECT_EQ(latin.metrics.advance, advance);
  // A glyph read again through the same handle in another direction is not the one read before.
  OpenFont fresh("IPAGothic");
  auto viaHorizontalHandle = [](OpenFont &f, int32_t direction) {
    PathPtr path(jVectOpen(64));
    JFontGlyphInfo info{};
    JFontGlyphMetrics metrics{};
    jFontGlyphVect(f.handle(0), 'A', direction, &info, &metrics, path.get());
    return pointsOf(path.get());
  };
  viaHorizontalHandle(font, 0);
  EXPECT_EQ(viaHorizontalHandle(font, 1), viaHorizontalHandle(fresh, 1));
}

}  // namespace
