// Test helpers for the outline font file readers: a font file written to disk and opened
// through the registry, and glyph reads as plain values.
#ifndef OUTLINA_TESTS_FONT_FONT_FILE_FIXTURE_H
#define OUTLINA_TESTS_FONT_FONT_FILE_FIXTURE_H

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
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

inline GlyphRead readGlyph(JFontHandle *handle, uint32_t code, int32_t direction) {
  GlyphRead read;
  PathPtr path(jVectOpen(64));
  read.result = jFontGlyphVect(handle, code, direction, &read.info, &read.metrics, path.get());
  read.points = pointsOf(path.get());
  return read;
}

inline std::string infoText(const JFontGlyphInfo &info) {
  char text[64];
  std::snprintf(text, sizeof text, "%d-%d dir %d flag %d %.10s", info.ku, info.ten,
                info.direction, info.flag, info.date);
  return text;
}

// A font file of the given kind, registered under the name "fixture" and opened.
class FontFile {
 public:
  FontFile(int32_t kind, const std::vector<uint8_t> &bytes, int32_t vertical = 0) {
    static int serial = 0;
    path_ = ::testing::TempDir() + "outlina-fontfile-" + std::to_string(getpid()) + "-" +
            std::to_string(serial++);
    EXPECT_TRUE(fontpack::writeFileBytes(path_, bytes));
    open(kind, path_.c_str(), vertical);
  }
  // A registered file that does not exist.
  FontFile(int32_t kind, const char *missingPath) { open(kind, missingPath, 0); }
  ~FontFile() {
    jFontClose(handle_);
    jFontEnd(registry_);
    if (!path_.empty()) std::remove(path_.c_str());
  }
  FontFile(const FontFile &) = delete;
  FontFile &operator=(const FontFile &) = delete;

  GlyphRead read(uint32_t code, int32_t direction) { return readGlyph(handle_, code, direction); }
  JFontHandle *handle() { return handle_; }

 private:
  void open(int32_t kind, const char *file, int32_t vertical) {
    registry_ = jFontInit();
    JFontEntry entry{};
    entry.kind = kind;
    std::strcpy(entry.name, "fixture");
    std::snprintf(entry.path, sizeof entry.path, "%s", file);
    jFontRegist(registry_, entry);
    handle_ = jFontOpen(registry_, "fixture", vertical);
    EXPECT_NE(handle_, nullptr);
  }

  std::string path_;
  JFont *registry_ = nullptr;
  JFontHandle *handle_ = nullptr;
};

// An installed face opened for both directions, for the round trips.
class InstalledFont {
 public:
  explicit InstalledFont(const char *face) {
    registry_ = jFontInit();
    JFontEntry templ{};
    templ.charset = JFCS_SHIFTJIS;
    jFontRegistTTF(registry_, templ);
    handles_[0] = jFontOpen(registry_, face, 0);
    handles_[1] = jFontOpen(registry_, face, 1);
  }
  ~InstalledFont() {
    jFontClose(handles_[0]);
    jFontClose(handles_[1]);
    jFontEnd(registry_);
  }
  InstalledFont(const InstalledFont &) = delete;
  InstalledFont &operator=(const InstalledFont &) = delete;

  bool opened() const { return handles_[0] != nullptr && handles_[1] != nullptr; }
  JFontHandle *handle(int32_t direction) { return handles_[direction]; }
  GlyphRead read(uint32_t code, int32_t direction) {
    return readGlyph(handles_[direction], code, direction);
  }

 private:
  JFont *registry_ = nullptr;
  JFontHandle *handles_[2] = {nullptr, nullptr};
};

// The glyphs that the round trips pack: Latin letters, kana, kanji and punctuation with
// vertical forms, from IPAGothic.
inline std::vector<fontpack::Glyph> roundTripGlyphs() {
  std::vector<fontpack::Glyph> glyphs;
  const uint32_t ranges[][2] = {{0x41, 0x44}, {0x67, 0x67}, {0x8141, 0x8142}, {0x815B, 0x815B},
                                {0x82A0, 0x82A2}, {0x889F, 0x88A1}};
  for (const auto &range : ranges) {
    EXPECT_TRUE(fontpack::collectGlyphs("IPAGothic", range[0], range[1], &glyphs));
  }
  return glyphs;
}

}  // namespace testing_support

#endif
