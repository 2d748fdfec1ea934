// Reader of the ku-ten outline font file (kind 11): an index of 94-cell rows pointing to outlines
// of 15-bit coordinate words whose top bits carry the point mode.
#include <cstdint>

#include "font/file_read.h"
#include "font/kuten_format.h"
#include "font/readers.h"
#include "outlina/fit.h"

namespace outlina {
namespace {

using namespace kuten;

constexpr int kModeShift = 15;           // the top bit of a word is a mode bit
constexpr uint16_t kCoordinateMask = 0x7FFF;

// Point mode by (top bit of x) * 2 + (top bit of y), for arc files and "BEZ2" files.
constexpr int16_t kArcModes[4] = {JVM_START, JVM_LINE, JVM_ARC_MID, JVM_ARC_END};
constexpr int16_t kQuadModes[4] = {JVM_START, JVM_LINE, JVM_QUAD_CTRL, JVM_QUAD_END};

struct KuTenHeader {
  uint64_t base = 0;
  int32_t rows = kDefaultRows;
  uint8_t flag = 0;
  bool quadratic = false;
};

bool hasText(FontFileWindow &file, uint64_t at, const char *text, size_t size) {
  uint8_t bytes[4] = {};
  if (!file.readAll(at, bytes, size)) return false;
  for (size_t i = 0; i < size; ++i) {
    if (bytes[i] != static_cast<uint8_t>(text[i])) return false;
  }
  return true;
}

// A letter followed by decimal digits. 0 when the letter is absent, 1 with *value set, -1 when
// the letter is there but the digits are not.
int numberMarker(FontFileWindow &file, uint64_t at, char letter, size_t digits, int32_t *value) {
  uint8_t bytes[4] = {};
  const size_t got = file.read(at, bytes, digits + 1);
  if (got == 0 || bytes[0] != static_cast<uint8_t>(letter)) return 0;
  if (got < digits + 1) return -1;
  int32_t number = 0;
  for (size_t i = 1; i <= digits; ++i) {
    if (bytes[i] < '0' || bytes[i] > '9') return -1;
    number = number * 10 + (bytes[i] - '0');
  }
  *value = number;
  return 1;
}

// Fills the header; false when a marker's digits are broken (the flag is set all the same).
bool readKuTenHeader(FontFileWindow &file, KuTenHeader *header) {
  header->flag = hasText(file, kFlagMarkerAt, "LP0", 3) ? 1 : 0;
  header->quadratic = hasText(file, kQuadMarkerAt, "BEZ2", 4);
  int32_t base = 0;
  const int baseFound = numberMarker(file, kBaseMarkerAt, 'S', 2, &base);
  const int rowsFound = numberMarker(file, kRowMarkerAt, 'K', 3, &header->rows);
  header->base = static_cast<uint64_t>(base);
  return baseFound >= 0 && rowsFound >= 0;
}

// Appends the point pairs from at to the terminator; false when the file ends first.
bool readKuTenPoints(FontFileWindow &file, uint64_t at, const int16_t *modes, int32_t ox,
                     int32_t oy, JVect *path) {
  PathAppender out(path);
  for (;; at += 4) {
    uint8_t pair[4];
    if (!file.readAll(at, pair, sizeof pair)) return false;
    const uint16_t x = fontLe16(pair);
    const uint16_t y = fontLe16(pair + 2);
    if (x == kEndWord && y == kEndWord) return true;
    const int16_t mode = modes[((x >> kModeShift) << 1) | (y >> kModeShift)];
    out.add(mode, static_cast<float>((x & kCoordinateMask) - ox),
            static_cast<float>((y & kCoordinateMask) - oy));
  }
}

}  // namespace

int32_t fontReadKuTenGlyph(JFontHandle *handle, uint32_t code, int32_t direction,
                           JFontGlyphInfo *info, JFontGlyphMetrics *metrics, JVect *path,
                           int32_t em) {
  int32_t row = 0;
  int32_t cell = 0;
  fileCell(code, &row, &cell);
  fontGlyphDefaults(code, direction, info, metrics);
  info->ku = static_cast<uint8_t>(row);
  info->ten = static_cast<uint8_t>(cell);

  FontFileWindow file(handle);
  KuTenHeader header;
  const bool markersValid = readKuTenHeader(file, &header);
  info->flag = header.flag;
  if (!markersValid) return 0;
  if (direction != 0 && direction != 1) return 0;
  if (row < 1 || row > header.rows || cell < 1 || cell > kCells) return 0;

  const uint64_t recordAt =
      header.base + kIndexAt +
      static_cast<uint64_t>((row - 1) * kCells + (cell - 1)) * kRecordSize;
  uint8_t record[kRecordSize];
  if (!file.readAll(recordAt, record, sizeof record)) return 0;
  const uint32_t position = fontLe32(record + 2 + 4 * direction);
  if (position == 0) return 1;

  const uint64_t outlineAt = header.base + position;
  uint8_t outline[kOutlineHeaderSize];
  if (!file.readAll(outlineAt, outline, sizeof outline)) return 0;
  const int32_t ox = static_cast<int16_t>(fontLe16(outline + 8 * direction));
  const int32_t oy = static_cast<int16_t>(fontLe16(outline + 2 + 8 * direction));
  const uint16_t advance = fontLe16(outline + (direction == 0 ? 4 : 14));
  if (!readKuTenPoints(file, outlineAt + kOutlineHeaderSize,
                       header.quadratic ? kQuadModes : kArcModes, ox, oy, path)) {
    return 0;
  }
  jVectArcToBez(path);
  metrics->advance = static_cast<int16_t>(advance);
  metrics->margin = static_cast<int16_t>((em - metrics->advance) / 2);
  return 1;
}

}  // namespace outlina
