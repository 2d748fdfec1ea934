// Writer of ku-ten outline font files: a 256-byte header with its markers after the base offset,
// the index of rows x 94 cells, then one outline block per character and direction.
#include <algorithm>
#include <cstdio>

#include "font/kuten_format.h"
#include "fontpack.h"

namespace fontpack {
namespace {

using namespace outlina::kuten;

constexpr int32_t kMaxBase = 99;    // two digits
constexpr int32_t kMaxRows = 999;   // three digits
constexpr int32_t kCoordinateMax = 0x7FFF;  // coordinates are 15 bits, the top bit is a mode bit
constexpr uint16_t kModeBit = 0x8000;
constexpr int32_t kMaxAdvance = 0xFFFF;
// Arcs stand in for quadratic curves in files without "BEZ2"; one unit of the 10000-unit cell
// is the step of the file's whole-number coordinates.
constexpr double kArcTolerance = 1.0;

// An outline ready to write: its points in the file's modes and its origin.
struct Encoded {
  bool present = false;
  int32_t ox = 0;
  int32_t oy = 0;
  std::vector<uint16_t> words;  // x, y pairs without the terminator
};

// 0 to 3 as the mode bits (top bit of x) * 2 + (top bit of y); -1 for a mode the file lacks.
int modeBits(int16_t mode, bool quadratic) {
  switch (mode) {
    case JVM_START: return 0;
    case JVM_LINE: return 1;
    case JVM_ARC_MID: return quadratic ? -1 : 2;
    case JVM_ARC_END: return quadratic ? -1 : 3;
    case JVM_QUAD_CTRL: return quadratic ? 2 : -1;
    case JVM_QUAD_END: return quadratic ? 3 : -1;
    default: return -1;
  }
}

// The origin moves the outline into the unsigned 15-bit range; false when it does not fit.
bool encode(const Outline &outline, bool quadratic, Encoded *out) {
  out->present = outline.present;
  if (!outline.present) return true;
  const std::vector<Point> points =
      quadratic ? outline.points : quadsToArcs(outline.points, kArcTolerance);
  int32_t minX = 0;
  int32_t minY = 0;
  for (const Point &p : points) {
    minX = std::min(minX, p.x);
    minY = std::min(minY, p.y);
  }
  out->ox = -minX;
  out->oy = -minY;
  if (out->ox > kCoordinateMax || out->oy > kCoordinateMax) return false;
  for (const Point &p : points) {
    const int bits = modeBits(p.mode, quadratic);
    const int32_t x = p.x + out->ox;
    const int32_t y = p.y + out->oy;
    if (bits < 0 || x > kCoordinateMax || y > kCoordinateMax) return false;
    const uint16_t xWord = static_cast<uint16_t>(x | ((bits & 2) ? kModeBit : 0));
    const uint16_t yWord = static_cast<uint16_t>(y | ((bits & 1) ? kModeBit : 0));
    if (xWord == kEndWord && yWord == kEndWord) return false;
    out->words.push_back(xWord);
    out->words.push_back(yWord);
  }
  return outline.advance >= 0 && outline.advance <= kMaxAdvance;
}

void putNumberMarker(ByteImage *image, size_t at, char letter, int digits, int32_t value) {
  char text[8];
  std::snprintf(text, sizeof text, "%c%0*d", letter, digits, static_cast<int>(value));
  image->putText(at, text);
}

}  // namespace

bool kuTenSlot(uint32_t code, int32_t *row, int32_t *cell) {
  outlina::kuten::fileCell(code, row, cell);
  return *row >= 1 && *cell >= 1 && *cell <= kCells;
}

std::vector<uint8_t> packKuTenFile(const std::vector<Glyph> &glyphs, const KuTenLayout &layout) {
  if (layout.base < 0 || layout.base > kMaxBase || layout.rows < 0 || layout.rows > kMaxRows) {
    return {};
  }
  const int32_t rows = layout.rowMarker ? layout.rows : kDefaultRows;
  const size_t base = layout.baseMarker ? static_cast<size_t>(layout.base) : 0;
  ByteImage image;
  image.putText(0, "Outlina ku-ten outline font file");
  if (layout.baseMarker) putNumberMarker(&image, kBaseMarkerAt, 'S', 2, layout.base);
  if (layout.rowMarker) putNumberMarker(&image, kRowMarkerAt, 'K', 3, layout.rows);
  if (layout.lp0) image.putText(kFlagMarkerAt, "LP0");
  if (layout.bez2) image.putText(kQuadMarkerAt, "BEZ2");
  const size_t indexAt = base + kIndexAt;
  image.bytes.resize(indexAt + static_cast<size_t>(rows) * kCells * kRecordSize);

  for (const Glyph &glyph : glyphs) {
    int32_t row = 0;
    int32_t cell = 0;
    if (!kuTenSlot(glyph.code, &row, &cell) || row > rows) return {};
    Encoded encoded[2];
    for (int d = 0; d < 2; ++d) {
      if (!encode(glyph.outline[d], layout.bez2, &encoded[d])) return {};
    }
    const size_t recordAt =
        indexAt + (static_cast<size_t>(row - 1) * kCells + static_cast<size_t>(cell - 1)) *
                      kRecordSize;
    // The two bytes that the reader skips name the character, for anyone inspecting the file.
    image.put16(recordAt, static_cast<uint16_t>(glyph.code));
    for (int d = 0; d < 2; ++d) {
      if (!encoded[d].present) {
        image.put32(recordAt + 2 + 4 * static_cast<size_t>(d), 0);
        continue;
      }
      const size_t at = image.size();
      image.put32(recordAt + 2 + 4 * static_cast<size_t>(d), static_cast<uint32_t>(at - base));
      image.put16(at, static_cast<uint16_t>(encoded[0].ox));
      image.put16(at + 2, static_cast<uint16_t>(encoded[0].oy));
      image.put16(at + 4, static_cast<uint16_t>(glyph.outline[0].advance));
      image.put16(at + 8, static_cast<uint16_t>(encoded[1].ox));
      image.put16(at + 10, static_cast<uint16_t>(encoded[1].oy));
      image.put16(at + 14, static_cast<uint16_t>(glyph.outline[1].advance));
      image.bytes.resize(at + kOutlineHeaderSize);
      size_t wordAt = at + kOutlineHeaderSize;
      for (uint16_t word : encoded[d].words) {
        image.put16(wordAt, word);
        wordAt += 2;
      }
      image.put32(wordAt, 0xFFFFFFFF);
    }
  }
  return image.bytes;
}

}  // namespace fontpack
