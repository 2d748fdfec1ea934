// Test helpers for the outline font file readers: a font file written to disk and opened
// through the registry, and glyph reads as plain values.
#ifndef OUTLINA_TESTS_FONT_FONT_FILE_FIXTURE_H
#define OUTLINA_TESTS_FONT_FONT_FILE_FIXTURE_H

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "fontpack.h"
#include "outlina.h"
#include "support/path_builder.h"

namespace testing_support {

struct GlyphRead {
  int32_t result = 0;
  JFontGlyphInfo info{};
  JFontGlyphMetrics metrics{};
  std::vector<P> points;
};

// The result, stored info and metrics of a read in one line.
inline std::string summary(const GlyphRead &g) {
  char text[96];
  std::snprintf(text, sizeof text, "%d: %d-%d dir %d flag %d %.10s, advance %d margin %d", g.result,
                g.info.ku, g.info.ten, g.info.direction, g.info.flag, g.info.date,
                g.metrics.advance, g.metrics.margin);
  return text;
}

// A registry with one font opened from it in both writing directions: a font file registered
// under the name "fixture" (written to disk from bytes, or a missing path), or an installed face.
class OpenFont {
 public:
  OpenFont(int32_t kind, const std::vector<uint8_t> &bytes, const char *missingPath = nullptr) {
    static int serial = 0;
    if (missingPath == nullptr) {
      file_ = ::testing::TempDir() + "outlina-fontfile-" + std::to_string(getpid()) + "-" +
              std::to_string(serial++);
      EXPECT_TRUE(fontpack::writeFileBytes(file_, bytes));
    }
    JFontEntry entry{};
    entry.kind = kind;
    std::strcpy(entry.name, "fixture");
    std::snprintf(entry.path, sizeof entry.path, "%s", missingPath ? missingPath : file_.c_str());
    jFontRegist(registry_, entry);
    open("fixture");
  }
  explicit OpenFont(const char *installedFace) {
    JFontEntry templ{};
    templ.charset = JFCS_SHIFTJIS | JFCS_ANSI;
    jFontRegistTTF(registry_, templ);
    open(installedFace);
  }
  ~OpenFont() {
    jFontClose(handles_[0]);
    jFontClose(handles_[1]);
    jFontEnd(registry_);
    if (!file_.empty()) std::remove(file_.c_str());
  }
  OpenFont(const OpenFont &) = delete;
  OpenFont &operator=(const OpenFont &) = delete;

  GlyphRead read(uint32_t code, int32_t direction) {
    GlyphRead g;
    PathPtr path(jVectOpen(64));
    g.result = jFontGlyphVect(handles_[direction == 0 ? 0 : 1], code, direction, &g.info,
                              &g.metrics, path.get());
    g.points = pointsOf(path.get());
    return g;
  }

 private:
  void open(const char *name) {
    for (int32_t d = 0; d < 2; ++d) EXPECT_NE(handles_[d] = jFontOpen(registry_, name, d), nullptr);
  }

  std::string file_;
  JFont *registry_ = jFontInit();
  JFontHandle *handles_[2] = {nullptr, nullptr};
};

// A damaged copy of a good file must fail the glyph; points decoded before the file ran out
// stay in the path, and the stored info is copied only on success.
struct BrokenFile {
  const char *what;
  std::function<void(fontpack::ByteImage &)> damage;
  uint32_t code;  // read horizontally
  size_t pointsLeft;
};

inline void expectBrokenFilesFail(int32_t kind, const fontpack::ByteImage &good,
                                  const std::vector<BrokenFile> &cases) {
  for (const BrokenFile &c : cases) {
    fontpack::ByteImage f = good;
    c.damage(f);
    OpenFont file(kind, f.bytes);
    GlyphRead g = file.read(c.code, 0);
    EXPECT_EQ(g.result, -1) << c.what;
    EXPECT_EQ(g.points.size(), c.pointsLeft) << c.what;
    EXPECT_EQ(g.info.date[0], '0') << c.what;
  }
}

// Packs Latin letters, kana, kanji and punctuation with vertical forms from IPAGothic and reads
// them back: each glyph must equal the installed one, coordinates put through snap.
template <class Pack, class Snap>
void expectPackedGlyphsEqualInstalled(int32_t kind, Pack pack, Snap snap, bool storedInfo) {
  std::vector<fontpack::Glyph> glyphs;
  const uint32_t ranges[][2] = {{0x41, 0x44},     {0x67, 0x67},     {0x8141, 0x8142},
                                {0x815B, 0x815B}, {0x82A0, 0x82A2}, {0x889F, 0x88A1}};
  for (const auto &range : ranges)
    EXPECT_TRUE(fontpack::collectGlyphs("IPAGothic", range[0], range[1], &glyphs));
  OpenFont font("IPAGothic"), file(kind, pack(glyphs));
  for (const fontpack::Glyph &glyph : glyphs) {
    for (int32_t d = 0; d < 2; ++d) {
      SCOPED_TRACE(::testing::Message() << glyph.code << " dir " << d);
      GlyphRead want = font.read(glyph.code, d), got = file.read(glyph.code, d);
      ASSERT_GT(want.result, 0);
      for (P &p : want.points) p = {p.mode, snap(p.x), snap(p.y)};
      EXPECT_EQ(got.result, want.result);
      EXPECT_EQ(got.points, want.points);
      EXPECT_EQ(got.metrics.advance, want.metrics.advance);
      EXPECT_EQ(got.metrics.margin, want.metrics.margin);
      if (storedInfo)
        EXPECT_EQ(std::memcmp(&got.info, &want.info, sizeof got.info), 0);
      else
        EXPECT_EQ(got.info.flag, 1);
    }
  }
}

}  // namespace testing_support

#endif
